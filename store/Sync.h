#pragma once

// Sync: the notes of one database carried between machines through a folder that a file-sync
// engine (Syncthing, say) keeps alike on each of them.
//
// The folder holds one file per saved note, "<identity>.note", and one per deleted note,
// "<identity>.deleted": the identity a random 128-bit UUID of the note's own, so that two notes
// saved apart with the same title and text stay two. A note's file is plain UTF-8 a person can
// read (see NoteFile.h); it is written once, whole (under "<name>.part", flushed, renamed without
// replacing anything, the folder flushed), and never changed afterwards.
//
// A round takes in the notes that arrived (each added as a new note, in the order their files
// arrived), deletes the notes deleted elsewhere (exactly the note named: by identity and by
// title and text, never another that took its ID or looks the same), and writes out the notes
// saved here and the deletions made here. Only a deletion made through Zentavo spreads
// (deleteSyncedNote); a note that left memo.mdb otherwise comes back from the folder.
//
// What a round remembers (which ID is which note, with a fingerprint of its title and text; the
// deletions made here; the problems already told) lives in a small SQLite file beside the drafts,
// $XDG_STATE_HOME/zentavo/sync/<key>; memo.mdb gains nothing. Every change of memo.mdb is
// committed in one transaction with that file attached, which SQLite commits atomically across
// both files outside WAL mode (Zentavo never puts memo.mdb in WAL mode; a memo.mdb another
// program put in it is refused for sync). A kill at any
// instant leaves the note added and its identity recorded, or neither. Files are written only
// after the identity they carry is recorded, and recorded as written only once flushed, so a
// round cut off anywhere is finished by the next one, every note once.
//
// The window: call syncRound() on a worker thread (each call opens connections of its own) when
// it starts, after it saved or deleted a note, and on a timer; then reload the list when the report
// added or deleted notes, and show its problems (each is reported once). Delete a note with
// deleteSyncedNote() instead of NoteStore::deleteNote(). One round runs at a time per database:
// a round that finds another running fails at once with kind Failure and says so.

#include "Note.h"
#include "StoreError.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace store {

// A file in the sync folder that a round could not take, and why, with what to do.
struct SyncProblem
{
    QString file;    // its path
    QString message; // what is wrong and what to do, in words for the user
};

// What one round did.
struct SyncReport
{
    std::vector<qint64> added;   // IDs of the notes that arrived, in order of arrival
    std::vector<qint64> deleted; // IDs of the notes deleted because they were deleted elsewhere
    int filesWritten = 0;        // notes and deletion records written to the folder
    // Notes and deletion records that were to be written and could not be, this round (the
    // reason is among the problems of the round that first met it).
    int filesNotWritten = 0;
    // Files found wrong this round that no earlier round reported; a file still wrong is told
    // once, a file that becomes whole is taken.
    std::vector<SyncProblem> problems;
};

// The sync folder set for the database at this path, if any.
std::optional<QString> syncFolderFor(const QString &databasePath);

// The file that keeps that setting. It is only ever replaced whole or removed, never changed in
// place, so a watch on its folder sees every change; the folder may not exist yet.
QString syncSettingFile(const QString &databasePath);

// Sets the sync folder of the database at this path, kept in the user's config folder
// ($XDG_CONFIG_HOME/zentavo/sync/<key>). Refused, with the reason, for the database itself, a
// folder that holds it or lies inside its folder, a folder holding the drafts or inside them, and
// a path that is no folder. A folder not there yet is made (0700).
Result<Done> setSyncFolder(const QString &databasePath, const QString &folder);

// Ends the sync of the database at this path: no folder set. What the rounds remembered is kept,
// so that setting the same folder again doubles nothing.
Result<Done> endSync(const QString &databasePath);

// One round between the database at this path and its sync folder. Fails when no folder is set,
// the folder is not there (not mounted, say), another round of this database runs, or the
// database cannot be used; files the round could not take or write are problems of the report.
Result<SyncReport> syncRound(const QString &databasePath);

// Deletes the note the user saw, as NoteStore::deleteNote does, and in the same transaction
// records that it was deleted here, so that the next round spreads the deletion. For a database
// that was never synced it is NoteStore::deleteNote.
Result<Done> deleteSyncedNote(const QString &databasePath, const Note &shown);

} // namespace store
