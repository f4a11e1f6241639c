#pragma once

#include "Desktop.h"
#include "LocalSocket.h"

#include <QObject>
#include <functional>
#include <memory>
#include <sys/types.h>

class QSocketNotifier;

namespace runtime {

class SocketFolder;

// What became of a command handed to the window of a database.
enum class Sent {
    Done,     // the window has acted
    NoWindow, // none runs for the database
    NoAnswer, // one runs but did not answer in time
    Refused,  // the way to the window is not safe to use (said on the standard error)
};

// The local socket through which a command reaches a window where no session bus runs: a file
// in a private folder (SocketFolder). A command is three QDataStream strings: its name, the
// desktop's activation token and startup id; the window answers one byte, "1" once it has
// acted, "0" for a name it does not know. Anything else is not answered, and a message that
// cannot be one is cut off.
class CommandSocketServer final : public QObject
{
    Q_OBJECT
public:
    // Carries a command out; false for a name that is no command.
    using Handler = std::function<bool(const QString &name, const Activation &activation)>;

    CommandSocketServer(Handler handler, const QString &folder, const QString &name,
                        QObject *parent = nullptr);
    ~CommandSocketServer() override;

    // Listens on the socket. A socket file left by a window that ended is replaced; one another
    // window answers on stays that window's, and this one takes it over once that window ends.
    // False, with the problem said on the standard error, where the folder or the file is not
    // safe to use.
    bool listen();
    bool isListening() const { return m_socket.isOpen(); }

private:
    void acceptConnections();
    void watch(LocalSocket window);
    void watchedWindowEnded();

    Handler m_handler;
    QString m_folderPath;
    QString m_name;
    std::unique_ptr<SocketFolder> m_folder;
    LocalSocket m_socket;
    QSocketNotifier *m_notifier = nullptr;
    ino_t m_bound = 0;     // the socket file this one made
    LocalSocket m_watched; // a connection to the window that has the socket
    QSocketNotifier *m_watchNotifier = nullptr;
};

// Sends a command to the window listening on the socket of this name in the folder, and waits
// (`answerWaitMs` at most) until it has acted.
Sent sendOverSocket(const QString &folder, const QString &name, const QString &command,
                    const Activation &activation, int answerWaitMs);

} // namespace runtime
