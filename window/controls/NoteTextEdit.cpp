#include "NoteTextEdit.h"

#include "ExactText.h"
#include "PointerRelay.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

namespace window {

namespace {
// A text up to this long is shown in one go; a longer one in pieces of about this size.
constexpr qsizetype PieceChars = 64 * 1024;
// A typed text is read back in pieces of this size, each in a moment too short to feel.
constexpr int ReadPieceChars = 256 * 1024;
} // namespace

using namespace exacttext;

NoteTextEdit::NoteTextEdit(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_loader(new QTimer(this))
    , m_reader(new QTimer(this))
{
    m_loader->setInterval(0);
    connect(m_loader, &QTimer::timeout, this, [this] { showNextPiece(2 * PieceChars); });
    m_reader->setInterval(0);
    connect(m_reader, &QTimer::timeout, this, &NoteTextEdit::readNextPiece);
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
    m_hasStandIns = false;
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
    if (m_shownUpTo == 0 && !needsStandIns(piece)) {
        setPlainText(piece.toString());
    } else {
        // What the program shows is not the person's to undo.
        document()->setUndoRedoEnabled(false);
        QTextCursor atEnd(document());
        atEnd.movePosition(QTextCursor::End);
        if (insertExactly(atEnd, piece))
            m_hasStandIns = true;
        document()->setUndoRedoEnabled(true);
    }
    m_programChange = false;
    m_shownUpTo = end;
    if (isLoading()) {
        m_loader->start();
        return;
    }
    m_loader->stop();
    applyLock();
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
    // The person has changed the text: from now on it is what the box holds.
    m_exact = false;
    m_value.clear();
    m_shownUpTo = 0;
    m_loader->stop();
}

QString NoteTextEdit::typedText() const
{
    return textOf(*document(), m_hasStandIns);
}

void NoteTextEdit::readText(std::function<void(const QString &)> then)
{
    m_reader->stop();
    m_read.clear();
    m_readThen = nullptr;
    // Read at once what is at hand at once; only the document's own text is read in pieces.
    if (m_exact || m_hasStandIns) {
        then(text());
        return;
    }
    m_readThen = std::move(then);
    m_readUpTo = 0;
    m_readRevision = document()->revision();
    m_read.reserve(document()->characterCount());
    m_reader->start();
}

void NoteTextEdit::readNextPiece()
{
    if (document()->revision() != m_readRevision) {
        // Changed meanwhile: whoever asked hears of the change and asks again.
        m_reader->stop();
        m_read.clear();
        m_readThen = nullptr;
        return;
    }
    const int end = document()->characterCount() - 1; // the last paragraph's own end is no text
    const int to = std::min(end, m_readUpTo + ReadPieceChars);
    m_read += textBetween(*document(), m_readUpTo, to);
    m_readUpTo = to;
    if (to < end)
        return;
    m_reader->stop();
    const auto then = std::exchange(m_readThen, nullptr);
    then(std::exchange(m_read, QString()));
}

void NoteTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText() || !needsStandIns(source->text())) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    insertEveryCharacter(cursor, source->text());
    m_hasStandIns = true;
    setTextCursor(cursor);
}

void NoteTextEdit::keyPressEvent(QKeyEvent *event)
{
    // Enter gives a carriage return as its text: that one is the box's own line break.
    const QString typed = event->text();
    if (isReadOnly() || !hasFrameMark(typed)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QTextCursor cursor = textCursor();
    insertEveryCharacter(cursor, typed);
    m_hasStandIns = true;
    setTextCursor(cursor);
    event->accept();
}

void NoteTextEdit::setLocked(bool locked)
{
    m_locked = locked;
    applyLock();
}

void NoteTextEdit::applyLock()
{
    // A text still loading stays read-only until it is whole: the person edits all of it or
    // nothing.
    const bool readOnly = m_locked || isLoading();
    setReadOnly(readOnly);
    // A read-only QPlainTextEdit hides its caret and stops taking keyboard text; keep the text
    // selectable so a stored note can still be copied.
    setTextInteractionFlags(readOnly ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                     : Qt::TextEditorInteraction);
}

} // namespace window
