#include "ErrorReport.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace runtime {

namespace {
std::function<void(const QString &)> &sink()
{
    static std::function<void(const QString &)> function;
    return function;
}
} // namespace

void reportError(QWidget *parent, const QString &message)
{
    if (sink()) {
        sink()(message);
        return;
    }
    std::fprintf(stderr, "zentavo: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    // On the offscreen platform no one can see or close a box: the report on stderr is all.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zentavo 1.0"), message, QMessageBox::Ok,
                    parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void setErrorSinkForTesting(std::function<void(const QString &)> function)
{
    sink() = std::move(function);
}

} // namespace runtime
