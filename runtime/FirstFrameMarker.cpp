#include "FirstFrameMarker.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace runtime {

namespace {

class FirstPaintWatcher : public QObject
{
public:
    explicit FirstPaintWatcher(QWidget &window)
        : QObject(&window)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Printed from the event loop's next turn, after the painted frame was flushed.
            QTimer::singleShot(0, this, [this] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now);
                std::printf("first-frame %lld\n", static_cast<long long>(us.count()));
                std::fflush(stdout);
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void markFirstFrame(QWidget &window)
{
    if (qEnvironmentVariableIsEmpty("ZENTAVO_REPORT_FIRST_FRAME"))
        return;
    new FirstPaintWatcher(window); // owned by the window
}

} // namespace runtime
