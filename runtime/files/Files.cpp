#include "Files.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace files {

namespace {

using Operation = FileError::Operation;

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

Result<Done> failed(Operation operation, const QString &path, int number = errno)
{
    return FileError{operation, path, number};
}

} // namespace

QString FileError::wordingOf(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

Descriptor::~Descriptor()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

Result<Descriptor> Descriptor::open(const QString &path, int flags, mode_t rights)
{
    const int descriptor = ::open(local(path).constData(), flags | O_CLOEXEC, rights);
    if (descriptor < 0)
        return FileError{Operation::Open, path, errno};
    return Descriptor(descriptor, path);
}

Result<Done> Descriptor::writeAll(QByteArrayView bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t step
            = ::write(m_descriptor, bytes.data() + written, size_t(bytes.size() - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            return failed(Operation::Write, m_path, step < 0 ? errno : EIO);
        written += step;
    }
    return Done{};
}

Result<Done> Descriptor::sync()
{
    return ::fsync(m_descriptor) == 0 ? Result<Done>(Done{}) : failed(Operation::Sync, m_path);
}

Result<Done> Descriptor::setRights(mode_t rights)
{
    return ::fchmod(m_descriptor, rights) == 0 ? Result<Done>(Done{})
                                               : failed(Operation::SetRights, m_path);
}

Result<Done> Descriptor::close()
{
    return ::close(std::exchange(m_descriptor, -1)) == 0 ? Result<Done>(Done{})
                                                         : failed(Operation::Close, m_path);
}

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_dir)
        return QFile::decodeName(found->pw_dir);
    return QDir::homePath();
}

QString userFolder(UserFolder which)
{
    struct Place
    {
        const char *variable;
        const char *inHome;
    };
    static constexpr Place Places[] = {{"XDG_DATA_HOME", "/.local/share"},
                                       {"XDG_STATE_HOME", "/.local/state"},
                                       {"XDG_CONFIG_HOME", "/.config"},
                                       {"XDG_CACHE_HOME", "/.cache"},
                                       {"XDG_RUNTIME_DIR", nullptr}};
    const Place &place = Places[int(which)];
    const QString given = qEnvironmentVariable(place.variable);
    if (QDir::isAbsolutePath(given))
        return QDir::cleanPath(given);
    return place.inHome ? QDir::cleanPath(homeFolder() + QLatin1String(place.inHome)) : QString();
}

Result<Done> makePrivateFolder(const QString &given)
{
    const QString folder = QDir::cleanPath(given);
    QStringList missing;
    for (QString current = folder; !QFileInfo::exists(current);) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            break;
        current = parent;
    }
    for (const QString &each : std::as_const(missing)) {
        const QByteArray name = local(each);
        if (::mkdir(name.constData(), S_IRWXU) != 0) {
            const int error = errno;
            if (error == EEXIST && QFileInfo(each).isDir())
                continue;
            return failed(Operation::MakeFolder, each, error);
        }
        // The umask can only take rights away: they are set once more.
        if (::chmod(name.constData(), S_IRWXU) != 0)
            return failed(Operation::SetRights, each);
    }
    if (!QFileInfo(folder).isDir())
        return failed(Operation::MakeFolder, folder, ENOTDIR);
    return Done{};
}

Result<Done> syncFolder(const QString &folder)
{
    Result<Descriptor> opened = Descriptor::open(folder, O_RDONLY | O_DIRECTORY);
    if (!opened)
        return failed(Operation::Sync, folder, opened.error().number);
    return opened->sync();
}

Result<Done> moveWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = local(from);
    const QByteArray target = local(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
        == 0)
        return Done{};
    int error = errno;
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        struct stat status = {};
        if (::lstat(source.constData(), &status) == 0 && S_ISDIR(status.st_mode)) {
            if (::rename(source.constData(), target.constData()) == 0)
                return Done{};
        } else if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            return Done{};
        }
        error = errno;
    }
    return failed(Operation::Rename, to, error);
}

Result<Descriptor> lockExclusive(const QString &path, mode_t rights)
{
    const QByteArray name = local(path);
    for (;;) {
        Result<Descriptor> file = Descriptor::open(path, O_RDWR | O_CREAT, rights);
        if (!file && (file.error().number == EACCES || file.error().number == EROFS)) {
            // A file or folder that cannot be written is locked all the same, where it is.
            Result<Descriptor> readable = Descriptor::open(path, O_RDONLY);
            if (!readable)
                return file;
            file = std::move(readable);
        }
        if (!file)
            return file;
        if (::flock(file->get(), LOCK_EX | LOCK_NB) != 0)
            return FileError{Operation::Lock, path, errno};
        struct stat locked = {};
        struct stat named = {};
        if (::fstat(file->get(), &locked) != 0)
            return FileError{Operation::Lock, path, errno};
        if (::stat(name.constData(), &named) == 0) {
            if (named.st_dev == locked.st_dev && named.st_ino == locked.st_ino)
                return file;
        } else if (errno != ENOENT) {
            return FileError{Operation::Lock, path, errno};
        }
        // Removed or replaced since it was opened: the lock is let go with the descriptor.
    }
}

