#include "NoteWindow.h"
#include "runtime/Cursor.h"
#include "runtime/Screen.h"
#include "window/controls/CheckBox.h"

#include <limits>

namespace window {

namespace {
// Polls in a row with the pointer outside before the window rolls itself up.
constexpr std::int16_t OutsidePollsBeforeHiding = 5;
} // namespace

void NoteWindow::pollPointer()
{
    if (autoHideBox->checkState() == Qt::Unchecked)
        return;
    // A pointer that cannot be read counts as being at (0, 0).
    const QPoint pointer = runtime::GetCursorPos().value_or(QPoint(0, 0));
    const double x = pointer.x() * static_cast<double>(runtime::Screen::TwipsPerPixelX());
    const double y = pointer.y() * static_cast<double>(runtime::Screen::TwipsPerPixelY());

    // Strict comparisons, tested in this order until one holds: a pointer on an edge is
    // inside. The sums are formed in single precision, as the window's geometry is held.
    bool outside = x < Left();
    if (!outside)
        outside = y < Top();
    if (!outside)
        outside = y > static_cast<float>(Top() + Height());
    if (!outside)
        outside = x > static_cast<float>(Left() + Width());

    if (!outside) {
        pollsOutside = 0;
        return;
    }
    // The count is held at its maximum rather than overflowing after hours of polling with the
    // pointer away; past 5 its value no longer matters.
    if (pollsOutside < std::numeric_limits<std::int16_t>::max())
        ++pollsOutside;
    if (pollsOutside == OutsidePollsBeforeHiding)
        hideNow();
}

void NoteWindow::hideNow()
{
    startNarrowing();
    toggleRolledUp();
}

} // namespace window
