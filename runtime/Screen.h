#pragma once

namespace runtime {

// Twips per pixel of the primary screen, from its logical dots per inch (1440 / dpi).
// Read afresh on every call, so a change of the screen's resolution is seen at once.
namespace Screen {
float twipsPerPixelX();
float twipsPerPixelY();
} // namespace Screen

} // namespace runtime
