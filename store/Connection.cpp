#include "Connection.h"

#include "Statements.h"
#include "runtime/App.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUrl>

namespace store {

Connection Conn;

namespace {

// How long a statement waits for another program's lock on the file before it fails.
constexpr int BusyTimeoutMs = 5000;

QString nextConnectionName()
{
    static quint64 counter = 0;
    return QStringLiteral("zentavo-%1").arg(++counter);
}

// A URI that opens the file for reading and writing but never creates it. Characters such as
// '#' and '?' in the path are percent-encoded so that SQLite reads the path as given.
QString readWriteUri(const QString &path)
{
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"))
           + QStringLiteral("?mode=rw");
}

} // namespace

Connection::~Connection()
{
    release();
}

bool Connection::isOpen() const
{
    return holdsConnection() && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const
{
    return holdsConnection() ? QSqlDatabase::database(m_name, false) : QSqlDatabase();
}

void Connection::release()
{
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
    m_openFailure.reset();
}

QString DatabasePath()
{
    return runtime::App::Path() + QLatin1Char('/') + DatabaseFileName;
}

void OpenDb()
{
    Conn.release();
    const QString path = DatabasePath();
    Conn.m_name = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Conn.m_name);
    const QString headline = QStringLiteral("Anteckningsdatabasen kunde inte öppnas.");
    // Opening a missing file would create it; the store never does.
    if (!QFileInfo::exists(path)) {
        Conn.m_openFailure = missingDatabase(headline, path);
        return;
    }
    db.setDatabaseName(readWriteUri(path));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        Conn.m_openFailure = describeSqlError(headline, path, db.lastError());
}

void CloseDb()
{
    Conn.release();
}

} // namespace store
