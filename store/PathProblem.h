#pragma once

#include "StoreError.h"

#include <QString>
#include <optional>

namespace store {

// Why the note database at `path` cannot be opened, found before SQLite is asked (which would
// make a missing file, and names none of these): nothing there, a link to nothing, links that
// lead round in a loop, a folder, a special file (a FIFO, a device such as /dev/null, a socket),
// an empty file, or a path longer than SQLite opens once every link in it is followed, as
// SQLite itself measures it. `headline` is what could not be done. Empty when nothing stands in
// the way.
std::optional<StoreError> pathProblem(const QString &path, const QString &headline);

} // namespace store
