#include "NotesTool.h"

#include "runtime/files/Files.h"
#include "store/Backup.h"
#include "store/NewDatabase.h"
#include "store/NoteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <utility>

namespace notestool {

namespace {

// The largest text file import takes.
constexpr qint64 MaxImportBytes = 64 * 1024 * 1024;
// The most characters of a title in an exported file's name.
constexpr qsizetype MaxTitleCharacters = 100;
// The most bytes of a file name on common file systems.
constexpr qsizetype MaxNameBytes = 255;

using files::FileError;

int complain(const store::StoreError &error)
{
    return notestool::complain(error.message());
}

QString problem(const QString &file, const QString &cause, const QString &remedy)
{
    return QStringLiteral("%1: %2. %3").arg(file, cause, remedy);
}

// What to do when an export's write failed with the error `number`.
QString exportRemedy(int number)
{
    if (number == ENOSPC || number == EDQUOT)
        return QStringLiteral("Disken är full. Frigör utrymme och försök igen. Ingenting "
                              "exporterades.");
    return QStringLiteral("Kontrollera att du får skriva i mappen. Ingenting exporterades.");
}

// The text of one note in a new file at `path`, with the rights a copy of the database's
// notes may have, on disk before this returns. A file that is there already is never touched.
files::Result<files::Done> writeNoteFile(const QString &database, const QString &path,
                                         const QByteArray &bytes)
{
    // Private while it fills.
    files::Result<files::Descriptor> file
        = files::Descriptor::open(path, O_WRONLY | O_CREAT | O_EXCL, S_IRUSR | S_IWUSR);
    if (!file)
        return file.error();
    files::Result<files::Done> written = file->writeAll(bytes);
    struct stat status = {};
    if (written && ::fstat(file->get(), &status) != 0)
        written = FileError{FileError::Operation::Open, path, errno};
    const mode_t rights
        = (S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH) & ~files::currentUmask();
    if (written)
        written = file->setRights(store::copyPermissions(database, status.st_gid, rights));
    if (written)
        written = file->sync();
    if (written)
        written = file->close();
    return written;
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

QString escapedTitle(const QString &title)
{
    // Most titles need nothing escaped: they are handed back without a copy.
    const auto needsEscape = [](QChar c) {
        return c == u'\\' || c == u'\t' || c == u'\n' || c == u'\r';
    };
    if (std::none_of(title.begin(), title.end(), needsEscape))
        return title;
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
            return complain(problem(parent, FileError::wordingOf(staging->error()),
                                    exportRemedy(staging->error())));
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
              const files::Result<files::Done> saved
                  = writeNoteFile(database, file, note.text.toUtf8());
              if (saved || saved.error().number != EEXIST)
                  written << file;
              if (!saved) {
                  writeFailure
                      = problem(file, saved.error().wording(), exportRemedy(saved.error().number));
              }
              return bool(saved);
          });
    if (!read || !writeFailure.isEmpty()) {
        removeWritten();
        return !read ? complain(read.error()) : complain(writeFailure);
    }
    files::Result<files::Done> finished = files::Done{};
    if (staging) {
        // The new folder's rights are a folder's usual ones, never wider than the database's.
        struct stat status = {};
        const QByteArray from = QFile::encodeName(staging->path());
        if (::stat(from.constData(), &status) != 0
            || ::chmod(from.constData(), store::copyPermissions(database, status.st_gid,
                                                                0777 & ~files::currentUmask()))
                   != 0)
            finished = FileError{FileError::Operation::SetRights, staging->path(), errno};
        if (finished)
            finished = files::syncFolder(staging->path());
        // Never over a folder that appeared meanwhile.
        if (finished)
            finished = files::moveWithoutReplacing(staging->path(), folder);
        if (finished) {
            staging->keep();
            finished = files::syncFolder(parent);
            // Not known to be on disk: taken back, so that nothing is exported is true.
            if (!finished)
                QDir(folder).removeRecursively();
        }
    } else {
        finished = files::syncFolder(folder);
        if (!finished)
            removeWritten();
    }
    const int error = finished ? 0 : finished.error().number;
    if (error == EEXIST || error == ENOTEMPTY)
        return complain(problem(folder, QStringLiteral("finns nu och är ingen tom mapp"),
                                QStringLiteral("Välj en mapp som inte finns eller är tom. "
                                               "Ingenting exporterades.")));
    if (error != 0)
        return complain(problem(folder, FileError::wordingOf(error), exportRemedy(error)));
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
