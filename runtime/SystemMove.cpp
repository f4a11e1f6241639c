#include "SystemMove.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace runtime {

namespace {

// Watches the application's mouse events for the duration of one move.
class MoveTracker : public QObject
{
public:
    void begin(QWidget *window)
    {
        m_window = window;
        m_state = State::Armed;
        qApp->installEventFilter(this);
    }

    bool active() const { return m_state != State::Idle; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove:
            onMove(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseButtonRelease:
            end();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    enum class State { Idle, Armed, ByHand, ByWindowManager };

    void onMove(QMouseEvent *event)
    {
        if (!m_window || event->buttons() == Qt::NoButton) {
            end();
            return;
        }
        const QPoint pointer = event->globalPosition().toPoint();
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

    void end()
    {
        m_state = State::Idle;
        qApp->removeEventFilter(this);
    }

    QPointer<QWidget> m_window;
    State m_state = State::Idle;
    QPoint m_grabOffset;
};

MoveTracker &tracker()
{
    static MoveTracker instance;
    return instance;
}

} // namespace

void beginSystemMove(QWidget *window)
{
    tracker().begin(window);
}

bool systemMoveActive()
{
    return tracker().active();
}

} // namespace runtime
