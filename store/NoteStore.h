#pragma once

#include "CompactNumbers.h"
#include "Note.h"
#include "StoreError.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

namespace store {

class Session;

// A second SQLite file changed in the same transaction as the notes: attached to the note
// database's connection as "companion" (see attachCompanion), so that SQLite commits both files
// or neither. `write` runs inside the transaction once the notes have been changed and checked;
// an error it returns rolls both back.
struct Companion
{
    QString path;
    std::function<std::optional<StoreError>(const Session &session)> write;
};

// One line of the note list: the note's ID and its title.
struct NoteEntry
{
    qint64 id = 0;
    QString title;
};

// Every note's ID and title, in order, held compactly: the titles end to end as UTF-8 in one
// byte array, so that a list of many thousand notes costs its bytes, an ID and an offset each
// (4 bytes each, see CompactNumbers).
// The window's list keeps it as it is. A title reads back as the text it was; bytes that are no
// valid UTF-8 read as U+FFFD.
class NoteList
{
public:
    NoteList() { m_starts.push_back(0); }

    // Room for this many notes whose titles hold this many UTF-8 bytes in all.
    void reserve(qint64 notes, qint64 titleBytes);
    void append(qint64 id, QByteArrayView utf8Title);
    void append(qint64 id, const QString &title);
    std::size_t size() const { return m_ids.size(); }
    NoteEntry at(std::size_t index) const;
    NoteEntry front() const { return at(0); }
    qint64 id(std::size_t index) const { return m_ids[index]; }
    // The title's bytes as stored in the list, undecoded.
    QByteArrayView utf8Title(std::size_t index) const;
    // Gives back the room reserved for growth: for a list that is kept.
    void squeeze();

    class const_iterator
    {
    public:
        const_iterator(const NoteList *list, std::size_t index)
            : m_list(list)
            , m_index(index)
        {}
        NoteEntry operator*() const { return m_list->at(m_index); }
        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator!=(const const_iterator &other) const { return m_index != other.m_index; }

    private:
        const NoteList *m_list;
        std::size_t m_index;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    CompactNumbers m_ids;
    // Where each title starts in m_titles; one more entry marks the end of the last.
    CompactNumbers m_starts;
    QByteArray m_titles; // UTF-8
};

// The note database at one path. Every operation opens a session of its own and closes it
// before it returns; nothing is held between operations, so the object is only a path.
// A missing value (NULL) reads as empty text.
class NoteStore
{
public:
    explicit NoteStore(QString path)
        : m_path(std::move(path))
    {}

    const QString &path() const { return m_path; }

    // Opens the file and checks that it is a note database (table Memo with rowids, ID the
    // rowid, Titel and Text), reading its schema only: as fast for a million notes as for none.
    Result<Done> check() const;

    // Reads every page of the file and checks that it is sound, so that a damaged file is
    // refused before anything is written to it. Its time grows with the file.
    Result<Done> checkPages() const;

    // Every note's ID and title, in ascending ID order.
    Result<NoteList> listNotes() const;

    // The note with this ID; an error of kind NoteGone when there is none.
    Result<Note> readNote(qint64 id) const;

    // Adds a note with this title and text and returns its new ID, in a transaction of its own
    // that is committed only when exactly one row was added, under that ID, holding byte for
    // byte the title and text given, and no other row changed (see WriteCheck). On failure
    // nothing has been written, and the error says what the table did instead.
    Result<qint64> insertNote(const QString &title, const QString &text) const;

    // Deletes the note the user saw, checked in the same transaction: when its ID is gone
    // (kind NoteGone), or holds the note changed elsewhere (kind NoteEdited, in a table whose
    // IDs are never handed out twice) or perhaps another note (kind NoteChanged, as a table
    // without AUTOINCREMENT allows), nothing is deleted and the error carries the note as it
    // now is. Committed only when exactly that row went and nothing else changed.
    Result<Done> deleteNote(const Note &shown) const;
    // The same, with the companion written in the same transaction.
    Result<Done> deleteNote(const Note &shown, const Companion &companion) const;

    // Hands every note, in ID order, to `take`, all read in one transaction, so that they are
    // the notes of one instant. `take` returns false to stop early.
    Result<Done> forEachNote(const std::function<bool(const Note &)> &take) const;

    // Adds all these notes (title, text) in one transaction, or none of them, each checked as
    // insertNote checks its note; returns their new IDs in order.
    struct NewNote
    {
        QString title;
        QString text;
    };
    Result<std::vector<qint64>> insertNotes(const std::vector<NewNote> &notes) const;

private:
    Result<Done> deleteNote(const Note &shown, const Companion *companion) const;

    QString m_path;
};

// Attaches the file at `path` (made when missing) to the session's connection as "companion",
// outside any transaction. Refused for a note database in WAL mode, whose transactions are not
// atomic across attached files.
std::optional<StoreError> attachCompanion(const Session &session, const QString &path);

} // namespace store
