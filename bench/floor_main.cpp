// The floor for start-up measurements: the least a frameless, always-on-top Qt window of
// Zentavo's size costs on this machine. Prints the same first-frame marker as zentavo.

#include "runtime/FirstFrameMarker.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setWindowTitle(QStringLiteral("Zentavo floor"));
    window.setGeometry(433, 0, 353, 17);
    runtime::markFirstFrame(window);
    window.show();
    return app.exec();
}
