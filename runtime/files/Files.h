#pragma once

// The file chores of every part of Zentavo, on Qt Core and POSIX alone: the user's folders,
// private folders, descriptors closed when they go, buffers written whole, files replaced whole
// or placed without replacing anything, and every step flushed to disk where a power cut must
// not lose it. Each fails with a FileError: what was being done, to which path, and the
// system's error number, which only FileError puts into words.

#include "Result.h"

#include <QByteArrayView>
#include <QString>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace files {

struct FileError
{
    enum class Operation { Open, Write, Sync, Close, MakeFolder, SetRights, Rename, Remove, Lock };

    Operation operation = Operation::Open;
    QString path;   // the file or folder it was done to
    int number = 0; // errno

    // The system's words for the error (strerror, in the user's language).
    QString wording() const { return wordingOf(number); }
    static QString wordingOf(int number);
};

// An open file descriptor, closed when it goes; moved, never copied.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int descriptor, QString path = {})
        : m_descriptor(descriptor)
        , m_path(std::move(path))
    {}
    Descriptor(Descriptor &&other) noexcept { *this = std::move(other); }
    // Takes the other's descriptor; its own, if any, is closed with the other.
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(m_descriptor, other.m_descriptor);
        m_path.swap(other.m_path);
        return *this;
    }
    ~Descriptor();

    // open(2) with close-on-exec added.
    static Result<Descriptor> open(const QString &path, int flags, mode_t rights = 0);

    int get() const { return m_descriptor; }
    const QString &path() const { return m_path; }
    // Every byte, however many writes it takes.
    Result<Done> writeAll(QByteArrayView bytes);
    // The file's content on disk (fsync).
    Result<Done> sync();
    // Exactly these permission bits, whatever the umask took away when it was made.
    Result<Done> setRights(mode_t rights);
    // Closes it now, saying whether the close failed.
    Result<Done> close();

private:
    int m_descriptor = -1;
    QString m_path;
};

// The user's home: $HOME when it is an absolute path, else the home the password database gives.
QString homeFolder();

// The user's folders, as the XDG base directories name them: the variable when it holds an
// absolute path, else its place in the home (~/.local/share, ~/.local/state, ~/.config,
// ~/.cache). The runtime folder has no such place: empty when $XDG_RUNTIME_DIR is not absolute.
enum class UserFolder { Data, State, Config, Cache, Runtime };
QString userFolder(UserFolder which);

// Makes the folder and every missing folder above it, each readable by the user alone (0700)
// whatever the umask; folders already there keep their rights. One that another program makes
// meanwhile is as good as made here. Fails when something that is no folder stands in the way.
Result<Done> makePrivateFolder(const QString &folder);

// Writes a folder's list of names to disk, so that a power cut cannot lose a new, renamed or
// removed name.
Result<Done> syncFolder(const QString &folder);

// Gives `from` the name `to` in one step, never replacing anything there; fails with EEXIST or
// ENOTEMPTY when something is. On a file system that cannot rename without replacing, a file
// gets a second name and loses its first, and a folder is renamed (which replaces an empty folder
// at most).
Result<Done> moveWithoutReplacing(const QString &from, const QString &to);

// Opens the file at `path`, making it with `rights` when absent, and locks it (flock, exclusive)
// without waiting. The lock handed back is on the file the path names: a file another program
// removed or replaced between the opening and the locking (one sweeping locks nobody holds) is
// let go and the path opened again. A file that is there but cannot be written (a read-only
// folder or mount) is opened for reading and locked all the same. Fails with EWOULDBLOCK when
// another holds the lock.
Result<Descriptor> lockExclusive(const QString &path, mode_t rights);

// A fingerprint of the file at `path` that stays with the file however it is renamed, its folder
// moved or its file system mounted again, and differs for another file at the same path: its
// birth time where the file system records one, and its inode number where that outlasts a
// mount (not on FAT, exFAT, NTFS or FUSE). Empty when no file is there, or the file system keeps
// neither. Reads nothing of the file and changes nothing.
QByteArray fileFingerprint(const QString &path);

// A stamp of the file or folder at `path` that changes whenever it is changed, replaced or
// (a folder) given a new, renamed or removed name: its inode, size and modification time to the
// nanosecond (as fine as the file system keeps it). Empty when nothing is there.
QByteArray changeStamp(const QString &path);

// Writes a file whole: the bytes into "<path>.part" with exactly `rights`, flushed, named `path`
// and the folder flushed. A power cut or a kill at any instant leaves the file as it was or as
// written, never torn. With Replace::Never a file already at `path` is kept and the write fails
// with EEXIST. Nothing of the attempt is left on failure. With FolderFlush::Later the folder is
// not flushed: the caller writing many files flushes it once (syncFolder) before it counts on
// their names.
enum class Replace { Allowed, Never };
enum class FolderFlush { Now, Later };
Result<Done> writeWhole(const QString &path, QByteArrayView bytes, mode_t rights,
                        Replace replace = Replace::Allowed, FolderFlush flush = FolderFlush::Now);

// Removes the file at `path` and flushes its folder; no file there is no failure.
Result<Done> removeFile(const QString &path);

// Writes many new files whole in one folder, as writeWhole with Replace::Never does each, but
// flushed to disk together: every file into "<path>.part" with exactly `rights`, then one flush of
// the whole file system (syncfs) instead of one per file, then each named `path` without
// replacing anything, and the folder flushed. Hands back each file's result, in order; a file
// that failed leaves nothing behind. A kill or a power cut at any instant leaves each file whole
// or absent.
struct NewFile
{
    QString path;
    QByteArray bytes;
};
std::vector<Result<Done>> writeNewFiles(const std::vector<NewFile> &newFiles, mode_t rights);

// The process's umask, which the rights of new files follow.
mode_t currentUmask();

} // namespace files
