#pragma once

#include <QPoint>
#include <QString>
#include <optional>

class QWidget;

namespace runtime {

// What the desktop hands a program it starts so that the program's window may take the focus
// although the person was busy in another: the Wayland activation token (XDG_ACTIVATION_TOKEN)
// and the X11 startup notification id (DESKTOP_STARTUP_ID). Either may be empty.
struct Activation
{
    QString token;
    QString startupId;

    // The two as this process was started with them. Read it before the application object is
    // made: Qt takes the startup id out of the environment as it connects to the display.
    static Activation fromEnvironment();
};

// What the window needs from the desktop and the person at it, beyond its own widgets: where the
// pointer is, the answer to a modal question, the reading of an error report, the moment its first
// frame is on the screen, staying above other windows and being moved by the window manager.
// SystemDesktop is the real one; tests hand the window one of their own, so that a question is
// answered and the pointer placed without a person.
class Desktop
{
public:
    virtual ~Desktop() = default;
    Desktop(const Desktop &) = delete;
    Desktop &operator=(const Desktop &) = delete;

    // The pointer's position on the screen, in the pixels window geometry is measured in. Empty
    // when it cannot be read.
    virtual std::optional<QPoint> pointerPosition() = 0;

    // Asks a modal question with the buttons "Ja" and "Nej" and no icon, "Ja" being the default.
    // True for "Ja"; a box closed without a choice counts as "Nej".
    virtual bool askYesNo(QWidget *parent, const QString &prompt, const QString &title) = 0;

    // Tells the person what went wrong, and waits until they have read it. The caller decides
    // what happens afterwards.
    virtual void reportError(QWidget *parent, const QString &message) = 0;

    // Tells the person something without waiting for them: the program goes on at once.
    virtual void tell(QWidget *parent, const QString &message) = 0;

    // Called once, when the window's first frame has been painted and flushed.
    virtual void firstFrameShown() = 0;

    // Keeps the top-level window above all windows that are not kept on top themselves.
    virtual void keepOnTop(QWidget *window) = 0;

    // Lets the window follow the pointer while the mouse button just pressed is held, as a press
    // on a title bar does; the move ends when the button is released.
    virtual void beginSystemMove(QWidget *window) = 0;

    // Raises the top-level window and gives it the keyboard focus, for a command the person gave
    // from elsewhere (a key bound on the desktop): with the activation the command came with,
    // and on X11 a fresh timestamp of the X server, so that a window manager that keeps other
    // windows from taking the focus lets this one take it.
    virtual void activate(QWidget *window, const Activation &activation) = 0;

protected:
    Desktop() = default;
};

} // namespace runtime
