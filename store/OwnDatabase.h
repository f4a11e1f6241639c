#pragma once

// Making the user's own database of a system-wide installation on first use.

#include "StoreError.h"

#include <QString>

namespace store {

struct DatabaseLocation;

// Whether the database was made by this call.
enum class Made { AlreadyThere, Now };

// Makes the user's own database when the location calls for that and nothing is at its path:
// the missing folders readable by the user alone (0700), the file too (0600), whatever the
// umask, holding the empty table that createEmptyDatabase makes. The file appears whole, under
// its name, or not at all; one that another program makes meanwhile is kept as it is. Touches
// nothing when something is at the path already, or when the location is not to be made.
Result<Made> makeWhenMissing(const DatabaseLocation &location);

// The one notice given when the user's own database has just been made.
QString madeNotice(const QString &path);

} // namespace store
