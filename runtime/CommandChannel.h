#pragma once

#include "CommandSocket.h"
#include "Desktop.h"
#include "SocketFolder.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace runtime {

// A command from the command line to the window, by the name the window knows it by ("toggle",
// "new"), with what the desktop gave the command so that the window may take the focus.
struct RemoteCommand
{
    QString name;
    Activation activation;
};

// The way commands reach the window that runs for one note database, and only that one. A
// window listens on two doors: a name on the D-Bus session bus, "se.zentavo.Zentavo.db" and 32
// hexadecimal digits of a hash of the database's canonical path, which offers the
// org.freedesktop.Application method ActivateAction (a command's name, with the
// "activation-token" and "desktop-startup-id" of the desktop's platform data); and a local socket
// of the same name in a folder only the user may open ($XDG_RUNTIME_DIR/zentavo, or
// $XDG_STATE_HOME/zentavo/commands where no runtime folder is set), which works where no session
// bus runs. A command tries the bus, then the socket.
class CommandChannel final : public QObject
{
    Q_OBJECT
public:
    // The channel of the database at this path (canonical or not: the same file is the same
    // channel), which passes on the commands of these names and refuses any other.
    CommandChannel(const QString &databasePath, QStringList commandNames,
                   QObject *parent = nullptr);
    ~CommandChannel() override;

    // The name on the session bus, and of the local socket's file, for this database.
    static QString busName(const QString &databasePath);
    static QString socketPath(const QString &databasePath);
    // The object path and interface the window answers on the bus.
    static QString objectPath();

    // Hands the command to the window listening for this database and waits (a few seconds at
    // most) until it has acted.
    Sent send(const RemoteCommand &command) const;

    // Claims the one window of this database for this program, for as long as the channel
    // lives; false when another program has it. A command that finds no window listening waits
    // (a few seconds at most) for one that has the claim to start listening.
    bool claimWindow();

    // Starts listening on the bus (where one runs) and on the socket; a window already listening
    // for the same database keeps its doors (on the bus this one queues behind it, and takes the
    // name when it ends). Returns whether either door is open now. A socket file left by a window
    // that ended is replaced.
    bool listen();
    bool listensOnBus() const { return m_onBus; }
    bool listensOnSocket() const;
    // Whether the window knows a command of this name.
    bool accepts(const QString &name) const { return m_commandNames.contains(name); }

Q_SIGNALS:
    // A command came; the window has acted once the connected slots return.
    void received(const runtime::RemoteCommand &command);

private:
    // Nothing where no bus is reached.
    std::optional<Sent> sendOnBus(const RemoteCommand &command) const;
    Sent sendOnSocket(const RemoteCommand &command) const;
    Sent sendOnce(const RemoteCommand &command) const;
    bool windowStarting() const;
    void listenOnBus();
    void listenOnSocket();
    bool receive(const QString &name, const Activation &activation);

    QStringList m_commandNames;
    QString m_busName;
    QString m_socketName;
    QString m_connection; // the name of the channel's own bus connection, once it has one
    bool m_onBus = false;
    QObject *m_busEndpoint = nullptr;
    CommandSocketServer *m_server = nullptr;
    std::unique_ptr<SocketFolder::Lock> m_claim;
};

} // namespace runtime
