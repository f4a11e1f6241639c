#include "Drafts.h"
#include "runtime/FileKey.h"
#include "runtime/files/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>
#include <cerrno>
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

using files::FileError;

// The system's words for the error, with a remedy that fits it.
StoreError systemError(const QString &headline, const FileError &error)
{
    QString remedy;
    switch (error.number) {
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
    return StoreError{headline, error.path, error.wording(), remedy};
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
    files::Descriptor file;

    // Takes the lock at this path without waiting; fails when another program holds it.
    static files::Result<std::unique_ptr<DraftLock>> take(const QString &path)
    {
        files::Result<files::Descriptor> file = files::lockExclusive(path, 0600);
        if (!file)
            return file.error();
        (void)file->setRights(0600);
        return std::make_unique<DraftLock>(DraftLock{std::move(*file)});
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
    return DraftFolder(files::userFolder(files::UserFolder::State)
                       + QStringLiteral("/zentavo/drafts/") + runtime::fileKey(databasePath));
}

DraftFolder::DraftFolder(QString folder)
    : m_folder(std::move(folder))
{}

Result<std::vector<DraftFolder::Entry>> DraftFolder::list() const
{
    std::vector<Entry> entries;
    if (!QFileInfo(m_folder).isDir())
        return entries;
    if (!QFileInfo(m_folder).isReadable())
        return systemError(readHeadline(), FileError{FileError::Operation::Open, m_folder, EACCES});
    for (const QString &file : draftFiles(m_folder)) {
        Entry entry;
        entry.file = file;
        // A lock that can be taken belongs to no running program.
        entry.waiting
            = bool(DraftLock::take(m_folder + QLatin1Char('/') + idOf(file) + LockSuffix));
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
    if (const files::Result<files::Done> made = files::makePrivateFolder(folder.path()); !made)
        return systemError(writeHeadline(), made.error());
    const QString base = folder.path() + QLatin1Char('/');
    const QStringList waiting
        = restore == Restore::Waiting ? draftFiles(folder.path()) : QStringList();
    for (const QString &file : waiting) {
        files::Result<std::unique_ptr<DraftLock>> lock
            = DraftLock::take(base + idOf(file) + LockSuffix);
        if (!lock)
            continue;
        // A draft another program took and removed between the listing and the lock is gone.
        Result<Draft> draft = readDraft(base + file);
        if (!draft)
            continue; // left as it is, for the person to look at
        QFile::remove(base + file + PartSuffix);
        DraftSlot slot(folder.path(), idOf(file), std::move(*lock));
        slot.m_restored = std::move(*draft);
        return slot;
    }
    // Lock files of programs that ended without a draft are of no use to anyone.
    for (const QString &file :
         QDir(folder.path()).entryList({QStringLiteral("*") + LockSuffix}, QDir::Files)) {
        const QString id = file.chopped(LockSuffix.size());
        if (QFileInfo::exists(base + id + DraftSuffix))
            continue;
        if (const files::Result<std::unique_ptr<DraftLock>> stale = DraftLock::take(base + file)) {
            QFile::remove(base + id + DraftSuffix + PartSuffix);
            QFile::remove(base + file);
        }
    }
    const QString id = QUuid::createUuid().toString(QUuid::Id128);
    files::Result<std::unique_ptr<DraftLock>> lock = DraftLock::take(base + id + LockSuffix);
    if (!lock)
        return systemError(writeHeadline(), lock.error());
    return DraftSlot(folder.path(), id, std::move(*lock));
}

Result<DraftSlot> DraftSlot::takeWaiting(const DraftFolder &folder, const QString &file)
{
    const QString base = folder.path() + QLatin1Char('/');
    files::Result<std::unique_ptr<DraftLock>> lock
        = DraftLock::take(base + idOf(file) + LockSuffix);
    if (!lock) {
        return StoreError{readHeadline(), base + file,
                          QStringLiteral("utkastet hör till ett Zentavo som fortfarande är igång"),
                          QStringLiteral("Spara anteckningen i det fönstret, eller avsluta det "
                                         "och försök igen.")};
    }
    Result<Draft> draft = readDraft(base + file);
    if (!draft)
        return draft.error();
    DraftSlot slot(folder.path(), idOf(file), std::move(*lock));
    slot.m_restored = std::move(*draft);
    return slot;
}

Result<Done> DraftSlot::write(const Draft &draft)
{
    // A folder removed while the program ran is made again.
    files::Result<files::Done> written = files::makePrivateFolder(m_folder);
    if (written)
        written = files::writeWhole(draftPath(), encodeDraft(draft), 0600);
    if (!written)
        return systemError(writeHeadline(), written.error());
    return Done{};
}

Result<Done> DraftSlot::remove()
{
    const QString target = draftPath();
    if (::unlink(QFile::encodeName(target).constData()) != 0) {
        if (errno == ENOENT)
            return Done{};
        return systemError(writeHeadline(), FileError{FileError::Operation::Remove, target, errno});
    }
    (void)files::syncFolder(m_folder);
    return Done{};
}

void DraftSlot::release()
{
    if (!m_lock)
        return;
    const Result<Done> removed = remove();
    if (removed)
        QFile::remove(m_lock->file.path());
    m_lock.reset();
}

} // namespace store
