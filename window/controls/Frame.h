#pragma once

#include "runtime/TwipsControl.h"

#include <QFrame>

namespace window {

// A frame: a container without caption or border. Hiding it hides the controls inside it,
// while their own hidden state stays as it was.
class Frame : public QFrame, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit Frame(QWidget *parent);
};

// A shape: a rectangle outline with a transparent interior. It takes no mouse input, so the
// pointer reaches whatever lies beneath it.
class Shape : public QWidget, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit Shape(QWidget *parent);

    void setBorderColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_border;
};

} // namespace window
