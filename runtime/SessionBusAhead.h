#pragma once

#include <thread>

namespace runtime {

// On X11, Qt's accessibility bridge connects to the session bus as the first widget is made,
// and the window waits for it (where no bus runs, libdbus even tries to start one). Connecting
// on a thread of its own first, right after the application object is made, lets the window be
// built meanwhile; the bridge then finds the connection made. Elsewhere (Wayland, offscreen)
// nothing is started. The thread must end before the application object does.
std::jthread connectSessionBusAhead();

} // namespace runtime
