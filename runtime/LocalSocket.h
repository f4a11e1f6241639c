#pragma once

#include <QByteArray>

namespace runtime {

// One end of a local (AF_UNIX) stream socket, or a listening one, closed with the object. Plain
// POSIX calls: a waiting window maps no network library for the few bytes a command is. A
// socket that could not be made is not open and keeps the errno that said why.
class LocalSocket final
{
public:
    LocalSocket() = default;
    ~LocalSocket();
    LocalSocket(LocalSocket &&other) noexcept;
    LocalSocket &operator=(LocalSocket &&other) noexcept;
    LocalSocket(const LocalSocket &) = delete;
    LocalSocket &operator=(const LocalSocket &) = delete;

    // Connected to the socket file at this address, waiting at most `waitMs` for a listener
    // whose queue is full. Blocking, for a sender that waits for its answer.
    static LocalSocket connectTo(const QByteArray &address, int waitMs);
    // Listening at this address, not blocking; fails with EADDRINUSE where a file is there.
    static LocalSocket listenAt(const QByteArray &address);

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    int error() const { return m_error; }

    // The next connection waiting on a listening socket, not blocking; not open when none waits.
    LocalSocket accept() const;
    // Writes all of `data`, waiting at most `waitMs` for room.
    bool writeAll(const QByteArray &data, int waitMs) const;
    // Whether something arrives (or the other end closes) within `waitMs`.
    bool waitForReadable(int waitMs) const;
    // Appends what has arrived to `into` (a few KiB at most), not blocking; false once the other
    // end has closed or the connection broke.
    bool readAvailable(QByteArray &into) const;

private:
    explicit LocalSocket(int fd, int error = 0);

    int m_fd = -1;
    int m_error = 0;
};

} // namespace runtime
