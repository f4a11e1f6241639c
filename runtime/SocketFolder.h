#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <sys/types.h>

namespace runtime {

// The folder the command sockets are in, opened once and checked: it must be the user's own,
// for the user alone and not a link, or a command could reach another user's listener and a
// window listen where another user reads. Its sockets are named through the open folder
// (/proc/self/fd/N/NAME), so that a folder path of any length fits the 108 bytes of a socket
// address.
class SocketFolder final
{
public:
    enum class Use {
        Listen, // makes the folder where it is missing, and makes one of the user's own private
        Send,   // takes it as it is
    };

    // Held while a window takes its socket, so that two windows never remove each other's.
    class Lock final
    {
    public:
        // Holds the file's lock, waiting for it or not.
        explicit Lock(int fd, bool wait = true);
        bool isHeld() const { return m_held; }
        ~Lock();
        Lock(const Lock &) = delete;
        Lock &operator=(const Lock &) = delete;

    private:
        int m_fd;
        bool m_held = false;
    };

    SocketFolder(const QString &path, Use use);
    ~SocketFolder();
    SocketFolder(const SocketFolder &) = delete;
    SocketFolder &operator=(const SocketFolder &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why the folder, or a socket in it, may not be used: empty when it may, or when the folder
    // is simply not there (no window has listened in it).
    QString problem() const { return m_problem; }

    // The address that names the socket of this name in the folder.
    QByteArray address(const QString &name) const;
    // Whether the entry of this name is missing, or a socket of the user's own (not a link).
    // Sets the problem otherwise.
    bool mayUseSocket(const QString &name);
    // The entry's inode number; 0 when it is missing.
    ino_t inodeOf(const QString &name) const;
    void remove(const QString &name) const;
    // Waits for the lock that goes with this name.
    Lock lock(const QString &name) const;
    // The lock of this name when no one else holds it; nothing when another does.
    std::unique_ptr<Lock> tryLock(const QString &name) const;
    // Whether another holds the lock of this name.
    bool isLocked(const QString &name) const;

private:
    QString m_path;
    int m_fd = -1;
    QString m_problem;
};

} // namespace runtime
