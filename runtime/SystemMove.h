#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace runtime {

// One move of a window with the pointer while a mouse button is held, as a press on a title bar
// starts it. The move is handed to the window manager at the first motion with the button held
// (starting it from the press itself would swallow a double-click); where the window manager
// cannot move it (no window manager, or an offscreen platform) the window is moved by hand with
// each motion. The move ends when the button is released. Part of SystemDesktop.
class MoveTracker : public QObject
{
public:
    ~MoveTracker() override;

    void begin(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { Idle, Armed, ByHand, ByWindowManager };

    void onMove(const QPoint &pointer, bool buttonHeld);
    void end();

    QPointer<QWidget> m_window;
    State m_state = State::Idle;
    QPoint m_grabOffset;
};

} // namespace runtime
