// The channel that carries commands to the window of one database, between real channels in
// this process: over a session bus of the test's own (a dbus-daemon it starts) when
// ZENTAVO_TEST_BUS is "own", and over the local socket alone where no bus runs. Each command
// reaches the channel of its own database and no other; a command for a database no window
// listens for is refused; the socket's folder is the user's alone, and one that is not is
// refused on both sides; a socket file left by a window that ended is taken over, and so is one
// a window has while another waits for it.

#include "runtime/CommandChannel.h"
#include "runtime/LocalSocket.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <sys/stat.h>
#include <thread>

using runtime::CommandChannel;
using runtime::RemoteCommand;
using runtime::Sent;

Q_DECLARE_METATYPE(runtime::RemoteCommand)

namespace {

// The names the window hands its channel.
const QStringList Known{QStringLiteral("toggle"), QStringLiteral("new")};
const RemoteCommand Toggle{QStringLiteral("toggle"), {}};

} // namespace

class tst_commandchannel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void namesPerDatabase();
    void commandsReachTheirOwnDatabase_data();
    void commandsReachTheirOwnDatabase();
    void nothingListens();
    void socketFolderIsPrivate();
    void staleSocketIsTakenOver();
    void waitingWindowTakesTheSocketOver_data();
    void waitingWindowTakesTheSocketOver();
    void socketInALongFolderPath();
    void unsafeFolderIsRefused_data();
    void unsafeFolderIsRefused();
    void silentWindowIsNoAnswer();
    void commandWaitsForAStartingWindow();
    void secondWindowQueuesOnTheBus();

private:
    QString database(const QString &name);
    // Sends on a thread of its own, as another process would, while this one answers.
    Sent sentFrom(const QString &databasePath, const RemoteCommand &command);
    bool sendFrom(const QString &databasePath, const RemoteCommand &command)
    {
        return sentFrom(databasePath, command) == Sent::Done;
    }
    // Points the runtime folder at a new one under the test's home.
    void useRuntimeFolder(const QString &name);

    QTemporaryDir m_home;
    QProcess m_bus;
    bool m_withBus = false;
};

void tst_commandchannel::initTestCase()
{
    qRegisterMetaType<runtime::RemoteCommand>();
    QVERIFY(m_home.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("runtime"))));
    QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("runtime"))));
    m_withBus = qgetenv("ZENTAVO_TEST_BUS") == "own";
    if (!m_withBus) {
        // A desktop without a bus: the address leads nowhere.
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                "unix:path=" + QFile::encodeName(m_home.filePath(QStringLiteral("no-bus"))));
        QVERIFY(!QDBusConnection::sessionBus().isConnected());
        return;
    }
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                 QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    QVERIFY2(m_bus.waitForStarted(), "dbus-daemon (Debian package dbus-daemon) did not start");
    QTRY_VERIFY(m_bus.canReadLine());
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
    QVERIFY(QDBusConnection::sessionBus().isConnected());
}

void tst_commandchannel::init()
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("runtime"))));
}

void tst_commandchannel::cleanupTestCase()
{
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.kill();
        m_bus.waitForFinished();
    }
}

QString tst_commandchannel::database(const QString &name)
{
    const QString folder = m_home.filePath(name);
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/memo.mdb");
    QFile file(path);
    if (!file.exists()) {
        file.open(QIODevice::WriteOnly);
        file.close();
    }
    return path;
}

Sent tst_commandchannel::sentFrom(const QString &databasePath, const RemoteCommand &command)
{
    std::atomic<int> outcome = -1;
    std::jthread sender([&] {
        const CommandChannel channel(databasePath, Known);
        outcome = int(channel.send(command));
    });
    if (!QTest::qWaitFor([&outcome] { return outcome != -1; }, 20000))
        return Sent::NoAnswer; // the thread is joined once the send gives up
    return Sent(outcome.load());
}

