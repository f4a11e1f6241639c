#include "Drafts.h"
#include "runtime/FileKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

constexpr QLatin1StringView DraftSuffix{".draft"};
constexpr QLatin1StringView LockSuffix{".lock"};
constexpr QLatin1StringView PartSuffix{".part"};
constexpr QByteArrayView Magic{"ZENTAVO-DRAFT 1\n"};

QString writeHeadline()
{
    return QStringLiteral("Den osparade anteckningen kunde inte sparas som utkast.");
}

QString readHeadline()
{
    return QStringLiteral("Ett utkast till en osparad anteckning kunde inte läsas.");
}

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

// The system's words for errno, with a remedy that fits it.
StoreError systemError(const QString &headline, const QString &path, int error)
{
    QString remedy;
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        remedy = QStringLiteral("Disken är full. Frigör utrymme; utkastet sparas igen nästa gång "
                                "du skriver.");
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        remedy = QStringLiteral("Ge dig själv skrivrätt till mappen, eller sätt XDG_STATE_HOME "
                                "till en mapp du får skriva i. Spara anteckningen med M, Spara.");
        break;
    default:
        remedy = QStringLiteral("Spara anteckningen med M, Spara, så går den inte förlorad.");
        break;
    }
    return StoreError{headline, path, QString::fromLocal8Bit(std::strerror(error)), remedy};
}

// The person's state folder: $XDG_STATE_HOME when it is an absolute path, else ~/.local/state.
QString stateHome()
{
    const QString given = qEnvironmentVariable("XDG_STATE_HOME");
    if (QDir::isAbsolutePath(given))
        return QDir::cleanPath(given);
    QString home = qEnvironmentVariable("HOME");
    if (!QDir::isAbsolutePath(home)) {
        if (const passwd *entry = ::getpwuid(::getuid()))
            home = QFile::decodeName(entry->pw_dir);
    }
    return QDir::cleanPath(home + QStringLiteral("/.local/state"));
}

// Makes the folder and every missing folder above it, each readable by its owner only, whatever
// the umask; folders that are there keep their rights.
std::optional<StoreError> makeFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return std::nullopt;
    const QString above = QFileInfo(folder).absolutePath();
    if (above != folder) {
        if (std::optional<StoreError> failure = makeFolder(above))
            return failure;
    }
    if (::mkdir(local(folder).constData(), 0700) != 0) {
        // Made meanwhile by another program, it is as good as made here.
        if (errno == EEXIST && QFileInfo(folder).isDir())
            return std::nullopt;
        return systemError(writeHeadline(), folder, errno == EEXIST ? ENOTDIR : errno);
    }
    if (::chmod(local(folder).constData(), 0700) != 0)
        return systemError(writeHeadline(), folder, errno);
    return std::nullopt;
}

