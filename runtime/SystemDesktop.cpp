#include "SystemDesktop.h"

#include "Activation.h"
#include "NoticePlace.h"
#include "SystemMove.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <cstdio>

namespace runtime {

SystemDesktop::SystemDesktop(FirstFrame firstFrame)
    : m_firstFrame(firstFrame)
    , m_moves(std::make_unique<MoveTracker>())
{}

SystemDesktop::~SystemDesktop() = default;

std::optional<QPoint> SystemDesktop::pointerPosition()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return std::nullopt;
    return QCursor::pos();
}

bool SystemDesktop::askYesNo(QWidget *parent, const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Nej"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    // The window stays above all others, so its question must too.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    return box.clickedButton() == yes;
}

namespace {

// Writes the message to standard error; true when it can also be shown in a box (there is a
// screen a person looks at).
bool writeDown(const QString &message)
{
    std::fprintf(stderr, "zentavo: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    return qobject_cast<QApplication *>(QCoreApplication::instance())
           && QGuiApplication::platformName() != QLatin1String("offscreen");
}

} // namespace

void SystemDesktop::reportError(QWidget *parent, const QString &message)
{
    if (!writeDown(message))
        return;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zentavo 1.0"), message, QMessageBox::Ok,
                    parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void SystemDesktop::tell(QWidget *parent, const QString &message)
{
    if (!writeDown(message))
        return;
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Zentavo 1.0"), message,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    // Shown beside the person's work without taking the keyboard from it: typing goes on where
    // it was.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    // Placed by the program, below the window it speaks of: a window manager left to place it
    // centres it over the window's title strip, the very thing it is about.
    if (parent && parent->isVisible()) {
        box->adjustSize();
        QScreen *screen = parent->screen();
        box->move(noticePlace(parent->frameGeometry(), box->frameGeometry().size(),
                              screen->availableGeometry()));
    }
    box->show();
}

void SystemDesktop::firstFrameShown()
{
    if (m_firstFrame != FirstFrame::Report)
        return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now);
    std::printf("first-frame %lld\n", static_cast<long long>(us.count()));
    std::fflush(stdout);
}

void SystemDesktop::keepOnTop(QWidget *window)
{
    // QWidget::setWindowFlag on a shown window would destroy and make anew its native window;
    // QWindow::setFlags changes the flag in place.
    if (QWindow *handle = window->windowHandle(); handle && window->isVisible()) {
        handle->setFlags(handle->flags() | Qt::WindowStaysOnTopHint);
        window->raise();
        return;
    }
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void SystemDesktop::beginSystemMove(QWidget *window)
{
    m_moves->begin(window);
}

void SystemDesktop::activate(QWidget *window, const Activation &activation)
{
    activateWindow(window, activation);
}

} // namespace runtime
