#pragma once

#include <functional>

class QWidget;

namespace runtime {

// Runs `then` once, on the event loop's next turn after the window's first frame has been
// painted and flushed (its first exposure). The window must not have been shown yet.
void afterFirstFrame(QWidget &window, std::function<void()> then);

// For start-up measurements only: when the environment variable ZENTAVO_REPORT_FIRST_FRAME is
// set, prints "first-frame <microseconds since the epoch>" on standard output once the window's
// first frame has been painted. Does nothing otherwise.
void markFirstFrame(QWidget &window);

} // namespace runtime
