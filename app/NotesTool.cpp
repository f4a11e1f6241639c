#include "NotesTool.h"

#include "store/Backup.h"
#include "store/NewDatabase.h"
#include "store/NoteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace notestool {

namespace {

// The largest text file import takes.
constexpr qint64 MaxImportBytes = 64 * 1024 * 1024;
// The most characters of a title in an exported file's name.
constexpr qsizetype MaxTitleCharacters = 100;
// The most bytes of a file name on common file systems.
constexpr qsizetype MaxNameBytes = 255;

void say(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int complain(const QString &message)
{
    std::fprintf(stderr, "zentavo-notes: %s\n", message.toUtf8().constData());
    return CannotUse;
}

int complain(const store::StoreError &error)
{
    return complain(error.message());
}

QString problem(const QString &file, const QString &cause, const QString &remedy)
{
    return QStringLiteral("%1: %2. %3").arg(file, cause, remedy);
}

QString systemError(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

// What to do when an export's write failed with the error `number`.
QString exportRemedy(int number)
{
    if (number == ENOSPC || number == EDQUOT)
        return QStringLiteral("Disken är full. Frigör utrymme och försök igen. Ingenting "
                              "exporterades.");
    return QStringLiteral("Kontrollera att du får skriva i mappen. Ingenting exporterades.");
}

// The process's umask, which the rights of what export makes follow.
mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// A file descriptor closed when it goes.
class Descriptor
{
public:
    explicit Descriptor(int descriptor)
        : m_descriptor(descriptor)
    {}
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_descriptor; }
    // Closes it now; the error number, or 0.
    int close()
    {
        const int result = ::close(std::exchange(m_descriptor, -1));
        return result == 0 ? 0 : errno;
    }

private:
    int m_descriptor;
};

// Writes a folder's list of names to disk; the error number, or 0.
int syncFolder(const QString &folder)
{
    const Descriptor descriptor(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.get() < 0)
        return errno;
    return ::fsync(descriptor.get()) == 0 ? 0 : errno;
}

// The text of one note in a new file at `path`, with the rights a copy of the database's
// notes may have, on disk before this returns; the error number, or 0. A file that is there
// already is never touched.
int writeNoteFile(const QString &database, const QString &path, const QByteArray &bytes)
{
    // Private while it fills.
    Descriptor file(::open(QFile::encodeName(path).constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR));
    if (file.get() < 0)
        return errno;
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t step
            = ::write(file.get(), bytes.constData() + written, size_t(bytes.size() - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step < 0)
            return errno;
        written += step;
    }
    struct stat status = {};
    if (::fstat(file.get(), &status) != 0)
        return errno;
    const mode_t rights
        = (S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH) & ~currentUmask();
    if (::fchmod(file.get(), store::copyPermissions(database, status.st_gid, rights)) != 0
        || ::fsync(file.get()) != 0)
        return errno;
    return file.close();
}

// A folder made for an export beside its target, removed with what it holds unless kept.
class StagingFolder
{
public:
    explicit StagingFolder(const QString &parent)
    {
        QByteArray name = QFile::encodeName(parent + QStringLiteral("/.zentavo-export-XXXXXX"));
        if (::mkdtemp(name.data()))
            m_path = QFile::decodeName(name);
        else
            m_error = errno;
    }
    ~StagingFolder()
    {
        if (!m_path.isEmpty())
            QDir(m_path).removeRecursively();
    }
    StagingFolder(const StagingFolder &) = delete;
    StagingFolder &operator=(const StagingFolder &) = delete;
    const QString &path() const { return m_path; }
    int error() const { return m_error; }
    void keep() { m_path.clear(); }

private:
    QString m_path;
    int m_error = 0;
};

bool unsafeInFileName(QChar c)
{
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0)
           || QStringView(u"/\\:*?\"<>|").contains(c);
}

} // namespace

