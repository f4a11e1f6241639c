#include "Docking.h"

#include "Design.h"

#include <algorithm>

namespace window {

namespace {

// The design's left position in from the primary screen's left edge, the top at its top. With one
// screen at the desktop's origin that is the design's own position. On a screen too narrow for
// the window there, it moves left as far as it must for its right edge, where the arrow, the check
// boxes and the command button are, to stay on the screen.
QPoint dockedPlace(const Screens &screens)
{
    const Scale &scale = screens.primaryScale;
    const int roomLeft = std::max(0, screens.primary.width() - scale.x(design::Window.width));
    const int left = std::min(scale.x(design::Window.left), roomLeft);
    return screens.primary.topLeft() + QPoint(left, scale.y(design::Window.top));
}

// Whether a screen shows the title strip: one of them holds its middle, where the strip can be
// taken hold of again.
bool stripShown(const std::vector<QRect> &screens, const QRect &titleStrip)
{
    const QPoint middle = titleStrip.center();
    return std::ranges::any_of(screens,
                               [middle](const QRect &area) { return area.contains(middle); });
}

} // namespace

QPoint Docking::dock(const Screens &screens)
{
    m_place = dockedPlace(screens);
    m_moveBegan = false;
    m_movedByPerson = false;
    return m_place;
}

QPoint Docking::followScreens(const Screens &screens, const QSize &stripSize)
{
    if (m_movedByPerson && stripShown(screens.areas, QRect(m_place, stripSize)))
        return m_place;
    return dock(screens);
}

void Docking::placed(const QPoint &topLeft)
{
    if (topLeft == m_place)
        return;
    m_place = topLeft;
    if (m_moveBegan)
        m_movedByPerson = true;
}

} // namespace window
