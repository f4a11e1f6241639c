#include "NotesTool.h"

#include "store/Backup.h"
#include "store/NewDatabase.h"
#include "store/NoteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

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
    const QString folder = QFileInfo(given).absoluteFilePath();
    const QFileInfo target(folder);
    if (target.exists() || target.isSymLink()) {
        if (!target.isDir() || target.isSymLink()
            || !QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            return complain(problem(folder, QStringLiteral("finns redan och är ingen tom mapp"),
                                    QStringLiteral("Välj en mapp som inte finns eller är tom.")));
    }
    const QString parent = target.absolutePath();
    if (!QFileInfo(parent).isDir())
        return complain(problem(parent, QStringLiteral("mappen finns inte"),
                                QStringLiteral("Skapa den först, eller välj en annan.")));
    // Written in a folder beside the target and renamed at the end: all or nothing.
    QTemporaryDir staging(parent + QStringLiteral("/.zentavo-export-XXXXXX"));
    if (!staging.isValid())
        return complain(problem(parent, staging.errorString(),
                                QStringLiteral("Kontrollera att du får skriva i mappen.")));
    QString writeFailure;
    const store::Result<store::Done> read
        = store::NoteStore(database).forEachNote([&](const store::Note &note) {
              QFile file(staging.filePath(exportFileName(note.id, note.title)));
              const QByteArray bytes = note.text.toUtf8();
              if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
                  || file.write(bytes) != bytes.size() || !file.flush()) {
                  writeFailure = problem(file.fileName(), file.errorString(),
                                         QStringLiteral("Kontrollera att det finns plats på "
                                                        "disken. Ingenting exporterades."));
                  return false;
              }
              return true;
          });
    if (!read)
        return complain(read.error());
    if (!writeFailure.isEmpty())
        return complain(writeFailure);
    // The staging folder is private while it fills; the result gets a folder's usual rights.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(staging.path().toLocal8Bit().constData(), 0777 & ~mask);
    if (std::rename(staging.path().toLocal8Bit().constData(), folder.toLocal8Bit().constData())
        != 0)
        return complain(problem(folder, QString::fromLocal8Bit(std::strerror(errno)),
                                QStringLiteral("Ingenting exporterades. Välj en annan mapp.")));
    staging.setAutoRemove(false);
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
