#include "Topmost.h"

#include <QWidget>
#include <QWindow>

namespace runtime {

void makeTopmost(QWidget *window)
{
    // QWidget::setWindowFlag on a shown window would destroy and recreate its native window;
    // QWindow::setFlags changes the flag in place.
    if (QWindow *handle = window->windowHandle(); handle && window->isVisible()) {
        handle->setFlags(handle->flags() | Qt::WindowStaysOnTopHint);
        window->raise();
        return;
    }
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

} // namespace runtime
