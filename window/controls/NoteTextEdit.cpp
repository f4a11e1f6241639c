#include "NoteTextEdit.h"

#include "PointerRelay.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

namespace window {

namespace {
// A text up to this long is shown in one go; a longer one in pieces of about this size.
constexpr qsizetype PieceChars = 64 * 1024;

// Where a piece of text that starts at `from` may end: after the last line break within
// maxChars, else at maxChars, never inside a surrogate pair.
qsizetype pieceEnd(const QString &text, qsizetype from, qsizetype maxChars)
{
    const qsizetype limit = from + maxChars;
    if (limit >= text.size())
        return text.size();
    const qsizetype lineBreak = text.lastIndexOf(QLatin1Char('\n'), limit - 1);
    if (lineBreak >= from)
        return lineBreak + 1;
    return text.at(limit - 1).isHighSurrogate() ? limit - 1 : limit;
}
} // namespace

NoteTextEdit::NoteTextEdit(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_loader(new QTimer(this))
{
    m_loader->setInterval(0);
    connect(m_loader, &QTimer::timeout, this, [this] { showNextPiece(2 * PieceChars); });
    connect(document(), &QTextDocument::contentsChanged, this, &NoteTextEdit::onContentsChanged);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves the focus on, as in every other control of the window.
    setTabChangesFocus(true);

    auto *relay = new PointerRelay(this);
    relay->watch(this);
    relay->watch(viewport());
    relay->watch(horizontalScrollBar());
    relay->watch(verticalScrollBar());
    connect(relay, &PointerRelay::moved, this, &NoteTextEdit::pointerMoved);
}

void NoteTextEdit::setText(const QString &value)
{
    m_loader->stop();
    m_value = value;
    m_exact = true;
    m_shownUpTo = 0;
    m_programChange = true;
    setPlainText(QString());
    m_programChange = false;
    showNextPiece(PieceChars);
}

void NoteTextEdit::showNextPiece(qsizetype maxChars)
{
    if (!isLoading()) {
        m_loader->stop();
        return;
    }
    const qsizetype end = pieceEnd(m_value, m_shownUpTo, maxChars);
    m_programChange = true;
    if (m_shownUpTo == 0) {
        setPlainText(m_value.left(end));
    } else {
        QTextCursor atEnd(document());
        atEnd.movePosition(QTextCursor::End);
        atEnd.insertText(QStringView(m_value).sliced(m_shownUpTo, end - m_shownUpTo).toString());
    }
    m_programChange = false;
    m_shownUpTo = end;
    if (isLoading())
        m_loader->start();
    else
        m_loader->stop();
}

void NoteTextEdit::finishLoading()
{
    while (isLoading())
        showNextPiece(m_value.size());
}

void NoteTextEdit::onContentsChanged()
{
    if (m_programChange)
        return;
    // The user has changed the text: from now on it is what the box holds.
    m_exact = false;
    m_value.clear();
    m_shownUpTo = 0;
    m_loader->stop();
}

void NoteTextEdit::setLocked(bool locked)
{
    // An editable text must be whole before the user can change it.
    if (!locked)
        finishLoading();
    setReadOnly(locked);
    // A read-only QPlainTextEdit hides its caret and stops taking keyboard text; keep the text
    // selectable so a stored note can still be copied.
    setTextInteractionFlags(locked ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                   : Qt::TextEditorInteraction);
}

} // namespace window
