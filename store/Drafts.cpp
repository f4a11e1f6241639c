#include "Drafts.h"
#include "UserPlaces.h"
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
constexpr QLatin1StringView StoredSuffix{".stored"};
constexpr QByteArrayView Magic{"ZENTAVO-DRAFT 1\n"};

QString writeHeadline()
{
    return QStringLiteral("Den osparade anteckningen kunde inte sparas som utkast.");
}

QString readHeadline()
{
    return QStringLiteral("Ett utkast till en osparad anteckning kunde inte läsas.");
}

QString takeHeadline()
{
    return QStringLiteral("Ett utkast till en osparad anteckning kunde inte återställas.");
}

using files::FileError;

// A draft that cannot be moved in its folder could not be removed once its note is stored.
StoreError cannotBeRemovedLater(const QString &headline, const FileError &error)
{
    return StoreError{headline, error.path, error.wording(),
                      QStringLiteral("Utkastet kan inte tas bort ur mappen när anteckningen väl "
                                     "sparats, och skulle då komma tillbaka en gång till. Ge dig "
                                     "själv skrivrätt till mappen och försök igen; utkastet "
                                     "väntar kvar.")};
}

StoreError ofAnotherDatabase(const QString &path)
{
    return StoreError{takeHeadline(), path,
                      QStringLiteral("utkastet skrevs i en annan databasfil med samma sökväg, "
                                     "till exempel på ett annat USB-minne"),
                      QStringLiteral("Det väntar kvar och kommer tillbaka när den databasfilen "
                                     "används här igen. Filen kan också öppnas i en "
                                     "texteditor.")};
}

StoreError alreadyStored(const QString &path)
{
    return StoreError{takeHeadline(), path,
                      QStringLiteral("utkastet har redan sparats som anteckning men kunde inte "
                                     "tas bort"),
                      QStringLiteral("Det återställs och sparas aldrig igen. Kontrollera att "
                                     "anteckningen finns i listan och ta sedan bort filen.")};
}

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

Result<Draft> readDraft(const QString &path, QByteArray *database = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return StoreError{readHeadline(), path, file.errorString(),
                          QStringLiteral("Kontrollera att du får läsa filen.")};
    const std::optional<Draft> draft = decodeDraft(file.readAll(), database);
    if (!draft)
        return StoreError{readHeadline(), path, QStringLiteral("filen är inget helt utkast"),
                          QStringLiteral("Filen lämnas orörd. Öppna den i en texteditor om den "
                                         "innehåller något du vill ha kvar.")};
    return *draft;
}

QString idOf(const QString &file)
{
    return file.left(file.lastIndexOf(QLatin1Char('.')));
}

QStringList filesEndingIn(const QString &folder, QStringList suffixes)
{
    for (QString &suffix : suffixes)
        suffix.prepend(QLatin1Char('*'));
    return QDir(folder).entryList(suffixes, QDir::Files, QDir::Name);
}