namespace {

// File systems whose inode numbers are made up at each mount (FAT, exFAT, NTFS, FUSE): the
// number says nothing about the file once the stick is plugged in again.
bool inodesLastOnlyAMount(const QByteArray &path)
{
    struct statfs system = {};
    if (::statfs(path.constData(), &system) != 0)
        return true;
    switch (static_cast<unsigned long>(system.f_type)) {
    case 0x4d44UL:     // FAT
    case 0x2011bab0UL: // exFAT
    case 0x5346544eUL: // NTFS
    case 0x7366746eUL: // NTFS (ntfs3)
    case 0x65735546UL: // FUSE
        return true;
    default:
        return false;
    }
}

} // namespace

QByteArray fileFingerprint(const QString &path)
{
    const QByteArray name = local(path);
    struct statx status = {};
    if (::statx(AT_FDCWD, name.constData(), 0, STATX_INO | STATX_BTIME, &status) != 0)
        return {};
    QByteArrayList parts;
    // Birth times are as coarse as the system clock's tick: two files made in one tick share one.
    if (status.stx_mask & STATX_BTIME)
        parts << "born " + QByteArray::number(qint64(status.stx_btime.tv_sec)) + '.'
                     + QByteArray::number(status.stx_btime.tv_nsec);
    if ((status.stx_mask & STATX_INO) && !inodesLastOnlyAMount(name))
        parts << "inode " + QByteArray::number(quint64(status.stx_ino));
    return parts.join(' ');
}

QByteArray changeStamp(const QString &path)
{
    struct stat status = {};
    if (::stat(local(path).constData(), &status) != 0)
        return {};
    return QByteArray::number(quint64(status.st_dev)) + ' '
           + QByteArray::number(quint64(status.st_ino)) + ' '
           + QByteArray::number(qint64(status.st_size)) + ' '
           + QByteArray::number(qint64(status.st_mtim.tv_sec)) + '.'
           + QByteArray::number(qint64(status.st_mtim.tv_nsec));
}

Result<Done> writeWhole(const QString &path, QByteArrayView bytes, mode_t rights, Replace replace,
                        FolderFlush flush)
{
    const QString part = path + QStringLiteral(".part");
    Result<Descriptor> file = Descriptor::open(part, O_WRONLY | O_CREAT | O_TRUNC, rights);
    if (!file)
        return file.error();
    Result<Done> written = file->setRights(rights);
    if (written)
        written = file->writeAll(bytes);
    if (written)
        written = file->sync();
    if (written)
        written = file->close();
    if (written && replace == Replace::Never)
        written = moveWithoutReplacing(part, path);
    else if (written && ::rename(local(part).constData(), local(path).constData()) != 0)
        written = failed(Operation::Rename, path);
    if (!written) {
        const FileError error = written.error();
        QFile::remove(part);
        return FileError{error.operation, path, error.number};
    }
    if (flush == FolderFlush::Later)
        return Done{};
    return syncFolder(QFileInfo(path).absolutePath());
}

Result<Done> removeFile(const QString &path)
{
    if (::unlink(local(path).constData()) != 0)
        return errno == ENOENT ? Result<Done>(Done{}) : failed(Operation::Remove, path);
    return syncFolder(QFileInfo(path).absolutePath());
}

std::vector<Result<Done>> writeNewFiles(const std::vector<NewFile> &newFiles, mode_t rights)
{
    std::vector<Result<Done>> results;
    results.reserve(newFiles.size());
    int anyOpen = -1;
    for (const NewFile &file : newFiles) {
        const QString part = file.path + QStringLiteral(".part");
        Result<Descriptor> made = Descriptor::open(part, O_WRONLY | O_CREAT | O_TRUNC, rights);
        Result<Done> written = made ? made->setRights(rights) : Result<Done>(made.error());
        if (written)
            written = made->writeAll(file.bytes);
        if (written)
            written = made->close();
        if (!written)
            QFile::remove(part);
        results.push_back(
            written ? written
                    : FileError{written.error().operation, file.path, written.error().number});
    }
    // Every file's content on disk before any of them gets its name.
    if (!newFiles.empty()) {
        Result<Descriptor> folder = Descriptor::open(
            QFileInfo(newFiles.front().path).absolutePath(), O_RDONLY | O_DIRECTORY);
        anyOpen = folder ? folder->get() : -1;
        if (anyOpen < 0 || ::syncfs(anyOpen) != 0) {
            const FileError error
                = folder ? FileError{Operation::Sync, folder->path(), errno} : folder.error();
            for (std::size_t index = 0; index < newFiles.size(); ++index) {
                if (results[index])
                    QFile::remove(newFiles[index].path + QStringLiteral(".part"));
                results[index] = error;
            }
            return results;
        }
    }
    for (std::size_t index = 0; index < newFiles.size(); ++index) {
        if (!results[index])
            continue;
        const QString part = newFiles[index].path + QStringLiteral(".part");
        results[index] = moveWithoutReplacing(part, newFiles[index].path);
        if (!results[index])
            QFile::remove(part);
    }
    if (!newFiles.empty()) {
        if (Result<Done> flushed = syncFolder(QFileInfo(newFiles.front().path).absolutePath());
            !flushed) {
            for (Result<Done> &result : results) {
                if (result)
                    result = flushed;
            }
        }
    }
    return results;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace files
