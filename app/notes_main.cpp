// zentavo-notes: lists, shows, exports, backs up and imports the notes of a memo.mdb, and makes
// new ones. Runs without a display: it is built on the store alone.

#include "NotesTool.h"
#include "runtime/files/Files.h"
#include "store/DatabaseLocation.h"
#include "store/OwnDatabase.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <optional>

namespace {

int usageError(const QString &message)
{
    std::fprintf(stderr, "zentavo-notes: %s\nSe: zentavo-notes --help\n",
                 message.toUtf8().constData());
    return notestool::UsageError;
}

// Installed for every user, the user's own database is made when a command first needs it.
int makeOwnDatabase(const store::DatabaseLocation &location)
{
    const store::Result<store::Made> made = store::makeWhenMissing(location);
    if (!made) {
        std::fprintf(stderr, "zentavo-notes: %s\n", made.error().message().toUtf8().constData());
        return notestool::CannotUse;
    }
    if (*made == store::Made::Now) {
        std::fprintf(stderr, "zentavo-notes: %s\n",
                     store::madeNotice(location.path).toUtf8().constData());
    }
    return notestool::Done;
}

int runCommand(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zentavo-notes"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption database(
        QStringList{QStringLiteral("db")},
        QStringLiteral("En annan databas än den som Zentavo använder. Skapas aldrig, utom av new."),
        QStringLiteral("SÖKVÄG"));
    parser.addOption(database);
    const QCommandLineOption saveDrafts(
        QStringList{QStringLiteral("save")},
        QStringLiteral("Med drafts: sparar de väntande utkasten som anteckningar."));
    parser.addOption(saveDrafts);
    const QCommandLineOption syncOff(QStringList{QStringLiteral("off")},
                                     QStringLiteral("Med sync-folder: avslutar synkningen."));
    parser.addOption(syncOff);
    parser.addPositionalArgument(QStringLiteral("kommando"), QStringLiteral("Se ovan."));
    // The help names the database in use, which --db may change.
    parser.parse(QCoreApplication::arguments());
    const store::DatabaseLocation location
        = store::locateDatabase(parser.value(database), QCoreApplication::applicationDirPath(),
                                store::configuredInstallation());
    parser.setApplicationDescription(
        QStringLiteral(
            "Anteckningarna i Zentavos databas, utan fönster.\n\n"
            "Kommandon:\n"
            "  new SÖKVÄG          skapar en tom databas (aldrig över en fil som finns)\n"
            "  list                en rad per anteckning: ID, tabb, titel\n"
            "  show ID             anteckningens text precis som den är sparad\n"
            "  export MAPP         en textfil per anteckning, \"ID - titel.txt\"\n"
            "  backup FIL          en kontrollerad kopia av databasen\n"
            "  import FIL...       en anteckning per textfil (UTF-8), alla eller ingen\n"
            "  search ORD...       anteckningar vars titel eller text har varje ord (som\n"
            "                      början av ett ord, utan hänsyn till versaler och\n"
            "                      accenter): ID, tabb, titel, tabb, raden kring första\n"
            "                      träffen; inget funnet skriver ingenting, slutstatus 0\n"
            "  drafts [--save]     osparade anteckningar som ett Zentavo lämnade när det\n"
            "                      avslutades (väntar) eller skriver just nu (öppet); med\n"
            "                      --save sparas de väntande som anteckningar, titeln\n"
            "                      utkastets eller dess första rad\n"
            "  sync-folder [MAPP]  visar eller väljer mappen som anteckningarna synkas\n"
            "                      genom (en mapp som en synkmotor delar mellan\n"
            "                      datorerna); med --off avslutas synkningen\n"
            "  sync                en synkning nu: tar in anteckningar som kommit, raderar\n"
            "                      dem som raderats på en annan dator och skriver ut dem\n"
            "                      som sparats eller raderats här; slutstatus 2 när en\n"
            "                      fil i mappen inte kunde tas (den nämns en gång)\n\n")
        + store::describeLocation(location)
        + QStringLiteral("\n\nSlutstatus: 0 klart, 1 fel i kommandoraden, 2 databasen eller en "
                         "fil\nkan inte användas (felet står på standard error)."));
    parser.process(app);
    // An empty --db names no file: taken as absent, it would quietly open the usual database.
    if (parser.isSet(database) && parser.value(database).isEmpty())
        return usageError(QStringLiteral("--db behöver en SÖKVÄG, inte en tom text"));

    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return usageError(QStringLiteral("inget kommando angavs"));
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (parser.isSet(saveDrafts) && command != QLatin1String("drafts"))
        return usageError(QStringLiteral("--save hör till drafts"));
    if (parser.isSet(syncOff) && command != QLatin1String("sync-folder"))
        return usageError(QStringLiteral("--off hör till sync-folder"));
    // Runs a command on the database, made first where it is the user's own and missing.
    const auto onDatabase = [&location](const auto &operation) {
        const int made = makeOwnDatabase(location);
        return made == notestool::Done ? operation(location.path) : made;
    };

