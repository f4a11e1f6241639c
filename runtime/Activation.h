#pragma once

#include "Desktop.h"

class QWidget;

namespace runtime {

// Raises the window and gives it the keyboard focus as Desktop::activate promises: on X11 by
// asking the window manager (_NET_ACTIVE_WINDOW) with the time of the startup id, or else a fresh
// time of the X server, after setting the startup id on the window and ending its startup
// notification; on Wayland with the activation token; elsewhere as Qt does it.
void activateWindow(QWidget *window, const Activation &activation);

} // namespace runtime
