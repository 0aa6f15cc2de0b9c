#include "board/raster.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace marovin::board::raster {
namespace {

Pixel* row(QImage& image, int y)
{
    return reinterpret_cast<Pixel*>(image.scanLine(y));
}

} // namespace

void fillRect(QImage& image, const QRect& rect, Pixel colour)
{
    const QRect area = rect.intersected(image.rect());
    if (area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::fill_n(row(image, y) + area.left(), area.width(), colour);
}

void line(QImage& image, int x0, int y0, int x1, int y1, Pixel colour, const QRect& clip)
{
    const QRect area = clip.intersected(image.rect());
    if (area.isEmpty())
        return;
    if (y0 == y1) {
        const int left = x0 < x1 ? x0 : x1 + 1;
        const int right = x0 < x1 ? x1 - 1 : x0; // inclusive; the end point is left out
        fillRect(image, QRect(QPoint(left, y0), QPoint(right, y0)).intersected(area), colour);
        return;
    }
    if (x0 == x1) {
        const int top = y0 < y1 ? y0 : y1 + 1;
        const int bottom = y0 < y1 ? y1 - 1 : y0;
        fillRect(image, QRect(QPoint(x0, top), QPoint(x0, bottom)).intersected(area), colour);
        return;
    }
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (int x = x0, y = y0; x != x1 || y != y1;) {
        if (area.contains(x, y))
            row(image, y)[x] = colour;
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += sx;
        }
        if (doubled <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void copyPixels(QImage& dst, QPoint at, const QImage& src, const QRect& from)
{
    // Clip the source to src, move the destination along, then clip it to dst.
    QRect source = from.intersected(src.rect());
    QPoint target = at + (source.topLeft() - from.topLeft());
    const QRect placed = QRect(target, source.size()).intersected(dst.rect());
    if (placed.isEmpty())
        return;
    source = QRect(source.topLeft() + (placed.topLeft() - target), placed.size());
    target = placed.topLeft();
    const std::size_t bytes = static_cast<std::size_t>(placed.width()) * sizeof(Pixel);
    for (int i = 0; i < placed.height(); ++i) {
        const auto* from = reinterpret_cast<const Pixel*>(src.constScanLine(source.top() + i)) + source.left();
        std::memmove(row(dst, target.y() + i) + target.x(), from, bytes);
    }
}

void invertRun(QImage& image, int y, int x0, int x1)
{
    if (y < 0 || y >= image.height())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, image.width());
    Pixel* pixels = row(image, y);
    for (int x = x0; x < x1; ++x)
        pixels[x] ^= 0x00FFFFFFu;
}

} // namespace marovin::board::raster
