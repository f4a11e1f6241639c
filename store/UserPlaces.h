#pragma once

#include <QLatin1StringView>
#include <QString>

namespace store {

// Where Zentavo keeps things of its own for one database, named by runtime::fileKey of the
// database's path so that every name of the same file finds them: a folder in the user's state
// folder, $XDG_STATE_HOME/zentavo/<kind>/<key> (the drafts, what sync remembers), and a file in
// the user's config folder, $XDG_CONFIG_HOME/zentavo/<kind>/<key> (the sync folder chosen).
QString stateFolderOf(const QString &databasePath, QLatin1StringView kind);
QString configFileOf(const QString &databasePath, QLatin1StringView kind);

} // namespace store
