#include "Label.h"

#include <QMouseEvent>
#include <QPainter>

namespace window {

Label::Label(QWidget *parent)
    : QLabel(parent)
    , runtime::TwipsControl(this)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void Label::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    Q_EMIT doubleClicked();
}

void Label::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    Q_EMIT pressed();
}

void Label::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    Q_EMIT pointerMoved();
}

void Label::setBorderColor(const QColor &color)
{
    m_border = color;
    const int margin = color.isValid() ? 1 : 0;
    setContentsMargins(margin, margin, margin, margin);
    update();
}

void Label::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!m_border.isValid())
        return;
    QPainter painter(this);
    painter.setPen(m_border);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace window
