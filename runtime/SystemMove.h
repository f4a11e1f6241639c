#pragma once

class QWidget;

namespace runtime {

// Lets the window follow the pointer while the mouse button that was just pressed is held, as a
// press on a title bar does. The move is handed to the window manager at the first motion with
// the button held (starting it from the press itself would swallow a double-click); where the
// window manager cannot move it (no window manager, or an offscreen platform) the window is
// moved by hand with each motion. The move ends when the button is released.
void beginSystemMove(QWidget *window);

// Whether a move begun by beginSystemMove is still waiting for its first motion or running.
bool systemMoveActive();

} // namespace runtime
