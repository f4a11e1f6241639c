// One sync round, and the delete that records a deletion for it (see Sync.h for the scheme).

#include "Sync.h"

#include "NoteFile.h"
#include "NoteStore.h"
#include "Session.h"
#include "Statements.h"
#include "SyncStatements.h"
#include "UserPlaces.h"
#include "WriteCheck.h"

#include "runtime/files/Files.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cerrno>
#include <map>
#include <sys/stat.h>

namespace store {

namespace {

QString roundHeadline()
{
    return QStringLiteral("Synkningen kunde inte göras.");
}

QString stateFolder(const QString &databasePath)
{
    return stateFolderOf(databasePath, QLatin1StringView("sync"));
}

QString stateFile(const QString &databasePath)
{
    return stateFolder(databasePath) + QStringLiteral("/state.sqlite");
}

// Attaches what sync remembers to the session and makes its tables where they are missing.
std::optional<StoreError> openState(const Session &session, const QString &path)
{
    if (std::optional<StoreError> error = attachCompanion(session, path))
        return error;
    QSqlQuery query(session.database());
    for (const QLatin1StringView statement : syncsql::CreateTables) {
        if (!run(query, statement))
            return session.describe(query.lastError());
    }
    return std::nullopt;
}

// A note as the store reads it, in UTF-8 whatever the file's encoding.
struct LocalNote
{
    qint64 id = 0;
    QByteArray title;
    QByteArray text;
    QByteArray fingerprint;
    bool mapped = false;
};

// What the state remembers of one note in the folder.
struct Known
{
    qint64 id = 0;
    QByteArray fingerprint;
    bool written = false;
};

// A note whose file arrived, to be added.
struct Arrival
{
    QString identity;
    QDateTime modified;
    QString name;
    NoteFileContent content;
};

// The names in the folder, sorted into what a round reads and what it tells.
struct Listing
{
    QHash<QString, QString> notes;     // identity -> file name
    QHash<QString, QString> deletions; // identity -> file name
    std::vector<SyncProblem> problems;
};

// Files a round leaves alone without a word: hidden names (the engine's own folders and files,
// ".syncthing.*.tmp" among them), the engine's other temporary files, and files being written
// whole under "<name>.part", by this machine or another.
bool passedOverSilently(const QString &name)
{
    return name.startsWith(QLatin1Char('.')) || name.endsWith(QLatin1String(".part"))
           || (name.startsWith(QLatin1String("~syncthing~"))
               && name.endsWith(QLatin1String(".tmp")));
}

bool isConflictCopy(const QString &name)
{
    return name.contains(QLatin1String(".sync-conflict-"))
           || name.contains(QLatin1String("(conflicted copy"));
}

Listing listFolder(const QString &folder)
{
    Listing listing;
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QString name = entries.fileName();
        if (passedOverSilently(name))
            continue;
        // A pipe would hold the round (and with it every save) until someone writes into it, a
        // device would be read without end: only regular files are opened.
        if (!entries.fileInfo().isFile()) {
            listing.problems.push_back(
                {entries.filePath(),
                 QStringLiteral("filen är ingen vanlig fil utan en pipe, en enhet eller en länk "
                                "dit, och läses inte. Ta bort den: synkmappen är Zentavos egen.")});
            continue;
        }
        if (const std::optional<FolderName> parsed = parseFolderName(name)) {
            (parsed->deletion ? listing.deletions : listing.notes).insert(parsed->identity, name);
        } else if (isConflictCopy(name)) {
            listing.problems.push_back(
                {entries.filePath(),
                 QStringLiteral("en konfliktkopia som synkmotorn gjort. Zentavo ändrar aldrig en "
                                "antecknings fil, så den kommer av en ändring någon annanstans; "
                                "Zentavo läser den inte. Ta bort den när du sett vad den "
                                "innehåller.")});
        } else {
            listing.problems.push_back(
                {entries.filePath(),
                 QStringLiteral("filen hör inte till Zentavo och läses inte. Flytta den till en "
                                "annan mapp: synkmappen är Zentavos egen.")});
        }
    }
    return listing;
}

QString fileProblemText(const QString &cause)
{
    return cause
           + QStringLiteral(". Filen hoppas över tills vidare; är den ofullständig tas den när "
                            "synkmotorn fört över den hel. Annars: ta bort den.");
}

// SQLite's longest text or blob: a note file holds a title and a text, each within it.
constexpr qint64 MaxNoteFileBytes = 2'000'000'000;

// Reads a note's file: its note, or the problem to report.
std::variant<NoteFileContent, SyncProblem> readNoteFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SyncProblem{path, fileProblemText(file.errorString())};
    // No more than the database takes in one note; a bigger file is no note of Zentavo's. Read
    // by its size (QIODevice::read sets aside all it is allowed first), one byte more, so that
    // a file still growing reads as changed.
    const qint64 size = file.size();
    if (size > MaxNoteFileBytes)
        return SyncProblem{path,
                           fileProblemText(QStringLiteral("filen är för stor för en anteckning"))};
    const QByteArray bytes = file.read(size + 1);
    std::variant<NoteFileContent, QString> decoded = decodeNoteFile(bytes);
    if (QString *problem = std::get_if<QString>(&decoded))
        return SyncProblem{path, fileProblemText(*problem)};
    return std::get<NoteFileContent>(std::move(decoded));
}

