#include "FirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace runtime {

namespace {

// Watches the native window for its first exposure: Qt paints and flushes the exposed window
// while it handles that event.
class FirstExposeWatcher : public QObject
{
public:
    FirstExposeWatcher(QWidget &window, std::function<void()> then)
        : QObject(&window)
        , m_then(std::move(then))
    {
        window.createWinId();
        window.windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // Run from the event loop's next turn, after the painted frame was flushed.
            QTimer::singleShot(0, this, [this] {
                m_then();
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_then;
};

} // namespace

void afterFirstFrame(QWidget &window, std::function<void()> then)
{
    new FirstExposeWatcher(window, std::move(then)); // owned by the window
}

} // namespace runtime
