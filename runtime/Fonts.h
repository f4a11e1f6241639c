#pragma once

#include <QFont>
#include <thread>

namespace runtime {

// Loads the desktop's font configuration (the installed fonts and the rules for choosing among
// them) on a thread of its own, and hands back that thread. Qt loads it when the first widget
// needs a font, which takes about as long as connecting to the display does: started before the
// application object, the two happen side by side. Join the thread before the first font is
// used. Where the build has no fontconfig, no thread is started and Qt loads what it needs.
std::jthread loadFontConfigurationAhead();

// Makes Tahoma available to the application where a Tahoma-metric font file is installed but
// not known to fontconfig. Safe to call more than once.
void registerTahoma();

// Tahoma 8.25 points, regular: the font of every visible text. Falls back to the desktop's sans
// font where no Tahoma is to be had.
QFont designFont();

} // namespace runtime
