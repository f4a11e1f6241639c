#pragma once

#include <functional>

class QWidget;

namespace runtime {

// Runs `then` once, on the event loop's next turn after the window's first frame has been
// painted and flushed (its first exposure). The window must not have been shown yet.
void afterFirstFrame(QWidget &window, std::function<void()> then);

} // namespace runtime
