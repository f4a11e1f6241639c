#pragma once

#include <QIcon>
#include <QImage>

namespace window {

// The 16 x 16 arrow pictures of the title strip, on a transparent background: a light-grey block
// arrow with a black outline and white and dark-grey inner edges, lit from the top left.
QImage arrowPointingDown();
QImage arrowPointingUp();

// The program's icon: a small white window with a cyan title bar, at 16 and 32 pixels.
QIcon programIcon();
QImage programIconImage(int size);

} // namespace window
