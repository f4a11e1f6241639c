#include "LocalSocket.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace runtime {

namespace {

// The address of a socket file; false where the path does not fit one (108 bytes with its end).
bool addressOf(const QByteArray &path, sockaddr_un &address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

bool waitFor(int fd, short events, int waitMs)
{
    pollfd one{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&one, 1, waitMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

} // namespace

LocalSocket::LocalSocket(int fd, int error)
    : m_fd(fd)
    , m_error(error)
{}

LocalSocket::~LocalSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

LocalSocket::LocalSocket(LocalSocket &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_error(other.m_error)
{}

LocalSocket &LocalSocket::operator=(LocalSocket &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_error = other.m_error;
    }
    return *this;
}

LocalSocket LocalSocket::connectTo(const QByteArray &path, int waitMs)
{
    sockaddr_un address;
    if (!addressOf(path, address))
        return LocalSocket(-1, ENAMETOOLONG);
    LocalSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0), 0);
    if (!socket.isOpen())
        return LocalSocket(-1, errno);
    // A connect waits for room in the listener's queue at most this long.
    const timeval limit{waitMs / 1000, (waitMs % 1000) * 1000};
    ::setsockopt(socket.m_fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(socket.m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return LocalSocket(-1, errno);
    return socket;
}

LocalSocket LocalSocket::listenAt(const QByteArray &path)
{
    sockaddr_un address;
    if (!addressOf(path, address))
        return LocalSocket(-1, ENAMETOOLONG);
    LocalSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0), 0);
    if (!socket.isOpen())
        return LocalSocket(-1, errno);
    if (::bind(socket.m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::listen(socket.m_fd, SOMAXCONN) != 0) {
        return LocalSocket(-1, errno);
    }
    return socket;
}

LocalSocket LocalSocket::accept() const
{
    int fd = -1;
    do {
        fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd >= 0 ? LocalSocket(fd) : LocalSocket(-1, errno);
}

bool LocalSocket::writeAll(const QByteArray &data, int waitMs) const
{
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n = ::send(m_fd, data.constData() + written, size_t(data.size() - written),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            written += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(m_fd, POLLOUT, waitMs))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool LocalSocket::waitForReadable(int waitMs) const
{
    return waitFor(m_fd, POLLIN, waitMs);
}

bool LocalSocket::readAvailable(QByteArray &into) const
{
    char chunk[4096];
    ssize_t n = 0;
    do {
        n = ::recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n > 0)
        into.append(chunk, n);
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
}

} // namespace runtime
