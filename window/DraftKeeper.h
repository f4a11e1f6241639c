#pragma once

#include "DraftPolicy.h"
#include "DraftSchedule.h"
#include "store/Drafts.h"

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class QTimer;

namespace window {

// Keeps the note being written on disk as a draft (store/Drafts.h): about a second after typing
// pauses, at once when the note is saved or set aside, and at once, waiting for the disk, when the
// program is asked to end. The disk is written on a thread of its own, so typing never waits for
// it; each write takes the latest draft, so a slow disk skips the ones in between.
//
// The draft's slot is taken on that thread when start() is called, after the window's first
// frame; a draft left there by a program that ended comes back through restored(). A draft that
// cannot be written is told through failed(), once until a write succeeds again.
//
// What is decided lies elsewhere: when to write in DraftSchedule, what to do with the slot in
// DraftPolicy. The keeper is their plumbing: a timer, a queue and the writing thread.
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
    // Writes what the note area holds and ends the writing thread.
    ~DraftKeeper() override;

    void start();
    // Something that may change the draft has happened: it is written once typing pauses.
    void changed();
    // The draft changes at once: the note was saved, or the note area was emptied or given a
    // stored note by the person.
    void changedNow();
    // Writes the draft now and waits until it is on disk (or the disk gave up): the program is
    // about to end.
    void keepNow();
    // The answer to restored(): the draft is in the note area now, or the person had already
    // begun another note there. A draft not taken is left on disk, waiting, untouched: the next
    // start or `zentavo-notes drafts` finds it, and this program keeps its own in a new slot.
    using Answer = DraftJob::Answer;
    void answerRestored(Answer answer);

    // The pause after the last change before the draft is written.
    static constexpr int PauseMs = int(DraftSchedule::Pause.count());

Q_SIGNALS:
    void restored(const store::Draft &draft);
    void failed(const store::StoreError &error);

private:
    void queue(DraftJob job);
    void work();
    void report(const std::optional<store::StoreError> &failure);

    Snapshot m_snapshot;
    LaterSnapshot m_laterSnapshot;
    DraftSchedule m_schedule;
    QTimer *m_pause;
    // Counts the snapshots asked for: one handed over after a later one was asked is stale.
    quint64 m_asked = 0;
    bool m_failing = false;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    DraftJob m_pending;
    bool m_busy = false;
    bool m_stop = false;
    // Touched by the writing thread only.
    DraftPolicy m_policy;
    std::thread m_writer;
};

} // namespace window
