#include "Application.h"

#include "Pictures.h"
#include "runtime/Fonts.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace window {

void prepareApplication()
{
    // Where Qt has chosen Fusion already (a desktop without a style of its own), it stays.
    if (QApplication::style()->name() != QLatin1String("fusion"))
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Drawn once, for the note window and its message boxes alike.
    QApplication::setWindowIcon(programIcon());
    runtime::registerTahoma();
    // Every text of the program is in the design font. As the application's font it is also the
    // only font loaded: the desktop's default font is never needed.
    QApplication::setFont(runtime::designFont());
}

} // namespace window