// One round on one session, the round's lock held.
class Round
{
public:
    Round(const Session &session, QString folder)
        : m_session(session)
        , m_folder(std::move(folder))
    {}

    Result<SyncReport> run();

private:
    std::optional<StoreError> readState();
    std::optional<StoreError> readLocalNotes();
    std::optional<StoreError> changeDatabase();
    void writeOut();
    std::optional<StoreError> rememberProblems();
    QByteArray quietStamp() const;
    std::optional<StoreError> readQuiet(const QByteArray &stamp, bool *quiet);

    QString pathOf(const QString &name) const { return m_folder + QLatin1Char('/') + name; }
    // Whether a note's file is to be written: one never written, or written before and missing
    // from the folder now (another folder set since, or the file taken away: Zentavo never
    // removes one), unless the note was deleted elsewhere.
    bool mustWrite(const QString &identity, bool written) const
    {
        return (!written || !m_listing.notes.contains(identity))
               && !m_listing.deletions.contains(identity);
    }
    std::optional<StoreError> exec(QLatin1StringView statement, const QVariantList &values)
    {
        QSqlQuery query(m_session.database());
        if (!store::run(query, statement, values))
            return m_session.describe(query.lastError());
        return std::nullopt;
    }

    const Session &m_session;
    QString m_folder;
    Listing m_listing;
    SyncReport m_report;

    QHash<QString, Known> m_known;        // identity -> what is remembered
    QHash<QString, bool> m_gone;          // identity -> record still to be written here
    QSet<QPair<QString, QString>> m_told; // (file, problem)
    bool m_joined = false;
    std::vector<LocalNote> m_local; // in ID order
    QHash<qint64, std::size_t> m_localById;
    std::vector<QString> m_toWrite; // identities whose files are to be written
    bool m_changes = false;         // whether the transaction changed anything
};

std::optional<StoreError> Round::readState()
{
    QSqlQuery query(m_session.database());
    query.setForwardOnly(true);
    if (!store::run(query, syncsql::SelectNotes))
        return m_session.describe(query.lastError());
    while (query.next())
        m_known.insert(query.value(0).toString(),
                       Known{query.value(1).toLongLong(), query.value(2).toByteArray(),
                             query.value(3).toInt() != 0});
    if (!store::run(query, syncsql::SelectGone))
        return m_session.describe(query.lastError());
    // A record written before and missing from the folder now (another folder set since, or the
    // file taken away) is written again, as a note's file is.
    while (query.next()) {
        const QString identity = query.value(0).toString();
        m_gone.insert(identity, !query.value(1).isNull()
                                    && (query.value(1).toInt() == 0
                                        || !m_listing.deletions.contains(identity)));
    }
    if (!store::run(query, syncsql::SelectTold))
        return m_session.describe(query.lastError());
    while (query.next())
        m_told.insert({query.value(0).toString(), query.value(1).toString()});
    if (!store::run(query, syncsql::SelectJoined))
        return m_session.describe(query.lastError());
    m_joined = query.next();
    return std::nullopt;
}