// Flushes a folder's entries (a rename, a removal) to disk.
bool syncFolder(const QString &folder)
{
    const int fd = ::open(local(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

Result<Draft> readDraft(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return StoreError{readHeadline(), path, file.errorString(),
                          QStringLiteral("Kontrollera att du får läsa filen.")};
    const std::optional<Draft> draft = decodeDraft(file.readAll());
    if (!draft)
        return StoreError{readHeadline(), path, QStringLiteral("filen är inget helt utkast"),
                          QStringLiteral("Filen lämnas orörd. Öppna den i en texteditor om den "
                                         "innehåller något du vill ha kvar.")};
    return *draft;
}

QString idOf(const QString &draftFile)
{
    return draftFile.chopped(DraftSuffix.size());
}

QStringList draftFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*") + DraftSuffix}, QDir::Files, QDir::Name);
}

} // namespace

// The lock a running program holds on its slot: an open lock file with an exclusive lock on it.
struct DraftLock
{
    int fd = -1;
    QString path;

    ~DraftLock()
    {
        if (fd >= 0)
            ::close(fd);
    }

    // Takes the lock at this path without waiting; empty when another program holds it.
    static std::unique_ptr<DraftLock> take(const QString &path, int *error)
    {
        const int fd = ::open(local(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            *error = errno;
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            *error = errno;
            ::close(fd);
            return nullptr;
        }
        ::fchmod(fd, 0600);
        auto lock = std::make_unique<DraftLock>();
        lock->fd = fd;
        lock->path = path;
        return lock;
    }
};

QByteArray encodeDraft(const Draft &draft)
{
    const QByteArray text = draft.text.toUtf8();
    QByteArray bytes(Magic.data(), Magic.size());
    QByteArray title;
    if (draft.title) {
        title = draft.title->toUtf8();
        bytes += "TITLE " + QByteArray::number(title.size()) + '\n';
    }
    bytes += "TEXT " + QByteArray::number(text.size()) + "\n\n";
    bytes.reserve(bytes.size() + title.size() + text.size());
    bytes += title;
    bytes += text;
    return bytes;
}

std::optional<Draft> decodeDraft(const QByteArray &bytes)
{
    if (!bytes.startsWith(Magic))
        return std::nullopt;
    qsizetype at = Magic.size();
    const auto line = [&]() -> std::optional<QByteArray> {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            return std::nullopt;
        QByteArray found = bytes.mid(at, end - at);
        at = end + 1;
        return found;
    };
    const auto length = [](const QByteArray &value) -> qsizetype {
        bool ok = false;
        const qsizetype n = value.toLongLong(&ok);
        return ok && n >= 0 ? n : -1;
    };
    std::optional<QByteArray> next = line();
    qsizetype titleBytes = -1;
    if (next && next->startsWith("TITLE ")) {
        titleBytes = length(next->mid(6));
        if (titleBytes < 0)
            return std::nullopt;
        next = line();
    }
    if (!next || !next->startsWith("TEXT "))
        return std::nullopt;
    const qsizetype textBytes = length(next->mid(5));
    const std::optional<QByteArray> blank = line();
    if (textBytes < 0 || !blank || !blank->isEmpty()
        || bytes.size() - at != std::max<qsizetype>(titleBytes, 0) + textBytes)
        return std::nullopt;
    Draft draft;
    if (titleBytes >= 0) {
        draft.title = QString::fromUtf8(bytes.mid(at, titleBytes));
        at += titleBytes;
    }
    draft.text = QString::fromUtf8(bytes.mid(at, textBytes));
    return draft;
}

DraftFolder DraftFolder::forDatabase(const QString &databasePath)
{
    return DraftFolder(stateHome() + QStringLiteral("/zentavo/drafts/")
                           + runtime::fileKey(databasePath),
                       runtime::fileIdentity(databasePath));
}

DraftFolder::DraftFolder(QString folder, QString databasePath)
    : m_folder(std::move(folder))
    , m_database(std::move(databasePath))
{}

Result<std::vector<DraftFolder::Entry>> DraftFolder::list() const
{
    std::vector<Entry> entries;
    if (!QFileInfo(m_folder).isDir())
        return entries;
    if (!QFileInfo(m_folder).isReadable())
        return systemError(readHeadline(), m_folder, EACCES);
    for (const QString &file : draftFiles(m_folder)) {
        Entry entry;
        entry.file = file;
        int error = 0;
        // A lock that can be taken belongs to no running program.
        entry.waiting
            = DraftLock::take(m_folder + QLatin1Char('/') + idOf(file) + LockSuffix, &error)
              != nullptr;
        entry.draft = readDraft(m_folder + QLatin1Char('/') + file);
        // Removed by its program since the folder was read: no draft any more.
        if (!entry.draft && !QFileInfo::exists(m_folder + QLatin1Char('/') + file))
            continue;
        entries.push_back(std::move(entry));
    }
    return entries;
}

DraftSlot::DraftSlot(QString folder, QString id, std::unique_ptr<DraftLock> lock)
    : m_folder(std::move(folder))
    , m_id(std::move(id))
    , m_lock(std::move(lock))
{}

DraftSlot::DraftSlot(DraftSlot &&other) noexcept = default;
DraftSlot &DraftSlot::operator=(DraftSlot &&other) noexcept = default;
DraftSlot::~DraftSlot() = default;

QString DraftSlot::draftPath() const
{
    return m_folder + QLatin1Char('/') + m_id + DraftSuffix;
}

Result<DraftSlot> DraftSlot::claim(const DraftFolder &folder, Restore restore)
{
    if (std::optional<StoreError> failure = makeFolder(folder.path()))
        return *failure;
    const QString base = folder.path() + QLatin1Char('/');
    const QStringList waiting
        = restore == Restore::Waiting ? draftFiles(folder.path()) : QStringList();
    for (const QString &file : waiting) {
        int error = 0;
        std::unique_ptr<DraftLock> lock = DraftLock::take(base + idOf(file) + LockSuffix, &error);
        if (!lock)
            continue;
        // A draft another program took and removed between the listing and the lock is gone.
        Result<Draft> draft = readDraft(base + file);
        if (!draft)
            continue; // left as it is, for the person to look at
        QFile::remove(base + file + PartSuffix);
        DraftSlot slot(folder.path(), idOf(file), std::move(lock));
        slot.m_restored = std::move(*draft);
        return slot;
    }
    // Lock files of programs that ended without a draft are of no use to anyone.
    for (const QString &file :
         QDir(folder.path()).entryList({QStringLiteral("*") + LockSuffix}, QDir::Files)) {
        const QString id = file.chopped(LockSuffix.size());
        int error = 0;
        if (QFileInfo::exists(base + id + DraftSuffix))
            continue;
        if (const std::unique_ptr<DraftLock> stale = DraftLock::take(base + file, &error)) {
            QFile::remove(base + id + DraftSuffix + PartSuffix);
            QFile::remove(base + file);
        }
    }
    const QString id = QUuid::createUuid().toString(QUuid::Id128);
    int error = 0;
    std::unique_ptr<DraftLock> lock = DraftLock::take(base + id + LockSuffix, &error);
    if (!lock)
        return systemError(writeHeadline(), base + id + LockSuffix, error);
    return DraftSlot(folder.path(), id, std::move(lock));
}

Result<DraftSlot> DraftSlot::takeWaiting(const DraftFolder &folder, const QString &file)
{
    const QString base = folder.path() + QLatin1Char('/');
    int error = 0;
    std::unique_ptr<DraftLock> lock = DraftLock::take(base + idOf(file) + LockSuffix, &error);
    if (!lock) {
        return StoreError{readHeadline(), base + file,
                          QStringLiteral("utkastet hör till ett Zentavo som fortfarande är igång"),
                          QStringLiteral("Spara anteckningen i det fönstret, eller avsluta det "
                                         "och försök igen.")};
    }
    Result<Draft> draft = readDraft(base + file);
    if (!draft)
        return draft.error();
    DraftSlot slot(folder.path(), idOf(file), std::move(lock));
    slot.m_restored = std::move(*draft);
    return slot;
}

Result<Done> DraftSlot::write(const Draft &draft)
{
    const QString target = draftPath();
    const QString part = target + PartSuffix;
    if (!QFileInfo(m_folder).isDir()) {
        // Removed while the program ran: made again.
        if (std::optional<StoreError> failure = makeFolder(m_folder))
            return *failure;
    }
    const int fd = ::open(local(part).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return systemError(writeHeadline(), part, errno);
    ::fchmod(fd, 0600);
    const bool whole = writeAll(fd, encodeDraft(draft)) && ::fsync(fd) == 0;
    const int writeError = errno;
    ::close(fd);
    if (!whole) {
        QFile::remove(part);
        return systemError(writeHeadline(), target, writeError);
    }
    if (::rename(local(part).constData(), local(target).constData()) != 0) {
        const int renameError = errno;
        QFile::remove(part);
        return systemError(writeHeadline(), target, renameError);
    }
    if (!syncFolder(m_folder))
        return systemError(writeHeadline(), m_folder, errno);
    return Done{};
}

Result<Done> DraftSlot::remove()
{
    const QString target = draftPath();
    if (::unlink(local(target).constData()) != 0) {
        if (errno == ENOENT)
            return Done{};
        return systemError(writeHeadline(), target, errno);
    }
    syncFolder(m_folder);
    return Done{};
}

void DraftSlot::release()
{
    if (!m_lock)
        return;
    const Result<Done> removed = remove();
    if (removed)
        QFile::remove(m_lock->path);
    m_lock.reset();
}

} // namespace store
