#include "UserPlaces.h"

#include "runtime/FileKey.h"
#include "runtime/files/Files.h"

namespace store {

namespace {

QString placeOf(files::UserFolder folder, const QString &databasePath, QLatin1StringView kind)
{
    return files::userFolder(folder) + QStringLiteral("/zentavo/") + kind + QLatin1Char('/')
           + runtime::fileKey(databasePath);
}

} // namespace

QString stateFolderOf(const QString &databasePath, QLatin1StringView kind)
{
    return placeOf(files::UserFolder::State, databasePath, kind);
}

QString configFileOf(const QString &databasePath, QLatin1StringView kind)
{
    return placeOf(files::UserFolder::Config, databasePath, kind);
}

} // namespace store
