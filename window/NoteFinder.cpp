#include "NoteFinder.h"

#include <QThread>

namespace window {

NoteFinder::NoteFinder(QString databasePath, QObject *parent)
    : QObject(parent)
    , m_databasePath(std::move(databasePath))
{}

NoteFinder::~NoteFinder()
{
    if (m_searchThread) {
        // The search's connections belong to its thread: closed there.
        ++m_latest;
        QMetaObject::invokeMethod(
            m_searcher, [this] { m_search.reset(); }, Qt::BlockingQueuedConnection);
        m_searchThread->quit();
        m_searchThread->wait();
        delete m_searcher;
    }
    if (m_catchUp) {
        // A first catch-up at many notes takes seconds: an ending program does not wait for it.
        m_stopCatchUp = true;
        m_catchUp->wait();
    }
}

void NoteFinder::startThread()
{
    m_searchThread = new QThread(this);
    m_searcher = new QObject;
    m_searcher->moveToThread(m_searchThread);
    m_searchThread->start();
}

void NoteFinder::catchUp()
{
    if (m_catchUp && !m_catchUp->isFinished())
        return;
    delete m_catchUp;
    m_catchUp = QThread::create([path = m_databasePath, stop = &m_stopCatchUp] {
        store::catchUpSearchIndex(path, store::searchIndexPath(path), stop);
    });
    m_catchUp->setParent(this);
    m_catchUp->start(QThread::LowPriority);
}

void NoteFinder::find(const QString &typed)
{
    if (!m_searchThread)
        startThread();
    const quint64 ticket = ++m_latest;
    QMetaObject::invokeMethod(m_searcher, [this, ticket, typed] {
        if (ticket != m_latest)
            return;
        if (!m_search)
            m_search = std::make_unique<store::NoteSearch>(m_databasePath);
        auto result = std::make_shared<store::Result<std::vector<qint64>>>(
            m_search->find(store::SearchQuery(typed)));
        ++m_searchesRun;
        if (ticket != m_latest)
            return;
        QMetaObject::invokeMethod(this, [this, ticket, typed, result] {
            if (ticket != m_latest)
                return;
            if (*result)
                Q_EMIT found(typed, **result);
            else
                Q_EMIT failed(result->error());
        });
    });
}

} // namespace window
