#include "MouseMoveRelay.h"

#include <QEvent>
#include <QWidget>

namespace window {

MouseMoveRelay::MouseMoveRelay(QObject *parent)
    : QObject(parent)
{}

void MouseMoveRelay::watch(QWidget *widget)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool MouseMoveRelay::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        Q_EMIT moved();
    return QObject::eventFilter(watched, event);
}

} // namespace window
