#include "EndSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace runtime {

namespace {

constexpr int Handled[] = {SIGTERM, SIGHUP, SIGINT};

// The socket the handler writes to: a plain descriptor, the one thing a signal handler may touch.
volatile std::sig_atomic_t writeEnd = -1;

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (writeEnd >= 0) [[maybe_unused]]
        const ssize_t n = ::write(writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

EndSignals::EndSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_sockets) != 0)
        return; // the signals keep their default handling: the program ends as it would have
    m_notifier = new QSocketNotifier(m_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndSignals::readSignal);
    writeEnd = m_sockets[0];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Handled)
        ::sigaction(signal, &action, nullptr);
}

EndSignals::~EndSignals()
{
    if (m_sockets[0] < 0)
        return;
    for (const int signal : Handled)
        std::signal(signal, SIG_DFL);
    writeEnd = -1;
    delete m_notifier;
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void EndSignals::readSignal()
{
    unsigned char byte = 0;
    while (::read(m_sockets[1], &byte, 1) == 1)
        Q_EMIT endRequested(byte);
}

} // namespace runtime
