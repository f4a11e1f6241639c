#pragma once

#include <QString>
#include <QStringView>

class QTextCursor;
class QTextDocument;

// A text in a text document exactly as it was given, character for character, and back: the
// conversion behind NoteTextEdit, as plain functions over a QTextDocument.
//
// A text document does not keep every character as it is: it takes the two frame marks U+FDD0 and
// U+FDD1 for the edges of a frame and a carriage return for a line break, so each of them becomes
// a paragraph break wherever it is inserted. Such a character goes in as a stand-in whose format
// keeps what it stands for: a frame mark as a U+FFFD (the noncharacter is shown as such), a
// carriage return as an invisible U+200B just before the line break it belongs to. Every other
// character is kept by the document itself, a no-break space and a line separator U+2028
// included; its own line break (a line feed or a paragraph separator U+2029 as given) reads back
// as a line feed.
namespace window::exacttext {

// Where a piece of text that starts at `from` may end: after the last line feed within maxChars,
// else at maxChars, never inside a surrogate pair.
qsizetype pieceEnd(const QString &text, qsizetype from, qsizetype maxChars);

// Whether a text holds a character the document would not keep as it is.
bool needsStandIns(QStringView text);
// Whether a text holds a frame mark.
bool hasFrameMark(QStringView text);

// Inserts text at the cursor so that it reads back with every character as it is, stand-ins
// where needed.
void insertEveryCharacter(QTextCursor &cursor, QStringView text);
// Inserts text at the cursor as insertEveryCharacter() does, without the character-by-character
// work where no stand-in is needed; says whether one was.
bool insertExactly(QTextCursor &cursor, QStringView text);

// The document's text, each character as inserted by the functions above; `hasStandIns` says
// whether any stand-in may be in it (without one, the document is read in one go).
QString textOf(const QTextDocument &document, bool hasStandIns);
// The document's text between two positions, for a document without stand-ins.
QString textBetween(QTextDocument &document, int from, int to);

} // namespace window::exacttext
