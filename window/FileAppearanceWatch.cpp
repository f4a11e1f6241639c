#include "FileAppearanceWatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace window {

FileAppearanceWatch::FileAppearanceWatch(QString file, QObject *parent)
    : QObject(parent)
    , m_file(std::move(file))
    , m_watcher(new QFileSystemWatcher(this))
{
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &FileAppearanceWatch::folderChanged);
    placeWatch();
}

void FileAppearanceWatch::placeWatch()
{
    // Looked for again after each move: a folder made below the one found before its watch
    // began sends that watch nothing.
    for (;;) {
        QString folder = QFileInfo(m_file).path();
        while (!QFileInfo(folder).isDir() && folder != QFileInfo(folder).path())
            folder = QFileInfo(folder).path();
        const QStringList watched = m_watcher->directories();
        if (watched == QStringList{folder})
            return;
        if (!watched.isEmpty())
            m_watcher->removePaths(watched);
        if (!m_watcher->addPath(folder))
            return;
    }
}

void FileAppearanceWatch::folderChanged()
{
    // The watch moves before anyone reads the file, so that a change made after the read is
    // seen by the watch in its new place.
    placeWatch();
    Q_EMIT mayHaveChanged();
}

} // namespace window
