#include "Session.h"

#include "PathProblem.h"
#include "Statements.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <atomic>

namespace store {

namespace {

// How long a statement waits for another program's lock on the file before it fails.
constexpr int BusyTimeoutMs = 5000;

QString nextConnectionName()
{
    // The program checks its database on a thread of its own at start-up.
    static std::atomic<quint64> counter = 0;
    return QStringLiteral("zentavo-session-%1").arg(++counter);
}

// A URI that opens the file for reading and writing but never creates it. Characters such as
// '#', '?' and ':' in the path are percent-encoded so that SQLite reads the path as given.
QString readWriteUri(const QString &path)
{
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"))
           + QStringLiteral("?mode=rw");
}

QString newDatabaseCommand(const QString &path)
{
    return QStringLiteral("zentavo-newdb \"%1\"").arg(path);
}

// A journal left by an interrupted write, which SQLite must roll back before reading.
QString leftoverJournal(const QString &path)
{
    for (const QLatin1StringView suffix :
         {QLatin1StringView("-journal"), QLatin1StringView("-wal")}) {
        const QFileInfo journal(besideDatabase(path, suffix));
        if (journal.isFile() && journal.size() > 0)
            return journal.filePath();
    }
    return {};
}

} // namespace

QString databasePathIn(const QString &folder)
{
    return folder + QLatin1Char('/') + DatabaseFileName;
}

QString besideDatabase(const QString &databasePath, QLatin1StringView suffix)
{
    const QString linkedTo = QFileInfo(databasePath).canonicalFilePath();
    return (linkedTo.isEmpty() ? databasePath : linkedTo) + suffix;
}

Session::Session(const QString &path, const QString &headline)
    : m_path(QFileInfo(path).absoluteFilePath())
    , m_headline(headline)
{
    // The store never creates the file: check that it is there before SQLite would make one.
    m_failure = fileProblem();
    if (m_failure)
        return;
    m_name = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(readWriteUri(m_path));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        m_failure = describe(db.lastError());
        return;
    }
    m_failure = tableProblem();
    // A session reads each page once: a small page cache keeps a list of many thousand notes
    // from holding the whole file in memory while it is read.
    if (!m_failure)
        QSqlQuery(db).exec(SmallPageCache);
}

Session::~Session()
{
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase Session::database() const
{
    return m_name.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(m_name, false);
}

std::optional<StoreError> Session::fileProblem() const
{
    return pathProblem(m_path, m_headline);
}

std::optional<StoreError> Session::tableProblem()
{
    QSqlQuery query(database());
    // The first statement is where a file that is no database, or a journal that cannot be
    // rolled back, shows itself.
    if (!query.exec(ReadEncoding) || !query.next())
        return describe(query.lastError());
    m_encoding = encodingNamed(query.value(0).toString());

    const QString chooseAnother = QStringLiteral("Välj en databas med tabellen Memo och kolumnerna "
                                                 "ID, Titel och Text, eller skapa en tom med: %1")
                                      .arg(newDatabaseCommand(m_path));
    if (!query.exec(MemoTableColumns))
        return describe(query.lastError());
    bool hasTitle = false;
    bool hasText = false;
    bool idIsKey = false;
    bool hasId = false;
    int keyColumns = 0;
    while (query.next()) {
        const QString name = query.value(1).toString();
        const int keyPosition = query.value(5).toInt();
        if (keyPosition > 0)
            ++keyColumns;
        if (name.compare(IdColumn, Qt::CaseInsensitive) == 0) {
            hasId = true;
            idIsKey = keyPosition == 1
                      && query.value(2).toString().trimmed().compare(QLatin1String("INTEGER"),
                                                                     Qt::CaseInsensitive)
                             == 0;
        } else if (name.compare(TitleColumn, Qt::CaseInsensitive) == 0) {
            hasTitle = true;
        } else if (name.compare(TextColumn, Qt::CaseInsensitive) == 0) {
            hasText = true;
        }
    }
    if (query.lastError().isValid())
        return describe(query.lastError());
    if (!hasId && !hasTitle && !hasText) {
        return StoreError{m_headline, m_path, QStringLiteral("databasen saknar tabellen Memo"),
                          chooseAnother};
    }
    for (const auto &[present, column] :
         {std::pair{hasId, QStringLiteral("ID")}, std::pair{hasTitle, QStringLiteral("Titel")},
          std::pair{hasText, QStringLiteral("Text")}}) {
        if (!present) {
            return StoreError{m_headline, m_path,
                              QStringLiteral("tabellen Memo saknar kolumnen %1").arg(column),
                              chooseAnother};
        }
    }
    // IDs are whole numbers that the database hands out: only the rowid is that, and a column
    // is the rowid only when it is the table's one INTEGER PRIMARY KEY and the table has rowids.
    // What SQLite made of the definition tells, not its text: a key that is no rowid (a table
    // WITHOUT ROWID, or INTEGER PRIMARY KEY DESC) gets an index of its own, listed with origin
    // "pk", and a table without rowids has no rowid to read. Any other ID would be stored as
    // NULL or compared as text, and the notes could not be told apart.
    bool keyHasIndex = false;
    if (!query.exec(MemoIndexes))
        return describe(query.lastError());
    while (query.next()) {
        if (query.value(3).toString() == QLatin1String("pk"))
            keyHasIndex = true;
    }
    if (query.lastError().isValid())
        return describe(query.lastError());
    const bool hasRowid = QSqlQuery(database()).prepare(ReadRowid);
    if (!idIsKey || keyColumns != 1 || keyHasIndex || !hasRowid) {
        return StoreError{m_headline, m_path,
                          QStringLiteral("kolumnen ID i tabellen Memo är inte ett heltal som "
                                         "databasen delar ut (INTEGER PRIMARY KEY)"),
                          QStringLiteral("Zentavo kan inte skilja anteckningarna åt i den här "
                                         "filen. Använd en databas skapad med: %1")
                              .arg(newDatabaseCommand(m_path))};
    }
    return std::nullopt;
}

StoreError Session::describe(const QSqlError &error) const
{
    StoreError described = describeSqlError(m_headline, m_path, error);
    const QString journal = leftoverJournal(m_path);
    const QFileInfo folder(QFileInfo(m_path).absolutePath());
    if (!journal.isEmpty() && !folder.isWritable()) {
        described.cause = QStringLiteral("en journalfil från en avbruten ändring ligger kvar "
                                         "(%1), och mappen %2 är skrivskyddad (%3)")
                              .arg(journal, folder.filePath(), described.cause);
        described.remedy = QStringLiteral("Ge dig själv skrivrätt till mappen %1 och försök "
                                          "igen: då återställs databasen från journalen. Ta "
                                          "inte bort journalfilen.")
                               .arg(folder.filePath());
    }
    return described;
}

bool run(QSqlQuery &query, QLatin1StringView statement, const QVariantList &values)
{
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

} // namespace store
