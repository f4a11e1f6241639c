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
// The indexes of Memo: one row per index (seq, name, unique, origin, partial). A primary key
// that is not the rowid has one whose origin is "pk".
inline constexpr QLatin1StringView MemoIndexes{"PRAGMA index_list(Memo)"};
// Prepared only: it compiles only for a table that has rowids.
inline constexpr QLatin1StringView ReadRowid{"SELECT rowid FROM Memo LIMIT 0"};
// The whole note list, oldest note first: IDs and titles only, never the bodies.
inline constexpr QLatin1StringView SelectAllNotes{
    "SELECT ID, CAST(Titel AS BLOB) FROM Memo ORDER BY ID"};
// Every note whole, oldest first.
inline constexpr QLatin1StringView SelectAllNotesWhole{
    "SELECT ID, CAST(Titel AS BLOB), CAST(Text AS BLOB) FROM Memo ORDER BY ID"};
// The notes whole with IDs from one to another, oldest first.
inline constexpr QLatin1StringView SelectNotesWholeBetween{
    "SELECT ID, CAST(Titel AS BLOB), CAST(Text AS BLOB) FROM Memo WHERE ID BETWEEN ? AND ? "
    "ORDER BY ID"};
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
// The highest ID an AUTOINCREMENT table has handed out, kept even when that note is deleted:
// to tell a table whose IDs have run out from a full disk. No row (or no such table) when the
// table has no AUTOINCREMENT.
inline constexpr QLatin1StringView SelectIdCounter{
    "SELECT seq FROM sqlite_sequence WHERE name = 'Memo' COLLATE NOCASE"};
// What the connection has changed so far: rows inserted, updated or deleted by its statements
// and by every trigger they fired.
inline constexpr QLatin1StringView ChangesSoFar{"SELECT total_changes()"};
// After a write: the rows the statement itself changed, the connection's count of changes, and
// the ID of the row it inserted.
inline constexpr QLatin1StringView LastWrite{
    "SELECT changes(), total_changes(), last_insert_rowid()"};
inline constexpr QLatin1StringView CountNotes{"SELECT count(*) FROM Memo"};
// One note as stored: how each value is kept, and whether its bytes are the bytes bound (a
// comparison in the engine, so that a long note is not copied out to be compared).
inline constexpr QLatin1StringView SelectStoredNote{
    "SELECT typeof(Titel), CAST(Titel AS BLOB) = ?, typeof(Text), CAST(Text AS BLOB) = ? "
    "FROM Memo WHERE ID = ?"};
inline constexpr QLatin1StringView NoteExists{"SELECT 1 FROM Memo WHERE ID = ?"};
// How many triggers act on Memo.
inline constexpr QLatin1StringView MemoTriggers{
    "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'Memo' "
    "COLLATE NOCASE"};
// Reads every page of the file and checks that each is sound; answers "ok" when it is. Quicker
// than the integrity check: it does not compare indexes with their tables.
inline constexpr QLatin1StringView QuickCheck{"PRAGMA quick_check"};
// Removes the note with the given ID.
inline constexpr QLatin1StringView DeleteNoteStatement{"DELETE FROM Memo WHERE ID = ?"};
// A write transaction taken at once, so that the note checked is the note deleted.
inline constexpr QLatin1StringView BeginWrite{"BEGIN IMMEDIATE"};
inline constexpr QLatin1StringView CommitWrite{"COMMIT"};
// A read transaction, so that several statements read the notes of one moment; ends with COMMIT.
inline constexpr QLatin1StringView BeginRead{"BEGIN"};
inline constexpr QLatin1StringView RollbackWrite{"ROLLBACK"};
// A consistent copy of the whole database, written to the file named by the bound value.
inline constexpr QLatin1StringView CopyDatabaseInto{"VACUUM INTO ?"};
// Whether a database file is whole; answers "ok" when it is.
inline constexpr QLatin1StringView CheckIntegrity{"PRAGMA integrity_check"};
// The table of an empty note database. AUTOINCREMENT so that an ID is never handed out twice,
// not even after the highest note has been deleted.
inline constexpr QLatin1StringView CreateMemoTable{
    "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel TEXT, Text TEXT)"};

// How the note database journals its changes ("delete", "wal", ...); read only, never set.
inline constexpr QLatin1StringView JournalMode{"PRAGMA main.journal_mode"};
// Another file on the same connection, under the schema name "companion".
inline constexpr QLatin1StringView AttachCompanion{"ATTACH DATABASE ? AS companion"};

// Column names, matched without regard to letter case.
inline constexpr QLatin1StringView IdColumn{"ID"};
inline constexpr QLatin1StringView TitleColumn{"Titel"};
inline constexpr QLatin1StringView TextColumn{"Text"};

// The file name of the note database, beside the executable.
inline constexpr QLatin1StringView DatabaseFileName{"memo.mdb"};

} // namespace store
