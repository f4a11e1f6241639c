#include "CommandChannel.h"
#include "FileKey.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QVariantMap>
#include <sys/stat.h>

namespace runtime {

namespace {

constexpr int AnswerWait = 5000; // ms a command waits for the window to act
constexpr int ConnectWait = 1000;
const char *const ApplicationInterface = "org.freedesktop.Application";

// "db" and the database file's key: a bus name element (it must not start with a digit) and a
// short file name.
QString key(const QString &databasePath)
{
    return QStringLiteral("db") + fileKey(databasePath);
}

QString socketFolder()
{
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtimeDir))
        return QDir::cleanPath(runtimeDir) + QStringLiteral("/zentavo");
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state) + QStringLiteral("/zentavo/commands");
}

// Makes the folder and its missing parents, the folder itself for the user alone (0700), whatever
// the umask.
bool makePrivateFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    return ::chmod(QFile::encodeName(folder).constData(), S_IRWXU) == 0;
}

// Whether a session bus is there to be reached. Without an address in the environment libdbus
// would fall back to starting a bus of its own for the X display ("autolaunch"), a process
// that outlives the window; the bus a systemd user session keeps in the runtime folder is
// the one it would find first.
bool sessionBusGiven()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(runtimeDir))
        return false;
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(runtimeDir + QStringLiteral("/bus")).constData(), &info) == 0
           && S_ISSOCK(info.st_mode);
}

QVariantMap platformData(const Activation &activation)
{
    QVariantMap data;
    if (!activation.token.isEmpty())
        data.insert(QStringLiteral("activation-token"), activation.token);
    if (!activation.startupId.isEmpty())
        data.insert(QStringLiteral("desktop-startup-id"), activation.startupId);
    return data;
}

Activation activationFrom(const QVariantMap &data)
{
    return Activation{data.value(QStringLiteral("activation-token")).toString(),
                      data.value(QStringLiteral("desktop-startup-id")).toString()};
}

} // namespace

// The window's object on the bus: org.freedesktop.Application's ActivateAction, the way a
// desktop asks a running program for one of its launcher's actions.
class BusEndpoint final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit BusEndpoint(CommandChannel *channel)
        : QObject(channel)
        , m_channel(channel)
    {}

public Q_SLOTS:
    Q_SCRIPTABLE void ActivateAction(const QString &action, const QVariantList &parameter,
                                     const QVariantMap &platform)
    {
        Q_UNUSED(parameter)
        if (!m_channel->accepts(action)) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("Okänt kommando: %1").arg(action));
            return;
        }
        Q_EMIT m_channel->received(RemoteCommand{action, activationFrom(platform)});
    }

private:
    CommandChannel *m_channel;
};

CommandChannel::CommandChannel(const QString &databasePath, QStringList commandNames,
                               QObject *parent)
    : QObject(parent)
    , m_commandNames(std::move(commandNames))
    , m_database(fileIdentity(databasePath))
    , m_busName(busName(databasePath))
    , m_socketPath(socketPath(databasePath))
{}

CommandChannel::~CommandChannel()
{
    if (m_onBus) {
        QDBusConnection bus(m_connection);
        bus.unregisterObject(objectPath());
        bus.unregisterService(m_busName);
    }
    if (!m_connection.isEmpty())
        QDBusConnection::disconnectFromBus(m_connection);
}

QString CommandChannel::busName(const QString &databasePath)
{
    return QStringLiteral("se.zentavo.Zentavo.") + key(databasePath);
}

QString CommandChannel::socketPath(const QString &databasePath)
{
    return socketFolder() + QLatin1Char('/') + key(databasePath);
}

QString CommandChannel::objectPath()
{
    return QStringLiteral("/se/zentavo/Zentavo");
}

bool CommandChannel::send(const RemoteCommand &command) const
{
    return sendOnBus(command) || sendOnSocket(command);
}

bool CommandChannel::sendOnBus(const RemoteCommand &command) const
{
    // A connection of the send's own, gone with it.
    if (!sessionBusGiven())
        return false;
    const QString name = QStringLiteral("zentavo-command-%1").arg(quintptr(this));
    const auto disconnect = qScopeGuard([&name] { QDBusConnection::disconnectFromBus(name); });
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(m_busName, objectPath(),
                                                       QLatin1String(ApplicationInterface),
                                                       QStringLiteral("ActivateAction"));
    // Nothing is started for the name: only a window already running answers.
    call.setAutoStartService(false);
    call << command.name << QVariantList() << platformData(command.activation);
    const QDBusMessage answer = bus.call(call, QDBus::Block, AnswerWait);
    return answer.type() == QDBusMessage::ReplyMessage;
}

bool CommandChannel::sendOnSocket(const RemoteCommand &command) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(ConnectWait))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << command.name << command.activation.token << command.activation.startupId;
    socket.write(message);
    if (!socket.waitForBytesWritten(AnswerWait))
        return false;
    // The window answers with one byte once it has acted.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(AnswerWait))
            return false;
    }
    return socket.read(1) == "1";
}

bool CommandChannel::listen()
{
    listenOnBus();
    listenOnSocket();
    return m_onBus || listensOnSocket();
}

bool CommandChannel::listensOnSocket() const
{
    return m_server && m_server->isListening();
}

void CommandChannel::listenOnBus()
{
    if (m_onBus || !sessionBusGiven())
        return;
    // The channel's own connection: each window is one name's owner or in its queue.
    if (m_connection.isEmpty())
        m_connection = QStringLiteral("zentavo-window-%1").arg(quintptr(this));
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connection);
    if (!bus.isConnected() || !bus.interface())
        return;
    if (!m_busEndpoint)
        m_busEndpoint = new BusEndpoint(this);
    if (!bus.registerObject(objectPath(), m_busEndpoint, QDBusConnection::ExportScriptableSlots))
        return;
    // A second window for the same database waits in the queue and takes the name when the
    // first one ends.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = bus.interface()->registerService(m_busName, QDBusConnectionInterface::QueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    m_onBus = reply.isValid();
    if (!m_onBus)
        bus.unregisterObject(objectPath());
}

void CommandChannel::listenOnSocket()
{
    if (listensOnSocket())
        return;
    if (!makePrivateFolder(QFileInfo(m_socketPath).path()))
        return;
    if (!m_server) {
        // No socket options: with them Qt renames its socket over a file already there, which
        // would take the socket from a window that answers. The folder keeps others out.
        m_server = new QLocalServer(this);
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket *socket = m_server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QLocalSocket::readyRead, this,
                        [this, socket] { readCommand(socket); });
            }
        });
    }
    if (m_server->listen(m_socketPath))
        return;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return;
    // A socket file is there: a window for this database that answers keeps it; one left by a
    // window that ended is removed.
    QLocalSocket probe;
    probe.connectToServer(m_socketPath);
    if (probe.waitForConnected(ConnectWait))
        return;
    QLocalServer::removeServer(m_socketPath);
    m_server->listen(m_socketPath);
}

void CommandChannel::readCommand(QLocalSocket *socket)
{
    QDataStream in(socket);
    in.startTransaction();
    QString action;
    Activation activation;
    in >> action >> activation.token >> activation.startupId;
    if (!in.commitTransaction())
        return;
    const bool known = accepts(action);
    if (known)
        Q_EMIT received(RemoteCommand{action, activation});
    socket->write(known ? "1" : "0");
    socket->flush();
}

} // namespace runtime

#include "CommandChannel.moc"
