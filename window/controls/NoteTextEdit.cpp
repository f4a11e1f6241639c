#include "NoteTextEdit.h"

#include "PointerRelay.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
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

// The two characters a text document takes for the edges of a frame, and so turns into a
// paragraph break wherever they are inserted. They stand in the document as U+FFFD with the
// character itself kept in this property of its format.
constexpr char16_t FrameStart = 0xFDD0;
constexpr char16_t FrameEnd = 0xFDD1;
constexpr char16_t StandIn = 0xFFFD;
constexpr int KeptCharacter = QTextFormat::UserProperty + 1;

bool holdsFrameMarks(QStringView text)
{
    return text.contains(QChar(FrameStart)) || text.contains(QChar(FrameEnd));
}

// Inserts text at the cursor with every character as it is, the frame marks included.
void insertEveryCharacter(QTextCursor &cursor, QStringView text)
{
    const QTextCharFormat plain = cursor.charFormat();
    qsizetype from = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t c = text.at(at).unicode();
        if (c != FrameStart && c != FrameEnd)
            continue;
        cursor.insertText(text.sliced(from, at - from).toString(), plain);
        QTextCharFormat kept = plain;
        kept.setProperty(KeptCharacter, int(c));
        cursor.insertText(QString(QChar(StandIn)), kept);
        from = at + 1;
    }
    cursor.insertText(text.sliced(from).toString(), plain);
    cursor.setCharFormat(plain);
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
    const QStringView piece = QStringView(m_value).sliced(m_shownUpTo, end - m_shownUpTo);
    m_programChange = true;
    if (m_shownUpTo == 0 && !holdsFrameMarks(piece)) {
        setPlainText(piece.toString());
    } else {
        // What the program shows is not the person's to undo.
        document()->setUndoRedoEnabled(false);
        QTextCursor atEnd(document());
        atEnd.movePosition(QTextCursor::End);
        insertEveryCharacter(atEnd, piece);
        document()->setUndoRedoEnabled(true);
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

QString NoteTextEdit::typedText() const
{
    // The document's own plain text would turn a no-break space into a space and a line
    // separator into a line feed: read it block by block, each block's break a line feed.
    QString text;
    text.reserve(document()->characterCount());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += QLatin1Char('\n');
        for (auto part = block.begin(); !part.atEnd(); ++part) {
            const QTextFragment fragment = part.fragment();
            QString piece = fragment.text();
            if (const QVariant kept = fragment.charFormat().property(KeptCharacter); kept.isValid())
                piece.replace(QChar(StandIn), QChar(char16_t(kept.toInt())));
            text += piece;
        }
    }
    return text;
}

void NoteTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText() || !holdsFrameMarks(source->text())) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    insertEveryCharacter(cursor, source->text());
    setTextCursor(cursor);
}

void NoteTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (isReadOnly() || !holdsFrameMarks(event->text())) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QTextCursor cursor = textCursor();
    insertEveryCharacter(cursor, event->text());
    setTextCursor(cursor);
    event->accept();
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
