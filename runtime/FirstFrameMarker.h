#pragma once

class QWidget;

namespace runtime {

// For start-up measurements only: when the environment variable ZENTAVO_REPORT_FIRST_FRAME is
// set, prints "first-frame <microseconds since the epoch>" on standard output once the window's
// first frame has been painted. Does nothing otherwise.
void markFirstFrame(QWidget &window);

} // namespace runtime
