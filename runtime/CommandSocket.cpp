#include "CommandSocket.h"

#include "SocketFolder.h"
#include "runtime/files/Files.h"

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

CommandSocketServer::CommandSocketServer(Handler handler, const QString &folder,
                                         const QString &name, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_folderPath(folder)
    , m_name(name)
{}

CommandSocketServer::~CommandSocketServer()
{
    delete m_notifier;
    delete m_watchNotifier;
    if (!isListening())
        return;
    // The file goes with the window, unless another window has taken it over meanwhile.
    const SocketFolder::Lock held = m_folder->lock(m_name);
    if (m_folder->inodeOf(m_name) == m_bound)
        m_folder->remove(m_name);
}

bool CommandSocketServer::listen()
{
    if (isListening())
        return true;
    if (!m_folder)
        m_folder = std::make_unique<SocketFolder>(m_folderPath, SocketFolder::Use::Listen);
    if (!m_folder->isOpen() || !m_folder->mayUseSocket(m_name)) {
        qWarning("zentavo: fönstret tar inte emot kommandon genom uttaget: %s. Ta bort det, eller "
                 "gör mappen till din egen med rättigheterna 700.",
                 qUtf8Printable(m_folder->problem()));
        return false;
    }
    // One window at a time takes the socket over.
    const SocketFolder::Lock held = m_folder->lock(m_name);
    const QByteArray address = m_folder->address(m_name);
    m_socket = LocalSocket::listenAt(address);
    if (!m_socket.isOpen() && m_socket.error() == EADDRINUSE) {
        // A socket file is there: a window for this database that answers, or one that is busy,
        // keeps it; one left by a window that ended is removed.
        LocalSocket window = LocalSocket::connectTo(address, ConnectWait);
        if (window.isOpen()) {
            watch(std::move(window));
            return false;
        }
        if (window.error() == EAGAIN)
            return false;
        m_folder->remove(m_name);
        m_socket = LocalSocket::listenAt(address);
    }
    if (!m_socket.isOpen()) {
        qWarning("zentavo: fönstret tar inte emot kommandon genom uttaget %s: %s",
                 qUtf8Printable(m_folderPath + QLatin1Char('/') + m_name),
                 qUtf8Printable(files::FileError::wordingOf(m_socket.error())));
        return false;
    }
    m_bound = m_folder->inodeOf(m_name);
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

// The window that has the socket keeps a connection from this one open: it closes when that
// window ends, however it ends, and this one takes the socket over then.
void CommandSocketServer::watch(LocalSocket window)
{
    m_watched = std::move(window);
    m_watchNotifier = new QSocketNotifier(m_watched.descriptor(), QSocketNotifier::Read, this);
    connect(m_watchNotifier, &QSocketNotifier::activated, this,
            &CommandSocketServer::watchedWindowEnded);
}

void CommandSocketServer::watchedWindowEnded()
{
    QByteArray ignored;
    if (m_watched.readAvailable(ignored))
        return;
    m_watchNotifier->setEnabled(false);
    m_watchNotifier->deleteLater();
    m_watchNotifier = nullptr;
    m_watched = LocalSocket();
    listen();
}

Sent sendOverSocket(const QString &folderPath, const QString &name, const QString &command,
                    const Activation &activation, int answerWaitMs)
{
    SocketFolder folder(folderPath, SocketFolder::Use::Send);
    if (!folder.isOpen() || !folder.mayUseSocket(name)) {
        if (folder.problem().isEmpty())
            return Sent::NoWindow;
        qWarning("zentavo: kommandot skickas inte genom uttaget: %s. Ta bort det, eller gör "
                 "mappen till din egen med rättigheterna 700.",
                 qUtf8Printable(folder.problem()));
        return Sent::Refused;
    }
    const LocalSocket socket = LocalSocket::connectTo(folder.address(name), ConnectWait);
    if (!socket.isOpen())
        return socket.error() == EAGAIN ? Sent::NoAnswer : Sent::NoWindow;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << command << activation.token << activation.startupId;
    if (!socket.writeAll(message, answerWaitMs))
        return Sent::NoAnswer;
    QByteArray answer;
    while (answer.isEmpty()) {
        if (!socket.waitForReadable(answerWaitMs))
            return Sent::NoAnswer;
        if (!socket.readAvailable(answer))
            return Sent::NoWindow;
    }
    return answer.startsWith('1') ? Sent::Done : Sent::NoWindow;
}

} // namespace runtime
