#include "NoteWindow.h"
#include "runtime/Desktop.h"
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
    if (m_ui.autoHideBox->checkState() == Qt::Unchecked)
        return;
    // A pointer that cannot be read counts as being at (0, 0).
    const QPoint pointer = m_desktop.pointerPosition().value_or(QPoint(0, 0));
    const double x = pointer.x() * static_cast<double>(runtime::Screen::twipsPerPixelX());
    const double y = pointer.y() * static_cast<double>(runtime::Screen::twipsPerPixelY());

    // Strict comparisons, tested in this order until one holds: a pointer on an edge is
    // inside. The sums are formed in single precision, as the window's geometry is held.
    bool outside = x < leftTwips();
    if (!outside)
        outside = y < topTwips();
    if (!outside)
        outside = y > static_cast<float>(topTwips() + heightTwips());
    if (!outside)
        outside = x > static_cast<float>(leftTwips() + widthTwips());

    if (!outside) {
        m_pollsOutside = 0;
        return;
    }
    // The count is held at its maximum rather than overflowing after hours of polling with the
    // pointer away; past 5 its value no longer matters.
    if (m_pollsOutside < std::numeric_limits<std::int16_t>::max())
        ++m_pollsOutside;
    if (m_pollsOutside == OutsidePollsBeforeHiding)
        hideNow();
}

void NoteWindow::hideNow()
{
    startNarrowing();
    toggleRolledUp();
}

} // namespace window
