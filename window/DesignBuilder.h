#pragma once

class QWidget;

namespace window {

// Creates every control of the design as a child of the window, named after the design,
// with its geometry in twips, texts, font, colours, visibility, stacking order and tab order.
// The controls are owned by the window (or by the frame they lie in).
void buildDesign(QWidget *form);

} // namespace window
