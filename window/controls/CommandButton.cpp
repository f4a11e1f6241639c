#include "CommandButton.h"

#include <QPainter>
#include <qdrawutil.h>

namespace window {

CommandButton::CommandButton(QWidget *parent)
    : QPushButton(parent)
    , m_face(Qt::white)
    , m_border(Qt::black)
{
    setAutoDefault(false);
    setDefault(false);
}

void CommandButton::setLook(Look look)
{
    m_look = look;
    update();
}

void CommandButton::setFaceColor(const QColor &color)
{
    m_face = color;
    update();
}

void CommandButton::setBorderColor(const QColor &color)
{
    m_border = color;
    update();
}

void CommandButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect();
    const bool sunken = isDown();
    if (m_look == Look::Flat) {
        painter.fillRect(area, sunken ? m_face.darker(115) : m_face);
        painter.setPen(m_border);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    } else {
        const QBrush face(m_face);
        qDrawWinButton(&painter, area, palette(), sunken, &face);
    }
    QRect textArea = area.adjusted(2, 1, -2, -1);
    if (sunken)
        textArea.translate(1, 1);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.setFont(font());
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, text());
    if (hasFocus()) {
        QRect focus = area.adjusted(3, 3, -4, -4);
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(focus);
    }
}

} // namespace window
