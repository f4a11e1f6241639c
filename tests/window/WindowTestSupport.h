#pragma once

// Small helpers shared by the window tests: real mouse events sent straight to a widget (no
// event loop is run, so the window's timers tick only when a test calls their handlers), and
// the two seams the tests use to keep modal boxes and the real pointer out of the way.

#include "runtime/Cursor.h"
#include "runtime/ErrorReport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPoint>
#include <QPointingDevice>
#include <QStringList>
#include <QWidget>
#include <optional>

namespace windowtest {

// Sends one mouse event of the given type to target at pos (the centre when pos is null).
inline bool sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button,
                      Qt::MouseButtons buttons, QPoint pos = {})
{
    if (pos.isNull())
        pos = target->rect().center();
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    return QApplication::sendEvent(target, &event);
}

// A move with no button held: only widgets that track the mouse ever see one.
inline void moveOver(QWidget *target, QPoint pos = {})
{
    sendMouse(target, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, pos);
}

// Collects error reports instead of showing a modal box, for as long as it lives.
class ErrorCapture
{
public:
    ErrorCapture()
    {
        runtime::setErrorSinkForTesting([this](const QString &message) { reports << message; });
    }
    ~ErrorCapture() { runtime::setErrorSinkForTesting({}); }
    ErrorCapture(const ErrorCapture &) = delete;
    ErrorCapture &operator=(const ErrorCapture &) = delete;

    QStringList reports;
};

// Puts the pointer wherever the test says, in screen pixels; nullopt is a failed read.
class FakePointer
{
public:
    explicit FakePointer(std::optional<QPoint> start = QPoint(0, 0))
        : position(start)
    {
        runtime::setCursorPosForTesting([this] { return position; });
    }
    ~FakePointer() { runtime::setCursorPosForTesting({}); }
    FakePointer(const FakePointer &) = delete;
    FakePointer &operator=(const FakePointer &) = delete;

    std::optional<QPoint> position;
};

} // namespace windowtest
