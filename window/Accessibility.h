#pragma once

#include "Controls.h"

namespace window {

// Names every control of the window for assistive technology, in Swedish, each by what it is:
// a control with a caption by that caption (or, for "M", by what it opens), a check box by its
// tooltip, a panel by its question or purpose, the note area, the list and the arrows by what
// they show. Each name stays the same whatever the control holds. The outlines and the edge
// strips, there only for the eye and the pointer, are left out of what assistive technology
// sees, and so is every control that is hidden, or lies in a hidden panel: what it is told is
// what shows. describeStrip names the strip's controls, before the window shows (it also puts in
// place how the window is seen, before anything asks); describeNoteArea the rest, once made.
void describeStrip(const Controls &ui);
void describeNoteArea(const Controls &ui);

} // namespace window
