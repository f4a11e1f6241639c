#include "NewDatabase.h"

#include "Statements.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace store {

namespace {

std::optional<QString> createTable(const QString &path)
{
    const QString name = QStringLiteral("zentavo-newdb");
    std::optional<QString> failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery create(db);
            if (!create.exec(CreateMemoTable))
                failure = create.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return failure;
}

} // namespace

std::optional<QString> CreateEmptyDatabase(const QString &path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return QStringLiteral("%1 finns redan; den lämnas orörd. Välj ett namn som inte finns.")
            .arg(path);
    // Claim the name exclusively first, so that a file appearing meanwhile is never touched.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QStringLiteral("%1 kunde inte skapas: %2").arg(path, file.errorString());
    file.close();
    if (std::optional<QString> failure = createTable(path)) {
        QFile::remove(path);
        return QStringLiteral("%1 kunde inte göras till en databas: %2").arg(path, *failure);
    }
    return std::nullopt;
}

} // namespace store
