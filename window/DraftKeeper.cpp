#include "DraftKeeper.h"

#include <QPointer>
#include <QTimer>
#include <condition_variable>
#include <mutex>

namespace window {

struct DraftKeeper::Shared
{
    explicit Shared(store::DraftFolder folder, DraftKeeper *keeper)
        : keeper(keeper)
        , policy(std::move(folder))
    {}

    // Calls `call` with the keeper on the keeper's thread, unless the keeper is gone.
    template<typename Call>
    void post(Call call)
    {
        const std::lock_guard lock(mutex);
        if (!keeper)
            return;
        QMetaObject::invokeMethod(
            keeper, [keeper = keeper, call = std::move(call)] { call(keeper); },
            Qt::QueuedConnection);
    }

    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    DraftJob pending;
    bool busy = false;
    bool stop = false;
    bool finished = false;
    DraftKeeper *keeper; // null once the keeper is gone
    // Touched by the writing thread only.
    DraftPolicy policy;
};

DraftKeeper::DraftKeeper(store::DraftFolder folder, Snapshot now, LaterSnapshot later,
                         QObject *parent)
    : QObject(parent)
    , m_snapshot(std::move(now))
    , m_laterSnapshot(std::move(later))
    , m_pause(new QTimer(this))
    , m_shared(std::make_shared<Shared>(std::move(folder), this))
{
    m_pause->setObjectName(QStringLiteral("draftPause"));
    m_pause->setSingleShot(true);
    connect(m_pause, &QTimer::timeout, this, [this] {
        const quint64 asked = ++m_asked;
        m_laterSnapshot([keeper = QPointer(this), asked](std::optional<store::Draft> draft) {
            if (!keeper || keeper->m_asked != asked)
                return;
            keeper->m_schedule.read();
            keeper->queue({.claim = false, .write = true, .draft = std::move(draft)});
        });
    });
    m_writer = std::thread([shared = m_shared] { work(shared); });
}

DraftKeeper::~DraftKeeper()
{
    // What was asked for is written; what the note area holds now is no longer to be had, as the
    // window is going away (an ending program has called keepNow()). A disk that takes longer
    // than an ending program waits is left to the thread, which ends on its own; one that has
    // already kept keepNow() waiting that long is not waited for again.
    const auto deadline = std::chrono::steady_clock::now()
                          + (m_diskGaveUp ? std::chrono::milliseconds(0) : m_endingWait);
    std::unique_lock lock(m_shared->mutex);
    m_shared->stop = true;
    m_shared->keeper = nullptr;
    m_shared->wake.notify_all();
    const bool finished
        = m_shared->idle.wait_until(lock, deadline, [this] { return m_shared->finished; });
    lock.unlock();
    if (finished)
        m_writer.join();
    else
        m_writer.detach();
}

void DraftKeeper::start()
{
    queue({.claim = true, .write = false, .draft = std::nullopt});
}

void DraftKeeper::changed()
{
    m_pause->start(m_schedule.changed(DraftSchedule::Clock::now()));
}

void DraftKeeper::changedNow()
{
    ++m_asked;
    m_pause->stop();
    m_schedule.read();
    queue({.claim = false, .write = true, .draft = m_snapshot()});
}

void DraftKeeper::keepNow()
{
    changedNow();
    const auto deadline = std::chrono::steady_clock::now() + m_endingWait;
    std::unique_lock lock(m_shared->mutex);
    if (!m_shared->idle.wait_until(lock, deadline,
                                   [this] { return !m_shared->pending.write && !m_shared->busy; }))
        m_diskGaveUp = true;
}

void DraftKeeper::answerRestored(Answer answer)
{
    m_restoredTitle.answered(answer);
    queue({.claim = false, .write = false, .draft = std::nullopt, .answer = answer});
}

void DraftKeeper::queue(DraftJob job)
{
    if (job.write)
        job.draft = m_restoredTitle.onDraft(std::move(job.draft));
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->pending.join(std::move(job));
    }
    m_shared->wake.notify_all();
}

void DraftKeeper::offer(const store::Draft &draft)
{
    m_restoredTitle.offered(draft);
    Q_EMIT restored(draft);
}

void DraftKeeper::work(const std::shared_ptr<Shared> &shared)
{
    for (;;) {
        DraftJob job;
        {
            std::unique_lock lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->stop || !shared->pending.isEmpty(); });
            if (shared->pending.isEmpty())
                break; // stopping, and nothing left to do
            job = std::exchange(shared->pending, {});
            shared->busy = true;
        }
        const DraftPolicy::Outcome outcome = shared->policy.carryOut(std::move(job));
        for (const store::StoreError &left : outcome.leftWaiting)
            shared->post([left](DraftKeeper *keeper) { Q_EMIT keeper->failed(left); });
        if (outcome.restored) {
            shared->post(
                [draft = *outcome.restored](DraftKeeper *keeper) { keeper->offer(draft); });
        }
        if (outcome.wrote) {
            shared->post(
                [failure = outcome.failure](DraftKeeper *keeper) { keeper->report(failure); });
        }
        {
            const std::lock_guard lock(shared->mutex);
            shared->busy = false;
        }
        shared->idle.notify_all();
    }
    shared->policy.finish();
    {
        const std::lock_guard lock(shared->mutex);
        shared->finished = true;
    }
    shared->idle.notify_all();
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
