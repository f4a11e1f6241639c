#pragma once

#include "StoreError.h"

#include <QString>
#include <optional>

namespace store {

// The two kinds of installation. A portable copy keeps its notes in memo.mdb beside its
// executable, in a folder its user owns. A system-wide installation (the Debian package: the
// programs in /usr/bin for every user of the machine) keeps each user's notes in that user's
// own data folder.
enum class Installation { Portable, SystemWide };

// The kind this build is, fixed when it was configured (the CMake option ZENTAVO_SYSTEM_WIDE,
// which the package sets). Never guessed from the folder the programs are in.
Installation configuredInstallation();

// Where a program's notes are.
struct DatabaseLocation
{
    QString path; // absolute
    // The user's own database of a system-wide installation: made empty when it is missing
    // (makeWhenMissing). A database beside the executable or named on the command line never is.
    bool madeWhenMissing = false;

    bool operator==(const DatabaseLocation &) const = default;
};

// The one rule of all the programs. The database named on the command line (chosen), when one
// is; otherwise memo.mdb beside the executable whenever one is there; otherwise, in a
// system-wide installation, memo.mdb in the user's data folder; otherwise (a portable copy
// without one) memo.mdb beside the executable all the same, which the store reports as missing.
DatabaseLocation locateDatabase(const QString &chosen, const QString &programFolder,
                                Installation installation);

// The user's folder of Zentavo's data: $XDG_DATA_HOME/zentavo, or ~/.local/share/zentavo when
// XDG_DATA_HOME is unset or not an absolute path. Home is $HOME, or the user's home in the
// password database when HOME is unset or not absolute.
QString userDataFolder();

// Whether the database was made by this call.
enum class Made { AlreadyThere, Now };

// Makes the user's own database when the location calls for that and nothing is at its path:
// the missing folders readable by the user alone (0700), the file too (0600), whatever the
// umask, holding the empty table that createEmptyDatabase makes. The file appears whole, under
// its name, or not at all; one that another program makes meanwhile is kept as it is. Touches
// nothing when something is at the path already, or when the location is not to be made.
Result<Made> makeWhenMissing(const DatabaseLocation &location);

// Why the note database at `path` cannot be opened, found before SQLite is asked (which would
// make a missing file, and names none of these): nothing there, a link to nothing, links that
// lead round in a loop, a folder, a special file (a FIFO, a device such as /dev/null, a socket),
// an empty file, or a path longer than SQLite opens once every link in it is followed, as
// SQLite itself measures it. `headline` is what could not be done. Empty when nothing stands in
// the way.
std::optional<StoreError> pathProblem(const QString &path, const QString &headline);

// For a person: which database is in use, and whether it is there yet.
QString describeLocation(const DatabaseLocation &location);

// The one notice given when the user's own database has just been made.
QString madeNotice(const QString &path);

} // namespace store
