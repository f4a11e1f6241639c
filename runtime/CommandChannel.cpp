#include "CommandChannel.h"
#include "CommandSocket.h"
#include "FileKey.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QThread>
#include <QVariantMap>
#include <sys/stat.h>

namespace runtime {

namespace {

constexpr int AnswerWait = 5000; // ms a command waits for the window to act
constexpr int StartWait = 10000; // ms a command waits for a window that is starting to listen
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
    , m_busName(busName(databasePath))
    , m_socketName(key(databasePath))
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

Sent CommandChannel::send(const RemoteCommand &command) const
{
    // A window that has the claim but does not listen yet is starting: it listens after its
    // first frame.
    const QDeadlineTimer starting(StartWait);
    for (;;) {
        const Sent sent = sendOnce(command);
        if (sent != Sent::NoWindow || starting.hasExpired() || !windowStarting())
            return sent;
        QThread::msleep(50);
    }
}

bool CommandChannel::claimWindow()
{
    if (m_claim)
        return true;
    const SocketFolder folder(socketFolder(), SocketFolder::Use::Listen);
    // Without a folder to claim it in, every start is a window.
    if (!folder.isOpen())
        return true;
    m_claim = folder.tryLock(m_socketName + QStringLiteral(".window"));
    return m_claim != nullptr;
}

bool CommandChannel::windowStarting() const
{
    const SocketFolder folder(socketFolder(), SocketFolder::Use::Send);
    return folder.isOpen() && folder.isLocked(m_socketName + QStringLiteral(".window"));
}

Sent CommandChannel::sendOnce(const RemoteCommand &command) const
{
    const std::optional<Sent> onBus = sendOnBus(command);
    if (onBus == Sent::Done || onBus == Sent::NoAnswer)
        return *onBus;
    const Sent onSocket = sendOnSocket(command);
    // Where a bus runs, a window would have been found on it: one may start.
    return onSocket == Sent::Refused && onBus ? Sent::NoWindow : onSocket;
}

std::optional<Sent> CommandChannel::sendOnBus(const RemoteCommand &command) const
{
    // A connection of the send's own, gone with it.
    if (!sessionBusGiven())
        return std::nullopt;
    const QString name = QStringLiteral("zentavo-command-%1").arg(quintptr(this));
    const auto disconnect = qScopeGuard([&name] { QDBusConnection::disconnectFromBus(name); });
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(m_busName, objectPath(),
                                                       QLatin1String(ApplicationInterface),
                                                       QStringLiteral("ActivateAction"));
    // Nothing is started for the name: only a window already running answers.
    call.setAutoStartService(false);
    call << command.name << QVariantList() << platformData(command.activation);
    const QDBusMessage answer = bus.call(call, QDBus::Block, AnswerWait);
    if (answer.type() == QDBusMessage::ReplyMessage)
        return Sent::Done;
    const QDBusError::ErrorType error = QDBusError(answer).type();
    return error == QDBusError::NoReply || error == QDBusError::Timeout ? Sent::NoAnswer
                                                                        : Sent::NoWindow;
}

Sent CommandChannel::sendOnSocket(const RemoteCommand &command) const
{
    return sendOverSocket(socketFolder(), m_socketName, command.name, command.activation,
                          AnswerWait);
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
    if (!m_server) {
        m_server = new CommandSocketServer(
            [this](const QString &name, const Activation &activation) {
                return receive(name, activation);
            },
            socketFolder(), m_socketName, this);
    }
    m_server->listen();
}

bool CommandChannel::receive(const QString &name, const Activation &activation)
{
    const bool known = accepts(name);
    if (known)
        Q_EMIT received(RemoteCommand{name, activation});
    return known;
}

} // namespace runtime

#include "CommandChannel.moc"
