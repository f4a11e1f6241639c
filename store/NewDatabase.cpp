#include "NewDatabase.h"

#include "Statements.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace store {

namespace {

QString headline()
{
    return QStringLiteral("Anteckningsdatabasen kunde inte skapas.");
}

// Opens exactly the file at the absolute path: as a URI with the path percent-encoded, so that
// a name such as "file:other.mdb" or one holding '?' or '#' is never read as a URI of its own.
Result<Done> createTable(const QString &path)
{
    const QString name = QStringLiteral("zentavo-newdb");
    std::optional<StoreError> failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral("file:")
                           + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"))
                           + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open()) {
            failure = describeSqlError(headline(), path, db.lastError());
        } else {
            QSqlQuery create(db);
            if (!create.exec(CreateMemoTable))
                failure = describeSqlError(headline(), path, create.lastError());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (failure)
        return *failure;
    return Done{};
}

} // namespace

Result<Done> createEmptyDatabase(const QString &given, FileAccess access)
{
    const QString path = QFileInfo(given).absoluteFilePath();
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        return StoreError{headline(), path, QStringLiteral("filen finns redan; den lämnas orörd"),
                          QStringLiteral("Välj ett namn som inte finns.")};
    }
    // Claim the name exclusively first, so that a file appearing meanwhile is never touched.
    QFile file(path);
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    const bool opened = access == FileAccess::OwnerOnly
                            ? file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly)
                            : file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    if (!opened) {
        return StoreError{headline(), path, file.errorString(),
                          QStringLiteral("Kontrollera att mappen finns och att du får skriva "
                                         "i den.")};
    }
    // The umask can only take rights away; set them exactly, so that an odd umask leaves the
    // owner able to write. SQLite gives its journal the same rights as the file.
    if (access == FileAccess::OwnerOnly && !file.setPermissions(ownerOnly)) {
        const QString cause = file.errorString();
        file.close();
        QFile::remove(path);
        return StoreError{headline(), path, cause,
                          QStringLiteral("Kontrollera att du får ändra filer i mappen.")};
    }
    file.close();
    Result<Done> created = createTable(path);
    if (!created)
        QFile::remove(path);
    return created;
}

} // namespace store