std::optional<StoreError> Round::readLocalNotes()
{
    QSqlQuery rows(m_session.database());
    rows.setForwardOnly(true);
    if (!store::run(rows, SelectAllNotesWhole))
        return m_session.describe(rows.lastError());
    // A note is its text as the store reads it, which the window shows and deleteSyncedNote
    // is given: bytes another program stored that are no UTF-8 read as U+FFFD, and so they are
    // written to the folder, fingerprinted, and taken in on the other side.
    const bool utf8 = m_session.encoding() == TextEncoding::Utf8;
    const auto asUtf8 = [this, utf8](QByteArray stored) {
        return utf8 && stored.isValidUtf8() ? stored
                                            : decodeText(m_session.encoding(), stored).toUtf8();
    };
    while (rows.next()) {
        LocalNote note;
        note.id = rows.value(0).toLongLong();
        note.title = asUtf8(rows.value(1).toByteArray());
        note.text = asUtf8(rows.value(2).toByteArray());
        note.fingerprint = noteFingerprint(note.title, note.text);
        m_localById.insert(note.id, m_local.size());
        m_local.push_back(std::move(note));
    }
    if (rows.lastError().isValid())
        return m_session.describe(rows.lastError());
    return std::nullopt;
}

// Everything the round changes in memo.mdb and in what it remembers, in one transaction: the
// notes deleted elsewhere go, the notes that arrived come in, the notes saved here get their
// identities. Files are read before anything is written, and only whole ones are taken.
std::optional<StoreError> Round::changeDatabase()
{
    Result<WriteCheck> check = WriteCheck::before(m_session, QStringLiteral("Ingenting ändrades."));
    if (!check)
        return check.error();
    // Changes of what is remembered, made after every change of the notes: WriteCheck counts
    // every row the connection changes.
    std::vector<std::pair<QLatin1StringView, QVariantList>> remember;

    // Notes remembered whose ID still holds them.
    std::vector<QString> vanished;
    for (auto known = m_known.cbegin(); known != m_known.cend(); ++known) {
        const auto local = m_localById.constFind(known->id);
        if (local != m_localById.cend() && m_local[*local].fingerprint == known->fingerprint
            && !m_local[*local].mapped) {
            m_local[*local].mapped = true;
            if (mustWrite(known.key(), known->written))
                m_toWrite.push_back(known.key());
        } else if (!m_gone.contains(known.key()) && !m_listing.deletions.contains(known.key())) {
            vanished.push_back(known.key()); // a deletion is dealt with below
        }
    }
    // Notes remembered whose ID no longer holds them: gone from memo.mdb without a deletion made
    // here (an older copy of the file put back, another program), or the ID taken by another
    // note. One under another ID, with the same title and text and no identity of its own (the
    // older copy's), is that note; any other comes back from its file.
    std::multimap<QByteArray, std::size_t> unmapped;
    if (!vanished.empty()) {
        for (std::size_t index = 0; index < m_local.size(); ++index) {
            if (!m_local[index].mapped)
                unmapped.emplace(m_local[index].fingerprint, index);
        }
    }
    std::vector<QString> comeBack;
    for (const QString &identity : vanished) {
        Known &known = m_known[identity];
        if (const auto moved = unmapped.find(known.fingerprint); moved != unmapped.end()) {
            LocalNote &local = m_local[moved->second];
            unmapped.erase(moved);
            local.mapped = true;
            known.id = local.id;
            remember.push_back(
                {syncsql::PutNote, {identity, local.id, local.fingerprint, int(known.written)}});
            if (mustWrite(identity, known.written))
                m_toWrite.push_back(identity);
        } else if (m_listing.notes.contains(identity)) {
            comeBack.push_back(identity);
        } else if (!known.written) {
            remember.push_back({syncsql::ForgetNote, {identity}}); // never left this machine
        }
    }

    // Deletions made elsewhere: exactly the note of that identity, when its ID still holds it.
    for (auto deletion = m_listing.deletions.cbegin(); deletion != m_listing.deletions.cend();
         ++deletion) {
        if (m_gone.contains(deletion.key()))
            continue;
        QFile file(pathOf(*deletion));
        if (!file.open(QIODevice::ReadOnly)
            || file.read(deletionRecord().size() + 1) != deletionRecord()) {
            m_report.problems.push_back(
                {file.fileName(),
                 fileProblemText(QStringLiteral("filen är inget helt raderingsbesked"))});
            continue;
        }
        if (const auto known = m_known.constFind(deletion.key()); known != m_known.cend()) {
            const auto local = m_localById.constFind(known->id);
            if (local != m_localById.cend() && m_local[*local].fingerprint == known->fingerprint) {
                QSqlQuery erase(m_session.database());
                if (!store::run(erase, DeleteNoteStatement, {known->id}))
                    return m_session.describe(erase.lastError());
                if (const Result<Done> deleted = check->deleted(known->id); !deleted)
                    return deleted.error();
                m_report.deleted.push_back(known->id);
                m_local[*local].mapped = true; // gone: not to be written out
            }
            remember.push_back({syncsql::ForgetNote, {deletion.key()}});
        }
        remember.push_back({syncsql::PutGone, {deletion.key()}});
    }

    // Notes that arrived (or come back), whole ones only, in the order they arrived.
    std::vector<Arrival> arrivals;
    const auto take = [&](const QString &identity, const QString &name) {
        const QString path = pathOf(name);
        std::variant<NoteFileContent, SyncProblem> read = readNoteFile(path);
        if (SyncProblem *problem = std::get_if<SyncProblem>(&read)) {
            m_report.problems.push_back(std::move(*problem));
            return;
        }
        arrivals.push_back({identity, QFileInfo(path).lastModified(), name,
                            std::get<NoteFileContent>(std::move(read))});
    };
    for (const QString &identity : comeBack)
        take(identity, m_listing.notes.value(identity));
    for (auto note = m_listing.notes.cbegin(); note != m_listing.notes.cend(); ++note) {
        if (!m_known.contains(note.key()) && !m_gone.contains(note.key())
            && !m_listing.deletions.contains(note.key()))
            take(note.key(), *note);
    }
    std::sort(arrivals.begin(), arrivals.end(), [](const Arrival &a, const Arrival &b) {
        return a.modified != b.modified ? a.modified < b.modified : a.name < b.name;
    });

    // The first round puts this database's notes and the folder's together: a note of its own
    // equal in title and text to one in the folder that no note here stands for yet is taken
    // for that note (it was most likely carried here before, by hand or by an earlier sync), not
    // added twice. Each note here stands for one file at most, so two equal notes in the folder
    // stay two. Later rounds never match by content: a note saved here is new, whatever it says.
    if (!m_joined) {
        std::multimap<QByteArray, std::size_t> unmapped;
        for (std::size_t index = 0; index < m_local.size(); ++index) {
            if (!m_local[index].mapped)
                unmapped.emplace(m_local[index].fingerprint, index);
        }
        std::vector<Arrival> stillToAdd;
        for (Arrival &arrival : arrivals) {
            const auto equal = unmapped.find(arrival.content.fingerprint);
            if (equal == unmapped.end() || m_known.contains(arrival.identity)) {
                stillToAdd.push_back(std::move(arrival));
                continue;
            }
            LocalNote &local = m_local[equal->second];
            local.mapped = true;
            unmapped.erase(equal);
            remember.push_back(
                {syncsql::PutNote, {arrival.identity, local.id, local.fingerprint, 1}});
        }
        arrivals = std::move(stillToAdd);
        remember.push_back({syncsql::SetJoined, {}});
    }

    QSqlQuery insert(m_session.database());
    if (!arrivals.empty() && !insert.prepare(InsertNoteStatement))
        return m_session.describe(insert.lastError());
    for (const Arrival &arrival : arrivals) {
        const TextToWrite title = textToWrite(m_session.encoding(), arrival.content.title);
        const TextToWrite text = textToWrite(m_session.encoding(), arrival.content.text);
        insert.addBindValue(title.bound);
        insert.addBindValue(text.bound);
        if (!insert.exec())
            return m_session.describe(insert.lastError());
        const Result<qint64> id = check->inserted(title, text);
        if (!id)
            return id.error();
        m_report.added.push_back(*id);
        remember.push_back(
            {syncsql::PutNote, {arrival.identity, *id, arrival.content.fingerprint, 1}});
    }

    // Notes saved here that the folder does not have yet get identities of their own.
    for (LocalNote &local : m_local) {
        if (local.mapped)
            continue;
        const QString identity = newNoteIdentity();
        m_known.insert(identity, Known{local.id, local.fingerprint, false});
        m_toWrite.push_back(identity);
        remember.push_back({syncsql::PutNote, {identity, local.id, local.fingerprint, 0}});
    }

    if (const Result<Done> whole = check->rowsAccountedFor(); !whole)
        return whole.error();
    m_changes = !remember.empty() || !m_report.added.empty() || !m_report.deleted.empty();
    QSqlQuery query(m_session.database());
    for (const auto &[statement, values] : remember) {
        if (!store::run(query, statement, values))
            return m_session.describe(query.lastError());
    }
    return std::nullopt;
}

