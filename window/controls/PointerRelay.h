#pragma once

#include <QObject>

class QWidget;

namespace window {

// Tells what the pointer does over the widgets it watches, which a label or a picture does not
// tell on its own: every move (with or without a button held), every press and every
// double-click, as signals. Watching a widget turns its mouse tracking on, since without it Qt
// reports only the moves made while a button is held. The events go on to the widget as before.
class PointerRelay : public QObject
{
    Q_OBJECT
public:
    explicit PointerRelay(QObject *parent);

    void watch(QWidget *widget);

Q_SIGNALS:
    void moved();
    void pressed();
    void doubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace window
