#pragma once

#include <QString>

namespace window {

// The keys of the window, as a person reads them in the program's help: one line each.
QString keysHelp();

} // namespace window
