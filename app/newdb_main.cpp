// zentavo-newdb [PATH]: creates an empty note database at PATH, or where Zentavo looks for its
// notes, never touching an existing file.

#include "store/DatabaseLocation.h"
#include "store/NewDatabase.h"
#include "store/OwnDatabase.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

// The exit statuses, the same as zentavo-notes'.
enum ExitStatus { Done = 0, UsageError = 1, CannotCreate = 2 };

// The database where Zentavo looks for it: the user's own folders made private as they are
// for a first start, a database beside the program made as any new file.
store::Result<store::Done> createWhereZentavoLooks(const store::DatabaseLocation &location)
{
    const QFileInfo file(location.path);
    if (location.madeWhenMissing && !file.exists() && !file.isSymLink()) {
        const store::Result<store::Made> made = store::makeWhenMissing(location);
        if (!made)
            return made.error();
        if (*made == store::Made::Now)
            return store::Done{};
    }
    // Refuses, with the reason, to touch a file that is there.
    return store::createEmptyDatabase(location.path);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zentavo-newdb"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    const store::DatabaseLocation location = store::locateDatabase(
        {}, QCoreApplication::applicationDirPath(), store::configuredInstallation());
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Skapar en tom anteckningsdatabas (memo.mdb) på SÖKVÄG, aldrig över en "
                       "fil\nsom finns. Utan SÖKVÄG skapas den där Zentavo letar efter den:\n")
        + location.path
        + QStringLiteral("\n\nSlutstatus: 0 klart, 1 fel i kommandoraden, 2 databasen kunde inte "
                         "skapas\n(felet står på standard error)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("SÖKVÄG"), QStringLiteral("Den nya databasen."),
                                 QStringLiteral("[SÖKVÄG]"));
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments.first().isEmpty())) {
        std::fprintf(stderr, "zentavo-newdb: ange en SÖKVÄG, eller ingen\n"
                             "Se: zentavo-newdb --help\n");
        return UsageError;
    }
    const store::Result<store::Done> created = arguments.isEmpty()
                                                   ? createWhereZentavoLooks(location)
                                                   : store::createEmptyDatabase(arguments.first());
    if (!created) {
        std::fprintf(stderr, "zentavo-newdb: %s\n", created.error().message().toUtf8().constData());
        return CannotCreate;
    }
    if (arguments.isEmpty())
        std::printf("%s\n", QFileInfo(location.path).absoluteFilePath().toUtf8().constData());
    return Done;
}