// Writes the notes saved here and the deletions made here, each file whole and never over
// another; remembered as written only once the folder is flushed. A folder that cannot be
// written (read-only, full) is reported and tried again next round.
void Round::writeOut()
{
    // Identities with what to write for each, in the order written.
    std::vector<std::pair<QLatin1StringView, QString>> toWrite;
    for (const QString &identity : m_toWrite)
        toWrite.push_back({syncsql::NoteWritten, identity});
    for (auto gone = m_gone.cbegin(); gone != m_gone.cend(); ++gone) {
        if (*gone)
            toWrite.push_back({syncsql::RecordWritten, gone.key()});
    }
    std::vector<QString> written[2]; // notes, deletion records
    std::optional<files::FileError> failure;
    // A few thousand at a time, so that many notes are not all held twice.
    constexpr std::size_t Batch = 2000;
    for (std::size_t start = 0; start < toWrite.size() && !failure; start += Batch) {
        std::vector<files::NewFile> batch;
        const std::size_t end = std::min(toWrite.size(), start + Batch);
        for (std::size_t index = start; index < end; ++index) {
            const auto &[statement, identity] = toWrite[index];
            if (statement == syncsql::NoteWritten) {
                const LocalNote &local = m_local[m_localById.value(m_known.value(identity).id)];
                batch.push_back(
                    {pathOf(noteFileName(identity)), encodeNoteFile(local.title, local.text)});
            } else {
                batch.push_back({pathOf(deletionFileName(identity)), deletionRecord()});
            }
        }
        const std::vector<files::Result<Done>> results
            = files::writeNewFiles(batch, S_IRUSR | S_IWUSR);
        for (std::size_t index = start; index < end; ++index) {
            const files::Result<Done> &result = results[index - start];
            // A file already there is this identity's, written by a round cut off before it
            // could remember so.
            if (!result && result.error().number != EEXIST) {
                failure = result.error();
                continue;
            }
            written[toWrite[index].first == syncsql::NoteWritten ? 0 : 1].push_back(
                toWrite[index].second);
        }
    }
    if (failure) {
        // Named by the folder, not by the file that happened to be first: told once.
        m_report.problems.push_back(
            {m_folder,
             QStringLiteral("kunde inte skrivas i (%1). Anteckningar som sparats eller raderats "
                            "här förs ut när mappen går att skriva i igen; kontrollera att den "
                            "inte är skrivskyddad eller full.")
                 .arg(failure->wording())});
    }
    m_report.filesWritten = int(written[0].size() + written[1].size());
    m_report.filesNotWritten = int(toWrite.size()) - m_report.filesWritten;
    if (m_report.filesWritten == 0)
        return;
    // Deferred: only what sync remembers is written.
    QSqlQuery query(m_session.database());
    store::run(query, BeginRead);
    for (int kind = 0; kind < 2; ++kind) {
        for (const QString &identity : written[kind]) {
            if (!store::run(query, kind == 0 ? syncsql::NoteWritten : syncsql::RecordWritten,
                            {identity}))
                break;
        }
    }
    // Not remembered, the files are only written again, onto themselves: nothing is lost.
    store::run(query, CommitWrite);
}

