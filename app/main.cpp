#include "WindowCommands.h"
#include "runtime/CommandChannel.h"
#include "runtime/EndByExit.h"
#include "runtime/EndSignals.h"
#include "runtime/FirstFrame.h"
#include "runtime/Fonts.h"
#include "runtime/SessionBusAhead.h"
#include "runtime/SystemDesktop.h"
#include "store/CheckAhead.h"
#include "store/DatabaseLocation.h"
#include "window/Application.h"
#include "window/Commands.h"
#include "window/NoteWindow.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QSessionManager>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string_view>

namespace {

// A Wayland session does not let a program place its window at the top edge or keep it above
// the others. Where the session also offers an X server (XWayland), use that, so that docking
// and staying on top still hold; without one, run on Wayland and do without them. A platform
// the user chose explicitly is left alone.
void preferXWayland()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

bool hasArgument(int argc, char *argv[], std::initializer_list<std::string_view> any)
{
    return std::any_of(argv + 1, argv + argc, [any](const char *argument) {
        return std::ranges::count(any, argument) > 0;
    });
}

// Help and the version are for a terminal, which may have no display.
bool asksForHelpOrVersion(int argc, char *argv[])
{
    return hasArgument(argc, argv, {"-h", "--help", "--help-all", "-v", "--version"});
}

// A command to the window that runs for the database (--toggle, --new, --find), which may reach
// it without a display.
bool asksForDesktopCommand(int argc, char *argv[])
{
    const QStringList names = window::desktopCommandNames();
    return std::any_of(argv + 1, argv + argc, [&names](const char *argument) {
        const QString given = QString::fromLocal8Bit(argument);
        return given.startsWith(QLatin1String("--")) && names.contains(given.mid(2));
    });
}

// True when Qt would find no display to show the window on: no platform chosen, and neither an
// X nor a Wayland display in the environment. Qt would end the program with an abort and a
// message about reinstalling it.
bool lacksDisplay(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || hasArgument(argc, argv, {"-platform"}))
        return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

struct Options
{
    bool reportFirstFrame = false;
    store::DatabaseLocation database;
    // What is wrong with the command line that Qt's parser lets pass; empty when nothing is.
    QString usageError;
    // --toggle or --new: the name of a command to the window that runs for this database.
    QString command;
};

// Reads the command line. --help, --version and a mistyped option are answered here and end
// the program.
Options readOptions(const QCoreApplication &app)
{
    QCoreApplication::setApplicationName(QStringLiteral("Zentavo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QCommandLineParser options;
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption database(QStringList{QStringLiteral("db")},
                                      QStringLiteral("Öppnar en annan anteckningsdatabas."),
                                      QStringLiteral("SÖKVÄG"));
    options.addOption(database);
    // A command to the window that runs for this database: an option for each the desktop gives.
    QList<QCommandLineOption> commands;
    for (const window::CommandRow &row : window::commandTable()) {
        if (*row.desktopName) {
            commands.append(QCommandLineOption(QStringList{QString::fromUtf8(row.desktopName)},
                                               QString::fromUtf8(row.optionHelp)));
            options.addOption(commands.last());
        }
    }
    // For start-up measurements: prints when the first frame is on the screen.
    QCommandLineOption reportFirstFrame(QStringLiteral("report-first-frame"));
    reportFirstFrame.setFlags(QCommandLineOption::HiddenFromHelp);
    options.addOption(reportFirstFrame);
    // The help names the database in use, which --db may change.
    options.parse(QCoreApplication::arguments());
    const store::DatabaseLocation location
        = store::locateDatabase(options.value(database), QCoreApplication::applicationDirPath(),
                                store::configuredInstallation());
    options.setApplicationDescription(QStringLiteral("Anteckningar överst på skärmen.\n\n")
                                      + store::describeLocation(location) + QStringLiteral("\n\n")
                                      + window::keysHelp());
    options.process(app);
    // An empty --db names no file: taken as absent, it would quietly open the usual database.
    QString usageError;
    if (options.isSet(database) && options.value(database).isEmpty())
        usageError = QStringLiteral("--db behöver en SÖKVÄG, inte en tom text");
    QStringList names;
    QStringList given;
    for (const QCommandLineOption &option : commands) {
        names << option.names().first();
        if (options.isSet(option))
            given << names.last();
    }
    if (usageError.isEmpty() && given.size() > 1) {
        const QString last = names.takeLast();
        usageError = QStringLiteral("Ange bara ett av --%1 och --%2.")
                         .arg(names.join(QStringLiteral(", --")), last);
    }
    return Options{.reportFirstFrame = options.isSet(reportFirstFrame),
                   .database = location,
                   .usageError = usageError,
                   .command = given.value(0)};
}

// Hands a command to the window that runs for the database: the program's exit status once the
// command is settled, nothing when this program is to be that window.
std::optional<int> deliver(runtime::CommandChannel &commands, const runtime::RemoteCommand &command)
{
    runtime::Sent sent = commands.send(command);
    // Another command may have started the database's window just now: this one goes to it.
    if (sent == runtime::Sent::NoWindow && !commands.claimWindow())
        sent = commands.send(command);
    switch (sent) {
    case runtime::Sent::Done:
        return 0;
    case runtime::Sent::NoWindow:
        return std::nullopt;
    case runtime::Sent::NoAnswer:
        // A second window beside one that runs would keep a draft of its own.
        std::fputs("zentavo: fönstret som visar databasen svarar inte; inget nytt fönster "
                   "startas. Försök igen om en stund.\n",
                   stderr);
        return 1;
    case runtime::Sent::Refused:
        return 1; // the channel has said why
    }
    return 1;
}

// Without a display (over ssh, on a console, from a timer) a command still reaches a window that
// runs; only starting one needs a display. Nothing when none runs.
std::optional<int> deliverWithoutDisplay(int argc, char *argv[])
{
    const runtime::Activation activation = runtime::Activation::fromEnvironment();
    const QCoreApplication terminal(argc, argv);
    const Options options = readOptions(terminal);
    if (!options.usageError.isEmpty() || options.command.isEmpty())
        return std::nullopt;
    runtime::CommandChannel commands(options.database.path, window::desktopCommandNames());
    return deliver(commands, runtime::RemoteCommand{options.command, activation});
}

} // namespace

int main(int argc, char *argv[])
{
    if (asksForHelpOrVersion(argc, argv)) {
        const QCoreApplication terminal(argc, argv);
        readOptions(terminal);
        return 0;
    }
    if (lacksDisplay(argc, argv)) {
        if (asksForDesktopCommand(argc, argv)) {
            if (const std::optional<int> status = deliverWithoutDisplay(argc, argv))
                return *status;
        }
        std::fputs("Zentavo kan inte visa sitt fönster: ingen bildskärm hittades (varken DISPLAY "
                   "eller WAYLAND_DISPLAY är satt). Starta Zentavo från skrivbordet, eller sätt "
                   "DISPLAY till den bildskärm fönstret ska visas på.\n",
                   stderr);
        return 1;
    }
    preferXWayland();
    // What the desktop gave this start to take the focus with; Qt takes the startup id out of
    // the environment as it connects to the display.
    const runtime::Activation activation = runtime::Activation::fromEnvironment();
    // The fonts' configuration loads while the application connects to the display; the window
    // needs it next.
    std::jthread fontsAhead = runtime::loadFontConfigurationAhead();
    QApplication app(argc, argv);
    // Ended before the application object is, which unloads the configuration.
    const std::jthread fontConfiguration = std::move(fontsAhead);
    runtime::loadFontConfiguration();
    const Options options = readOptions(app);
    if (!options.usageError.isEmpty()) {
        // Worded and ended as Qt's parser ends a command line it cannot read.
        std::fprintf(stderr, "zentavo: %s\nSe: zentavo --help\n",
                     options.usageError.toLocal8Bit().constData());
        return 1;
    }
    // A command goes to the window that runs for this database, if there is one; otherwise this
    // program becomes that window and carries the command out itself.
    runtime::CommandChannel commands(options.database.path, window::desktopCommandNames());
    std::optional<runtime::RemoteCommand> firstCommand;
    if (!options.command.isEmpty()) {
        firstCommand = runtime::RemoteCommand{options.command, activation};
        if (const std::optional<int> status = deliver(commands, *firstCommand))
            return *status;
    }

    // This program is the window: the session bus connects while it is being made.
    const std::jthread sessionBus = runtime::connectSessionBusAhead();
    // Installed for every user, the program makes the user's own database on the first start.
    const store::Result<store::Made> made = store::makeWhenMissing(options.database);
    if (made && *made == store::Made::Now) {
        std::fprintf(stderr, "zentavo: %s\n",
                     store::madeNotice(options.database.path).toLocal8Bit().constData());
    }
    const store::NoteStore notes(options.database.path);
    // After the options, which may end the program at once: loading SQLite and checking the
    // database run beside the font set-up and the building of the window.
    std::future<store::Result<store::Done>> checked = store::checkAhead(notes);
    window::prepareApplication();

    runtime::SystemDesktop desktop(options.reportFirstFrame
                                       ? runtime::SystemDesktop::FirstFrame::Report
                                       : runtime::SystemDesktop::FirstFrame::Quiet);
    window::NoteWindow form(notes, store::DraftFolder::forDatabase(notes.path()), desktop);
    // The database's table is checked before any window appears; right after the first frame its
    // pages are read, and the list, which the rolled-up strip does not show, fills once they are
    // found sound.
    if (!form.start(made ? checked.get() : store::Result<store::Done>(made.error())))
        return 1;
    // Asked to end by the desktop (the session ending, a terminal, a service manager), the program
    // keeps the note being written as a draft first.
    const runtime::EndSignals ending;
    QObject::connect(&ending, &runtime::EndSignals::endRequested, &form, [&form] {
        form.keepDraftNow();
        QCoreApplication::exit(0);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager &) { form.keepDraftNow(); });
    // When the display goes away, Qt ends the program on the spot; the note is kept all the same.
    const runtime::EndByExit displayGone([&form] { form.keepDraftNow(); });
    // A list that cannot be read right after the first frame ends the program as a failed check
    // would have: the window has said why and closed.
    bool startFailed = false;
    QObject::connect(&form, &window::NoteWindow::startFailed, &app, [&startFailed] {
        startFailed = true;
        QCoreApplication::exit(1);
    });
    // The threads that start with the window (the font set-up, the database check) each take a
    // malloc arena of their own: sharing the main thread's, they and the main thread, busy
    // connecting to the display, would wait on each other's allocations. Once the window shows,
    // no thread takes a new one: each arena holds on to pages the others could have used.
    runtime::afterFirstFrame(form, [] { mallopt(M_ARENA_MAX, 1); });
    // Every window listens for commands, so that a command finds one started without any.
    app::answerCommands(commands, form, firstCommand);
    form.show();
    const int status = app.exec();
    return startFailed ? 1 : status;
}
