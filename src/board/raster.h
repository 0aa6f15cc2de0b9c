#pragma once
// Exact pixel operations on 32-bit images (QImage::Format_RGB32), clipped to the image:
// the board is drawn without antialiasing, so that every line, disc and glyph lands on
// the same pixels whether a whole view or one cell is drawn.

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>

namespace marovin::board::raster {

using Pixel = std::uint32_t; // 0xFFRRGGBB as QImage::Format_RGB32 stores it

// Fills the part of rect inside the image.
void fillRect(QImage& image, const QRect& rect, Pixel colour);

// A segment from (x0, y0) to (x1, y1), the end point excluded, one pixel wide, drawn
// only inside clip (and the image). Horizontal, vertical and 45-degree segments take the
// pixels of a ruler; others follow Bresenham's rule.
void line(QImage& image, int x0, int y0, int x1, int y1, Pixel colour, const QRect& clip);

// Copies the source rectangle from of src to dst with its top-left at at; only pixels
// inside both images are copied.
void copyPixels(QImage& dst, QPoint at, const QImage& src, const QRect& from);

// XORs every pixel's colour with white (inverts it) in the horizontal run [x0, x1) of row y.
void invertRun(QImage& image, int y, int x0, int x1);

} // namespace marovin::board::raster
