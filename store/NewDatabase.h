#pragma once

#include "StoreError.h"

#include <QString>

namespace store {

// Creates an empty note database at exactly this path, whatever its name looks like: table
// Memo with an ID the database assigns and never reuses, Titel and Text. Refuses to touch a
// file that already exists, and touches no other file. Nothing is left behind on failure.
Result<Done> createEmptyDatabase(const QString &path);

} // namespace store