void tst_commandchannel::useRuntimeFolder(const QString &name)
{
    const QString folder = m_home.filePath(name);
    QVERIFY(QDir().mkpath(folder));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

void tst_commandchannel::namesPerDatabase()
{
    const QString one = database(QStringLiteral("one"));
    const QString two = database(QStringLiteral("two"));
    const QString name = CommandChannel::busName(one);
    // A bus name's elements: letters, digits and underscores, none starting with a digit.
    QVERIFY2(QRegularExpression(QStringLiteral("^se\\.zentavo\\.Zentavo\\.db[0-9a-f]{32}$"))
                 .match(name)
                 .hasMatch(),
             qPrintable(name));
    QVERIFY(name.size() <= 255);
    QVERIFY(CommandChannel::busName(two) != name);
    QVERIFY(CommandChannel::socketPath(two) != CommandChannel::socketPath(one));
    // The same file by another name is the same channel.
    const QString roundabout = m_home.filePath(QStringLiteral("two/../one/./memo.mdb"));
    QCOMPARE(CommandChannel::busName(roundabout), name);
    const QString link = m_home.filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(m_home.filePath(QStringLiteral("one")), link));
    QCOMPARE(CommandChannel::busName(link + QStringLiteral("/memo.mdb")), name);
    QCOMPARE(CommandChannel::socketPath(link + QStringLiteral("/memo.mdb")),
             CommandChannel::socketPath(one));
    // A file not made yet, named through a link, keeps its name once it is made.
    const QString later = link + QStringLiteral("/later.mdb");
    const QString before = CommandChannel::busName(later);
    QFile made(m_home.filePath(QStringLiteral("one/later.mdb")));
    QVERIFY(made.open(QIODevice::WriteOnly));
    made.close();
    QCOMPARE(CommandChannel::busName(later), before);
    QCOMPARE(CommandChannel::busName(m_home.filePath(QStringLiteral("one/later.mdb"))), before);
}

void tst_commandchannel::commandsReachTheirOwnDatabase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("startupId");
    QTest::addColumn<bool>("known");
    QTest::newRow("toggle") << QStringLiteral("toggle") << QString() << QString() << true;
    QTest::newRow("new, with an activation")
        << QStringLiteral("new") << QStringLiteral("tok") << QStringLiteral("id_TIME9") << true;
    // A name the window does not know is refused, and reaches no window.
    QTest::newRow("unknown") << QStringLiteral("find") << QString() << QString() << false;
}

void tst_commandchannel::commandsReachTheirOwnDatabase()
{
    QFETCH(QString, name);
    QFETCH(QString, token);
    QFETCH(QString, startupId);
    QFETCH(bool, known);
    const QString one = database(QStringLiteral("one"));
    const QString two = database(QStringLiteral("two"));
    CommandChannel first(one, Known);
    CommandChannel second(two, Known);
    QVERIFY(first.listen());
    QVERIFY(second.listen());
    QCOMPARE(first.listensOnBus(), m_withBus);
    QVERIFY(first.listensOnSocket());
    if (m_withBus) {
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            CommandChannel::busName(one)));
    }
    QSignalSpy toFirst(&first, &CommandChannel::received);
    QSignalSpy toSecond(&second, &CommandChannel::received);
    const RemoteCommand command{name, {token, startupId}};
    if (!known) {
        QVERIFY(!sendFrom(one, command));
        QCOMPARE(toFirst.size(), 0);
        QCOMPARE(toSecond.size(), 0);
        return;
    }
    QVERIFY(sendFrom(one, command));
    QCOMPARE(toFirst.size(), 1);
    QCOMPARE(toSecond.size(), 0);
    const auto got = toFirst.takeFirst().first().value<RemoteCommand>();
    QCOMPARE(got.name, name);
    QCOMPARE(got.activation.token, token);
    QCOMPARE(got.activation.startupId, startupId);
    QVERIFY(sendFrom(two, command));
    QCOMPARE(toFirst.size(), 0);
    QCOMPARE(toSecond.size(), 1);

    if (m_withBus) {
        // The bus alone carries it: the sender looks for the socket in another folder.
        const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("other"))));
        const bool sent = sendFrom(one, command);
        qputenv("XDG_RUNTIME_DIR", runtimeDir);
        QVERIFY(sent);
        QCOMPARE(toFirst.size(), 1);
    }
}

void tst_commandchannel::nothingListens()
{
    const QString lone = database(QStringLiteral("lone"));
    QVERIFY(!sendFrom(lone, Toggle));
    {
        CommandChannel listening(lone, Known);
        QVERIFY(listening.listen());
    }
    // Gone with its channel.
    QVERIFY(!sendFrom(lone, Toggle));
}

