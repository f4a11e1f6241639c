#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace store {

// The encoding a database file keeps its text in (SQLite's PRAGMA encoding). Text is read as
// the raw bytes of that encoding (CAST(... AS BLOB)) and decoded here: the engine's own UTF-8
// reading would turn U+FFFE and U+FFFF into U+FFFD, and its UTF-16 reading takes a leading
// U+FEFF for a byte-order mark, so such notes would not come back as they were saved.
enum class TextEncoding { Utf8, Utf16le, Utf16be };

// The encoding named by PRAGMA encoding ("UTF-8", "UTF-16le", "UTF-16be").
TextEncoding encodingNamed(const QString &name);

// The bytes as text; a leading U+FEFF is part of the note, not a byte-order mark. Bytes that
// are no valid sequence, an incomplete one at the end included, read as U+FFFD.
QString decodeText(TextEncoding encoding, const QByteArray &bytes);

// A title or text about to be written: the value to bind for CAST(? AS TEXT), never null,
// since a null value would be stored as NULL; and the bytes the file then holds, which reading
// it back as CAST(... AS BLOB) must give when the table stored it unchanged. A UTF-8 file gets
// UTF-8 bytes, stored unchanged, and both are the one byte array. A UTF-16 file gets the text
// itself, which the engine stores as UTF-16 after taking a leading byte-order mark off: so a
// mark is put in front, and the note's own first character, even U+FEFF or U+FFFE, is kept.
struct TextToWrite
{
    QVariant bound;
    QByteArray stored;
};
TextToWrite textToWrite(TextEncoding encoding, const QString &text);

} // namespace store
