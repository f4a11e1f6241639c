#pragma once

#include "store/NoteSearch.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class QThread;

namespace window {

// The find panel's searches, off the window's thread so that typing never waits for one: each
// search runs on a search thread of its own, and one overtaken by a later search before it
// begins, or before its answer is handed over, is dropped. The search index is brought up to
// date on another thread, when asked (the first search of a panel opened), never at start.
class NoteFinder : public QObject
{
    Q_OBJECT
public:
    NoteFinder(QString databasePath, QObject *parent);
    // Waits for a search or catch-up that is running.
    ~NoteFinder() override;

    // Brings the index up to date on a thread of its own, unless a catch-up runs already.
    void catchUp();
    // Looks for the notes that hold the words of `typed`; found or failed follows, on the
    // window's thread, unless a later search overtook this one.
    void find(const QString &typed);
    // How many searches have run to their end; the others asked for were dropped before they
    // began. For those who watch the finder (the typing benchmark).
    quint64 searchesRun() const { return m_searchesRun; }

Q_SIGNALS:
    void found(const QString &typed, const std::vector<qint64> &ids);
    void failed(const store::StoreError &error);

private:
    void startThread();

    const QString m_databasePath;
    QThread *m_searchThread = nullptr;
    // Lives on the search thread: the searches run in its turns of that thread's event loop.
    QObject *m_searcher = nullptr;
    // Used on the search thread only.
    std::unique_ptr<store::NoteSearch> m_search;
    std::atomic<quint64> m_latest = 0;
    std::atomic<quint64> m_searchesRun = 0;
    QThread *m_catchUp = nullptr;
    std::atomic<bool> m_stopCatchUp = false;
};

} // namespace window
