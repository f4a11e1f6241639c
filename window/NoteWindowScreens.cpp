#include "NoteWindow.h"

#include "Design.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace window {

namespace {

// The screens change in steps (a monitor declared anew is one removed and one added), and the
// window manager may move windows itself meanwhile, to keep them on the screens that remain. The
// window finds its place once the screens and its own place have been still this long, so that
// its move is the last.
constexpr int ScreensSettleMs = 300;

} // namespace

Screens NoteWindow::currentScreens()
{
    Screens screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.areas.push_back(screen->geometry());
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        screens.primary = primary->geometry();
        screens.primaryScale = Scale::of(primary);
    }
    return screens;
}

void NoteWindow::watchScreens()
{
    m_screensChanging = new QTimer(this);
    m_screensChanging->setObjectName(QStringLiteral("screensChanging"));
    m_screensChanging->setSingleShot(true);
    m_screensChanging->setInterval(ScreensSettleMs);
    connect(m_screensChanging, &QTimer::timeout, this, &NoteWindow::followScreens);

    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watchScreen(screen);
        screensChanged();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &NoteWindow::screensChanged);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &NoteWindow::screensChanged);
    for (QScreen *screen : QGuiApplication::screens())
        watchScreen(screen);
}

void NoteWindow::watchScreen(QScreen *screen)
{
    // A screen that goes away takes these connections with it.
    connect(screen, &QScreen::geometryChanged, this, &NoteWindow::screensChanged);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, &NoteWindow::screensChanged);
}

void NoteWindow::screensChanged()
{
    m_screensChanging->start();
}

void NoteWindow::followScreens()
{
    // The resolution first: the title strip's size on the screen the window is on tells whether
    // a screen still shows the place the person gave the window.
    if (QWindow *handle = windowHandle())
        followScreen(handle->screen());
    const QSize strip = m_scale.size(design::Window.width, design::TitleStrip.height);
    move(m_docking.followScreens(currentScreens(), strip));
}

} // namespace window
