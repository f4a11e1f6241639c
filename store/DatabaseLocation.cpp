#include "DatabaseLocation.h"

#include "NewDatabase.h"
#include "Statements.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef ZENTAVO_SYSTEM_WIDE_INSTALLATION
#define ZENTAVO_SYSTEM_WIDE_INSTALLATION 0
#endif

namespace store {

namespace {

// The longest path SQLite opens, in bytes, measured as SQLite measures it: with every link
// followed. Its limit is 512 bytes, less the 8 it keeps for a journal's suffix.
constexpr qsizetype MaxPathBytes = 512 - 8;

QString headline()
{
    return QStringLiteral("Anteckningsdatabasen kunde inte skapas.");
}

QString systemError(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_dir)
        return QFile::decodeName(found->pw_dir);
    return QDir::homePath();
}

// Makes the folder and every missing folder above it, each readable by the user alone: the
// umask can only take rights away, so the rights are set once more after each is made. Folders
// that are there already are left as they are.
std::optional<StoreError> makePrivateFolders(const QString &folder, const QString &database)
{
    QStringList missing;
    for (QString current = QDir::cleanPath(folder); !QFileInfo::exists(current);) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            break;
        current = parent;
    }
    const QString remedy = QStringLiteral("Kontrollera att du får skriva i din hemmapp, eller "
                                          "sätt XDG_DATA_HOME till en mapp som du får skriva i.");
    for (const QString &each : missing) {
        const QByteArray name = QFile::encodeName(each);
        if (::mkdir(name.constData(), S_IRWXU) != 0) {
            if (errno == EEXIST && QFileInfo(each).isDir())
                continue; // made by another program meanwhile
            return StoreError{
                headline(), database,
                QStringLiteral("mappen %1 kunde inte skapas (%2)").arg(each, systemError(errno)),
                remedy};
        }
        if (::chmod(name.constData(), S_IRWXU) != 0) {
            return StoreError{headline(), database,
                              QStringLiteral("mappen %1 kunde inte göras privat (%2)")
                                  .arg(each, systemError(errno)),
                              remedy};
        }
    }
    if (!QFileInfo(folder).isDir()) {
        return StoreError{headline(), database,
                          QStringLiteral("%1 är ingen mapp").arg(QDir::cleanPath(folder)),
                          QStringLiteral("Flytta undan filen %1, så skapas mappen.")
                              .arg(QDir::cleanPath(folder))};
    }
    return std::nullopt;
}

// Gives the file at staging the name target in one step, never replacing a file of that name.
// Returns false when a file of that name was there already.
Result<bool> placeWithoutReplacing(const QString &staging, const QString &target)
{
    const QByteArray from = QFile::encodeName(staging);
    const QByteArray to = QFile::encodeName(target);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    int error = errno;
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        // A file system that cannot rename without replacing: a second name, then the first
        // one removed, is just as safe.
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return true;
        }
        error = errno;
    }
    if (error == EEXIST)
        return false;
    return StoreError{headline(), target, systemError(error),
                      QStringLiteral("Kontrollera att du får skriva i mappen.")};
}

QString newDatabaseCommand(const QString &path)
{
    return QStringLiteral("zentavo-newdb \"%1\"").arg(path);
}

// What a file that is neither a regular file nor a folder is, in a person's words.
QString specialFileKind(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("en namngiven pipe (FIFO)");
    if (S_ISCHR(mode))
        return QStringLiteral("en teckenenhet, som /dev/null");
    if (S_ISBLK(mode))
        return QStringLiteral("en blockenhet, som en disk");
    if (S_ISSOCK(mode))
        return QStringLiteral("en socket");
    return QStringLiteral("ingen vanlig fil");
}

// The path with every link followed, as SQLite resolves it before opening; empty when that is
// longer than any path the system opens, the path as it is when it cannot be resolved otherwise.
QByteArray resolvedPath(const QByteArray &path)
{
    char *resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return errno == ENAMETOOLONG ? QByteArray() : path;
    QByteArray bytes(resolved);
    std::free(resolved);
    return bytes;
}

// Writes the folder's list of names to disk, so that a power cut cannot lose the new name.
void syncFolder(const QString &folder)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

} // namespace

Installation configuredInstallation()
{
    return ZENTAVO_SYSTEM_WIDE_INSTALLATION ? Installation::SystemWide : Installation::Portable;
}

QString userDataFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = homeFolder() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/zentavo"));
}

DatabaseLocation locateDatabase(const QString &chosen, const QString &programFolder,
                                Installation installation)
{
    if (!chosen.isEmpty())
        return {.path = QFileInfo(chosen).absoluteFilePath()};
    const QString beside = QDir::cleanPath(QDir(programFolder).absoluteFilePath(DatabaseFileName));
    if (installation == Installation::Portable || QFileInfo::exists(beside)
        || QFileInfo(beside).isSymLink())
        return {.path = beside};
    return {.path = userDataFolder() + QLatin1Char('/') + DatabaseFileName,
            .madeWhenMissing = true};
}

Result<Made> makeWhenMissing(const DatabaseLocation &location)
{
    const QFileInfo file(location.path);
    if (!location.madeWhenMissing || file.exists() || file.isSymLink())
        return Made::AlreadyThere;
    const QString folder = file.absolutePath();
    if (std::optional<StoreError> problem = makePrivateFolders(folder, location.path))
        return *problem;
    // Made whole under a name of its own, then named: no program ever opens a half-made file.
    const QString staging
        = QStringLiteral("%1/.%2.%3-%4")
              .arg(folder, file.fileName())
              .arg(QCoreApplication::applicationPid())
              .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    if (Result<Done> made = createEmptyDatabase(staging, FileAccess::OwnerOnly); !made) {
        StoreError error = made.error();
        error.path = location.path;
        return error;
    }
    const Result<bool> placed = placeWithoutReplacing(staging, location.path);
    QFile::remove(staging);
    if (!placed)
        return placed.error();
    if (!*placed)
        return Made::AlreadyThere;
    syncFolder(folder);
    return Made::Now;
}

