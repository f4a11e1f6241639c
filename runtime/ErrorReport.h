#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace runtime {

// Reports an error to the person at the desktop: on standard error, and in a modal message box
// titled with the program's name (not where nothing can be shown: on the offscreen platform the
// report goes to standard error only). The caller decides what happens afterwards.
void reportError(QWidget *parent, const QString &message);

// Tests collect reports instead of showing a box; an empty function restores the real report.
void setErrorSinkForTesting(std::function<void(const QString &)> sink);

} // namespace runtime
