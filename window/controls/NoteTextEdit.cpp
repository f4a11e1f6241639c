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
// A typed text is read back in pieces of this size, each in a moment too short to feel.
constexpr int ReadPieceChars = 256 * 1024;

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

// Characters a text document does not keep as they are: it takes the two frame marks for the
// edges of a frame and a carriage return for a line break, so each of them becomes a paragraph
// break wherever it is inserted. In the document they are a stand-in character whose format keeps
// what it stands for: a frame mark a U+FFFD (the noncharacter is shown as such), a carriage return
// an invisible U+200B just before the line break it belongs to.
constexpr char16_t FrameStart = 0xFDD0;
constexpr char16_t FrameEnd = 0xFDD1;
constexpr char16_t Replacement = 0xFFFD;
constexpr char16_t ZeroWidth = 0x200B;
constexpr int KeptCharacter = QTextFormat::UserProperty + 1;
// What a carriage return's stand-in keeps: one before a line feed, or one that is itself the line
// break.
constexpr int ReturnBeforeLineFeed = '\r';
constexpr int ReturnAlone = 0x10000 + '\r';

bool needsStandIns(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() == FrameStart || c.unicode() == FrameEnd || c.unicode() == u'\r')
            return true;
    }
    return false;
}

void insertStandIn(QTextCursor &cursor, const QTextCharFormat &plain, char16_t shown, int kept)
{
    QTextCharFormat format = plain;
    format.setProperty(KeptCharacter, kept);
    cursor.insertText(QString(QChar(shown)), format);
}

// Inserts text at the cursor so that it reads back with every character as it is.
void insertEveryCharacter(QTextCursor &cursor, QStringView text)
{
    const QTextCharFormat plain = cursor.charFormat();
    qsizetype from = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t c = text.at(at).unicode();
        if (c != FrameStart && c != FrameEnd && c != u'\r')
            continue;
        cursor.insertText(text.sliced(from, at - from).toString(), plain);
        from = at + 1;
        if (c != u'\r') {
            insertStandIn(cursor, plain, Replacement, c);
            continue;
        }
        const bool beforeLineFeed = at + 1 < text.size() && text.at(at + 1) == u'\n';
        insertStandIn(cursor, plain, ZeroWidth,
                      beforeLineFeed ? ReturnBeforeLineFeed : ReturnAlone);
        cursor.insertText(QStringLiteral("\n"), plain);
        if (beforeLineFeed)
            from = ++at + 1;
    }
    cursor.insertText(text.sliced(from).toString(), plain);
    cursor.setCharFormat(plain);
}
} // namespace

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
        if (needsStandIns(piece)) {
            insertEveryCharacter(atEnd, piece);
            m_hasStandIns = true;
        } else {
            atEnd.insertText(piece.toString());
        }
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
    if (!m_hasStandIns) {
        // The document's own plain text would turn a no-break space into a space and a line
        // separator into a line feed; its raw text keeps them, with its line breaks as U+2029.
        QString text = document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return text;
    }
    QString text;
    text.reserve(document()->characterCount());
    // Whether the line break that ends the block just read is a carriage return of its own.
    bool breakIsAReturn = false;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin() && !breakIsAReturn)
            text += QLatin1Char('\n');
        breakIsAReturn = false;
        const int lastInBlock = block.position() + block.length() - 2;
        for (auto part = block.begin(); !part.atEnd(); ++part) {
            const QTextFragment fragment = part.fragment();
            const QString piece = fragment.text();
            const QVariant kept = fragment.charFormat().property(KeptCharacter);
            if (!kept.isValid()) {
                text += piece;
                continue;
            }
            const int keptCharacter = kept.toInt();
            const bool frameMark = keptCharacter == FrameStart || keptCharacter == FrameEnd;
            for (qsizetype i = 0; i < piece.size(); ++i) {
                const char16_t c = piece.at(i).unicode();
                if (frameMark && c == Replacement) {
                    text += QChar(char16_t(keptCharacter));
                } else if (!frameMark && c == ZeroWidth) {
                    // A carriage return belongs to the line break right after it; one the person
                    // has since typed something after has gone with its break.
                    if (fragment.position() + i == lastInBlock) {
                        text += QLatin1Char('\r');
                        breakIsAReturn = keptCharacter == ReturnAlone;
                    }
                } else {
                    text += QChar(c);
                }
            }
        }
    }
    return text;
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
    QTextCursor piece(document());
    piece.setPosition(m_readUpTo);
    piece.setPosition(to, QTextCursor::KeepAnchor);
    // The raw text: a no-break space and a line separator as they are, the box's line breaks as
    // U+2029.
    QString text = piece.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    m_read += text;
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
    const bool frameMark = typed.contains(QChar(FrameStart)) || typed.contains(QChar(FrameEnd));
    if (isReadOnly() || !frameMark) {
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
