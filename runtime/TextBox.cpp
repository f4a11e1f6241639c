#include "TextBox.h"

#include "MouseMoveRelay.h"

#include <QPainter>
#include <QScrollBar>

namespace runtime {

TextBox::TextBox(QWidget *parent)
    : QLineEdit(parent)
    , TwipsControl(this)
{}

void TextBox::setFlatBorder(const QColor &color)
{
    m_flatBorder = color;
    setFrame(!color.isValid());
    setTextMargins(1, 1, 1, 1);
    update();
}

void TextBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (!m_flatBorder.isValid())
        return;
    QPainter painter(this);
    painter.setPen(m_flatBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

MultiLineTextBox::MultiLineTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
    , TwipsControl(this)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves the focus on, as in every other control of the window.
    setTabChangesFocus(true);

    auto *relay = new MouseMoveRelay(this);
    relay->watch(this);
    relay->watch(viewport());
    relay->watch(horizontalScrollBar());
    relay->watch(verticalScrollBar());
    connect(relay, &MouseMoveRelay::moved, this, &MultiLineTextBox::MouseMove);
}

void MultiLineTextBox::setLocked(bool locked)
{
    setReadOnly(locked);
    // A read-only QPlainTextEdit hides its caret and stops taking keyboard text; keep the text
    // selectable so a stored note can still be copied.
    setTextInteractionFlags(locked ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                   : Qt::TextEditorInteraction);
}

} // namespace runtime
