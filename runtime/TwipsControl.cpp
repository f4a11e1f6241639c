#include "TwipsControl.h"

#include "Screen.h"
#include "Twips.h"

#include <QWidget>
#include <algorithm>

namespace runtime {

namespace {
// The assigned value while the widget still has the pixels derived from it, else its pixels.
float readBack(float assigned, int pixels, float twipsPerPixel)
{
    if (twipsToPixels(assigned, twipsPerPixel) == pixels)
        return assigned;
    return pixelsToTwips(pixels, twipsPerPixel);
}

int sizeInPixels(float twips, float twipsPerPixel)
{
    return std::max(0, twipsToPixels(twips, twipsPerPixel));
}
} // namespace

TwipsControl::TwipsControl(QWidget *self)
    : m_self(self)
{}

float TwipsControl::leftTwips() const
{
    const int x = m_self->isWindow() ? m_self->frameGeometry().x() : m_self->x();
    return readBack(m_left, x, Screen::twipsPerPixelX());
}

float TwipsControl::topTwips() const
{
    const int y = m_self->isWindow() ? m_self->frameGeometry().y() : m_self->y();
    return readBack(m_top, y, Screen::twipsPerPixelY());
}

float TwipsControl::widthTwips() const
{
    const float tpp = Screen::twipsPerPixelX();
    if (sizeInPixels(m_width, tpp) == m_self->width())
        return m_width;
    return pixelsToTwips(m_self->width(), tpp);
}

float TwipsControl::heightTwips() const
{
    const float tpp = Screen::twipsPerPixelY();
    if (sizeInPixels(m_height, tpp) == m_self->height())
        return m_height;
    return pixelsToTwips(m_self->height(), tpp);
}

// Each assignment changes only its own property: the others are refreshed from what the widget
// has now, which for a window may have been changed by the window manager.
void TwipsControl::setLeftTwips(float twips)
{
    m_top = topTwips();
    m_left = twips;
    applyPosition();
}

void TwipsControl::setTopTwips(float twips)
{
    m_left = leftTwips();
    m_top = twips;
    applyPosition();
}

void TwipsControl::setWidthTwips(float twips)
{
    m_height = heightTwips();
    m_width = twips;
    applySize();
}

void TwipsControl::setHeightTwips(float twips)
{
    m_width = widthTwips();
    m_height = twips;
    applySize();
}

void TwipsControl::setTwipsGeometry(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    applyPosition();
    applySize();
}

void TwipsControl::applyPosition()
{
    m_self->move(twipsToPixels(m_left, Screen::twipsPerPixelX()),
                 twipsToPixels(m_top, Screen::twipsPerPixelY()));
}

void TwipsControl::applySize()
{
    m_self->resize(sizeInPixels(m_width, Screen::twipsPerPixelX()),
                   sizeInPixels(m_height, Screen::twipsPerPixelY()));
}

} // namespace runtime
