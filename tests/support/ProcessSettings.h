#pragma once

// Settings of the test process that a test changes for a while and puts back: an environment
// variable, the umask; and a file's permission bits as a test reads them.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

// Sets an environment variable for the lifetime of the object, or unsets it when the value is
// empty, and puts back what was there.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const char *name, const std::optional<QByteArray> &value)
        : m_name(name)
        , m_before(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        set(value);
    }
    ~EnvironmentVariable() { set(m_before); }
    EnvironmentVariable(const EnvironmentVariable &) = delete;
    EnvironmentVariable &operator=(const EnvironmentVariable &) = delete;

private:
    void set(const std::optional<QByteArray> &value)
    {
        if (value)
            qputenv(m_name, *value);
        else
            qunsetenv(m_name);
    }

    const char *m_name;
    std::optional<QByteArray> m_before;
};

// The process's umask for the lifetime of the object.
class Umask
{
public:
    explicit Umask(mode_t mask)
        : m_before(::umask(mask))
    {}
    ~Umask() { ::umask(m_before); }
    Umask(const Umask &) = delete;
    Umask &operator=(const Umask &) = delete;

private:
    mode_t m_before;
};

// A folder nothing can be written in for the lifetime of the object, not even by root: bound
// read-only onto itself where the test may mount, else its write bits taken away (which holds
// for anyone but root). readOnly() says whether either worked.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder)
        : m_path(QFile::encodeName(folder))
    {
        if (::mount(m_path.constData(), m_path.constData(), nullptr, MS_BIND, nullptr) == 0) {
            m_mounted = true;
            m_readOnly = ::mount(nullptr, m_path.constData(), nullptr,
                                 MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr)
                         == 0;
        } else if (::geteuid() != 0) {
            m_readOnly = ::chmod(m_path.constData(), 0500) == 0;
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
        else if (m_readOnly)
            ::chmod(m_path.constData(), 0700);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool readOnly() const { return m_readOnly; }

private:
    QByteArray m_path;
    bool m_mounted = false;
    bool m_readOnly = false;
};

// A file's or folder's permission bits; -1 when it cannot be read.
inline int modeOf(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return int(status.st_mode & 07777);
}

} // namespace testsupport
