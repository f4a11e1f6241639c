#pragma once

#include "Layout.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace window {

// The desktop's screens as the window's place is decided on them, in the pixels window geometry
// is measured in: where each screen lies (the primary among them), which one is the primary, and
// the primary's scale, in which the design's left position is counted.
struct Screens
{
    std::vector<QRect> areas;
    QRect primary;
    Scale primaryScale{15, 15};
};

// Where the window is on the desktop, and whether the person put it there. The window docks at
// the top of the primary screen, the design's left position in from that screen's left edge: at
// the start, and again whenever the screens change under it (one added, removed, moved or resized,
// another made the primary, a resolution changed). A window the person has moved stays where they
// put it instead, as long as a screen still shows the middle of its title strip, where it can be
// taken hold of again; otherwise it docks. Nothing is read back from the window to know this: the
// window says when the window manager began a move for the person (a press on the unlocked title
// strip) and, from its move events, where the window manager put it. A change of place after a
// begun move is the person's; docking forgets it.
class Docking
{
public:
    // Docks the window on these screens: returns the place it goes to.
    QPoint dock(const Screens &screens);
    // The screens changed: returns the place the window goes to, `stripSize` being the title
    // strip's size in pixels on the screen the window is on.
    QPoint followScreens(const Screens &screens, const QSize &stripSize);

    // The window manager began to move the window with the pointer, for the person.
    void moveBegan() { m_moveBegan = true; }
    // The window manager put the window's top-left corner here.
    void placed(const QPoint &topLeft);

    QPoint place() const { return m_place; }
    bool movedByPerson() const { return m_movedByPerson; }

private:
    QPoint m_place;
    bool m_moveBegan = false;
    bool m_movedByPerson = false;
};

} // namespace window
