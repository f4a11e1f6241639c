#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;

namespace window {

// Tells when a file may have been made, replaced or removed, where the file and the folders
// above it need not exist yet: it watches the deepest folder of the file's path that exists, and
// moves the watch down as the folders below it are made (and up again when they go). The file is
// taken to be replaced whole (written under another name and renamed into place), as Zentavo
// writes its settings: a change inside the file in place is not seen.
class FileAppearanceWatch : public QObject
{
    Q_OBJECT
public:
    FileAppearanceWatch(QString file, QObject *parent);

Q_SIGNALS:
    // Something changed in the folder that holds the file, or on the way to it: read it again.
    void mayHaveChanged();

private:
    // Watches the deepest existing folder of the file's path.
    void placeWatch();
    void folderChanged();

    const QString m_file;
    QFileSystemWatcher *m_watcher;
};

} // namespace window
