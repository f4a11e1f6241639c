#include "SocketFolder.h"

#include "runtime/files/Files.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace runtime {

namespace {

// Whether the process's descriptors can be named as files, which lets a socket address name a
// file through its open folder.
bool descriptorsAsFiles()
{
    return ::access("/proc/self/fd", X_OK) == 0;
}

QString systemError(int error)
{
    return files::FileError::wordingOf(error);
}

} // namespace

SocketFolder::Lock::Lock(int fd, bool wait)
    : m_fd(fd)
{
    if (m_fd < 0)
        return;
    int done = 0;
    do {
        done = ::flock(m_fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
    } while (done != 0 && errno == EINTR);
    m_held = done == 0;
}

SocketFolder::Lock::~Lock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

SocketFolder::SocketFolder(const QString &path, Use use)
    : m_path(path)
{
    const QByteArray encoded = QFile::encodeName(path);
    // Made where missing; one that is there is checked below as it is, never changed but for
    // the rights of one that is the user's own.
    if (use == Use::Listen)
        (void)files::makePrivateFolder(path);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR)
            m_problem = QStringLiteral("kommandomappen %1 är en länk eller ingen mapp").arg(path);
        else if (errno != ENOENT || use == Use::Listen)
            m_problem = QStringLiteral("kommandomappen %1 kan inte öppnas: %2")
                            .arg(path, systemError(errno));
        return;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid()) {
        m_problem = QStringLiteral("kommandomappen %1 tillhör en annan användare").arg(path);
    } else if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0
               && (use == Use::Send || ::fchmod(fd, S_IRWXU) != 0)) {
        m_problem = QStringLiteral("andra användare kan öppna kommandomappen %1 (rättigheter %2)")
                        .arg(path, QString::number(info.st_mode & 07777, 8));
    }
    if (!m_problem.isEmpty()) {
        ::close(fd);
        return;
    }
    m_fd = fd;
}

SocketFolder::~SocketFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray SocketFolder::address(const QString &name) const
{
    static const bool throughDescriptor = descriptorsAsFiles();
    if (!throughDescriptor)
        return QFile::encodeName(m_path + QLatin1Char('/') + name);
    return "/proc/self/fd/" + QByteArray::number(m_fd) + '/' + QFile::encodeName(name);
}

bool SocketFolder::mayUseSocket(const QString &name)
{
    struct stat info
    {
    };
    if (::fstatat(m_fd, QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return true;
    if (S_ISSOCK(info.st_mode) && info.st_uid == ::geteuid())
        return true;
    m_problem = QStringLiteral("%1 är inte ett uttag för kommandon som tillhör dig")
                    .arg(m_path + QLatin1Char('/') + name);
    return false;
}

ino_t SocketFolder::inodeOf(const QString &name) const
{
    struct stat info
    {
    };
    if (::fstatat(m_fd, QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    return info.st_ino;
}

void SocketFolder::remove(const QString &name) const
{
    ::unlinkat(m_fd, QFile::encodeName(name).constData(), 0);
}

namespace {

int openLockFile(int folder, const QString &name)
{
    return ::openat(folder, QFile::encodeName(name + QStringLiteral(".lock")).constData(),
                    O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
}

} // namespace

SocketFolder::Lock SocketFolder::lock(const QString &name) const
{
    return Lock(openLockFile(m_fd, name));
}

std::unique_ptr<SocketFolder::Lock> SocketFolder::tryLock(const QString &name) const
{
    auto lock = std::make_unique<Lock>(openLockFile(m_fd, name), false);
    return lock->isHeld() ? std::move(lock) : nullptr;
}

bool SocketFolder::isLocked(const QString &name) const
{
    const int fd = openLockFile(m_fd, name);
    if (fd < 0)
        return false;
    const Lock probe(fd, false);
    return !probe.isHeld();
}

} // namespace runtime
