#pragma once

#include "StoreError.h"

#include <QString>

namespace store {

// Writes a copy of the note database at `path` to `destination` as it was at one instant, safe
// while another program is writing to it, and checks the copy (a whole database with the note
// table) before reporting success. `destination` must not exist; on failure nothing is left
// there and the database is unchanged.
Result<Done> backupDatabase(const QString &path, const QString &destination);

} // namespace store
