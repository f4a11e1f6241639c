#pragma once

#include "StoreError.h"

namespace runtime {
class ListView;
}

namespace store {

// Reloads the note list from the whole table: the list is emptied first, then holds one item per
// note in ascending ID order, keyed "ID|<id>" and showing the note's title (an empty title where
// the database has none). Opens and closes its own connection. On failure the list keeps what was
// read before the failure, and the error says which file and why.
StoreResult FillList(runtime::ListView &lst);

} // namespace store
