#include "Backup.h"

#include "Session.h"
#include "Statements.h"
#include "runtime/files/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

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

// Gives the finished copy the database's permission bits and writes them, and the copy's name
// in its folder, to disk.
std::optional<StoreError> settle(const QString &database, const QString &copy)
{
    const auto failed = [&copy](const files::FileError &error) {
        return StoreError{headline(), copy, error.wording(),
                          QStringLiteral("Försök igen. Kontrollera disken om felet kommer "
                                         "tillbaka.")};
    };
    files::Result<files::Descriptor> file = files::Descriptor::open(copy, O_RDONLY);
    if (!file)
        return failed(file.error());
    struct stat original = {};
    struct stat status = {};
    if (::stat(QFile::encodeName(database).constData(), &original) != 0
        || ::fstat(file->get(), &status) != 0)
        return failed({files::FileError::Operation::Open, copy, errno});
    files::Result<files::Done> settled
        = file->setRights(copyPermissions(database, status.st_gid, original.st_mode & 0777));
    if (settled)
        settled = file->sync();
    if (settled)
        settled = files::syncFolder(QFileInfo(copy).absolutePath());
    if (!settled)
        return failed(settled.error());
    return std::nullopt;
}

} // namespace

mode_t copyPermissions(const QString &database, gid_t copyGroup, mode_t wanted)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(database).constData(), &status) != 0)
        return wanted & S_IRWXU;
    mode_t allowed = S_IRWXU;
    if ((status.st_mode & S_IRGRP) && status.st_gid == copyGroup)
        allowed |= S_IRWXG;
    if (status.st_mode & S_IROTH)
        allowed |= S_IRWXO;
    return wanted & allowed;
}

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
        // Private while it fills; its own rights are given once it is whole.
        const files::Result<files::Descriptor> claim
            = files::Descriptor::open(destination, O_WRONLY | O_CREAT | O_EXCL, S_IRUSR | S_IWUSR);
        if (!claim) {
            return StoreError{headline(), destination, claim.error().wording(),
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
    if (!failure)
        failure = settle(path, destination);
    if (failure) {
        QFile::remove(destination);
        QFile::remove(destination + QStringLiteral("-journal"));
        return *failure;
    }
    return Done{};
}

} // namespace store
