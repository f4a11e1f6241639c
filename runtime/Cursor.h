#pragma once

#include <QPoint>
#include <functional>
#include <optional>

namespace runtime {

// The pointer's position on the screen, in the pixels that window geometry is measured in.
// An empty result means the position could not be read.
std::optional<QPoint> GetCursorPos();

// Tests decide where the pointer is; an empty function restores the real pointer.
void setCursorPosForTesting(std::function<std::optional<QPoint>()> source);

} // namespace runtime
