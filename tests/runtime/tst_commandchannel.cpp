// The channel that carries commands to the window of one database, between real channels in
// this process: over a session bus of the test's own (a dbus-daemon it starts) when
// ZENTAVO_TEST_BUS is "own", and over the local socket alone where no bus runs. Each command
// reaches the channel of its own database and no other; a command for a database no window
// listens for is refused; the socket's folder is the user's alone; a socket file left by a
// window that ended is taken over.

#include "runtime/CommandChannel.h"

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
    void namesPerDatabase();
    void commandsReachTheirOwnDatabase_data();
    void commandsReachTheirOwnDatabase();
    void nothingListens();
    void socketFolderIsPrivate();
    void staleSocketIsTakenOver();
    void secondWindowQueuesOnTheBus();

private:
    QString database(const QString &name);
    // Sends on a thread of its own, as another process would, while this one answers.
    bool sendFrom(const QString &databasePath, const RemoteCommand &command);

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

bool tst_commandchannel::sendFrom(const QString &databasePath, const RemoteCommand &command)
{
    std::atomic<int> outcome = -1;
    std::jthread sender([&] {
        const CommandChannel channel(databasePath, Known);
        outcome = channel.send(command) ? 1 : 0;
    });
    if (!QTest::qWaitFor([&outcome] { return outcome != -1; }, 20000))
        return false; // the thread is joined once the send gives up
    return outcome == 1;
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
