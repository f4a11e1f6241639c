#include "Frame.h"

#include <QPainter>

namespace window {

Frame::Frame(QWidget *parent)
    : QFrame(parent)
    , runtime::TwipsControl(this)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
}

Shape::Shape(QWidget *parent)
    : QWidget(parent)
    , runtime::TwipsControl(this)
    , m_border(Qt::black)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void Shape::setBorderColor(const QColor &color)
{
    m_border = color;
    update();
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_border);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace window
