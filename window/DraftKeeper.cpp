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
    , m_snapshot(std::move(now))
    , m_laterSnapshot(std::move(later))
    , m_pause(new QTimer(this))
    , m_policy(std::move(folder))
{
    m_pause->setObjectName(QStringLiteral("draftPause"));
    m_pause->setSingleShot(true);
    connect(m_pause, &QTimer::timeout, this, [this] {
        m_schedule.read();
        const quint64 asked = ++m_asked;
        m_laterSnapshot([keeper = QPointer(this), asked](std::optional<store::Draft> draft) {
            if (keeper && keeper->m_asked == asked)
                keeper->queue({.write = true, .draft = std::move(draft)});
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
    m_pause->start(m_schedule.changed(DraftSchedule::Clock::now()));
}

void DraftKeeper::changedNow()
{
    ++m_asked;
    m_pause->stop();
    m_schedule.read();
    queue({.write = true, .draft = m_snapshot()});
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

void DraftKeeper::queue(DraftJob job)
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending.join(std::move(job));
    }
    m_wake.notify_all();
}

void DraftKeeper::work()
{
    for (;;) {
        DraftJob job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_pending.isEmpty(); });
            if (m_pending.isEmpty())
                break; // stopping, and nothing left to do
            job = std::exchange(m_pending, {});
            m_busy = true;
        }
        const DraftPolicy::Outcome outcome = m_policy.carryOut(std::move(job));
        if (outcome.restored) {
            QMetaObject::invokeMethod(
                this, [this, draft = *outcome.restored] { Q_EMIT restored(draft); },
                Qt::QueuedConnection);
        }
        if (outcome.wrote) {
            QMetaObject::invokeMethod(
                this, [this, failure = outcome.failure] { report(failure); }, Qt::QueuedConnection);
        }
        {
            const std::lock_guard lock(m_mutex);
            m_busy = false;
        }
        m_idle.notify_all();
    }
    m_policy.finish();
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
