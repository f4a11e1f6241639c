#pragma once

#include "store/Sync.h"

#include <QString>
#include <optional>

namespace window {

// What one sync round came to, as the window takes it.
struct SyncOutcome
{
    enum class Kind {
        NoFolder,   // no sync folder is set for the database: nothing was done
        FolderAway, // the folder is set but cannot be reached (a disk not mounted, say)
        Failed,     // the round could not be made; memo.mdb is as it was
        Done,       // the round was made: `report` says what it did
    };
    Kind kind = Kind::NoFolder;
    // The sync folder, where one is set.
    QString folder;
    store::SyncReport report;
    std::optional<store::StoreError> error;
};

// What the person is told of the sync rounds, each thing once: the files a round could not take
// (the store reports each file once), the folder out of reach (once until a round reaches it
// again), and a round that could not be made. A failed round is tried again soon; a failure met
// once and gone by the next round (another round of the same database was running, say) is not
// worth a word, so a failure is told when the round after it fails the same way, and then not
// again until a round succeeds or fails otherwise.
class SyncNews
{
public:
    // What to tell of this outcome, if anything.
    std::optional<QString> take(const SyncOutcome &outcome);

private:
    bool m_awayTold = false;
    // The failure of the round before, and whether it has been told.
    QString m_lastFailure;
    bool m_failureTold = false;
};

} // namespace window