std::optional<StoreError> pathProblem(const QString &given, const QString &heading)
{
    const QString path = QFileInfo(given).absoluteFilePath();
    const QByteArray name = QFile::encodeName(path);
    const QFileInfo file(path);
    const QString tooLongRemedy
        = QStringLiteral("Flytta Zentavo och memo.mdb till en mapp med kortare sökväg.");
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0) {
        const int error = errno;
        if (error == ELOOP) {
            const QString through
                = file.isSymLink()
                      ? QStringLiteral("filen är en länk till %1, och länkarna leder runt i en "
                                       "slinga utan att nå någon fil")
                            .arg(file.symLinkTarget())
                      : QStringLiteral("sökvägen går genom länkar som leder runt i en slinga "
                                       "utan att nå någon fil");
            return StoreError{heading, path, through,
                              QStringLiteral("Rätta länkarna så att de leder till din memo.mdb, "
                                             "eller ta bort länken och skapa en tom databas "
                                             "med: %1")
                                  .arg(newDatabaseCommand(path))};
        }
        if (error == ENAMETOOLONG) {
            return StoreError{heading, path,
                              QStringLiteral("sökvägen är för lång (%1 byte, högst %2 går att "
                                             "öppna)")
                                  .arg(name.size())
                                  .arg(MaxPathBytes),
                              tooLongRemedy};
        }
        if (error == ENOENT && file.isSymLink()) {
            return StoreError{heading, path,
                              QStringLiteral("filen är en länk till %1, som inte finns")
                                  .arg(file.symLinkTarget()),
                              QStringLiteral("Lägg tillbaka filen som länken pekar på. Eller ta "
                                             "bort länken och skapa en tom databas med: %1")
                                  .arg(newDatabaseCommand(path))};
        }
        if (error == ENOENT || error == ENOTDIR) {
            return StoreError{heading, path, QStringLiteral("filen finns inte"),
                              QStringLiteral("Zentavo skapar inte databasen själv. Lägg tillbaka "
                                             "din memo.mdb, eller skapa en tom databas med: %1")
                                  .arg(newDatabaseCommand(path))};
        }
        return StoreError{heading, path,
                          QStringLiteral("filen kan inte nås (%1)").arg(systemError(error)),
                          QStringLiteral("Kontrollera att du har rätt att öppna mapparna på "
                                         "vägen till filen.")};
    }
    if (S_ISDIR(status.st_mode)) {
        return StoreError{heading, path, QStringLiteral("det är ingen fil utan en mapp"),
                          QStringLiteral("Flytta undan mappen och lägg din memo.mdb där, eller "
                                         "skapa en tom databas med: %1")
                              .arg(newDatabaseCommand(path))};
    }
    if (!S_ISREG(status.st_mode)) {
        return StoreError{
            heading, path,
            QStringLiteral("det är ingen vanlig fil utan %1").arg(specialFileKind(status.st_mode)),
            QStringLiteral("Anteckningarna finns i en vanlig fil. Ange sökvägen "
                           "till din memo.mdb, eller skapa en tom databas på en "
                           "ny plats med: zentavo-newdb SÖKVÄG")};
    }
    if (status.st_size == 0) {
        return StoreError{heading, path,
                          QStringLiteral("filen är tom (0 byte) och är ingen anteckningsdatabas"),
                          QStringLiteral("Den tomma filen innehåller inga anteckningar. Ta bort "
                                         "den och skapa en tom databas med: %1")
                              .arg(newDatabaseCommand(path))};
    }
    // SQLite opens the file by the path it finds when it follows every link on the way.
    const QByteArray resolved = resolvedPath(name);
    const qsizetype bytes = resolved.isEmpty() ? name.size() : resolved.size();
    if (resolved.isEmpty() || bytes > MaxPathBytes) {
        const QString cause
            = resolved.isEmpty() || resolved == name
                  ? QStringLiteral("sökvägen är för lång (%1 byte, högst %2 går att öppna)")
                        .arg(bytes)
                        .arg(MaxPathBytes)
                  : QStringLiteral("sökvägen är för lång: med länkarna följda är den %1 (%2 "
                                   "byte, högst %3 går att öppna)")
                        .arg(QFile::decodeName(resolved))
                        .arg(bytes)
                        .arg(MaxPathBytes);
        return StoreError{heading, path, cause, tooLongRemedy};
    }
    return std::nullopt;
}

QString describeLocation(const DatabaseLocation &location)
{
    const QFileInfo file(location.path);
    if (file.exists() || file.isSymLink())
        return QStringLiteral("Anteckningsdatabasen: %1").arg(location.path);
    if (location.madeWhenMissing) {
        return QStringLiteral("Anteckningsdatabasen: %1 (finns inte än; den skapas tom, läsbar "
                              "bara för dig, när Zentavo eller zentavo-notes startar)")
            .arg(location.path);
    }
    return QStringLiteral("Anteckningsdatabasen: %1 (finns inte; skapa en tom med "
                          "zentavo-newdb)")
        .arg(location.path);
}

QString madeNotice(const QString &path)
{
    return QStringLiteral("Dina anteckningar sparas i %1 (en ny, tom anteckningsdatabas som "
                          "bara du kan läsa).")
        .arg(path);
}

} // namespace store
