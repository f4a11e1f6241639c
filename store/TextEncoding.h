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

// The bytes as text; a leading U+FEFF is part of the note, not a byte-order mark.
QString decodeText(TextEncoding encoding, const QByteArray &bytes);

// The value to bind for a title or text written with CAST(? AS TEXT); never null, since a
// null value would be stored as NULL. A UTF-8 file gets UTF-8 bytes, stored unchanged. A
// UTF-16 file gets the text itself, which the engine stores as UTF-16 after taking a leading
// byte-order mark off: so a mark is put in front, and the note's own first character, even
// U+FEFF or U+FFFE, is kept.
QVariant boundText(TextEncoding encoding, const QString &text);

} // namespace store