    const auto oneArgument = [&]() -> std::optional<QString> {
        if (rest.size() != 1 || rest.first().isEmpty())
            return std::nullopt;
        return rest.first();
    };
    if (command == QLatin1String("new")) {
        if (parser.isSet(database))
            return usageError(QStringLiteral("new tar sökvägen som argument, inte --db"));
        const auto target = oneArgument();
        return target ? notestool::createDatabase(*target)
                      : usageError(QStringLiteral("new behöver en SÖKVÄG"));
    }
    if (command == QLatin1String("list"))
        return rest.isEmpty() ? onDatabase(notestool::listNotes)
                              : usageError(QStringLiteral("list tar inga argument"));
    if (command == QLatin1String("show")) {
        bool ok = false;
        const qint64 id = rest.size() == 1 ? rest.first().toLongLong(&ok) : 0;
        return ok ? onDatabase([id](const QString &path) { return notestool::showNote(path, id); })
                  : usageError(QStringLiteral("show behöver ett ID, ett heltal"));
    }
    if (command == QLatin1String("export")) {
        const auto folder = oneArgument();
        if (!folder)
            return usageError(QStringLiteral("export behöver en MAPP"));
        return onDatabase(
            [&folder](const QString &path) { return notestool::exportNotes(path, *folder); });
    }
    if (command == QLatin1String("backup")) {
        const auto file = oneArgument();
        if (!file)
            return usageError(QStringLiteral("backup behöver en FIL"));
        return onDatabase([&file](const QString &path) { return notestool::backup(path, *file); });
    }
    if (command == QLatin1String("import")) {
        return rest.isEmpty() ? usageError(QStringLiteral("import behöver minst en FIL"))
                              : onDatabase([&rest](const QString &path) {
                                    return notestool::importFiles(path, rest);
                                });
    }
    if (command == QLatin1String("search")) {
        return rest.isEmpty() ? usageError(QStringLiteral("search behöver minst ett ORD"))
                              : onDatabase([&rest](const QString &path) {
                                    return notestool::searchNotes(path, rest);
                                });
    }
    if (command == QLatin1String("drafts")) {
        if (!rest.isEmpty())
            return usageError(QStringLiteral("drafts tar inga argument utom --save"));
        return parser.isSet(saveDrafts) ? onDatabase(notestool::saveDrafts)
                                        : notestool::listDrafts(location.path);
    }
    if (command == QLatin1String("sync-folder")) {
        if (parser.isSet(syncOff)) {
            return rest.isEmpty() ? notestool::endSync(location.path)
                                  : usageError(QStringLiteral("sync-folder --off tar ingen MAPP"));
        }
        if (rest.isEmpty())
            return notestool::showSyncFolder(location.path);
        const auto folder = oneArgument();
        if (!folder)
            return usageError(QStringLiteral("sync-folder tar en MAPP"));
        return onDatabase(
            [&folder](const QString &path) { return notestool::setSyncFolder(path, *folder); });
    }
    if (command == QLatin1String("sync"))
        return rest.isEmpty() ? onDatabase(notestool::syncOnce)
                              : usageError(QStringLiteral("sync tar inga argument"));
    return usageError(QStringLiteral("okänt kommando: %1").arg(command));
}

} // namespace

int main(int argc, char *argv[])
{
    const int status = runCommand(argc, argv);
    // What a command printed must have reached its reader: `show 1 > saved.txt` on a full disk
    // is a failure, not a success that leaves an empty file.
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && !std::ferror(stdout))
        return status;
    std::fprintf(
        stderr, "zentavo-notes: kunde inte skriva allt till standard ut%s\n",
        flushed ? ""
                : (QStringLiteral(": ") + files::FileError::wordingOf(error)).toUtf8().constData());
    return status == notestool::Done ? notestool::CannotUse : status;
}
