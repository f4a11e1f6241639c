#include "Backup.h"

#include "Session.h"
#include "Statements.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace store {

namespace {

QString headline()
{
    return QStringLiteral("Säkerhetskopian kunde inte göras.");
}

// Whether the copy is a whole database holding the note table, or why not.
std::optional<StoreError> checkCopy(const QString &copy)
{
    const Session session(copy, headline());
    if (session.failure())
        return session.failure();
    QSqlQuery check(session.database());
    if (!check.exec(CheckIntegrity))
        return session.describe(check.lastError());
    QStringList problems;
    while (check.next())
        problems << check.value(0).toString();
    if (problems == QStringList{QStringLiteral("ok")})
        return std::nullopt;
    return StoreError{
        headline(), copy,
        QStringLiteral("kopian är inte hel: %1").arg(problems.join(QLatin1String("; "))),
        QStringLiteral("Försök igen. Kontrollera disken om felet kommer tillbaka.")};
}

std::optional<StoreError> copyInto(const Session &session, const QString &destination)
{
    QSqlQuery copy(session.database());
    // One statement reads the database in one transaction: the copy is of one instant.
    if (!copy.prepare(CopyDatabaseInto))
        return session.describe(copy.lastError());
    copy.addBindValue(destination);
    if (copy.exec())
        return std::nullopt;
    StoreError error = session.describe(copy.lastError());
    error.cause = QStringLiteral("%1 (kopian %2)").arg(error.cause, destination);
    return error;
}

} // namespace

Result<Done> backupDatabase(const QString &path, const QString &given)
{
    const QString destination = QFileInfo(given).absoluteFilePath();
    if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink()) {
        return StoreError{headline(), destination,
                          QStringLiteral("filen finns redan; den lämnas orörd"),
                          QStringLiteral("Välj ett namn som inte finns.")};
    }
    if (!QFileInfo(QFileInfo(destination).absolutePath()).isDir()) {
        return StoreError{headline(), destination, QStringLiteral("mappen finns inte"),
                          QStringLiteral("Skapa mappen först, eller välj en annan.")};
    }
    {
        // Claimed exclusively first (the copy may be written into an empty file): a file that
        // appears meanwhile is never touched, and only a file made here is removed on failure.
        QFile claim(destination);
        if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return StoreError{headline(), destination, claim.errorString(),
                              QStringLiteral("Kontrollera att du får skriva i mappen.")};
        }
    }
    std::optional<StoreError> failure;
    {
        const Session session(path, headline());
        if (session.failure())
            failure = session.failure();
        else
            failure = copyInto(session, destination);
    }
    if (!failure)
        failure = checkCopy(destination);
    if (failure) {
        QFile::remove(destination);
        QFile::remove(destination + QStringLiteral("-journal"));
        return *failure;
    }
    return Done{};
}

} // namespace store
