#include "DatabaseLocation.h"

#include "Statements.h"
#include "runtime/files/Files.h"

#include <QDir>
#include <QFileInfo>

#ifndef ZENTAVO_SYSTEM_WIDE_INSTALLATION
#define ZENTAVO_SYSTEM_WIDE_INSTALLATION 0
#endif

namespace store {

Installation configuredInstallation()
{
    return ZENTAVO_SYSTEM_WIDE_INSTALLATION ? Installation::SystemWide : Installation::Portable;
}

QString userDataFolder()
{
    return QDir::cleanPath(files::userFolder(files::UserFolder::Data) + QStringLiteral("/zentavo"));
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

} // namespace store
