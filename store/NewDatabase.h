#pragma once

#include "StoreError.h"

#include <QString>

namespace store {

// Who may read and write a newly made database file.
enum class FileAccess {
    AsUmaskAllows, // as any new file of the user's (the umask decides)
    OwnerOnly,     // the owner alone (0600), whatever the umask
};

// Creates an empty note database at exactly this path, whatever its name looks like: table
// Memo with an ID the database assigns and never reuses, Titel and Text. Refuses to touch a
// file that already exists, and touches no other file. Nothing is left behind on failure.
Result<Done> createEmptyDatabase(const QString &path,
                                 FileAccess access = FileAccess::AsUmaskAllows);

} // namespace store
