#pragma once

#include <QObject>

class QWidget;

namespace window {

// Reports every mouse move over the widgets it watches, with or without a pressed button, as one
// signal. Watching a widget turns its mouse tracking on, since without it Qt delivers only the
// moves made while a button is held.
class MouseMoveRelay : public QObject
{
    Q_OBJECT
public:
    explicit MouseMoveRelay(QObject *parent);

    void watch(QWidget *widget);

Q_SIGNALS:
    void moved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace window
