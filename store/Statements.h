#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringDecoder>

namespace store {

// Every statement the store sends. Values always travel as bound parameters.

// Text travels between the store and the engine as UTF-8 bytes: read with CAST(... AS BLOB)
// and written with CAST(? AS TEXT). The engine's own UTF-16 conversion would turn U+FFFE and
// U+FFFF into U+FFFD, so notes holding them would not come back as they were saved.

// A title or body read as UTF-8 bytes, as text; a leading U+FEFF is part of the note, not a mark.
inline QString textFromUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// The columns of Memo, without reading a row.
inline constexpr QLatin1StringView MemoColumns{"SELECT * FROM Memo LIMIT 0"};
// The whole note list, oldest note first: IDs and titles only, never the bodies.
inline constexpr QLatin1StringView SelectAllNotes{
    "SELECT ID, CAST(Titel AS BLOB) FROM Memo ORDER BY ID"};
// The text of one note by its ID.
inline constexpr QLatin1StringView SelectOneNote{"SELECT CAST(Text AS BLOB) FROM Memo WHERE ID=?"};
// A new note: the database gives it its ID.
inline constexpr QLatin1StringView InsertNoteStatement{
    "INSERT INTO Memo (Titel, Text) VALUES (CAST(? AS TEXT), CAST(? AS TEXT))"};
// Removes the note with the given ID.
inline constexpr QLatin1StringView DeleteNoteStatement{"DELETE FROM Memo WHERE ID = ?"};
// The table of an empty note database. AUTOINCREMENT so that an ID is never handed out twice,
// not even after the highest note has been deleted.
inline constexpr QLatin1StringView CreateMemoTable{
    "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel TEXT, Text TEXT)"};

// Column names, matched without regard to letter case.
inline constexpr QLatin1StringView IdColumn{"ID"};
inline constexpr QLatin1StringView TitleColumn{"Titel"};
inline constexpr QLatin1StringView TextColumn{"text"};

// The file name of the note database, beside the executable.
inline constexpr QLatin1StringView DatabaseFileName{"memo.mdb"};

} // namespace store