// Tells each problem once: those told before and still there are left out of the report.
std::optional<StoreError> Round::rememberProblems()
{
    if (m_report.problems.empty() && m_told.isEmpty())
        return std::nullopt;
    std::vector<SyncProblem> fresh;
    QSqlQuery query(m_session.database());
    if (!store::run(query, syncsql::ForgetTold))
        return m_session.describe(query.lastError());
    for (const SyncProblem &problem : m_report.problems) {
        if (!m_told.contains({problem.file, problem.message}))
            fresh.push_back(problem);
        if (!store::run(query, syncsql::PutTold, {problem.file, problem.message}))
            return m_session.describe(query.lastError());
    }
    m_report.problems = std::move(fresh);
    return std::nullopt;
}

// What a round that finds nothing to do would find again: the stamps of memo.mdb and the folder,
// none while a stamp could still be the same after a change (a file system that keeps times to
// the second or two).
QByteArray Round::quietStamp() const
{
    const QDateTime settled = QDateTime::currentDateTime().addSecs(-3);
    for (const QString &path : {m_session.path(), m_folder}) {
        if (QFileInfo(path).lastModified() > settled)
            return {};
    }
    return files::changeStamp(m_session.path()) + " / " + files::changeStamp(m_folder);
}

std::optional<StoreError> Round::readQuiet(const QByteArray &stamp, bool *quiet)
{
    *quiet = false;
    if (stamp.isEmpty())
        return std::nullopt;
    QSqlQuery query(m_session.database());
    if (!store::run(query, syncsql::SelectQuiet))
        return m_session.describe(query.lastError());
    if (!query.next() || query.value(0).toByteArray() != stamp)
        return std::nullopt;
    if (!store::run(query, syncsql::SelectPending) || !query.next())
        return m_session.describe(query.lastError());
    *quiet = query.value(0).toInt() == 0;
    return std::nullopt;
}

