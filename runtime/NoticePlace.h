#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace runtime {

// Where a notice about the window goes on its screen: just below the window, centred under it, so
// that the window it speaks of stays in sight; above it where the screen has no room below; and
// never past the screen's edges. All in the same pixels: the window's frame, the notice's size
// with its frame, the screen's available area.
inline QPoint noticePlace(const QRect &window, const QSize &notice, const QRect &screen)
{
    constexpr int gap = 4;
    int top = window.bottom() + 1 + gap;
    if (top + notice.height() > screen.bottom() + 1)
        top = window.top() - gap - notice.height();
    const int left = window.center().x() - notice.width() / 2;
    const int maxLeft = screen.right() + 1 - notice.width();
    const int maxTop = screen.bottom() + 1 - notice.height();
    return {qBound(screen.left(), left, std::max(screen.left(), maxLeft)),
            qBound(screen.top(), top, std::max(screen.top(), maxTop))};
}

} // namespace runtime
