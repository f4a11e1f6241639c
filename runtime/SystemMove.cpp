#include "SystemMove.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace runtime {

MoveTracker::~MoveTracker()
{
    end();
}

void MoveTracker::begin(QWidget *window)
{
    m_window = window;
    m_state = State::Armed;
    qApp->installEventFilter(this);
}

bool MoveTracker::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        onMove(mouse->globalPosition().toPoint(), mouse->buttons() != Qt::NoButton);
        break;
    }
    case QEvent::MouseButtonRelease:
        end();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void MoveTracker::onMove(const QPoint &pointer, bool buttonHeld)
{
    if (!m_window || !buttonHeld) {
        end();
        return;
    }
    if (m_state == State::Armed) {
        QWindow *handle = m_window->windowHandle();
        if (handle && handle->startSystemMove()) {
            // The window manager has the pointer now; Qt sees no release for this press.
            m_state = State::ByWindowManager;
            end();
            return;
        }
        m_state = State::ByHand;
        m_grabOffset = pointer - m_window->frameGeometry().topLeft();
    }
    if (m_state == State::ByHand)
        m_window->move(pointer - m_grabOffset);
}

void MoveTracker::end()
{
    if (m_state == State::Idle)
        return;
    m_state = State::Idle;
    if (qApp)
        qApp->removeEventFilter(this);
}

} // namespace runtime
