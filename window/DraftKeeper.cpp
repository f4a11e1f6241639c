#include "DraftKeeper.h"

#include <QPointer>
#include <QTimer>
#include <chrono>

namespace window {

namespace {
// How long a program that is ending waits for its draft to reach the disk.
constexpr std::chrono::seconds EndingWait{10};
} // namespace

DraftKeeper::DraftKeeper(store::DraftFolder folder, Snapshot now, LaterSnapshot later,
                         QObject *parent)
    : QObject(parent)
    , m_folder(std::move(folder))
    , m_snapshot(std::move(now))
    , m_laterSnapshot(std::move(later))
    , m_pause(new QTimer(this))
{
    m_pause->setObjectName(QStringLiteral("draftPause"));
    m_pause->setSingleShot(true);
    m_pause->setInterval(PauseMs);
    connect(m_pause, &QTimer::timeout, this, [this] {
        const quint64 asked = ++m_asked;
        m_laterSnapshot([keeper = QPointer(this), asked](std::optional<store::Draft> draft) {
            if (keeper && keeper->m_asked == asked)
                keeper->queue({.claim = false, .write = true, .draft = std::move(draft)});
        });
    });
    m_writer = std::thread([this] { work(); });
}

DraftKeeper::~DraftKeeper()
{
    // What was asked for is written; what the note area holds now is no longer to be had, as the
    // window is going away (an ending program has called keepNow()).
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_writer.join();
}

void DraftKeeper::start()
{
    queue({.claim = true, .write = false, .draft = std::nullopt});
}

void DraftKeeper::changed()
{
    m_pause->start();
}

void DraftKeeper::changedNow()
{
    ++m_asked;
    m_pause->stop();
    queue({.claim = false, .write = true, .draft = m_snapshot()});
}

void DraftKeeper::keepNow()
{
    changedNow();
    std::unique_lock lock(m_mutex);
    m_idle.wait_for(lock, EndingWait, [this] { return !m_pending.write && !m_busy; });
}

void DraftKeeper::answerRestored(Answer answer)
{
    queue({.claim = false, .write = false, .draft = std::nullopt, .answer = answer});
}

void DraftKeeper::queue(Job job)
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending.claim = m_pending.claim || job.claim;
        if (job.answer != Answer::None)
            m_pending.answer = job.answer;
        if (job.write) {
            m_pending.write = true;
            m_pending.draft = std::move(job.draft);
        }
    }
    m_wake.notify_all();
}

void DraftKeeper::work()
{
    bool draftOnDisk = false;
    // A restored draft the window has not yet answered for: until it has, the slot's draft is
    // another run's note and is neither written over nor removed.
    bool restoredUnanswered = false;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            const auto work = [this] {
                return m_pending.claim || m_pending.write || m_pending.answer != Answer::None;
            };
            m_wake.wait(lock, [this, &work] { return m_stop || work(); });
            if (!work())
                break; // stopping, and nothing left to do
            job = std::exchange(m_pending, {});
            m_busy = true;
        }
        std::optional<store::StoreError> failure;
        // A draft to write before the answer came means the person is writing another note: the
        // restored one cannot have been taken.
        if (restoredUnanswered && job.write && job.draft)
            job.answer = Answer::NotTaken;
        if (restoredUnanswered && job.answer != Answer::None) {
            restoredUnanswered = false;
            if (job.answer == Answer::NotTaken) {
                // Let go with the draft left in place, waiting; a new slot is taken when there
                // is a draft of this program's own to write.
                m_slot.reset();
                draftOnDisk = false;
            }
        }
        if (restoredUnanswered && job.write)
            job.write = false; // nothing of this program's own is on disk to remove
        if (job.claim && !m_slot) {
            // A draft to write already is the person's; a draft left waiting is not taken over
            // then, so that it is never written over.
            const auto restore
                = job.write ? store::DraftSlot::Restore::None : store::DraftSlot::Restore::Waiting;
            store::Result<store::DraftSlot> slot = store::DraftSlot::claim(m_folder, restore);
            // A folder that cannot be used is told when there is a draft to write.
            if (slot) {
                m_slot = std::move(*slot);
                if (const std::optional<store::Draft> &left = m_slot->restored()) {
                    draftOnDisk = true;
                    restoredUnanswered = true;
                    QMetaObject::invokeMethod(
                        this, [this, draft = *left] { Q_EMIT restored(draft); },
                        Qt::QueuedConnection);
                }
            }
        }
        if (job.write && (job.draft || draftOnDisk)) {
            if (!m_slot) {
                // The folder could not be used at the start; it may be usable now.
                store::Result<store::DraftSlot> slot
                    = store::DraftSlot::claim(m_folder, store::DraftSlot::Restore::None);
                if (slot)
                    m_slot = std::move(*slot);
                else
                    failure = slot.error();
            }
            if (m_slot) {
                const store::Result<store::Done> written
                    = job.draft ? m_slot->write(*job.draft) : m_slot->remove();
                if (!written)
                    failure = written.error();
                else
                    draftOnDisk = job.draft.has_value();
            }
            QMetaObject::invokeMethod(
                this, [this, failure] { report(failure); }, Qt::QueuedConnection);
        }
        {
            const std::lock_guard lock(m_mutex);
            m_busy = false;
        }
        m_idle.notify_all();
    }
    // Nothing kept: the slot goes, lock file and all.
    if (m_slot && !draftOnDisk)
        m_slot->release();
}

void DraftKeeper::report(const std::optional<store::StoreError> &failure)
{
    if (!failure) {
        m_failing = false;
        return;
    }
    if (m_failing)
        return;
    m_failing = true;
    Q_EMIT failed(*failure);
}

} // namespace window
