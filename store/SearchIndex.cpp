#include "SearchIndex.h"

#include "Session.h"
#include "Statements.h"
#include "TextEncoding.h"
#include "runtime/FileKey.h"
#include "runtime/files/Files.h"

#include <QChar>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <iterator>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

// The layout of the index file and the way its words are folded (2: letters with a stroke
// folded too), with the version of the Unicode tables they were folded by (a newer Qt may fold a
// word otherwise); a file of another format is made anew.
int indexFormat()
{
    return 2000 + int(QChar::currentUnicodeVersion());
}
// The longest word the index keeps whole, in UTF-16 units; a longer one is kept as its
// beginning, and a search for it checks each note found.
constexpr qsizetype MaxIndexedWord = 48;
// The most terms one index query joins; a search of more words checks each note found.
constexpr qsizetype MaxQueryTerms = 64;
// How long the index waits for another program's lock: catching up may wait, a search not.
constexpr int CatchUpBusyMs = 5000;
constexpr int SearchBusyMs = 100;
// SQLite's primary result codes for a damaged file and for a file that is no database.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;
// Where a database file's header keeps the count of its changes.
constexpr off_t SqliteChangeCounterOffset = 24;

// The index's statements. The FTS5 table keeps no text of its own (content=''), only which
// notes hold which words (detail=none); its ascii tokenizer splits only at ASCII characters that
// are no letter or digit, which the folded text has nowhere but between its words, so that the
// index has exactly the words of SearchText, whatever Unicode version SQLite knows.
constexpr QLatin1StringView IndexSchema[] = {
    QLatin1StringView("PRAGMA journal_mode = WAL"),
    QLatin1StringView("PRAGMA synchronous = NORMAL"),
    QLatin1StringView("CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value)"),
    QLatin1StringView(
        "CREATE TABLE IF NOT EXISTS notes (id INTEGER PRIMARY KEY, fingerprint INTEGER NOT NULL)"),
    // Notes whose words in the FTS table may be of a note deleted or replaced under that ID
    // (a contentless table cannot forget a note's words without them): their hits are checked.
    QLatin1StringView("CREATE TABLE IF NOT EXISTS stale (id INTEGER PRIMARY KEY)"),
    QLatin1StringView("CREATE VIRTUAL TABLE IF NOT EXISTS words USING fts5(body, content='', "
                      "columnsize=0, detail=none, tokenize='ascii', prefix='1 2 3 4 5')"),
};
constexpr QLatin1StringView WriteFormat{
    "INSERT OR IGNORE INTO meta (key, value) VALUES ('format', ?)"};
constexpr QLatin1StringView ReadFormat{"SELECT value FROM meta WHERE key = 'format'"};
constexpr QLatin1StringView ReadStamp{"SELECT value FROM meta WHERE key = 'stamp'"};
// The stamp of an index of this program's format, else none.
constexpr QLatin1StringView ReadCurrentStamp{
    "SELECT value FROM meta WHERE key = 'stamp' AND (SELECT value FROM meta WHERE key = "
    "'format') = ?"};
constexpr QLatin1StringView WriteStamp{
    "INSERT OR REPLACE INTO meta (key, value) VALUES ('stamp', ?)"};
constexpr QLatin1StringView CountStaleAndNotes{
    "SELECT (SELECT count(*) FROM stale), (SELECT count(*) FROM notes)"};
constexpr QLatin1StringView ForgetAllWords{"INSERT INTO words (words) VALUES ('delete-all')"};
constexpr QLatin1StringView ForgetAllNotes{"DELETE FROM notes"};
constexpr QLatin1StringView ForgetAllStale{"DELETE FROM stale"};
constexpr QLatin1StringView IndexedNotes{"SELECT id, fingerprint FROM notes ORDER BY id"};
constexpr QLatin1StringView AddWords{"INSERT INTO words (rowid, body) VALUES (?, ?)"};
constexpr QLatin1StringView AddNote{"INSERT OR REPLACE INTO notes (id, fingerprint) VALUES (?, ?)"};
constexpr QLatin1StringView RemoveNote{"DELETE FROM notes WHERE id = ?"};
constexpr QLatin1StringView MarkStale{"INSERT OR IGNORE INTO stale (id) VALUES (?)"};
constexpr QLatin1StringView MatchWords{
    "SELECT rowid FROM words WHERE words MATCH ? ORDER BY rowid"};
