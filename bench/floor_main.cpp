// The floor for start-up measurements: the least a frameless, always-on-top Qt window of
// Zentavo's size costs on this machine, with or without one line of text (--caption). Prints
// the same first-frame marker as zentavo.

#include "runtime/FirstFrameMarker.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setWindowTitle(QStringLiteral("Zentavo floor"));
    window.setGeometry(433, 0, 353, 17);
    // With --caption the window shows one line of text, which costs a program its font set-up.
    if (QCoreApplication::arguments().contains(QStringLiteral("--caption"))) {
        auto *caption = new QLabel(QStringLiteral("Zentavo 1.0"), &window); // owned by window
        caption->setGeometry(0, 0, 353, 17);
    }
    runtime::markFirstFrame(window);
    window.show();
    return app.exec();
}
