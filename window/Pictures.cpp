#include "Pictures.h"

#include <QPainter>
#include <cstdlib>

namespace window {

namespace {

constexpr int ArrowSize = 16;

// The block arrow pointing down: a shaft at the top and a head whose tip is at the bottom, one
// pixel left of the centre.
bool insideDownArrow(int x, int y)
{
    if (y >= 1 && y <= 7)
        return x >= 5 && x <= 9;
    if (y >= 8 && y <= 14)
        return std::abs(x - 7) <= 14 - y;
    return false;
}

template<typename Inside>
QImage shadedArrow(Inside inside)
{
    const QRgb black = qRgb(0, 0, 0);
    const QRgb darkGrey = qRgb(0x80, 0x80, 0x80);
    const QRgb lightGrey = qRgb(0xC0, 0xC0, 0xC0);
    const QRgb white = qRgb(0xFF, 0xFF, 0xFF);
    auto edge = [&](int x, int y) {
        return inside(x, y)
               && (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1)
                   || !inside(x, y + 1));
    };
    QImage image(ArrowSize, ArrowSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < ArrowSize; ++y) {
        for (int x = 0; x < ArrowSize; ++x) {
            if (!inside(x, y))
                continue;
            QRgb colour = lightGrey;
            if (edge(x, y))
                colour = black;
            else if (edge(x - 1, y) || edge(x, y - 1))
                colour = white; // lit from the top left
            else if (edge(x + 1, y) || edge(x, y + 1))
                colour = darkGrey;
            image.setPixel(x, y, colour);
        }
    }
    return image;
}

} // namespace

QImage arrowPointingDown()
{
    return shadedArrow([](int x, int y) { return insideDownArrow(x, y); });
}

QImage arrowPointingUp()
{
    // The same outline mirrored top to bottom, shaded afresh so the light still comes from the
    // top left.
    return shadedArrow([](int x, int y) { return insideDownArrow(x, ArrowSize - 1 - y); });
}

QImage programIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const int margin = size / 16;
    const QRect window(margin, margin * 2, size - 2 * margin - 1, size - 4 * margin - 1);
    const int titleHeight = qMax(3, size / 4);
    painter.fillRect(window, Qt::white);
    painter.fillRect(QRect(window.left(), window.top(), window.width() + 1, titleHeight),
                     QColor(0x00, 0xC0, 0xE0));
    painter.setPen(Qt::black);
    painter.drawRect(window);
    painter.drawLine(window.left(), window.top() + titleHeight, window.right(),
                     window.top() + titleHeight);
    return image;
}

QIcon programIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(programIconImage(16)));
    icon.addPixmap(QPixmap::fromImage(programIconImage(32)));
    return icon;
}

} // namespace window
