#include "CommandSocket.h"

#include <QDataStream>
#include <QIODevice>
#include <QSocketNotifier>
#include <cerrno>
#include <unistd.h>

namespace runtime {

namespace {

constexpr int ConnectWait = 1000; // ms a connect waits for room in a busy window's queue
constexpr qsizetype LongestMessage = 64 * 1024;

// One sender's connection to the window: reads its commands as they arrive and answers each.
class CommandConnection final : public QObject
{
public:
    CommandConnection(LocalSocket socket, const CommandSocketServer::Handler &handler,
                      QObject *parent)
        : QObject(parent)
        , m_socket(std::move(socket))
        , m_notifier(new QSocketNotifier(m_socket.descriptor(), QSocketNotifier::Read, this))
        , m_handler(handler)
    {
        connect(m_notifier, &QSocketNotifier::activated, this, &CommandConnection::read);
    }
    // The notifier goes before the descriptor it watches is closed.
    ~CommandConnection() override { delete m_notifier; }

private:
    void read()
    {
        if (!m_socket.readAvailable(m_buffer)) {
            end();
            return;
        }
        // The window may run an event loop while it acts: nothing more is read meanwhile.
        m_notifier->setEnabled(false);
        while (answerOne()) {
        }
        if (m_buffer.size() > LongestMessage)
            end();
        else
            m_notifier->setEnabled(true);
    }

    // Carries out the first whole command in the buffer and answers it; false when none is
    // whole yet, or what came cannot be one (which ends the connection).
    bool answerOne()
    {
        QDataStream in(m_buffer);
        QString name;
        Activation activation;
        in >> name >> activation.token >> activation.startupId;
        if (in.status() == QDataStream::ReadPastEnd)
            return false;
        if (in.status() != QDataStream::Ok) {
            m_buffer.clear();
            end();
            return false;
        }
        m_buffer.remove(0, in.device()->pos());
        const bool done = m_handler(name, activation);
        m_socket.writeAll(done ? "1" : "0", 0);
        return true;
    }

    void end()
    {
        m_notifier->setEnabled(false);
        deleteLater();
    }

    LocalSocket m_socket;
    QSocketNotifier *m_notifier;
    const CommandSocketServer::Handler &m_handler;
    QByteArray m_buffer;
};

} // namespace

CommandSocketServer::CommandSocketServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{}

CommandSocketServer::~CommandSocketServer()
{
    delete m_notifier;
}

bool CommandSocketServer::listen(const QByteArray &address)
{
    if (isListening())
        return true;
    m_socket = LocalSocket::listenAt(address);
    if (!m_socket.isOpen() && m_socket.error() == EADDRINUSE) {
        // A socket file is there: a window for this database that answers, or one that is busy,
        // keeps it; one left by a window that ended is removed.
        const LocalSocket probe = LocalSocket::connectTo(address, ConnectWait);
        if (probe.isOpen() || probe.error() == EAGAIN)
            return false;
        ::unlink(address.constData());
        m_socket = LocalSocket::listenAt(address);
    }
    if (!m_socket.isOpen())
        return false;
    m_notifier = new QSocketNotifier(m_socket.descriptor(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CommandSocketServer::acceptConnections);
    return true;
}

void CommandSocketServer::acceptConnections()
{
    for (;;) {
        LocalSocket connection = m_socket.accept();
        if (!connection.isOpen())
            return;
        new CommandConnection(std::move(connection), m_handler, this);
    }
}

bool sendOverSocket(const QByteArray &address, const QString &name, const Activation &activation,
                    int answerWaitMs)
{
    const LocalSocket socket = LocalSocket::connectTo(address, ConnectWait);
    if (!socket.isOpen())
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << name << activation.token << activation.startupId;
    if (!socket.writeAll(message, answerWaitMs))
        return false;
    QByteArray answer;
    while (answer.isEmpty()) {
        if (!socket.waitForReadable(answerWaitMs) || !socket.readAvailable(answer))
            return false;
    }
    return answer.startsWith('1');
}

} // namespace runtime
