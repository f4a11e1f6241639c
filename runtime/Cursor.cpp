#include "Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace runtime {

namespace {
std::function<std::optional<QPoint>()> &source()
{
    static std::function<std::optional<QPoint>()> function;
    return function;
}
} // namespace

std::optional<QPoint> GetCursorPos()
{
    if (source())
        return source()();
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return std::nullopt;
    return QCursor::pos();
}

void setCursorPosForTesting(std::function<std::optional<QPoint>()> function)
{
    source() = std::move(function);
}

} // namespace runtime
