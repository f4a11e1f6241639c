#pragma once

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
class DraftKeeper : public QObject
{
    Q_OBJECT
public:
    // What the note area holds now: a draft to keep, or nothing (which removes the draft).
    using Snapshot = std::function<std::optional<store::Draft>()>;

    DraftKeeper(store::DraftFolder folder, Snapshot snapshot, QObject *parent);
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

    // The pause after the last change before the draft is written.
    static constexpr int PauseMs = 1000;

Q_SIGNALS:
    void restored(const store::Draft &draft);
    void failed(const store::StoreError &error);

private:
    struct Job
    {
        bool claim = false;
        bool write = false;
        std::optional<store::Draft> draft; // when writing: empty removes the draft
    };

    void queue(Job job);
    void work();
    void report(const std::optional<store::StoreError> &failure);

    store::DraftFolder m_folder;
    Snapshot m_snapshot;
    QTimer *m_pause;
    bool m_failing = false;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    Job m_pending;
    bool m_busy = false;
    bool m_stop = false;
    // Touched by the writing thread only.
    std::optional<store::DraftSlot> m_slot;
    std::thread m_writer;
};

} // namespace window
