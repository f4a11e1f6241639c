#pragma once

#include <QLatin1StringView>

namespace store {

// Every statement the store sends. Values always travel as bound parameters. Text is read and
// written as raw bytes in the database's own encoding (see TextEncoding.h).

// The encoding the file keeps its text in.
inline constexpr QLatin1StringView ReadEncoding{"PRAGMA encoding"};
// A page cache of 128 KiB for the session.
inline constexpr QLatin1StringView SmallPageCache{"PRAGMA cache_size = -128"};
// The columns of Memo: one row per column (cid, name, type, notnull, dflt_value, pk).
inline constexpr QLatin1StringView MemoTableColumns{"PRAGMA table_info(Memo)"};
// The statement that made Memo, to tell a table without rowids.
inline constexpr QLatin1StringView MemoTableDefinition{
    "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'Memo' COLLATE NOCASE"};
// The whole note list, oldest note first: IDs and titles only, never the bodies.
inline constexpr QLatin1StringView SelectAllNotes{
    "SELECT ID, CAST(Titel AS BLOB) FROM Memo ORDER BY ID"};
// Every note whole, oldest first.
inline constexpr QLatin1StringView SelectAllNotesWhole{
    "SELECT ID, CAST(Titel AS BLOB), CAST(Text AS BLOB) FROM Memo ORDER BY ID"};
// How many notes there are, and their titles' length in bytes of the file's encoding (as UTF-8
// the same for a UTF-8 file; about as much or less for a UTF-16 one).
inline constexpr QLatin1StringView SelectListSize{
    "SELECT count(*), total(length(CAST(Titel AS BLOB))) FROM Memo"};
// The title and text of one note by its ID.
inline constexpr QLatin1StringView SelectOneNote{
    "SELECT CAST(Titel AS BLOB), CAST(Text AS BLOB) FROM Memo WHERE ID = ?"};
// A new note: the database gives it its ID.
inline constexpr QLatin1StringView InsertNoteStatement{
    "INSERT INTO Memo (Titel, Text) VALUES (CAST(? AS TEXT), CAST(? AS TEXT))"};
// The highest ID in use, to tell a table whose IDs have run out from a full disk.
inline constexpr QLatin1StringView SelectHighestId{"SELECT max(ID) FROM Memo"};
// Removes the note with the given ID.
inline constexpr QLatin1StringView DeleteNoteStatement{"DELETE FROM Memo WHERE ID = ?"};
// A write transaction taken at once, so that the note checked is the note deleted.
inline constexpr QLatin1StringView BeginWrite{"BEGIN IMMEDIATE"};
inline constexpr QLatin1StringView CommitWrite{"COMMIT"};
inline constexpr QLatin1StringView RollbackWrite{"ROLLBACK"};
// A consistent copy of the whole database, written to the file named by the bound value.
inline constexpr QLatin1StringView CopyDatabaseInto{"VACUUM INTO ?"};
// Whether a database file is whole; answers "ok" when it is.
inline constexpr QLatin1StringView CheckIntegrity{"PRAGMA integrity_check"};
// The table of an empty note database. AUTOINCREMENT so that an ID is never handed out twice,
// not even after the highest note has been deleted.
inline constexpr QLatin1StringView CreateMemoTable{
    "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel TEXT, Text TEXT)"};

// Column names, matched without regard to letter case.
inline constexpr QLatin1StringView IdColumn{"ID"};
inline constexpr QLatin1StringView TitleColumn{"Titel"};
inline constexpr QLatin1StringView TextColumn{"Text"};

// The file name of the note database, beside the executable.
inline constexpr QLatin1StringView DatabaseFileName{"memo.mdb"};

} // namespace store
