#include "Layout.h"

#include "runtime/Twips.h"

#include <QScreen>
#include <QWidget>

namespace window {

Scale Scale::of(const QScreen *screen)
{
    const double dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const double dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    return Scale(runtime::twipsPerPixelForDpi(dpiX), runtime::twipsPerPixelForDpi(dpiY));
}

Scale::Scale(double twipsPerPixelX, double twipsPerPixelY)
    : m_twipsPerPixelX(twipsPerPixelX)
    , m_twipsPerPixelY(twipsPerPixelY)
{}

int Scale::x(int twips) const
{
    return runtime::twipsToPixels(twips, m_twipsPerPixelX);
}

int Scale::y(int twips) const
{
    return runtime::twipsToPixels(twips, m_twipsPerPixelY);
}

QRect Scale::rect(const design::Box &box) const
{
    return QRect(x(box.left), y(box.top), x(box.width), y(box.height));
}

QSize Scale::size(int widthTwips, int heightTwips) const
{
    return QSize(x(widthTwips), y(heightTwips));
}

void Layout::add(QWidget *control, const design::Box &box)
{
    m_placed.push_back({control, box});
}

void Layout::apply(const Scale &scale) const
{
    for (const Placed &placed : m_placed)
        placed.control->setGeometry(scale.rect(placed.box));
}

} // namespace window
