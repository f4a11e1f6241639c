#pragma once

#include <QLatin1StringView>

namespace store::syncsql {

// What sync remembers of one database, in a file of its own attached as "companion" beside
// memo.mdb's connection (see Sync.h). Made on first use; memo.mdb is never changed by it.
//
// notes: each note that is in the folder and here: its identity, its ID here, the fingerprint of
// its title and text when it was taken or written (an ID that now holds another note is not
// that note), and whether its file has been written and flushed to the folder.
// gone: identities of deleted notes, never taken in again; record NULL for a deletion made
// elsewhere, 0 for one made here whose record is still to be written, 1 once written.
// told: the problems of files already reported, so that each is told once.
// facts: "joined" once the first round has put the database's own notes and the folder's
// together; "quiet", the stamps of memo.mdb and the folder after a round that found nothing to
// do, so that the next round, finding the same stamps, need read no further.
inline constexpr QLatin1StringView CreateTables[] = {
    QLatin1StringView("CREATE TABLE IF NOT EXISTS companion.notes (identity TEXT PRIMARY KEY, "
                      "id INTEGER NOT NULL, fingerprint BLOB NOT NULL, written INTEGER NOT NULL)"),
    QLatin1StringView("CREATE INDEX IF NOT EXISTS companion.notes_by_id ON notes (id)"),
    QLatin1StringView("CREATE TABLE IF NOT EXISTS companion.gone (identity TEXT PRIMARY KEY, "
                      "record INTEGER)"),
    QLatin1StringView("CREATE TABLE IF NOT EXISTS companion.told (file TEXT NOT NULL, "
                      "problem TEXT NOT NULL, PRIMARY KEY (file, problem))"),
    QLatin1StringView("CREATE TABLE IF NOT EXISTS companion.facts (name TEXT PRIMARY KEY, "
                      "value)"),
};

inline constexpr QLatin1StringView SelectNotes{
    "SELECT identity, id, fingerprint, written FROM companion.notes"};
inline constexpr QLatin1StringView SelectGone{"SELECT identity, record FROM companion.gone"};
inline constexpr QLatin1StringView SelectTold{"SELECT file, problem FROM companion.told"};
inline constexpr QLatin1StringView SelectJoined{
    "SELECT 1 FROM companion.facts WHERE name = 'joined'"};
inline constexpr QLatin1StringView SelectQuiet{
    "SELECT value FROM companion.facts WHERE name = 'quiet'"};
inline constexpr QLatin1StringView SetQuiet{
    "INSERT OR REPLACE INTO companion.facts (name, value) VALUES ('quiet', ?)"};
// Whether files are still to be written: notes or deletion records.
inline constexpr QLatin1StringView SelectPending{
    "SELECT EXISTS (SELECT 1 FROM companion.notes WHERE written = 0) "
    "OR EXISTS (SELECT 1 FROM companion.gone WHERE record = 0) "
    "OR EXISTS (SELECT 1 FROM companion.told)"};
inline constexpr QLatin1StringView SetJoined{
    "INSERT OR REPLACE INTO companion.facts (name, value) VALUES ('joined', 1)"};

inline constexpr QLatin1StringView PutNote{
    "INSERT OR REPLACE INTO companion.notes (identity, id, fingerprint, written) "
    "VALUES (?, ?, ?, ?)"};
inline constexpr QLatin1StringView ForgetNote{"DELETE FROM companion.notes WHERE identity = ?"};
inline constexpr QLatin1StringView NoteWritten{
    "UPDATE companion.notes SET written = 1 WHERE identity = ?"};
inline constexpr QLatin1StringView PutGone{
    "INSERT OR IGNORE INTO companion.gone (identity, record) VALUES (?, NULL)"};
inline constexpr QLatin1StringView RecordWritten{
    "UPDATE companion.gone SET record = 1 WHERE identity = ?"};
inline constexpr QLatin1StringView ForgetTold{"DELETE FROM companion.told"};
inline constexpr QLatin1StringView PutTold{
    "INSERT OR IGNORE INTO companion.told (file, problem) VALUES (?, ?)"};

// A note deleted here: its identity, found by its ID and fingerprint, becomes a deletion to
// spread.
inline constexpr QLatin1StringView GoneHere{
    "INSERT OR REPLACE INTO companion.gone (identity, record) "
    "SELECT identity, 0 FROM companion.notes WHERE id = ? AND fingerprint = ?"};
inline constexpr QLatin1StringView ForgetDeletedHere{
    "DELETE FROM companion.notes WHERE id = ? AND fingerprint = ?"};

} // namespace store::syncsql
