#include "Screen.h"

#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace runtime::Screen {

namespace {
const QScreen *primary()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
               ? QGuiApplication::primaryScreen()
               : nullptr;
}
} // namespace

float twipsPerPixelX()
{
    const QScreen *screen = primary();
    return twipsPerPixelForDpi(screen ? screen->logicalDotsPerInchX() : 96.0);
}

float twipsPerPixelY()
{
    const QScreen *screen = primary();
    return twipsPerPixelForDpi(screen ? screen->logicalDotsPerInchY() : 96.0);
}

} // namespace runtime::Screen
