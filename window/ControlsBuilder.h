#pragma once

#include "Controls.h"

class QWidget;

namespace window {

class Layout;

// Controls are made from the design as children of `window` (or of the panel they lie in), named
// after their members of Controls, with their texts, colours and pictures, stacked and in tab
// order as the design has them, and hidden where the design hides them. Each control's design
// place goes into `layout`, which puts it on the screen. The window owns the controls.
//
// The rolled-up strip's controls: the window's outline, the title strip, the arrows and the two
// check boxes, named for assistive technology. The window shows its first frame with these alone.
Controls buildStrip(QWidget &window, Layout &layout);

// Everything else, made into `ui` above the strip's controls: the note area with its list and
// edges, the "M" button, the panels and the timers; then the tab order of all controls and the
// names of the new ones for assistive technology.
void buildNoteArea(Controls &ui, QWidget &window, Layout &layout);

// The controls of a window made by buildStrip and buildNoteArea, found by their names: for code
// that did not make the window and drives it from outside, as a person would (the tests).
Controls findControls(const QWidget &window);

} // namespace window
