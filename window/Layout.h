#pragma once

#include "Design.h"

#include <QRect>
#include <vector>

class QScreen;
class QWidget;

namespace window {

// Twips become pixels here, and only here: at the twips per pixel of the screen the window is on
// (15 at 96 dpi, 7.5 at 192 dpi), rounded to the nearest pixel.
class Scale
{
public:
    // The scale of this screen, from its logical dots per inch; 96 dpi without a screen.
    static Scale of(const QScreen *screen);
    Scale(double twipsPerPixelX, double twipsPerPixelY);

    int x(int twips) const;
    int y(int twips) const;
    QRect rect(const design::Box &box) const;
    QSize size(int widthTwips, int heightTwips) const;
    bool operator==(const Scale &) const = default;

private:
    double m_twipsPerPixelX;
    double m_twipsPerPixelY;
};

// Every control's place in the design, kept beside the control, so that the whole window can be
// laid out again for a screen of another resolution.
class Layout
{
public:
    void add(QWidget *control, const design::Box &box);
    // Puts every control where its design place is at this scale.
    void apply(const Scale &scale) const;

private:
    struct Placed
    {
        QWidget *control;
        design::Box box;
    };
    std::vector<Placed> m_placed;
};

} // namespace window
