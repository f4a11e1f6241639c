#include "TestScreens.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QScreen>
#include <qpa/qplatformnativeinterface.h>
#include <qpa/qwindowsysteminterface.h>

namespace testsupport {

bool layOutScreens(const QList<TestScreen> &screens)
{
    if (screens.isEmpty() || QGuiApplication::platformName() != QLatin1String("offscreen"))
        return false;
    // The offscreen platform's own way to change its screens, as its configuration file gives
    // them at start.
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    using SetConfiguration = void (*)(const QJsonObject &, QPlatformNativeInterface *);
    const auto setConfiguration = reinterpret_cast<SetConfiguration>(
        native->nativeResourceForIntegration("setConfiguration"));
    if (!setConfiguration)
        return false;
    QJsonArray list;
    for (const TestScreen &screen : screens) {
        list.append(QJsonObject{{"name", screen.name},
                                {"x", screen.geometry.x()},
                                {"y", screen.geometry.y()},
                                {"width", screen.geometry.width()},
                                {"height", screen.geometry.height()},
                                {"logicalDpi", screen.dpi},
                                {"logicalBaseDpi", 96},
                                {"dpr", 1.0}});
    }
    setConfiguration(QJsonObject{{"screens", list}}, native);

    // The platform makes the first screen it ever had the primary; a desktop names its own, and
    // says so as the X11 platform does.
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->name() == screens.first().name)
            QWindowSystemInterface::handlePrimaryScreenChanged(screen->handle());
    }
    // New places and resolutions reach Qt as events of their own.
    QWindowSystemInterface::flushWindowSystemEvents();
    return true;
}

} // namespace testsupport
