#include "runtime/FirstFrameMarker.h"
#include "runtime/Fonts.h"
#include "window/Form1.h"
#include "window/Pictures.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentavo"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(window::programIcon());
    runtime::registerTahoma();

    window::Form1 form;
    if (!form.Load())
        return 1;
    runtime::markFirstFrame(form);
    form.show();
    return app.exec();
}