Result<SyncReport> Round::run()
{
    // Taken before anything is read: a change made meanwhile changes a stamp.
    const QByteArray stamp = quietStamp();
    QSqlQuery query(m_session.database());
    {
        if (!store::run(query, BeginWrite))
            return m_session.describe(query.lastError());
        // Read and changed in the transaction, so that a note deleted meanwhile by
        // deleteSyncedNote is seen as deleted or deleted after the round, never half.
        bool quiet = false;
        std::optional<StoreError> error = readQuiet(stamp, &quiet);
        if (!error && quiet) {
            store::run(query, RollbackWrite);
            return SyncReport{};
        }
        m_listing = listFolder(m_folder);
        m_report.problems = m_listing.problems;
        if (!error)
            error = readState();
        if (!error)
            error = readLocalNotes();
        if (!error)
            error = changeDatabase();
        // A round that changes nothing commits nothing: no flush of two files for naught.
        if (!error && !store::run(query, m_changes ? CommitWrite : RollbackWrite))
            error = m_session.describe(query.lastError());
        if (error) {
            QSqlQuery(m_session.database()).exec(RollbackWrite);
            return *error;
        }
    }
    writeOut();
    const bool quiet = !m_changes && m_report.filesWritten == 0 && m_report.problems.empty()
                       && m_toWrite.empty() && !stamp.isEmpty();
    if (!quiet && m_report.problems.empty() && m_told.isEmpty())
        return std::move(m_report);
    // Deferred: only what sync remembers is written, and only its file flushed.
    if (!store::run(query, BeginRead))
        return m_session.describe(query.lastError());
    std::optional<StoreError> error = rememberProblems();
    if (!error && quiet && !store::run(query, syncsql::SetQuiet, {stamp}))
        error = m_session.describe(query.lastError());
    if (!error && !store::run(query, CommitWrite))
        error = m_session.describe(query.lastError());
    if (error) {
        QSqlQuery(m_session.database()).exec(RollbackWrite);
        return *error;
    }
    return std::move(m_report);
}

} // namespace

