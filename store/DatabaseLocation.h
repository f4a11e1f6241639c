#pragma once

// The programs that locate their database also make the user's own: one include for both.
#include "OwnDatabase.h"

#include <QString>

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

// The user's folder of Zentavo's data: "zentavo" in the user's data folder
// ($XDG_DATA_HOME, else ~/.local/share; files::userFolder).
QString userDataFolder();

// For a person: which database is in use, and whether it is there yet.
QString describeLocation(const DatabaseLocation &location);

} // namespace store
