#pragma once

#include <QFont>

namespace runtime {

// Makes Tahoma available to the application where a Tahoma-metric font file is installed but
// not known to fontconfig. Safe to call more than once.
void registerTahoma();

// Tahoma 8.25 points, regular: the font of every visible text. Falls back to the desktop's sans
// font where no Tahoma is to be had.
QFont designFont();

} // namespace runtime