Result<SyncReport> syncRound(const QString &databasePath)
{
    const std::optional<QString> folder = syncFolderFor(databasePath);
    if (!folder)
        return StoreError{roundHeadline(), databasePath,
                          QStringLiteral("ingen synkmapp är vald för databasen"),
                          QStringLiteral("Välj en med: zentavo-notes sync-folder MAPP")};
    if (!QFileInfo(*folder).isDir())
        return StoreError{roundHeadline(), *folder,
                          QStringLiteral("synkmappen finns inte eller går inte att nå"),
                          QStringLiteral("Ingenting ändrades. Är mappen på en disk som inte är "
                                         "ansluten eller monterad? Anslut den och försök igen.")};
    const QString state = stateFolder(databasePath);
    const auto stateError = [&state](const files::FileError &error) {
        return StoreError{roundHeadline(), error.path, error.wording(),
                          QStringLiteral("Ingenting ändrades. Kontrollera att du får skriva i "
                                         "mappen %1.")
                              .arg(state)};
    };
    if (const files::Result<Done> made = files::makePrivateFolder(state); !made)
        return stateError(made.error());
    const files::Result<files::Descriptor> lock
        = files::lockExclusive(state + QStringLiteral("/round.lock"), S_IRUSR | S_IWUSR);
    if (!lock) {
        if (lock.error().number == EWOULDBLOCK)
            return StoreError{roundHeadline(), databasePath,
                              QStringLiteral("en annan synkning av databasen pågår redan"),
                              QStringLiteral("Den gör samma sak; vänta tills den är klar.")};
        return stateError(lock.error());
    }
    const Session session(databasePath, roundHeadline());
    if (session.failure())
        return *session.failure();
    if (std::optional<StoreError> error = openState(session, stateFile(databasePath)))
        return *error;
    return Round(session, *folder).run();
}

Result<Done> deleteSyncedNote(const QString &databasePath, const Note &shown)
{
    const NoteStore store(databasePath);
    const QString state = stateFile(databasePath);
    if (!QFileInfo::exists(state))
        return store.deleteNote(shown);
    const QByteArray title = shown.title.toUtf8();
    const QByteArray text = shown.text.toUtf8();
    const QByteArray fingerprint = noteFingerprint(title, text);
    const Companion record{state, [&](const Session &session) -> std::optional<StoreError> {
                               QSqlQuery query(session.database());
                               for (const QLatin1StringView statement : syncsql::CreateTables) {
                                   if (!run(query, statement))
                                       return session.describe(query.lastError());
                               }
                               for (const QLatin1StringView statement :
                                    {syncsql::GoneHere, syncsql::ForgetDeletedHere}) {
                                   if (!run(query, statement, {shown.id, fingerprint}))
                                       return session.describe(query.lastError());
                               }
                               return std::nullopt;
                           }};
    return store.deleteNote(shown, record);
}

} // namespace store
