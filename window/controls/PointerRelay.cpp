#include "PointerRelay.h"

#include <QEvent>
#include <QWidget>

namespace window {

PointerRelay::PointerRelay(QObject *parent)
    : QObject(parent)
{}

void PointerRelay::watch(QWidget *widget)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool PointerRelay::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        Q_EMIT moved();
        break;
    case QEvent::MouseButtonPress:
        Q_EMIT pressed();
        break;
    case QEvent::MouseButtonDblClick:
        Q_EMIT doubleClicked();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace window
