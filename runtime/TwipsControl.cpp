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

float TwipsControl::Left() const
{
    const int x = m_self->isWindow() ? m_self->frameGeometry().x() : m_self->x();
    return readBack(m_left, x, Screen::TwipsPerPixelX());
}

float TwipsControl::Top() const
{
    const int y = m_self->isWindow() ? m_self->frameGeometry().y() : m_self->y();
    return readBack(m_top, y, Screen::TwipsPerPixelY());
}

float TwipsControl::Width() const
{
    const float tpp = Screen::TwipsPerPixelX();
    if (sizeInPixels(m_width, tpp) == m_self->width())
        return m_width;
    return pixelsToTwips(m_self->width(), tpp);
}

float TwipsControl::Height() const
{
    const float tpp = Screen::TwipsPerPixelY();
    if (sizeInPixels(m_height, tpp) == m_self->height())
        return m_height;
    return pixelsToTwips(m_self->height(), tpp);
}

// Each assignment changes only its own property: the others are refreshed from what the widget
// has now, which for a window may have been changed by the window manager.
void TwipsControl::setLeft(float twips)
{
    m_top = Top();
    m_left = twips;
    applyPosition();
}

void TwipsControl::setTop(float twips)
{
    m_left = Left();
    m_top = twips;
    applyPosition();
}

void TwipsControl::setWidth(float twips)
{
    m_height = Height();
    m_width = twips;
    applySize();
}

void TwipsControl::setHeight(float twips)
{
    m_width = Width();
    m_height = twips;
    applySize();
}

void TwipsControl::setTwipsGeometry(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    reapplyTwips();
}

void TwipsControl::reapplyTwips()
{
    applyPosition();
    applySize();
}

void TwipsControl::applyPosition()
{
    m_self->move(twipsToPixels(m_left, Screen::TwipsPerPixelX()),
                 twipsToPixels(m_top, Screen::TwipsPerPixelY()));
}

void TwipsControl::applySize()
{
    m_self->resize(sizeInPixels(m_width, Screen::TwipsPerPixelX()),
                   sizeInPixels(m_height, Screen::TwipsPerPixelY()));
}

} // namespace runtime
