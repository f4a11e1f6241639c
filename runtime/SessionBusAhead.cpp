#include "SessionBusAhead.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <system_error>

namespace runtime {

std::jthread connectSessionBusAhead()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    try {
        return std::jthread([] { QDBusConnection::sessionBus(); });
    } catch (const std::system_error &) {
        // No thread to be had: the bridge connects as it otherwise would.
        return {};
    }
}

} // namespace runtime
