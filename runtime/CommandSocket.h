#pragma once

#include "Desktop.h"
#include "LocalSocket.h"

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace runtime {

// The local socket through which a command reaches a window where no session bus runs. A
// command is three QDataStream strings: its name, the desktop's activation token and startup
// id; the window answers one byte, "1" once it has acted, "0" for a name it does not know.
// Anything else is not answered, and a message that cannot be one is cut off.
class CommandSocketServer final : public QObject
{
    Q_OBJECT
public:
    // Carries a command out; false for a name that is no command.
    using Handler = std::function<bool(const QString &name, const Activation &activation)>;

    explicit CommandSocketServer(Handler handler, QObject *parent = nullptr);
    ~CommandSocketServer() override;

    // Listens at this address. A socket file another window answers on stays that window's; one
    // left by a window that ended is replaced.
    bool listen(const QByteArray &address);
    bool isListening() const { return m_socket.isOpen(); }

private:
    void acceptConnections();

    Handler m_handler;
    LocalSocket m_socket;
    QSocketNotifier *m_notifier = nullptr;
};

// Sends a command to the window listening at this address and waits (`answerWaitMs` at most)
// until it has acted. False when no window listens there, or it did not take the command.
bool sendOverSocket(const QByteArray &address, const QString &name, const Activation &activation,
                    int answerWaitMs);

} // namespace runtime
