#pragma once

#include <QFont>
#include <thread>

namespace runtime {

// Loads the desktop's font configuration (the installed fonts and the rules for choosing among
// them) on a thread of its own, which runs only when a processor would otherwise be idle, and
// hands back that thread. Qt loads the configuration when the first widget needs a font, which
// takes about as long as connecting to the display does: started before the application object,
// the two happen side by side. Call loadFontConfiguration() before the first font is used. Where
// the build has no fontconfig, no thread is started and Qt loads what it needs.
std::jthread loadFontConfigurationAhead();

// Makes sure the font configuration is loaded: at once when the thread above has loaded it; on a
// busy machine, where that thread has had no idle processor yet, loaded here rather than waited
// for.
void loadFontConfiguration();

// Makes Tahoma available to the application where a Tahoma-metric font file is installed but
// not known to fontconfig. Safe to call more than once. Called before the first font is used,
// it costs Qt no second listing of the installed fonts.
void registerTahoma();

// Tahoma 8.25 points, regular: the font of every visible text. Falls back to the desktop's sans
// font where no Tahoma is to be had.
QFont designFont();

} // namespace runtime
