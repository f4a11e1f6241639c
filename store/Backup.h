#pragma once

#include "StoreError.h"

#include <QString>
#include <sys/types.h>

namespace store {

// Writes a copy of the note database at `path` to `destination` as it was at one instant, safe
// while another program is writing to it, and checks the copy (a whole database with the note
// table) before reporting success. The copy gets the database's own permission bits (without
// the group's when it belongs to another group), whatever the umask, and is on disk, name and
// all, when this returns. `destination` must not exist; on failure nothing is left there and
// the database is unchanged.
Result<Done> backupDatabase(const QString &path, const QString &destination);

// The permission bits a copy of the notes in `database` may have, of the `wanted` ones, so that
// no one may read the copy who may not read the database: the owner's always (the one making
// the copy can read it), the group's only where the database's group may read it and the copy
// belongs to that group (`copyGroup`), the others' only where others may read the database.
// Only the owner's when the database cannot be looked at.
mode_t copyPermissions(const QString &database, gid_t copyGroup, mode_t wanted);

} // namespace store
