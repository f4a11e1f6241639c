#pragma once

#include "SearchText.h"

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

// The search index of one note database: a cache beside the user's other caches, never in the
// database, and never needed for a right answer. It is an SQLite file of its own: an FTS5 table
// of each note's folded words (the runs of scripts without spaces as single characters and
// pairs), the fingerprint of each note it holds, and the state of the database file when it
// last caught up (its identity, size and modification time, taken only once the file system's
// clock has moved past that time, so that a later change cannot hide behind the same time).
namespace store {

// Where the index of the database at `databasePath` is kept: a file named by the key of the
// database's path in $XDG_CACHE_HOME/zentavo/search (~/.cache/zentavo/search when
// XDG_CACHE_HOME is not an absolute path).
QString searchIndexPath(const QString &databasePath);

enum class IndexState {
    Current, // the index answers for the database as it was when the catch-up began
    // Every note is indexed, but the database changed so lately that a change in the same tick
    // of the file system's clock would not show: searches read the database until a catch-up a
    // moment later vouches for the index.
    Settling,
    Unusable, // the index could not be made, read or written; searches read the database
};

// Brings the index at `indexPath` up to date with the database at `databasePath`: makes it
// when missing (the folder 0700, the files 0600, whatever the umask), makes it anew when it is
// damaged or of another format, and reads every note of the database once, indexing the notes
// added or changed since it last caught up (an ID used again after a delete is a change) and
// forgetting the notes deleted. The database is only read. Safe on any thread, with
// connections of its own; it takes as long as reading every note (indexing all of them the
// first time), so a caller that cannot wait runs it on a thread. Set `stop` to give it up: it
// ends soon after, leaving the index as it was.
IndexState catchUpSearchIndex(const QString &databasePath, const QString &indexPath,
                              const std::atomic<bool> *stop = nullptr);

// The notes the index says may match a search, when it answers for the database as it is now.
struct IndexCandidates
{
    // In ID order: every note that matches, perhaps with some that do not.
    std::vector<qint64> ids;
    // Whether every candidate must be checked against its note, or only those in `check`.
    bool checkAll = false;
    std::vector<qint64> check; // in ID order
};

class IndexConnection;

// One thread's reader of a search index; its connection lives as long as the object.
class SearchIndex
{
public:
    SearchIndex(QString databasePath, QString indexPath);
    ~SearchIndex();
    SearchIndex(const SearchIndex &) = delete;
    SearchIndex &operator=(const SearchIndex &) = delete;

    const QString &path() const { return m_indexPath; }

    // Whether the index answers for the database as it is now: a look at the database file and
    // one read of the index.
    bool isCurrent();

    // The candidates for `query` when the index is current; none when it is not, or cannot be
    // read (a damaged index is removed, so that the next catch-up makes it anew).
    std::optional<IndexCandidates> candidates(const SearchQuery &query);

private:
    bool open();
    void close();

    QString m_databasePath;
    QString m_indexPath;
    std::unique_ptr<IndexConnection> m_connection;
    quint64 m_inode = 0; // of the file the connection opened
};

} // namespace store
