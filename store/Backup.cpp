#include "Backup.h"

#include "Session.h"
#include "Statements.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    const QByteArray name = QFile::encodeName(copy);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    struct stat status = {};
    const auto failed = [&copy] {
        return StoreError{headline(), copy, QString::fromLocal8Bit(std::strerror(errno)),
                          QStringLiteral("Försök igen. Kontrollera disken om felet kommer "
                                         "tillbaka.")};
    };
    if (descriptor < 0)
        return failed();
    struct Closer
    {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat original = {};
    if (::stat(QFile::encodeName(database).constData(), &original) != 0
        || ::fstat(descriptor, &status) != 0
        || ::fchmod(descriptor, copyPermissions(database, status.st_gid, original.st_mode & 0777))
               != 0
        || ::fsync(descriptor) != 0)
        return failed();
    const int folder = ::open(QFile::encodeName(QFileInfo(copy).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return failed();
    const Closer folderCloser{folder};
    if (::fsync(folder) != 0)
        return failed();
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
        const int claim = ::open(QFile::encodeName(destination).constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (claim < 0) {
            return StoreError{headline(), destination, QString::fromLocal8Bit(std::strerror(errno)),
                              QStringLiteral("Kontrollera att du får skriva i mappen.")};
        }
        ::close(claim);
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