void tst_commandchannel::socketFolderIsPrivate()
{
    const QString one = database(QStringLiteral("one"));
    const QString folder = QFileInfo(CommandChannel::socketPath(one)).path();
    QDir(folder).removeRecursively();
    const mode_t was = ::umask(0);
    CommandChannel channel(one, Known);
    const bool listening = channel.listen();
    ::umask(was);
    QVERIFY(listening);
    QCOMPARE(folder, m_home.filePath(QStringLiteral("runtime/zentavo")));
    struct stat info
    {
    };
    QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0700));
}

void tst_commandchannel::staleSocketIsTakenOver()
{
    const QString one = database(QStringLiteral("stale"));
    const QString socket = CommandChannel::socketPath(one);
    // A socket file no one listens on, as a window that was killed leaves it.
    QDir().mkpath(QFileInfo(socket).path());
    QProcess leaver;
    leaver.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import socket,sys; s=socket.socket(socket.AF_UNIX); "
                                 "s.bind(sys.argv[1])"),
                  socket});
    QVERIFY(leaver.waitForFinished());
    QVERIFY(QFileInfo(socket).exists());
    CommandChannel channel(one, Known);
    QVERIFY(channel.listen());
    QVERIFY(channel.listensOnSocket());
    QSignalSpy received(&channel, &CommandChannel::received);
    QVERIFY(sendFrom(one, Toggle));
    QCOMPARE(received.size(), 1);
}

void tst_commandchannel::waitingWindowTakesTheSocketOver_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("the window that had it ends") << false;
    QTest::newRow("the window that had it is killed") << true;
}

void tst_commandchannel::waitingWindowTakesTheSocketOver()
{
    QFETCH(bool, killed);
    const QString one = database(QStringLiteral("takeover"));
    auto first = std::make_unique<CommandChannel>(one, Known);
    QProcess killedWindow;
    if (killed) {
        // A window that listens and is then killed, leaving its socket file.
        const QString socket = CommandChannel::socketPath(one);
        QVERIFY(QDir().mkpath(QFileInfo(socket).path()));
        killedWindow.start(QStringLiteral("python3"),
                           {QStringLiteral("-c"),
                            QStringLiteral("import socket,sys; s=socket.socket(socket.AF_UNIX); "
                                           "s.bind(sys.argv[1]); s.listen(); print(1, flush=True); "
                                           "sys.stdin.read()"),
                            socket});
        QTRY_VERIFY(killedWindow.canReadLine());
    } else {
        QVERIFY(first->listen());
        QVERIFY(first->listensOnSocket());
    }
    CommandChannel second(one, Known);
    second.listen();
    QVERIFY(!second.listensOnSocket());
    if (killed) {
        killedWindow.kill();
        QVERIFY(killedWindow.waitForFinished());
    }
    first.reset();
    QTRY_VERIFY(second.listensOnSocket());
    QSignalSpy received(&second, &CommandChannel::received);
    QVERIFY(sendFrom(one, Toggle));
    QCOMPARE(received.size(), 1);
}

void tst_commandchannel::socketInALongFolderPath()
{
    // Longer than a socket address holds (108 bytes), as a long home's state folder can be.
    useRuntimeFolder(QStringLiteral("long-") + QString(110, QLatin1Char('x')));
    const QString one = database(QStringLiteral("long"));
    QVERIFY(QFile::encodeName(CommandChannel::socketPath(one)).size() > 108);
    CommandChannel channel(one, Known);
    channel.listen();
    QVERIFY(channel.listensOnSocket());
    QSignalSpy received(&channel, &CommandChannel::received);
    QVERIFY(sendFrom(one, Toggle));
    QCOMPARE(received.size(), 1);
}

void tst_commandchannel::unsafeFolderIsRefused_data()
{
    QTest::addColumn<QString>("unsafe");
    QTest::addColumn<bool>("windowRefuses");
    // (As another user's folder or socket would be, which a test cannot make.)
    QTest::newRow("the folder is a link") << "folder link" << true;
    QTest::newRow("others may open the folder") << "open folder" << false;
    QTest::newRow("the socket is a link") << "socket link" << true;
}

