#pragma once

namespace window {

// Gives the application what the note window is drawn with: the Fusion style, the design font
// (Tahoma 8.25, registered where it is installed but unknown to the font configuration) as the
// font of every text, and the program's icon for its windows and message boxes. Call it once the
// application object exists and before the window is made.
void prepareApplication();

} // namespace window
