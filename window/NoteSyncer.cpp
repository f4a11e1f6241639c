#include "NoteSyncer.h"
#include "FileAppearanceWatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>
#include <QTimer>
#include <memory>

namespace window {

namespace {

using namespace std::chrono_literals;

// How long the folder is to be still after a change before a round, and how long a burst of
// changes may put the round off at most.
constexpr auto SettleTime = 300ms;
constexpr qint64 LongestBurstMs = 1200;
// How often an unreachable folder is looked for, and a failed round tried again.
constexpr auto RetryTime = 2s;

// One round, on the round thread.
SyncOutcome runRound(const QString &databasePath)
{
    SyncOutcome outcome;
    const std::optional<QString> folder = store::syncFolderFor(databasePath);
    if (!folder)
        return outcome;
    outcome.folder = *folder;
    if (!QFileInfo(*folder).isDir()) {
        outcome.kind = SyncOutcome::Kind::FolderAway;
        return outcome;
    }
    store::Result<store::SyncReport> round = store::syncRound(databasePath);
    if (round) {
        outcome.kind = SyncOutcome::Kind::Done;
        outcome.report = std::move(*round);
    } else if (!QFileInfo(*folder).isDir()) {
        // Gone while the round ran: it changed nothing.
        outcome.kind = SyncOutcome::Kind::FolderAway;
    } else {
        outcome.kind = SyncOutcome::Kind::Failed;
        outcome.error = round.error();
    }
    return outcome;
}

} // namespace

NoteSyncer::NoteSyncer(QString databasePath, QObject *parent)
    : QObject(parent)
    , m_databasePath(std::move(databasePath))
    , m_settle(new QTimer(this))
    , m_retry(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(SettleTime);
    m_retry->setSingleShot(true);
    m_retry->setInterval(RetryTime);
    connect(m_settle, &QTimer::timeout, this, &NoteSyncer::requestRound);
    connect(m_retry, &QTimer::timeout, this, &NoteSyncer::requestRound);
}

NoteSyncer::~NoteSyncer()
{
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
        delete m_runner;
    }
}

void NoteSyncer::start()
{
    // Watched before it is read, so that a change made after the read is seen.
    auto *settingWatch = new FileAppearanceWatch(store::syncSettingFile(m_databasePath), this);
    connect(settingWatch, &FileAppearanceWatch::mayHaveChanged, this,
            &NoteSyncer::settingMayHaveChanged);
    m_setting = store::syncFolderFor(m_databasePath);
    requestRound();
}

void NoteSyncer::settingMayHaveChanged()
{
    // The folder holds the settings of every database: most changes there are another's.
    std::optional<QString> setting = store::syncFolderFor(m_databasePath);
    if (setting == m_setting)
        return;
    m_setting = std::move(setting);
    // The round finds the folder now set, or none, and the watch follows what it found.
    requestRound();
}

void NoteSyncer::requestRound()
{
    if (m_running) {
        m_again = true;
        return;
    }
    startRound();
}

void NoteSyncer::startRound()
{
    // Most databases are never synced: until one is, a round that would find no folder set is
    // not worth a thread of its own after the first frame and after every save.
    if (!m_thread && !store::syncFolderFor(m_databasePath))
        return;
    if (!m_thread) {
        m_thread = new QThread(this);
        m_runner = new QObject;
        m_runner->moveToThread(m_thread);
        m_thread->start(QThread::LowPriority);
    }
    m_running = true;
    m_retry->stop();
    QMetaObject::invokeMethod(m_runner, [this, path = m_databasePath] {
        auto outcome = std::make_shared<const SyncOutcome>(runRound(path));
        QMetaObject::invokeMethod(this, [this, outcome] { finishRound(*outcome); });
    });
}

void NoteSyncer::finishRound(const SyncOutcome &outcome)
{
    m_running = false;
    follow(outcome);
    Q_EMIT roundDone(outcome);
    if (std::exchange(m_again, false))
        startRound();
}

void NoteSyncer::follow(const SyncOutcome &outcome)
{
    const bool watch
        = outcome.kind == SyncOutcome::Kind::Done || outcome.kind == SyncOutcome::Kind::Failed;
    if (watch && !m_watcher) {
        // Made with the first folder to watch, so that a window without sync makes none.
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &NoteSyncer::folderChanged);
    }
    const QStringList watched = m_watcher ? m_watcher->directories() : QStringList();
    if (!watched.isEmpty() && (!watch || watched.constFirst() != outcome.folder))
        m_watcher->removePaths(watched);
    if (watch && m_watcher->directories().isEmpty())
        m_watcher->addPath(outcome.folder);
    // A failed round is tried again once; a failure that stays waits for the next save, delete
    // or change in the folder.
    const bool failed = outcome.kind == SyncOutcome::Kind::Failed;
    if (outcome.kind == SyncOutcome::Kind::FolderAway || (failed && !m_retriedFailure))
        m_retry->start();
    m_retriedFailure = failed && !m_retriedFailure;
}

void NoteSyncer::folderChanged()
{
    if (!m_settle->isActive())
        m_burst.start();
    else if (m_burst.elapsed() >= LongestBurstMs)
        return;
    m_settle->start();
}

} // namespace window