void tst_commandchannel::unsafeFolderIsRefused()
{
    QFETCH(QString, unsafe);
    QFETCH(bool, windowRefuses);
    const QString runtimeFolder = QStringLiteral("unsafe-") + QString(unsafe).replace(' ', '-');
    useRuntimeFolder(runtimeFolder);
    const QString one = database(QStringLiteral("unsafe"));
    const QString socket = CommandChannel::socketPath(one);
    const QString folder = QFileInfo(socket).path();
    // A window of another database listens in a private folder elsewhere.
    const QString elsewhere = m_home.filePath(runtimeFolder + QStringLiteral("/elsewhere"));
    QVERIFY(QDir().mkpath(elsewhere));
    QVERIFY(
        QFile::setPermissions(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (unsafe == "folder link") {
        QVERIFY(QFile::link(elsewhere, folder));
    } else {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(elsewhere));
    const QString otherDatabase = database(QStringLiteral("other"));
    CommandChannel other(otherDatabase, Known);
    QVERIFY(other.listen());
    const QString otherSocket = CommandChannel::socketPath(otherDatabase);
    useRuntimeFolder(runtimeFolder);
    if (unsafe == "socket link")
        QVERIFY(QFile::link(otherSocket, socket));
    QSignalSpy toOther(&other, &CommandChannel::received);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^zentavo: kommandot skickas inte")));
    // Where a bus runs, a window would have been found on it, and one may start.
    QCOMPARE(sentFrom(one, Toggle), m_withBus ? Sent::NoWindow : Sent::Refused);
    QCOMPARE(toOther.size(), 0);
    CommandChannel window(one, Known);
    if (windowRefuses) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                               "^zentavo: fönstret tar inte emot kommandon")));
    }
    window.listen();
    QCOMPARE(window.listensOnSocket(), !windowRefuses);
}

void tst_commandchannel::silentWindowIsNoAnswer()
{
    const QString one = database(QStringLiteral("silent"));
    const QString socket = CommandChannel::socketPath(one);
    QVERIFY(QDir().mkpath(QFileInfo(socket).path()));
    QVERIFY(::chmod(QFile::encodeName(QFileInfo(socket).path()).constData(), 0700) == 0);
    // A window that listens but does not answer: stopped, or busy.
    const runtime::LocalSocket stopped = runtime::LocalSocket::listenAt(QFile::encodeName(socket));
    QVERIFY(stopped.isOpen());
    QCOMPARE(sentFrom(one, Toggle), Sent::NoAnswer);
}

void tst_commandchannel::commandWaitsForAStartingWindow()
{
    const QString one = database(QStringLiteral("starting"));
    CommandChannel starting(one, Known);
    QVERIFY(starting.claimWindow());
    // One window per database: a second start finds the claim taken.
    QVERIFY(!CommandChannel(one, Known).claimWindow());
    QSignalSpy received(&starting, &CommandChannel::received);
    std::atomic<int> outcome = -1;
    std::jthread sender([&] { outcome = int(CommandChannel(one, Known).send(Toggle)); });
    // The window listens once its first frame is shown; the command reaches it then.
    QVERIFY(starting.listen());
    QTRY_COMPARE(outcome.load(), int(Sent::Done));
    QCOMPARE(received.size(), 1);
}

void tst_commandchannel::secondWindowQueuesOnTheBus()
{
    if (!m_withBus)
        QSKIP("needs the bus");
    const QString one = database(QStringLiteral("queue"));
    auto first = std::make_unique<CommandChannel>(one, Known);
    QVERIFY(first->listen());
    CommandChannel second(one, Known);
    QVERIFY(second.listen());
    QVERIFY(second.listensOnBus());
    QVERIFY(!second.listensOnSocket());
    QSignalSpy toSecond(&second, &CommandChannel::received);
    QSignalSpy toFirst(first.get(), &CommandChannel::received);
    QVERIFY(sendFrom(one, Toggle));
    QCOMPARE(toFirst.size(), 1);
    QCOMPARE(toSecond.size(), 0);
    first.reset();
    // The first window ended: the name passes to the second, which answers from then on.
    // (The bus tells the name's queue a moment after the first connection went.)
    QVERIFY(QTest::qWaitFor([&] { return sendFrom(one, Toggle); }));
    QCOMPARE(toSecond.size(), 1);
}

QTEST_GUILESS_MAIN(tst_commandchannel)
#include "tst_commandchannel.moc"
