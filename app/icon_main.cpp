// zentavo-icon FOLDER: writes the program's icon as zentavo-16.png and zentavo-32.png into FOLDER,
// drawn by the same code that gives the window its icon.

#include "window/Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "Användning: zentavo-icon MAPP\n");
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "zentavo-icon: %s kunde inte skapas\n", qPrintable(folder.path()));
        return 1;
    }
    for (const int size : {16, 32}) {
        const QString file = folder.filePath(QStringLiteral("zentavo-%1.png").arg(size));
        if (!window::programIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "zentavo-icon: %s kunde inte skrivas\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
