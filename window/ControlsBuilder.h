#pragma once

#include "Controls.h"

class QWidget;

namespace window {

class Layout;

// Makes every control of the design as a child of `window` (or of the panel it lies in), named
// after its member of Controls, with its texts, colours and pictures, stacked and in tab order as
// the design has them, and hidden where the design hides it. Each control's design place goes
// into `layout`, which puts it on the screen. Hands back the typed pointers; the window owns the
// controls.
Controls buildControls(QWidget &window, Layout &layout);

// The controls of a window made by buildControls, found by their names: for code that did not
// make the window and drives it from outside, as a person would (the tests).
Controls findControls(const QWidget &window);

} // namespace window
