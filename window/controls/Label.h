#pragma once

#include "runtime/TwipsControl.h"

#include <QLabel>

namespace window {

// A label: a text with optional border and background that reports double-clicks, presses and
// mouse moves (with or without a pressed button).
class Label : public QLabel, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit Label(QWidget *parent);

    // A one-pixel flat border in this colour; an invalid colour means no border.
    void setBorderColor(const QColor &color);

Q_SIGNALS:
    void doubleClicked();
    void pressed();
    void pointerMoved();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_border;
};

} // namespace window
