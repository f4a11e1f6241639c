#include "ExactText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace window::exacttext {

namespace {
constexpr char16_t FrameStart = 0xFDD0;
constexpr char16_t FrameEnd = 0xFDD1;
constexpr char16_t Replacement = 0xFFFD;
constexpr char16_t ZeroWidth = 0x200B;
constexpr int KeptCharacter = QTextFormat::UserProperty + 1;
// What a carriage return's stand-in keeps: one before a line feed, or one that is itself the line
// break.
constexpr int ReturnBeforeLineFeed = '\r';
constexpr int ReturnAlone = 0x10000 + '\r';

void insertStandIn(QTextCursor &cursor, const QTextCharFormat &plain, char16_t shown, int kept)
{
    QTextCharFormat format = plain;
    format.setProperty(KeptCharacter, kept);
    cursor.insertText(QString(QChar(shown)), format);
}
} // namespace

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

bool needsStandIns(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() == FrameStart || c.unicode() == FrameEnd || c.unicode() == u'\r')
            return true;
    }
    return false;
}

bool hasFrameMark(QStringView text)
{
    return text.contains(QChar(FrameStart)) || text.contains(QChar(FrameEnd));
}

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

bool insertExactly(QTextCursor &cursor, QStringView text)
{
    if (!needsStandIns(text)) {
        cursor.insertText(text.toString());
        return false;
    }
    insertEveryCharacter(cursor, text);
    return true;
}

QString textOf(const QTextDocument &document, bool hasStandIns)
{
    if (!hasStandIns) {
        // The document's own plain text would turn a no-break space into a space and a line
        // separator into a line feed; its raw text keeps them, with its line breaks as U+2029.
        QString text = document.toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return text;
    }
    QString text;
    text.reserve(document.characterCount());
    // Whether the line break that ends the block just read is a carriage return of its own.
    bool breakIsAReturn = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin() && !breakIsAReturn)
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

QString textBetween(QTextDocument &document, int from, int to)
{
    QTextCursor piece(&document);
    piece.setPosition(from);
    piece.setPosition(to, QTextCursor::KeepAnchor);
    // The raw text: a no-break space and a line separator as they are, the document's line breaks
    // as U+2029.
    QString text = piece.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace window::exacttext