QStringList draftFiles(const QString &folder)
{
    return filesEndingIn(folder, {DraftSuffix});
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

QByteArray encodeDraft(const Draft &draft, const QByteArray &database)
{
    const QByteArray text = draft.text.toUtf8();
    QByteArray bytes(Magic.data(), Magic.size());
    if (!database.isEmpty())
        bytes += "DATABASE " + database + '\n';
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

std::optional<Draft> decodeDraft(const QByteArray &bytes, QByteArray *database)
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
    QByteArray recorded;
    if (next && next->startsWith("DATABASE ")) {
        recorded = next->mid(9);
        if (recorded.isEmpty())
            return std::nullopt;
        next = line();
    }
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
    if (database)
        *database = recorded;
    return draft;
}

DraftFolder DraftFolder::forDatabase(const QString &databasePath)
{
    return DraftFolder(stateFolderOf(databasePath, QLatin1StringView("drafts")),
                       files::fileFingerprint(databasePath));
}

DraftFolder::DraftFolder(QString folder, QByteArray database)
    : m_folder(std::move(folder))
    , m_database(std::move(database))
{}

bool DraftFolder::belongs(const QByteArray &draftDatabase) const
{
    return draftDatabase.isEmpty() || draftDatabase == m_database;
}

Result<std::vector<DraftFolder::Entry>> DraftFolder::list() const
{
    std::vector<Entry> entries;
    if (!QFileInfo(m_folder).isDir())
        return entries;
    if (!QFileInfo(m_folder).isReadable())
        return systemError(readHeadline(), FileError{FileError::Operation::Open, m_folder, EACCES});
    for (const QString &file : filesEndingIn(m_folder, {DraftSuffix, StoredSuffix})) {
        Entry entry;
        entry.file = file;
        entry.stored = file.endsWith(StoredSuffix);
        // A lock that can be taken belongs to no running program.
        entry.waiting
            = bool(DraftLock::take(m_folder + QLatin1Char('/') + idOf(file) + LockSuffix));
        QByteArray database;
        entry.draft = readDraft(m_folder + QLatin1Char('/') + file, &database);
        entry.otherDatabase = entry.draft && !belongs(database);
        // Removed by its program since the folder was read: no draft any more.
        if (!entry.draft && !QFileInfo::exists(m_folder + QLatin1Char('/') + file))
            continue;
        entries.push_back(std::move(entry));
    }
    return entries;
}

DraftSlot::DraftSlot(const DraftFolder &folder, QString id, std::unique_ptr<DraftLock> lock)
    : m_folder(folder.path())
    , m_database(folder.database())
    , m_id(std::move(id))
    , m_lock(std::move(lock))
{}

DraftSlot::DraftSlot(DraftSlot &&other) noexcept = default;
DraftSlot &DraftSlot::operator=(DraftSlot &&other) noexcept = default;
DraftSlot::~DraftSlot() = default;

QString DraftSlot::draftPath() const
{
    return m_folder + QLatin1Char('/') + m_id + (m_marked ? StoredSuffix : DraftSuffix);
}

namespace {

// Lock files of programs that ended without a draft are of no use to anyone.
void sweepLocks(const QString &folder)
{
    const QString base = folder + QLatin1Char('/');
    for (const QString &file : filesEndingIn(folder, {LockSuffix})) {
        const QString id = idOf(file);
        if (QFileInfo::exists(base + id + DraftSuffix)
            || QFileInfo::exists(base + id + StoredSuffix))
            continue;
        if (const files::Result<std::unique_ptr<DraftLock>> stale = DraftLock::take(base + file)) {
            QFile::remove(base + id + DraftSuffix + PartSuffix);
            QFile::remove(base + file);
        }
    }
}

} // namespace

Result<DraftSlot> DraftSlot::claim(const DraftFolder &folder, Restore restore)
{
    if (const files::Result<files::Done> made = files::makePrivateFolder(folder.path()); !made)
        return systemError(writeHeadline(), made.error());
    sweepLocks(folder.path());
    const QString id = QUuid::createUuid().toString(QUuid::Id128);
    files::Result<std::unique_ptr<DraftLock>> lock
        = DraftLock::take(folder.path() + QLatin1Char('/') + id + LockSuffix);
    if (!lock) {
        // Drafts waiting in a folder nothing can be written in could not be removed once stored.
        if (restore == Restore::Waiting && !draftFiles(folder.path()).isEmpty())
            return cannotBeRemovedLater(takeHeadline(), lock.error());
        return systemError(writeHeadline(), lock.error());
    }
    DraftSlot slot(folder, id, std::move(*lock));
    if (restore == Restore::Waiting)
        slot.takeOverWaiting(folder);
    return slot;
}

void DraftSlot::takeOverWaiting(const DraftFolder &folder)
{
    const QString base = m_folder + QLatin1Char('/');
    for (const QString &file : filesEndingIn(m_folder, {StoredSuffix})) {
        if (DraftLock::take(base + idOf(file) + LockSuffix))
            m_passedOver.push_back(alreadyStored(base + file));
    }
    for (const QString &file : draftFiles(m_folder)) {
        const QString id = idOf(file);
        if (id == m_id)
            continue;
        files::Result<std::unique_ptr<DraftLock>> lock = DraftLock::take(base + id + LockSuffix);
        if (!lock)
            continue;
        QByteArray database;
        Result<Draft> draft = readDraft(base + file, &database);
        if (!draft) {
            // Left as it is, for the person to look at; a draft another program took between
            // the listing and the lock is gone, and no news.
            if (QFileInfo::exists(base + file))
                m_passedOver.push_back(draft.error());
            continue;
        }
        if (!folder.belongs(database)) {
            m_passedOver.push_back(ofAnotherDatabase(base + file));
            continue;
        }
        // Moved into this slot: a draft that cannot be moved could not be removed either.
        if (const files::Result<files::Done> moved
            = files::moveWithoutReplacing(base + file, draftPath());
            !moved) {
            m_passedOver.push_back(
                cannotBeRemovedLater(takeHeadline(), FileError{moved.error().operation, base + file,
                                                               moved.error().number}));
            continue;
        }
        (void)files::syncFolder(m_folder);
        QFile::remove(base + file + PartSuffix);
        QFile::remove(base + id + LockSuffix);
        m_restored = std::move(*draft);
        return;
    }
    if (!m_database.isEmpty())
        takeOverMoved();
}

void DraftSlot::takeOverMoved()
{
    // The folders of other paths beside this one: a database moved (a portable copy carried to
    // another folder) left its waiting draft in the folder of its old path.
    const QFileInfo own(m_folder);
    const QDir all(own.path());
    for (const QString &other : all.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (other == own.fileName())
            continue;
        const QString base = all.filePath(other) + QLatin1Char('/');
        for (const QString &file : draftFiles(all.filePath(other))) {
            files::Result<std::unique_ptr<DraftLock>> lock
                = DraftLock::take(base + idOf(file) + LockSuffix);
            QByteArray database;
            Result<Draft> draft = lock ? readDraft(base + file, &database) : Draft{};
            if (!lock || !draft || database != m_database)
                continue;
            if (!files::moveWithoutReplacing(base + file, draftPath()))
                continue; // found again at the next start, or by zentavo-notes at its old path
            (void)files::syncFolder(m_folder);
            (void)files::syncFolder(all.filePath(other));
            QFile::remove(base + idOf(file) + LockSuffix);
            m_restored = std::move(*draft);
            return;
        }
    }
}

Result<DraftSlot> DraftSlot::takeWaiting(const DraftFolder &folder, const QString &file)
{
    const QString base = folder.path() + QLatin1Char('/');
    if (file.endsWith(StoredSuffix))
        return alreadyStored(base + file);
    files::Result<std::unique_ptr<DraftLock>> lock
        = DraftLock::take(base + idOf(file) + LockSuffix);
    if (!lock) {
        return StoreError{readHeadline(), base + file,
                          QStringLiteral("utkastet hör till ett Zentavo som fortfarande är igång"),
                          QStringLiteral("Spara anteckningen i det fönstret, eller avsluta det "
                                         "och försök igen.")};
    }
    QByteArray database;
    Result<Draft> draft = readDraft(base + file, &database);
    if (!draft)
        return draft.error();
    if (!folder.belongs(database))
        return ofAnotherDatabase(base + file);
    DraftSlot slot(folder, idOf(file), std::move(*lock));
    slot.m_restored = std::move(*draft);
    return slot;
}

Result<Done> DraftSlot::markStoring()
{
    if (m_marked)
        return Done{};
    const QString draft = draftPath();
    m_marked = true;
    if (const files::Result<files::Done> moved = files::moveWithoutReplacing(draft, draftPath());
        !moved) {
        m_marked = false;
        return cannotBeRemovedLater(
            QStringLiteral("Utkastet sparades inte som anteckning."),
            FileError{moved.error().operation, draft, moved.error().number});
    }
    (void)files::syncFolder(m_folder);
    return Done{};
}

Result<Done> DraftSlot::unmarkStoring()
{
    if (!m_marked)
        return Done{};
    const QString stored = draftPath();
    m_marked = false;
    if (const files::Result<files::Done> moved = files::moveWithoutReplacing(stored, draftPath());
        !moved) {
        m_marked = true;
        return systemError(writeHeadline(), moved.error());
    }
    (void)files::syncFolder(m_folder);
    return Done{};
}

Result<Done> DraftSlot::write(const Draft &draft)
{
    // A folder removed while the program ran is made again.
    files::Result<files::Done> written = files::makePrivateFolder(m_folder);
    if (written)
        written = files::writeWhole(draftPath(), encodeDraft(draft, m_database), 0600);
    if (!written)
        return systemError(writeHeadline(), written.error());
    return Done{};
}

Result<Done> DraftSlot::remove()
{
    const QString target = draftPath();
    if (::unlink(QFile::encodeName(target).constData()) != 0) {
        if (errno == ENOENT) {
            m_marked = false;
            return Done{};
        }
        return systemError(writeHeadline(), FileError{FileError::Operation::Remove, target, errno});
    }
    m_marked = false;
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
