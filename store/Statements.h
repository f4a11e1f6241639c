#pragma once

#include <QLatin1StringView>

namespace store {

// Every statement the store sends. Values always travel as bound parameters.

// The whole note list, oldest note first.
inline constexpr QLatin1StringView SelectAllNotes{"Select * From Memo order by id"};
// One note by its ID.
inline constexpr QLatin1StringView SelectOneNote{"Select * from Memo where ID=?"};
// A new note: the database gives it its ID.
inline constexpr QLatin1StringView InsertNoteStatement{
    "INSERT INTO Memo (Titel, Text) VALUES (?, ?)"};
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
