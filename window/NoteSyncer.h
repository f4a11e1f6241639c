#pragma once

#include "SyncNews.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <optional>

class QFileSystemWatcher;
class QThread;
class QTimer;

namespace window {

// Runs the sync rounds of one database (store::syncRound) off the window's thread, so that
// neither a save nor the keys ever wait for the sync folder: one round at a time, on a thread of
// its own; a round asked for while one runs leads to exactly one more after it. Each round's
// outcome comes back through roundDone on the window's thread.
//
// Between rounds it watches the sync folder the last round found: a change there (a file the
// sync engine brought, or took away) asks for a round once the folder has been still for 300 ms,
// and at most 1.2 s after the first change of a burst, so that a round starts within two seconds
// of a file landing. A folder out of reach is looked for every two seconds until it is back; a
// round that failed is tried again once, two seconds later.
//
// From start() on it also follows the database's sync setting, whatever sets it (the notes tool,
// another program): a folder set starts the rounds and the watch of the folder, a folder changed
// moves the watch, and a setting ended stops it. Until a folder is set there is no thread.
class NoteSyncer : public QObject
{
    Q_OBJECT
public:
    NoteSyncer(QString databasePath, QObject *parent);
    // Waits for a round that runs: its transaction is finished, not cut off.
    ~NoteSyncer() override;

    // The first round, and from now on the setting followed. Call it once, after the first
    // frame.
    void start();
    // Asks for a round: now, or after the one that runs.
    void requestRound();

Q_SIGNALS:
    void roundDone(const window::SyncOutcome &outcome);

private:
    void startRound();
    void finishRound(const SyncOutcome &outcome);
    // Follows the folder the round found: watched while it is there, looked for while away.
    void follow(const SyncOutcome &outcome);
    void folderChanged();
    void settingMayHaveChanged();

    const QString m_databasePath;
    // The sync folder setting as last read, from start() on.
    std::optional<QString> m_setting;
    QThread *m_thread = nullptr;
    // Lives on the round thread: the rounds run in its turns of that thread's event loop.
    QObject *m_runner = nullptr;
    bool m_running = false;
    bool m_again = false;
    QFileSystemWatcher *m_watcher = nullptr;
    // Runs while the folder settles after a change.
    QTimer *m_settle;
    QElapsedTimer m_burst;
    // Runs while the folder is away, and after a round that failed.
    QTimer *m_retry;
    // Whether the last round failed and its one retry is on its way.
    bool m_retriedFailure = false;
};

} // namespace window
