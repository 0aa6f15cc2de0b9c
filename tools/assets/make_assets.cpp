// marovin-make-assets: makes the program's pictures from a CJK font, reproducibly.
//
//   marovin-make-assets OUTPUT_FOLDER FONT_FILE
//
// Writes, below OUTPUT_FOLDER:
//   glyphs/24/*.png, glyphs/32/*.png, glyphs/40/*.png   the 14 piece characters, pure black
//                                                       on white (32 and 40: in a thin ring)
//   pieces/*.png                                        20 x 20 pictures of the pieces in
//                                                       their default colours
//   paper.bmp                                           a light paper texture that tiles
//
// Nothing depends on the time or on a random device: the same font gives the same files.
// Run it through scripts/make-assets.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "board/glyph_sets.h"

namespace {

using marovin::board::kGlyphSetCount;
using marovin::board::kGlyphSetPixels;

// The piece characters in type order: Black general to soldier, then Red.
const char16_t* const kCharacters[14] = {u"將", u"士", u"象", u"車", u"馬", u"包", u"卒",
                                         u"帥", u"仕", u"相", u"車", u"傌", u"炮", u"兵"};

// How much of a glyph's square the character fills, with and without the ring, and the
// ring's radius.
constexpr double kRingedShare = 0.62;
constexpr double kBareShare = 0.78;
constexpr double kRingRadius = 0.42;

QPainterPath characterPath(const QFont& font, int type, double size, double share)
{
    return marovin::board::characterOutline(font, QString::fromUtf16(kCharacters[type]), size, share);
}

// How finely a glyph is drawn before it is cut to pixels, per side.
constexpr int kSupersample = 8;

// The share of a pixel that ink must cover for the pixel to be ink. Below one half: a
// stroke narrower than a pixel that straddles two rows still marks one of them, so no
// horizontal stroke of a small glyph is lost between rows.
constexpr double kInkCoverage = 0.4;

// A glyph image: the character and a ring around it, drawn finely and antialiased, then
// cut to pure black and white by the coverage of each pixel (the board colours every
// pixel that is not white).
QImage glyphImage(const QFont& font, int type, int size)
{
    const int fine = size * kSupersample;
    QImage image(fine, fine, QImage::Format_Grayscale8);
    image.fill(255);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        // The small set is drawn at 12 to 27 pixels: no room for a ring there.
        const bool ring = size > 24;
        painter.drawPath(characterPath(font, type, fine, ring ? kRingedShare : kBareShare));
        if (ring) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::black, (size >= 40 ? 1.6 : 1.2) * kSupersample));
            const double radius = fine * kRingRadius;
            painter.drawEllipse(QPointF(fine / 2.0, fine / 2.0), radius, radius);
        }
    }
    QImage mono(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int ink = 0;
            for (int fy = y * kSupersample; fy < (y + 1) * kSupersample; ++fy) {
                const uchar* row = image.constScanLine(fy);
                for (int fx = x * kSupersample; fx < (x + 1) * kSupersample; ++fx)
                    ink += 255 - row[fx];
            }
            const double coverage = ink / (255.0 * kSupersample * kSupersample);
            mono.setPixel(x, y, coverage >= kInkCoverage ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    return mono.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

// A small picture of a piece in its default colours on a transparent ground.
QImage piecePicture(const QFont& font, int type)
{
    const int size = 20;
    const bool red = type > 6;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(red ? QColor(200, 0, 0) : QColor(0, 0, 0), 1.0));
    painter.setBrush(red ? QColor(255, 255, 255) : QColor(0, 0, 0));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(red ? QColor(255, 0, 0) : QColor(255, 255, 255));
    painter.drawPath(characterPath(font, type, size, 0.62));
    return image;
}

// Smooth noise that repeats every `period` pixels: values on a lattice of cell pixels,
// interpolated with a smooth step.
class TilingNoise {
public:
    TilingNoise(int period, int cell, std::mt19937& random) : m_cells(period / cell), m_cell(cell)
    {
        m_values.resize(static_cast<std::size_t>(m_cells * m_cells));
        for (double& value : m_values)
            value = (random() % 10001) / 10000.0;
    }
    double at(int x, int y) const
    {
        const double fx = double(x) / m_cell, fy = double(y) / m_cell;
        const int x0 = int(fx), y0 = int(fy);
        const double tx = smooth(fx - x0), ty = smooth(fy - y0);
        const double top = lerp(value(x0, y0), value(x0 + 1, y0), tx);
        const double bottom = lerp(value(x0, y0 + 1), value(x0 + 1, y0 + 1), tx);
        return lerp(top, bottom, ty);
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    static double lerp(double a, double b, double t) { return a + (b - a) * t; }
    double value(int x, int y) const
    {
        return m_values[static_cast<std::size_t>((y % m_cells) * m_cells + x % m_cells)];
    }
    int m_cells, m_cell;
    std::vector<double> m_values;
};

// Light paper: a warm ground, mottled at three scales, with faint fibres; it repeats
// seamlessly every 256 pixels so that tiling shows no seams.
QImage paperImage()
{
    const int size = 256;
    std::mt19937 random(20240917u);
    const TilingNoise coarse(size, 64, random), middle(size, 16, random), fine(size, 4, random);
    std::vector<double> shade(size * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            shade[std::size_t(y * size + x)] =
                0.5 * coarse.at(x, y) + 0.3 * middle.at(x, y) + 0.2 * fine.at(x, y) - 0.5;
    // Fibres: short faint strokes, wrapped around the edges.
    for (int fibre = 0; fibre < 260; ++fibre) {
        double x = random() % size, y = random() % size;
        const double angle = (random() % 3600) / 3600.0 * 2 * M_PI;
        const int length = 6 + int(random() % 18);
        const double strength = ((random() % 2) ? 1 : -1) * (0.10 + (random() % 100) / 1000.0);
        for (int step = 0; step < length; ++step) {
            const int px = (int(std::floor(x)) % size + size) % size, py = (int(std::floor(y)) % size + size) % size;
            shade[std::size_t(py * size + px)] += strength;
            x += std::cos(angle);
            y += std::sin(angle);
        }
    }
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double s = shade[std::size_t(y * size + x)];
            const auto channel = [&](double base, double depth) {
                return int(std::lround(std::clamp(base + depth * s, 0.0, 255.0)));
            };
            image.setPixel(x, y, qRgb(channel(238, 40), channel(222, 44), channel(184, 52)));
        }
    return image;
}

bool save(const QImage& image, const QString& path, const char* format)
{
    if (QDir().mkpath(QFileInfo(path).absolutePath()) && image.save(path, format))
        return true;
    std::fprintf(stderr, "marovin-make-assets: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: marovin-make-assets OUTPUT_FOLDER FONT_FILE\n");
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]) + QLatin1Char('/');
    const int id = QFontDatabase::addApplicationFont(QFile::decodeName(argv[2]));
    QString family;
    for (const QString& candidate : QFontDatabase::applicationFontFamilies(id))
        if (family.isEmpty() || candidate.endsWith(QLatin1String(" TC")))
            family = candidate; // the traditional-character face when the file holds several
    if (family.isEmpty()) {
        std::fprintf(stderr, "marovin-make-assets: cannot read the font %s\n", argv[2]);
        return 2;
    }
    QFont font(family);
    font.setPixelSize(200);
    // The regular weight: a bold face's strokes run together in a small square, and a
    // face with thin horizontals (a serif face) loses them.
    font.setWeight(QFont::Normal);

    bool ok = true;
    for (int set = 0; set < kGlyphSetCount; ++set)
        for (int type = 0; type < 14; ++type)
            ok = save(glyphImage(font, type, kGlyphSetPixels[set]), folder + marovin::board::glyphPath(set, type),
                      "PNG") &&
                 ok;
    for (int type = 0; type < 14; ++type)
        ok = save(piecePicture(font, type), folder + marovin::board::piecePicturePath(type), "PNG") && ok;
    ok = save(paperImage(), folder + QStringLiteral("paper.bmp"), "BMP") && ok;
    std::printf("font: %s\n", qPrintable(family));
    return ok ? 0 : 1;
}
