#pragma once

#include "Controls.h"

class QWidget;

namespace window {

// Creates every control of the design as a child of the window, named after the design,
// with its geometry in twips, texts, font, colours, visibility, stacking order and tab order,
// and hands back the typed pointers to them. The window (or the frame a control lies in) owns
// the controls.
Controls buildDesign(QWidget *form);

// The controls of a window built by buildDesign, found by their object names: for code that
// did not build the window and drives it from outside, as a user would (the tests).
Controls findControls(const QWidget &form);

} // namespace window
