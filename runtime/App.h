#pragma once

#include <QString>

namespace runtime::App {

// The directory of the running executable, without a trailing separator. Tests may point it
// at a folder of their own with setPathForTesting; an empty text restores the real one.
QString Path();
void setPathForTesting(const QString &directory);

} // namespace runtime::App
