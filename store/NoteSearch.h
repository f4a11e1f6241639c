#pragma once

#include "Note.h"
#include "SearchIndex.h"
#include "SearchText.h"
#include "StoreError.h"

#include <QString>
#include <functional>
#include <vector>

namespace store {

// A note found, as a list of found notes shows it.
struct FoundNote
{
    qint64 id = 0;
    QString title;
    QString line; // lineAroundFirstHit of the search in the note's text
};

// Finding notes by what they say, in the database at one path: the notes whose title or text
// hold every word typed, each as the beginning of a word, case and diacritics ignored (see
// SearchText.h). The answer comes from the search index when it answers for the database as it
// is now, and otherwise from reading every note of the database: the same notes, only slower.
// The database is only read. Use an object on one thread; catchUp may run on any.
class NoteSearch
{
public:
    // With the index at its place in the user's cache folder.
    explicit NoteSearch(const QString &databasePath);
    NoteSearch(QString databasePath, const QString &indexPath);

    const QString &databasePath() const { return m_databasePath; }
    const QString &indexPath() const { return m_index.path(); }

    // Brings the index up to date (catchUpSearchIndex); safe on any thread, while this object
    // is used on its own.
    IndexState catchUp() const;

    // Whether find answers from the index now, without reading the notes.
    bool indexIsCurrent() { return m_index.isCurrent(); }

    // The IDs of the notes that match, in ID order; none for a query without words. An error
    // only when the database cannot be read.
    Result<std::vector<qint64>> find(const SearchQuery &query);

    // The notes with these IDs that are still there, in the order given, read in one session.
    // `take` returns false to stop early.
    Result<Done> forEachNoteOf(const std::vector<qint64> &ids,
                               const std::function<bool(const Note &)> &take) const;

    // The notes with these IDs that are still there, each as a list of found notes shows it,
    // with the IDs cut into up to `parts` parts read side by side, each on a thread and in a
    // session of its own (the first on this thread): for many notes, which one thread reads no
    // faster than it can handle them. `take` is called on several threads at once, with a
    // part's number and that part's notes in order; each part holds the notes of a moment of
    // its own. Few notes, or IDs out of order, are read as forEachNoteOf reads them, as part 0.
    Result<Done> forEachFoundInParts(const std::vector<qint64> &ids, const SearchQuery &query,
                                     int parts,
                                     const std::function<void(int, const FoundNote &)> &take) const;

private:
    Result<std::vector<qint64>> readEveryNote(const SearchQuery &query) const;
    Result<std::vector<qint64>> checked(const SearchQuery &query,
                                        const IndexCandidates &candidates) const;

    QString m_databasePath;
    SearchIndex m_index;
};

} // namespace store
