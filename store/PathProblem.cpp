#include "PathProblem.h"

#include "runtime/files/Files.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace store {

namespace {

// The longest path SQLite opens, in bytes, measured as SQLite measures it: with every link
// followed. Its limit is 512 bytes, less the 8 it keeps for a journal's suffix.
constexpr qsizetype MaxPathBytes = 512 - 8;

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

} // namespace

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
        return StoreError{
            heading, path,
            QStringLiteral("filen kan inte nås (%1)").arg(files::FileError::wordingOf(error)),
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

} // namespace store
