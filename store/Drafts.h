#pragma once

// Drafts: the note a person is writing and has not saved, kept on disk while Zentavo runs so that
// nothing typed is lost when the program ends in any way (log-off, a crash, a power cut).
//
// Each database has a drafts folder of its own in the person's state folder,
// $XDG_STATE_HOME/zentavo/drafts/<key> (~/.local/state when the variable is not set), the key
// made from the database's canonical path: two copies of Zentavo with databases of their own never
// share drafts, and the program's own folder need not be writable. The folders are readable by
// their owner only (0700), each draft file too (0600), whatever the umask.
//
// Every running program has a slot in the folder: a draft file, "<id>.draft", and a lock file,
// "<id>.lock", locked for as long as the program runs; the system drops the lock when the program
// ends, however it ends. A draft whose lock can be taken is waiting: its program no longer runs.
// A starting program takes over one waiting draft, if there is one, by moving it into a slot of
// its own, and restores it; it never removes a draft it has not restored. A draft that cannot be
// moved (a folder that cannot be written) could not be removed once its note is stored either: it
// is left waiting, and the slot says why.
//
// A draft records which database file it was typed for (a fingerprint of the file, see
// files::fileFingerprint) and goes back only into that one: two USB sticks mounted at one path
// share a drafts folder, not their drafts. A draft that records none (written before drafts
// recorded it, or for a database not yet made) goes back into the database at its path. A
// database moved to another path finds its waiting draft by that record in the folder of its old
// path, when its own folder has none.
//
// Before a draft is stored as a note it is marked so ("<id>.stored"): a marked draft is never
// restored or stored again, even when it cannot be removed after its note was stored. A draft
// that cannot be marked is not stored at all. A draft is replaced whole (written to a new file,
// flushed to disk, renamed over the old one, the folder flushed), so a power cut or a kill at any
// instant leaves the old draft or the new one, never a torn one.

#include "StoreError.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace store {

struct DraftLock;

// A note being written: its text and, when the person was giving it a title, that title.
struct Draft
{
    QString text;
    std::optional<QString> title;

    bool operator==(const Draft &) const = default;
};

// The drafts folder of one database.
class DraftFolder
{
public:
    // The drafts folder of the database at this path, in the person's state folder, for the
    // database file there now.
    static DraftFolder forDatabase(const QString &databasePath);
    // A drafts folder at this path for the database of this fingerprint (the tests' own places).
    explicit DraftFolder(QString folder, QByteArray database = {});

    const QString &path() const { return m_folder; }
    const QByteArray &database() const { return m_database; }
    // Whether a draft that records this database goes back into this folder's.
    bool belongs(const QByteArray &draftDatabase) const;

    // A draft in the folder, as a listing shows it.
    struct Entry
    {
        QString file;
        // Whether the program that wrote it has ended, so that it waits to be restored or saved.
        bool waiting = false;
        // Whether it was marked as stored as a note: never restored or stored again.
        bool stored = false;
        // Whether it was typed for another database file at the same path: it waits for that.
        bool otherDatabase = false;
        // Its content, or why it cannot be read.
        Result<Draft> draft = Draft{};
    };
    // Every draft in the folder, in the order of their file names. An absent folder has none.
    Result<std::vector<Entry>> list() const;

private:
    QString m_folder;
    QByteArray m_database;
};

// The slot of one running program in a drafts folder: its draft file and the lock it holds while
// the program runs. Moved, not copied; the lock is let go when the slot is destroyed.
class DraftSlot
{
public:
    // Takes a slot in the folder, making the folder where needed: the slot of a waiting draft if
    // there is one and `restore` says so, its draft then in restored(); else a new, empty slot.
    // In a folder nothing can be written in it fails, saying so of the drafts waiting there.
    enum class Restore { Waiting, None };
    static Result<DraftSlot> claim(const DraftFolder &folder, Restore restore = Restore::Waiting);

    // Takes the slot of one waiting draft file (a file name from DraftFolder::list()), to store it
    // elsewhere: fails when its program still runs or another has taken it.
    static Result<DraftSlot> takeWaiting(const DraftFolder &folder, const QString &file);

    DraftSlot(DraftSlot &&other) noexcept;
    DraftSlot &operator=(DraftSlot &&other) noexcept;
    ~DraftSlot();

    // The draft this slot held when it was taken, if any.
    const std::optional<Draft> &restored() const { return m_restored; }
    // The drafts claim() found waiting and left where they are, each with its path and why:
    // unreadable, already stored, or in a folder where it could not be removed once stored.
    const std::vector<StoreError> &passedOver() const { return m_passedOver; }
    QString draftPath() const;

    // Marks the slot's draft as being stored as a note, before it is: from then on it is never
    // restored or stored again, removed or not. Fails, marking nothing, when the folder cannot be
    // written: the draft could not be removed once stored, so it must not be stored.
    Result<Done> markStoring();
    // The note could not be stored after all: the draft is a draft again.
    Result<Done> unmarkStoring();

    // Replaces the slot's draft with this one, whole.
    Result<Done> write(const Draft &draft);
    // Removes the slot's draft; nothing to remove is no failure.
    Result<Done> remove();
    // Removes the draft and lets go of the slot, as a program that ends with nothing unsaved does.
    void release();

private:
    DraftSlot(const DraftFolder &folder, QString id, std::unique_ptr<DraftLock> lock);
    // Moves one waiting draft into this slot, noting the ones it leaves.
    void takeOverWaiting(const DraftFolder &folder);
    // Moves into this slot a waiting draft of this database left in the folder of another path.
    void takeOverMoved();

    QString m_folder;
    QByteArray m_database;
    QString m_id;
    std::unique_ptr<DraftLock> m_lock;
    std::optional<Draft> m_restored;
    std::vector<StoreError> m_passedOver;
    bool m_marked = false;
};

// A draft's bytes in its file, with the fingerprint of its database when there is one, and back.
// Decoding fails on anything that is not a whole draft; `database`, when given, receives the
// fingerprint (empty when the draft records none).
QByteArray encodeDraft(const Draft &draft, const QByteArray &database = {});
std::optional<Draft> decodeDraft(const QByteArray &bytes, QByteArray *database = nullptr);

} // namespace store