QString escapedTitle(const QString &title)
{
    QString escaped;
    escaped.reserve(title.size());
    for (const QChar c : title) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString exportFileName(qint64 id, const QString &title)
{
    const QString prefix = QString::number(id) + QLatin1String(" - ");
    const QString suffix = QStringLiteral(".txt");
    QString safe;
    for (const QChar c : title)
        safe += unsafeInFileName(c) ? QChar(u'_') : c;
    // Cut by characters, then by bytes, never inside a surrogate pair.
    const auto cut = [&safe](qsizetype length) {
        if (length > 0 && length < safe.size() && safe.at(length - 1).isHighSurrogate())
            --length;
        safe.truncate(length);
    };
    cut(std::min(safe.size(), MaxTitleCharacters));
    while ((prefix + safe + suffix).toUtf8().size() > MaxNameBytes)
        cut(safe.size() - 1);
    return prefix + safe + suffix;
}

int createDatabase(const QString &path)
{
    if (const store::Result<store::Done> created = store::createEmptyDatabase(path); !created)
        return complain(created.error());
    return Done;
}

int listNotes(const QString &database)
{
    const store::Result<store::NoteList> notes = store::NoteStore(database).listNotes();
    if (!notes)
        return complain(notes.error());
    for (const store::NoteEntry &note : *notes)
        say(QStringLiteral("%1\t%2\n").arg(note.id).arg(escapedTitle(note.title)));
    return Done;
}

int showNote(const QString &database, qint64 id)
{
    const store::Result<store::Note> note = store::NoteStore(database).readNote(id);
    if (!note && note.error().kind == store::StoreError::Kind::NoteGone)
        return complain(problem(note.error().path,
                                QStringLiteral("ingen anteckning har nummer %1").arg(id),
                                QStringLiteral("Se vilka som finns med: zentavo-notes list")));
    if (!note)
        return complain(note.error());
    say(note->text);
    return Done;
}

int exportNotes(const QString &database, const QString &given)
{
    // "ut/" and "." name the folders "ut" and the one the command runs in.
    const QString folder = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    const QFileInfo target(folder);
    const bool existing = target.exists() || target.isSymLink();
    if (existing
        && (!target.isDir() || target.isSymLink()
            || !QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)))
        return complain(problem(folder, QStringLiteral("finns redan och är ingen tom mapp"),
                                QStringLiteral("Välj en mapp som inte finns eller är tom.")));
    const QString parent = target.absolutePath();
    if (!existing && !QFileInfo(parent).isDir())
        return complain(problem(parent, QStringLiteral("mappen finns inte"),
                                QStringLiteral("Skapa den först, eller välj en annan.")));
    // A new folder is filled beside its target and named at the end, all at once; an empty
    // folder that is there already is filled where it is, keeping its rights, and emptied again
    // on failure. Either way all notes or none.
    std::optional<StagingFolder> staging;
    if (!existing) {
        staging.emplace(parent);
        if (staging->path().isEmpty())
            return complain(
                problem(parent, systemError(staging->error()), exportRemedy(staging->error())));
    }
    const QString filling = staging ? staging->path() : folder;
    QStringList written;
    const auto removeWritten = [&written] {
        for (const QString &file : std::as_const(written))
            QFile::remove(file);
    };
    QString writeFailure;
    const store::Result<store::Done> read
        = store::NoteStore(database).forEachNote([&](const store::Note &note) {
              const QString file = filling + QLatin1Char('/') + exportFileName(note.id, note.title);
              const int error = writeNoteFile(database, file, note.text.toUtf8());
              if (error != EEXIST)
                  written << file;
              if (error != 0) {
                  writeFailure = problem(file, systemError(error), exportRemedy(error));
                  return false;
              }
              return true;
          });
    if (!read || !writeFailure.isEmpty()) {
        removeWritten();
        return !read ? complain(read.error()) : complain(writeFailure);
    }
    int error = 0;
    if (staging) {
        // The new folder's rights are a folder's usual ones, never wider than the database's.
        struct stat status = {};
        const QByteArray from = QFile::encodeName(staging->path());
        const QByteArray to = QFile::encodeName(folder);
        if (::stat(from.constData(), &status) != 0
            || ::chmod(from.constData(),
                       store::copyPermissions(database, status.st_gid, 0777 & ~currentUmask()))
                   != 0)
            error = errno;
        if (error == 0)
            error = syncFolder(staging->path());
        // Never over a folder that appeared meanwhile (where the file system can rename
        // without replacing; a plain rename replaces an empty folder at most).
        if (error == 0
            && ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE)
                   != 0) {
            error = errno;
            if ((error == EINVAL || error == ENOSYS || error == ENOTSUP)
                && std::rename(from.constData(), to.constData()) == 0)
                error = 0;
        }
        if (error == 0) {
            staging->keep();
            error = syncFolder(parent);
            // Not known to be on disk: taken back, so that nothing is exported is true.
            if (error != 0)
                QDir(folder).removeRecursively();
        }
    } else {
        error = syncFolder(folder);
        if (error != 0)
            removeWritten();
    }
    if (error == EEXIST || error == ENOTEMPTY)
        return complain(problem(folder, QStringLiteral("finns nu och är ingen tom mapp"),
                                QStringLiteral("Välj en mapp som inte finns eller är tom. "
                                               "Ingenting exporterades.")));
    if (error != 0)
        return complain(problem(folder, systemError(error), exportRemedy(error)));
    return Done;
}

int backup(const QString &database, const QString &destination)
{
    if (const store::Result<store::Done> copied = store::backupDatabase(database, destination);
        !copied)
        return complain(copied.error());
    return Done;
}

int importFiles(const QString &database, const QStringList &files)
{
    std::vector<store::NoteStore::NewNote> notes;
    notes.reserve(size_t(files.size()));
    for (const QString &path : files) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            return complain(problem(path, QStringLiteral("filen kan inte läsas"),
                                    QStringLiteral("Ingenting importerades.")));
        if (file.size() > MaxImportBytes)
            return complain(
                problem(path, QStringLiteral("filen är större än 64 MB (%1 byte)").arg(file.size()),
                        QStringLiteral("Dela upp den. Ingenting importerades.")));
        const QByteArray bytes = file.readAll();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        QString text = decoder.decode(bytes);
        if (decoder.hasError() || file.error() != QFileDevice::NoError)
            return complain(problem(path, QStringLiteral("filen är inte giltig UTF-8-text"),
                                    QStringLiteral("Spara den som UTF-8. Ingenting "
                                                   "importerades.")));
        notes.push_back({QFileInfo(path).completeBaseName(), std::move(text)});
    }
    const store::Result<std::vector<qint64>> added = store::NoteStore(database).insertNotes(notes);
    if (!added)
        return complain(added.error());
    for (std::size_t i = 0; i < added->size(); ++i)
        say(QStringLiteral("%1\t%2\n").arg((*added)[i]).arg(escapedTitle(notes[i].title)));
    return Done;
}

} // namespace notestool
