#pragma once

class QWidget;

namespace runtime {

// Keeps a top-level window above all windows that are not topmost themselves. Before the window
// is shown this is a window flag the window manager reads when it maps the window; afterwards the
// flag is changed on the native window, which keeps it mapped.
void makeTopmost(QWidget *window);

} // namespace runtime
