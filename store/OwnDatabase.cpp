#include "OwnDatabase.h"

#include "DatabaseLocation.h"
#include "NewDatabase.h"
#include "runtime/files/Files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>

namespace store {

namespace {

QString headline()
{
    return QStringLiteral("Anteckningsdatabasen kunde inte skapas.");
}

// The data folder that could not be made, in the words the person reads.
StoreError folderError(const files::FileError &error, const QString &database)
{
    if (error.operation == files::FileError::Operation::MakeFolder
        && QFileInfo::exists(error.path)) {
        return StoreError{
            headline(), database, QStringLiteral("%1 är ingen mapp").arg(error.path),
            QStringLiteral("Flytta undan filen %1, så skapas mappen.").arg(error.path)};
    }
    const QString cause = error.operation == files::FileError::Operation::SetRights
                              ? QStringLiteral("mappen %1 kunde inte göras privat (%2)")
                              : QStringLiteral("mappen %1 kunde inte skapas (%2)");
    return StoreError{headline(), database, cause.arg(error.path, error.wording()),
                      QStringLiteral("Kontrollera att du får skriva i din hemmapp, eller "
                                     "sätt XDG_DATA_HOME till en mapp som du får skriva i.")};
}

} // namespace

Result<Made> makeWhenMissing(const DatabaseLocation &location)
{
    const QFileInfo file(location.path);
    if (!location.madeWhenMissing || file.exists() || file.isSymLink())
        return Made::AlreadyThere;
    const QString folder = file.absolutePath();
    if (const files::Result<files::Done> made = files::makePrivateFolder(folder); !made)
        return folderError(made.error(), location.path);
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
    const files::Result<files::Done> placed = files::moveWithoutReplacing(staging, location.path);
    QFile::remove(staging);
    if (!placed && placed.error().number == EEXIST)
        return Made::AlreadyThere;
    if (!placed)
        return StoreError{headline(), location.path, placed.error().wording(),
                          QStringLiteral("Kontrollera att du får skriva i mappen.")};
    (void)files::syncFolder(folder);
    return Made::Now;
}

QString madeNotice(const QString &path)
{
    return QStringLiteral("Dina anteckningar sparas i %1 (en ny, tom anteckningsdatabas som "
                          "bara du kan läsa).")
        .arg(path);
}

} // namespace store
