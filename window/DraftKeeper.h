#pragma once

#include "DraftPolicy.h"
#include "DraftSchedule.h"
#include "store/Drafts.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class QTimer;

namespace window {

// Keeps the note being written on disk as a draft (store/Drafts.h): about a second after typing
// pauses and at least every three seconds while it goes on, at once when the note is saved or set
// aside, and at once, waiting for the disk, when the program is asked to end. The disk is written
// on a thread of its own, so typing never waits for it; each write takes the latest draft, so a
// slow disk skips the ones in between. An ending program waits for the disk ten seconds at most,
// and leaves the writing thread behind if it takes longer: the draft as last written stays.
//
// The draft's slot is taken on that thread when start() is called, after the window's first
// frame; a draft left there by a program that ended comes back through restored(), its title
// kept with it until the person gives one. A draft that cannot be written is told through
// failed(), once until a write succeeds again.
//
// What is decided lies elsewhere: when to write in DraftSchedule, what to do with the slot in
// DraftPolicy, which title goes with a restored draft in RestoredTitle. The keeper is their
// plumbing: a timer, a queue and the writing thread.
class DraftKeeper : public QObject
{
    Q_OBJECT
public:
    // What the note area holds: a draft to keep, or nothing (which removes the draft). Taken at
    // once, or, once typing pauses, handed over when read: reading a long note must not hold up
    // the keys typed meanwhile. A snapshot for later that is never handed over (the note changed
    // while it was read) writes nothing; the change itself starts the next pause.
    using Snapshot = std::function<std::optional<store::Draft>()>;
    using Handover = std::function<void(std::optional<store::Draft>)>;
    using LaterSnapshot = std::function<void(Handover)>;

    DraftKeeper(store::DraftFolder folder, Snapshot now, LaterSnapshot later, QObject *parent);
    // Writes what was asked for and ends the writing thread, waiting for it no longer than an
    // ending program waits, and not at all when keepNow() has already waited that long.
    ~DraftKeeper() override;

    void start();
    // Something that may change the draft has happened: it is written once typing pauses.
    void changed();
    // The draft changes at once: the note was saved, or the note area was emptied or given a
    // stored note by the person.
    void changedNow();
    // Writes the draft now and waits until it is on disk (or the disk gave up, or the ending wait
    // is over): the program is about to end.
    void keepNow();
    // The answer to restored(): the draft is in the note area now, or the person had already
    // begun another note there. A draft not taken is left on disk, waiting, untouched: the next
    // start or `zentavo-notes drafts` finds it, and this program keeps its own in a new slot.
    using Answer = DraftJob::Answer;
    void answerRestored(Answer answer);

    // The pause after the last change before the draft is written.
    static constexpr int PauseMs = int(DraftSchedule::Pause.count());
    // How long an ending program waits for its draft to reach the disk, at most.
    static constexpr std::chrono::milliseconds EndingWait{10000};
    // Sets that wait (a test's own disk that never answers).
    void setEndingWait(std::chrono::milliseconds wait) { m_endingWait = wait; }

Q_SIGNALS:
    void restored(const store::Draft &draft);
    void failed(const store::StoreError &error);

private:
    // What the keeper shares with its writing thread, which may outlive it.
    struct Shared;

    void queue(DraftJob job);
    void offer(const store::Draft &draft);
    void report(const std::optional<store::StoreError> &failure);
    static void work(const std::shared_ptr<Shared> &shared);

    Snapshot m_snapshot;
    LaterSnapshot m_laterSnapshot;
    DraftSchedule m_schedule;
    RestoredTitle m_restoredTitle;
    QTimer *m_pause;
    // Counts the snapshots asked for: one handed over after a later one was asked is stale.
    quint64 m_asked = 0;
    bool m_failing = false;
    std::chrono::milliseconds m_endingWait = EndingWait;
    // keepNow() waited for the disk as long as an ending program waits, in vain.
    bool m_diskGaveUp = false;

    std::shared_ptr<Shared> m_shared;
    std::thread m_writer;
};

} // namespace window
