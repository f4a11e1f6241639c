#include "App.h"

#include <QCoreApplication>

namespace runtime::App {

namespace {
QString &pathOverride()
{
    static QString path;
    return path;
}
} // namespace

QString Path()
{
    if (!pathOverride().isEmpty())
        return pathOverride();
    return QCoreApplication::applicationDirPath();
}

void setPathForTesting(const QString &directory)
{
    pathOverride() = directory;
}

} // namespace runtime::App
