#pragma once

class QWidget;

namespace window {

// Lets the window follow the pointer while the pressed button is held, as a press on a
// caption bar would.
void DragForm(QWidget &form);

} // namespace window
