#pragma once

#include <QObject>

class QSocketNotifier;

namespace runtime {

// Turns the signals by which a desktop, a terminal or a service manager asks a program to end
// (SIGTERM, SIGHUP, SIGINT) into a Qt signal delivered on the event loop, where it is safe to act
// on them: the handler itself only writes a byte to a socket the event loop watches. One at a
// time; the default handlers come back when it is destroyed.
class EndSignals : public QObject
{
    Q_OBJECT
public:
    explicit EndSignals(QObject *parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals &) = delete;
    EndSignals &operator=(const EndSignals &) = delete;

Q_SIGNALS:
    void endRequested(int signal);

private:
    void readSignal();

    int m_sockets[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace runtime
