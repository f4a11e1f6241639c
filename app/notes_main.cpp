// zentavo-notes: lists, shows, exports, backs up and imports the notes of a memo.mdb, and makes
// new ones. Runs without a display: it is built on the store alone.

#include "NotesTool.h"
#include "store/Session.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <optional>

namespace {

int usageError(const QString &message)
{
    std::fprintf(stderr, "zentavo-notes: %s\nSe: zentavo-notes --help\n",
                 message.toUtf8().constData());
    return notestool::UsageError;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zentavo-notes"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Anteckningarna i Zentavos databas, utan fönster.\n\n"
        "Kommandon:\n"
        "  new SÖKVÄG          skapar en tom databas (aldrig över en fil som finns)\n"
        "  list                en rad per anteckning: ID, tabb, titel\n"
        "  show ID             anteckningens text precis som den är sparad\n"
        "  export MAPP         en textfil per anteckning, \"ID - titel.txt\"\n"
        "  backup FIL          en kontrollerad kopia av databasen\n"
        "  import FIL...       en anteckning per textfil (UTF-8), alla eller ingen"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption database(
        QStringList{QStringLiteral("db")},
        QStringLiteral("Databasen (annars memo.mdb bredvid programmet). Skapas aldrig, utom av "
                       "new."),
        QStringLiteral("SÖKVÄG"));
    parser.addOption(database);
    parser.addPositionalArgument(QStringLiteral("kommando"), QStringLiteral("Se ovan."));
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return usageError(QStringLiteral("inget kommando angavs"));
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    const QString path = parser.isSet(database)
                             ? parser.value(database)
                             : store::databasePathIn(QCoreApplication::applicationDirPath());

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
        return rest.isEmpty() ? notestool::listNotes(path)
                              : usageError(QStringLiteral("list tar inga argument"));
    if (command == QLatin1String("show")) {
        bool ok = false;
        const qint64 id = rest.size() == 1 ? rest.first().toLongLong(&ok) : 0;
        return ok ? notestool::showNote(path, id)
                  : usageError(QStringLiteral("show behöver ett ID, ett heltal"));
    }
    if (command == QLatin1String("export")) {
        const auto folder = oneArgument();
        return folder ? notestool::exportNotes(path, *folder)
                      : usageError(QStringLiteral("export behöver en MAPP"));
    }
    if (command == QLatin1String("backup")) {
        const auto file = oneArgument();
        return file ? notestool::backup(path, *file)
                    : usageError(QStringLiteral("backup behöver en FIL"));
    }
    if (command == QLatin1String("import")) {
        return rest.isEmpty() ? usageError(QStringLiteral("import behöver minst en FIL"))
                              : notestool::importFiles(path, rest);
    }
    return usageError(QStringLiteral("okänt kommando: %1").arg(command));
}