constexpr QLatin1StringView StaleNotes{
    "SELECT stale.id, notes.id IS NOT NULL FROM stale LEFT JOIN notes ON notes.id = stale.id "
    "ORDER BY stale.id"};

// Catch-ups of one program take turns, so that one never meets a file another is making.
std::mutex &catchUpTurn()
{
    static std::mutex turn;
    return turn;
}

QString nextConnectionName()
{
    static std::atomic<quint64> counter = 0;
    return QStringLiteral("zentavo-search-%1").arg(++counter);
}

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

QString cacheHome()
{
    return files::userFolder(files::UserFolder::Cache);
}

bool isDamage(const QSqlError &error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == SqliteCorrupt || code == SqliteNotADatabase;
}

// Makes the folder and any missing above it, 0700 whatever the umask; the index's own folder
// is made private even when it is there.
bool makePrivateFolder(const QString &folder)
{
    if (!files::makePrivateFolder(folder))
        return false;
    struct stat status = {};
    if (::lstat(local(folder).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    return (status.st_mode & 07777) == 0700 || ::chmod(local(folder).constData(), 0700) == 0;
}

// The index file, there and private: made empty (an empty file is an empty database) under
// another name and linked into place, so that no connection ever opens it half made.
bool prepareIndexFile(const QString &path)
{
    if (!makePrivateFolder(QFileInfo(path).absolutePath()))
        return false;
    struct stat status = {};
    if (::lstat(local(path).constData(), &status) == 0) {
        if (!S_ISREG(status.st_mode))
            return false;
        return (status.st_mode & 07777) == 0600 || ::chmod(local(path).constData(), 0600) == 0;
    }
    QByteArray made = local(path + QStringLiteral(".new-XXXXXX"));
    const int descriptor = ::mkstemp(made.data());
    if (descriptor < 0)
        return false;
    const bool ready = ::fchmod(descriptor, 0600) == 0;
    ::close(descriptor);
    const bool linked
        = ready && (::link(made.constData(), local(path).constData()) == 0 || errno == EEXIST);
    ::unlink(made.constData());
    return linked;
}

void removeIndexFiles(const QString &path)
{
    for (const QString &suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

// The state of the database file (and of its write-ahead log, if any) that any change alters:
// device, inode, size and modification time of each. Empty when a change made in the same
// tick of the file system's clock could still leave it as it is: then it vouches for nothing.
QByteArray databaseStamp(const QString &databasePath)
{
    timespec now = {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    const qint64 nowNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    QByteArray stamp;
    for (const QString &path :
         {databasePath, besideDatabase(databasePath, QLatin1StringView("-wal"))}) {
        struct stat status = {};
        qint64 fields[4] = {};
        if (::stat(local(path).constData(), &status) == 0) {
            const qint64 modified
                = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
            // File systems that keep whole seconds (or two) take a change as late as that.
            const qint64 tick = status.st_mtim.tv_nsec == 0 ? 2000000000 : 1;
            if (modified + tick > nowNs)
                return {};
            fields[0] = qint64(status.st_dev);
            fields[1] = qint64(status.st_ino);
            fields[2] = qint64(status.st_size);
            fields[3] = modified;
        }
        stamp.append(reinterpret_cast<const char *>(fields), sizeof fields);
    }
    // A change that leaves the file its size, the file then given back its old time (by a copy
    // or a sync engine that keeps times), still counts on the change counter in its header.
    char counter[4] = {};
    const int descriptor = ::open(local(databasePath).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        if (::pread(descriptor, counter, sizeof counter, SqliteChangeCounterOffset)
            != qint64(sizeof counter))
            std::fill(std::begin(counter), std::end(counter), 0);
        ::close(descriptor);
    }
    stamp.append(counter, sizeof counter);
    return stamp;
}

// What a note's words are made of: its bytes, and the encoding they are read in, since the
// same bytes in a file of another encoding are another text.
qint64 fingerprint(TextEncoding encoding, const QByteArray &title, const QByteArray &text)
{
    const size_t seed = qHash(QByteArrayView(title), size_t(0x5a656e7461766f) + size_t(encoding));
    return qint64(qHash(QByteArrayView(text), seed ^ size_t(title.size())));
}

// The code points of a run, each as its UTF-16 units.
std::vector<QStringView> codePoints(QStringView run)
{
    std::vector<QStringView> points;
    for (qsizetype at = 0; at < run.size();) {
        const qsizetype length
            = run[at].isHighSurrogate() && at + 1 < run.size() && run[at + 1].isLowSurrogate() ? 2
                                                                                               : 1;
        points.push_back(run.sliced(at, length));
        at += length;
    }
    return points;
}

// A pair of neighbouring code points of a run, as one word of the index.
QString pairAt(const std::vector<QStringView> &points, std::size_t first)
{
    return points[first].toString().append(points[first + 1]);
}

// Each code point of a run as a word of the index, and each pair of neighbours.
void appendRun(QString &to, QStringView run)
{
    const std::vector<QStringView> points = codePoints(run);
    for (std::size_t i = 0; i < points.size(); ++i) {
        to.append(points[i]).append(QLatin1Char(' '));
        if (i + 1 < points.size())
            to.append(pairAt(points, i)).append(QLatin1Char(' '));
    }
}

QStringView beginning(QStringView word)
{
    if (word.size() <= MaxIndexedWord)
        return word;
    return word.first(word[MaxIndexedWord].isLowSurrogate() ? MaxIndexedWord - 1 : MaxIndexedWord);
}

// What the FTS table is given for a note: its folded words, beginnings of long words, and its
// runs as characters and pairs.
QString indexedWords(const QString &title, const QString &text)
{
    const QString folded = foldedForSearch(title) + QLatin1Char(' ') + foldedForSearch(text);
    QString words;
    words.reserve(folded.size() + 16);
    for (const QStringView token : QStringView(folded).split(QLatin1Char(' '))) {
        if (token.isEmpty())
            continue;
        if (isFoldedRun(token))
            appendRun(words, token);
        else
            words.append(beginning(token)).append(QLatin1Char(' '));
    }
    return words;
}

QString quoted(QStringView term)
{
    QString escaped = term.toString();
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// The FTS5 query for a search, built only of quoted terms; and whether its hits are exactly the
// search's or must be checked.
struct IndexQuery
{
    QString match;
    bool exact = true;
};

IndexQuery indexQuery(const SearchQuery &query)
{
    IndexQuery built;
    QStringList terms;
    for (const QString &word : query.words()) {
        const QStringView kept = beginning(word);
        built.exact = built.exact && kept.size() == word.size();
        terms.append(quoted(kept) + QLatin1Char('*'));
    }
    for (const QString &run : query.runs()) {
        // A run of one or two characters is one word of the index; a longer one is every pair
        // of neighbours in it, which notes without the whole run may hold too.
        const std::vector<QStringView> points = codePoints(run);
        if (points.size() <= 2) {
            terms.append(quoted(run));
            continue;
        }
        built.exact = false;
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            terms.append(quoted(pairAt(points, i)));
    }
    terms.removeDuplicates();
    if (terms.size() > MaxQueryTerms) {
        std::stable_sort(terms.begin(), terms.end(),
                         [](const QString &a, const QString &b) { return a.size() > b.size(); });
        terms.resize(MaxQueryTerms);
        built.exact = false;
    }
    built.match = terms.join(QStringLiteral(" AND "));
    return built;
}

// Whether the index is of this program's format and vouches for the database with this stamp.
bool hasStamp(QSqlQuery &query, const QByteArray &stamp)
{
    if (!query.prepare(ReadCurrentStamp))
        return false;
    query.addBindValue(indexFormat());
    return query.exec() && query.next() && query.value(0).toByteArray() == stamp;
}

// TooStale: a catch-up would leave more notes to be checked than it is worth keeping.
enum class Outcome { Done, Settling, Failed, Damaged, TooStale };

Outcome outcomeOf(const QSqlError &error)
{
    return isDamage(error) ? Outcome::Damaged : Outcome::Failed;
}

// Runs the statements in order; the first failure ends it.
Outcome runAll(QSqlQuery &query, std::initializer_list<QLatin1StringView> statements)
{
    for (const QLatin1StringView statement : statements) {
        if (!query.exec(statement))
            return outcomeOf(query.lastError());
    }
    return Outcome::Done;
}

Outcome makeSchema(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    for (const QLatin1StringView statement : IndexSchema) {
        if (!query.exec(statement))
            return outcomeOf(query.lastError());
    }
    query.prepare(WriteFormat);
    query.addBindValue(indexFormat());
    if (!query.exec())
        return outcomeOf(query.lastError());
    if (!query.exec(ReadFormat) || !query.next())
        return outcomeOf(query.lastError());
    return query.value(0).toInt() == indexFormat() ? Outcome::Done : Outcome::Damaged;
}

// The notes of the index beside the notes of the database, in one pass of each in ID order.
class Reconciler
{
public:
    explicit Reconciler(const QSqlDatabase &index)
        : m_addWords(index)
        , m_addNote(index)
        , m_removeNote(index)
        , m_markStale(index)
    {}

    bool prepare()
    {
        return m_addWords.prepare(AddWords) && m_addNote.prepare(AddNote)
               && m_removeNote.prepare(RemoveNote) && m_markStale.prepare(MarkStale);
    }

    bool add(qint64 id, qint64 print, const QString &title, const QString &text)
    {
        m_addWords.bindValue(0, id);
        m_addWords.bindValue(1, indexedWords(title, text));
        m_addNote.bindValue(0, id);
        m_addNote.bindValue(1, print);
        return remember(m_addWords.exec(), m_addWords) && remember(m_addNote.exec(), m_addNote);
    }
    bool markStale(qint64 id)
    {
        m_markStale.bindValue(0, id);
        return remember(m_markStale.exec(), m_markStale);
    }
    bool remove(qint64 id)
    {
        m_removeNote.bindValue(0, id);
        return remember(m_removeNote.exec(), m_removeNote) && markStale(id);
    }
    Outcome failure() const { return m_failure; }

private:
    bool remember(bool ran, const QSqlQuery &query)
    {
        if (!ran)
            m_failure = outcomeOf(query.lastError());
        return ran;
    }

    QSqlQuery m_addWords;
    QSqlQuery m_addNote;
    QSqlQuery m_removeNote;
    QSqlQuery m_markStale;
    Outcome m_failure = Outcome::Failed;
};

// The notes of the database beside those of the index (`indexed`, in ID order), in one pass of
// each: the new and changed notes indexed, the deleted ones forgotten. Changed and deleted
// notes are marked stale; once more than `mayMarkStale` would be, the pass gives up with
// TooStale, so that the caller makes the words anew rather than leave most hits to be checked.
Outcome indexChanges(Reconciler &reconciler, const Session &session,
                     const std::vector<std::pair<qint64, qint64>> &indexed, qint64 mayMarkStale,
                     const std::atomic<bool> *stop)
{
    QSqlQuery rows(session.database());
    rows.setForwardOnly(true);
    if (!rows.exec(SelectAllNotesWhole))
        return Outcome::Failed;
    qint64 marked = 0;
    const auto mayMarkAnother = [&] {
        return ++marked <= mayMarkStale;
    };
    std::size_t next = 0;
    while (rows.next()) {
        // Given up when the program ends: what was not committed is caught up on next time.
        if (stop && stop->load(std::memory_order_relaxed))
            return Outcome::Failed;
        const qint64 id = rows.value(0).toLongLong();
        for (; next < indexed.size() && indexed[next].first < id; ++next) {
            if (!mayMarkAnother())
                return Outcome::TooStale;
            if (!reconciler.remove(indexed[next].first))
                return reconciler.failure();
        }
        const QByteArray title = rows.value(1).toByteArray();
        const QByteArray text = rows.value(2).toByteArray();
        const qint64 print = fingerprint(session.encoding(), title, text);
        const bool known = next < indexed.size() && indexed[next].first == id;
        if (known && indexed[next].second == print) {
            ++next;
            continue;
        }
        if (known) {
            ++next;
            if (!mayMarkAnother())
                return Outcome::TooStale;
            if (!reconciler.markStale(id))
                return reconciler.failure();
        }
        if (!reconciler.add(id, print, decodeText(session.encoding(), title),
                            decodeText(session.encoding(), text)))
            return reconciler.failure();
    }
    if (rows.lastError().isValid())
        return Outcome::Failed;
    for (; next < indexed.size(); ++next) {
        if (!mayMarkAnother())
            return Outcome::TooStale;
        if (!reconciler.remove(indexed[next].first))
            return reconciler.failure();
    }
    return Outcome::Done;
}

Outcome reconcile(const QSqlDatabase &index, const QString &databasePath,
                  const std::atomic<bool> *stop)
{
    // Taken before the notes are read: a change after it shows as another stamp next time.
    const QByteArray stamp = databaseStamp(databasePath);
    QSqlQuery query(index);
    query.setForwardOnly(true); // many notes: none kept behind the one read
    if (!query.exec(BeginWrite))
        return outcomeOf(query.lastError());
    const auto fail = [&index](Outcome outcome) {
        QSqlQuery(index).exec(RollbackWrite);
        return outcome;
    };
    if (!query.exec(ReadStamp))
        return fail(outcomeOf(query.lastError()));
    if (query.next() && !stamp.isEmpty() && query.value(0).toByteArray() == stamp) {
        query.finish();
        return query.exec(CommitWrite) ? Outcome::Done : fail(outcomeOf(query.lastError()));
    }
    if (!query.exec(CountStaleAndNotes) || !query.next())
        return fail(outcomeOf(query.lastError()));
    // Past this many stale notes the words are made anew, so that searches check few notes.
    const qint64 mayMarkStale
        = 100 + query.value(1).toLongLong() / 10 - query.value(0).toLongLong();
    const auto forgetAll = [&query] {
        return runAll(query, {ForgetAllWords, ForgetAllNotes, ForgetAllStale});
    };
    if (mayMarkStale < 0) {
        if (const Outcome wiped = forgetAll(); wiped != Outcome::Done)
            return fail(wiped);
    }
    std::vector<std::pair<qint64, qint64>> indexed;
    if (!query.exec(IndexedNotes))
        return fail(outcomeOf(query.lastError()));
    while (query.next())
        indexed.emplace_back(query.value(0).toLongLong(), query.value(1).toLongLong());
    query.finish();

    Reconciler reconciler(index);
    if (!reconciler.prepare())
        return fail(Outcome::Failed);
    const Session session(databasePath, QStringLiteral("Sökindexet kunde inte uppdateras."));
    if (session.failure())
        return fail(Outcome::Failed);
    Outcome indexedNow = indexChanges(reconciler, session, indexed, mayMarkStale, stop);
    if (indexedNow == Outcome::TooStale) {
        indexedNow = forgetAll();
        if (indexedNow == Outcome::Done)
            indexedNow = indexChanges(reconciler, session, {}, 0, stop);
    }
    if (indexedNow != Outcome::Done)
        return fail(indexedNow);
    query.prepare(WriteStamp);
    query.bindValue(0, stamp.isEmpty() ? QVariant() : QVariant(stamp));
    if (!query.exec() || !query.exec(CommitWrite))
        return fail(outcomeOf(query.lastError()));
    return stamp.isEmpty() ? Outcome::Settling : Outcome::Done;
}

} // namespace

// A connection to an index file, closed and removed from Qt's registry when it goes.
class IndexConnection
{
public:
    IndexConnection(const QString &path, int busyMs)
        : m_name(nextConnectionName())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(QStringLiteral("file:")
                           + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"))
                           + QStringLiteral("?mode=rw"));
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyMs));
        m_open = db.open();
    }
    ~IndexConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    IndexConnection(const IndexConnection &) = delete;
    IndexConnection &operator=(const IndexConnection &) = delete;

    bool isOpen() const { return m_open; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_open = false;
};

QString searchIndexPath(const QString &databasePath)
{
    return cacheHome() + QStringLiteral("/zentavo/search/") + runtime::fileKey(databasePath);
}

IndexState catchUpSearchIndex(const QString &databasePath, const QString &indexPath,
                              const std::atomic<bool> *stop)
{
    const std::lock_guard<std::mutex> turn(catchUpTurn());
    // No index is made for a file that is not a note database: it would stay in the cache.
    if (!QFileInfo::exists(indexPath) && Session(databasePath, QString()).failure())
        return IndexState::Unusable;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!prepareIndexFile(indexPath))
            return IndexState::Unusable;
        Outcome outcome = Outcome::Failed;
        {
            const IndexConnection connection(indexPath, CatchUpBusyMs);
            // Up to date already: found by reading alone, so that nothing is written.
            const QByteArray stamp = databaseStamp(databasePath);
            if (connection.isOpen() && !stamp.isEmpty()) {
                QSqlQuery query(connection.database());
                if (hasStamp(query, stamp))
                    return IndexState::Current;
            }
            if (connection.isOpen()) {
                outcome = makeSchema(connection.database());
                if (outcome == Outcome::Done)
                    outcome = reconcile(connection.database(), databasePath, stop);
            }
        }
        switch (outcome) {
        case Outcome::Done:
            return IndexState::Current;
        case Outcome::Settling:
            return IndexState::Settling;
        case Outcome::Failed:
        case Outcome::TooStale:
            return IndexState::Unusable;
        case Outcome::Damaged:
            break;
        }
        removeIndexFiles(indexPath);
    }
    return IndexState::Unusable;
}

SearchIndex::SearchIndex(QString databasePath, QString indexPath)
    : m_databasePath(std::move(databasePath))
    , m_indexPath(std::move(indexPath))
{}

SearchIndex::~SearchIndex()
{
    close();
}

bool SearchIndex::open()
{
    // A catch-up may have made the file anew since it was opened: then the one there now.
    struct stat status = {};
    const bool there
        = ::stat(local(m_indexPath).constData(), &status) == 0 && S_ISREG(status.st_mode);
    if (m_connection && there && status.st_ino == m_inode)
        return true;
    close();
    if (!there)
        return false;
    m_inode = status.st_ino;
    auto connection = std::make_unique<IndexConnection>(m_indexPath, SearchBusyMs);
    if (!connection->isOpen())
        return false;
    m_connection = std::move(connection);
    return true;
}

void SearchIndex::close()
{
    m_connection.reset();
}

bool SearchIndex::isCurrent()
{
    const QByteArray stamp = databaseStamp(m_databasePath);
    if (stamp.isEmpty() || !open())
        return false;
    QSqlQuery query(m_connection->database());
    return hasStamp(query, stamp);
}

std::optional<IndexCandidates> SearchIndex::candidates(const SearchQuery &query)
{
    const QByteArray stamp = databaseStamp(m_databasePath);
    if (stamp.isEmpty() || query.isEmpty() || !open())
        return std::nullopt;
    IndexCandidates found;
    std::vector<qint64> gone;
    bool ok = false;
    bool damaged = false;
    {
        QSqlQuery read(m_connection->database());
        read.setForwardOnly(true); // many IDs: none kept behind the one read
        const IndexQuery asked = indexQuery(query);
        found.checkAll = !asked.exact;
        // One read transaction: the stamp, the words and the stale notes of the same moment.
        ok = read.exec(BeginRead) && hasStamp(read, stamp);
        if (ok) {
            ok = read.prepare(MatchWords);
            read.bindValue(0, asked.match);
            ok = ok && read.exec();
            while (ok && read.next()) {
                const qint64 id = read.value(0).toLongLong();
                if (found.ids.empty() || found.ids.back() != id)
                    found.ids.push_back(id);
            }
            ok = ok && !read.lastError().isValid();
        }
        if (ok && read.exec(StaleNotes)) {
            while (read.next())
                (read.value(1).toBool() ? found.check : gone).push_back(read.value(0).toLongLong());
            ok = !read.lastError().isValid();
        } else {
            ok = false;
        }
        damaged = isDamage(read.lastError());
        read.finish();
        read.exec(CommitWrite);
    }
    if (!ok) {
        close();
        if (damaged)
            removeIndexFiles(m_indexPath);
        return std::nullopt;
    }
    std::erase_if(found.ids,
                  [&gone](qint64 id) { return std::binary_search(gone.begin(), gone.end(), id); });
    return found;
}

} // namespace store
