#include "board/board_painter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "board/raster.h"
#include "platform/big5_text.h"
#include "support/fixed_text.h"

namespace marovin::board {
namespace {

using raster::Pixel;

// An options colour (0x00BBGGRR) as a screen pixel (0xFFRRGGBB).
Pixel pixelOf(Colour colour)
{
    return 0xFF000000u | (colour & 0xFFu) << 16 | (colour & 0xFF00u) | (colour >> 16 & 0xFFu);
}

bool isPiece(int piece)
{
    return piece >= 1 && piece <= 32;
}

bool isRed(int piece)
{
    return model::TypeOf(piece) > 6;
}

Pixel* rowOf(QImage& image, int y)
{
    return reinterpret_cast<Pixel*>(image.scanLine(y));
}

const Pixel* rowOf(const QImage& image, int y)
{
    return reinterpret_cast<const Pixel*>(image.constScanLine(y));
}

// The points that carry corner marks (column, row): cannons' and soldiers' points.
constexpr int kMarkedPoints[14][2] = {{1, 2}, {7, 2}, {0, 3}, {2, 3}, {4, 3}, {6, 3}, {8, 3},
                                      {0, 6}, {2, 6}, {4, 6}, {6, 6}, {8, 6}, {1, 7}, {7, 7}};

// The source pixels [first, last) of a glyph that destination pixel i of d covers when a
// size-n glyph is drawn at size d: the block under it when shrinking, the pixel under its
// centre when enlarging.
std::pair<int, int> sourceSpan(int i, int n, int d)
{
    if (n <= d) {
        const int centre = ((2 * i + 1) * n) / (2 * d);
        return {centre, centre + 1};
    }
    return {i * n / d, ((i + 1) * n + d - 1) / d};
}

// A shrunk glyph pixel is ink when at least this share of its source block is: thin
// strokes survive, counters and gaps stay open.
constexpr int kInkSharePercent = 35;

// Lines in the board's colour, clipped; coordinates are the lines' values less one (the
// lines run one pixel up and left of fileX and rankY).
// A pen wider than one pixel draws parallel lines below and right of the first.
struct LinePen {
    QImage& screen;
    QRect clip;
    Pixel colour;
    const BoardGeometry& geometry;
    int width = 1;

    int X(int i) const { return geometry.fileX[static_cast<std::size_t>(i)] - 1; }
    int Y(int j) const { return geometry.rankY[static_cast<std::size_t>(j)] - 1; }
    void draw(int x0, int y0, int x1, int y1) const
    {
        const bool horizontal = y0 == y1;
        for (int step = 0; step < width; ++step) {
            const int dx = horizontal ? 0 : step, dy = horizontal ? step : 0;
            raster::line(screen, x0 + dx, y0 + dy, x1 + dx, y1 + dy, colour, clip);
        }
    }
};

// The line width of a grown board: one pixel up to pieces of 89 pixels, then one more for
// every 60 pixels of piece.
int grownLineWidth(int pieceSize)
{
    return 1 + std::max(0, pieceSize - 30) / 60;
}

// Ten rows from the first to the last column; the edge columns run through the river,
// the inner ones stop at its banks.
void drawAllLines(const LinePen& pen)
{
    for (int j = 0; j < 10; ++j)
        pen.draw(pen.X(0), pen.Y(j), pen.X(8), pen.Y(j));
    for (int i = 0; i < 9; ++i) {
        if (i == 0 || i == 8) {
            pen.draw(pen.X(i), pen.Y(0), pen.X(i), pen.Y(9));
        } else {
            pen.draw(pen.X(i), pen.Y(0), pen.X(i), pen.Y(4));
            pen.draw(pen.X(i), pen.Y(5), pen.X(i), pen.Y(9));
        }
    }
}

// The two half lines through one square, stopping at the board's edges and the river.
void drawSquareLines(const LinePen& pen, int square)
{
    const int c = square % 9, r = square / 9, half = pen.geometry.halfSquare;
    const bool inner = c >= 1 && c <= 7;
    const int x = pen.X(c), y = pen.Y(r);
    pen.draw(c == 0 ? x : x - half, y, c == 8 ? x : x + half, y);
    const int top = r == 0 || (r == 5 && inner) ? y : y - half;
    const int bottom = r == 9 || (r == 4 && inner) ? y : y + half;
    pen.draw(x, top, x, bottom);
}

// The palaces' diagonals: all (square -1), or those of the palace holding the square.
void drawPalaces(const LinePen& pen, int square)
{
    const int c = square % 9, r = square / 9;
    const bool palaceColumn = c >= 3 && c <= 5;
    if (square < 0 || (r <= 2 && palaceColumn)) {
        pen.draw(pen.X(3), pen.Y(0), pen.X(5), pen.Y(2));
        pen.draw(pen.X(3), pen.Y(2), pen.X(5), pen.Y(0));
    }
    if (square < 0 || (r >= 7 && palaceColumn)) {
        pen.draw(pen.X(3), pen.Y(7), pen.X(5), pen.Y(9));
        pen.draw(pen.X(3), pen.Y(9), pen.X(5), pen.Y(7));
    }
}

// Corner marks at the cannons' and soldiers' points (all, or the square's own), one-sided
// at the board's edges.
void drawPointMarks(const LinePen& pen, int square)
{
    const int u = pen.geometry.squareSize / 6, v = pen.geometry.squareSize / 7;
    for (const auto& point : kMarkedPoints) {
        const int pc = point[0], pr = point[1];
        if (square >= 0 && square != pr * 9 + pc)
            continue;
        const int x = pen.X(pc), y = pen.Y(pr);
        if (pc != 0) {
            pen.draw(x - 2 * u, y - v, x - v, y - v);
            pen.draw(x - v, y - 2 * u, x - v, y - v);
            pen.draw(x - 2 * u, y + v, x - v, y + v);
            pen.draw(x - v, y + 2 * u, x - v, y + v);
        }
        if (pc != 8) {
            pen.draw(x + v, y - v, x + 2 * u, y - v);
            pen.draw(x + v, y - 2 * u, x + v, y - v);
            pen.draw(x + v, y + v, x + 2 * u, y + v);
            pen.draw(x + v, y + 2 * u, x + v, y + v);
        }
    }
}

// The frame, two pixels wide (twice the pen's width): each side covers its coordinate and
// the pixels before.
void drawFrame(const LinePen& pen)
{
    const int left = pen.X(0) - 3, top = pen.Y(0) - 3, right = pen.X(8) + 4, bottom = pen.Y(9) + 4;
    const int w = 2 * pen.width - 1;
    const QRect sides[4] = {QRect(QPoint(left - w, top - w), QPoint(right, top)),
                            QRect(QPoint(right - w, top - w), QPoint(right, bottom)),
                            QRect(QPoint(left - w, bottom - w), QPoint(right, bottom)),
                            QRect(QPoint(left - w, top - w), QPoint(left, bottom))};
    for (const QRect& side : sides)
        raster::fillRect(pen.screen, side.intersected(pen.clip), pen.colour);
}

} // namespace

// The runs of pixels of a d x d cell for which ink(x, y) holds, row by row.
template <class Ink>
BoardPainter::Runs BoardPainter::collectRuns(int d, Ink ink)
{
    Runs runs;
    for (int y = 0; y < d; ++y) {
        int start = -1;
        for (int x = 0; x <= d; ++x) {
            const bool here = x < d && ink(x, y);
            if (here && start < 0) {
                start = x;
            } else if (!here && start >= 0) {
                runs.push_back({y, start, x});
                start = -1;
            }
        }
    }
    return runs;
}

BoardPainter::BoardPainter(const Options& options, const BoardBitmap& bitmap, const GlyphSets& glyphs,
                           int textHeight)
    : m_options(options), m_bitmap(bitmap), m_glyphs(glyphs), m_geometry(unlaidGeometry(textHeight)),
      m_textHeight(textHeight)
{
}

bool BoardPainter::layoutBoard(int clientWidth, int clientHeight)
{
    m_client = QSize(clientWidth, clientHeight);
    const BoardGeometry metrics = unlaidGeometry(m_textHeight);
    m_geometry.boardTop = static_cast<int>(std::lround(metrics.boardTop * m_layoutScale));
    m_geometry.statusBarHeight = static_cast<int>(std::lround(metrics.statusBarHeight * m_layoutScale));
    if (!board::layoutBoard(m_geometry, clientWidth, clientHeight, m_grows ? kMaxGrownPieceSize : kMaxPieceSize))
        return false;
    rebuildPieceImages();
    return true;
}

void BoardPainter::rebuildPieceImages()
{
    if (!m_geometry.laidOut())
        return;
    buildDisc();
    buildInk();
    m_builtSize = m_geometry.pieceSize;
    m_builtGrows = m_grows;
    m_builtRedFace = m_options.redFaceColour;
    m_builtBlackFace = m_options.blackFaceColour;
    m_builtRedText = m_options.redTextColour;
    m_builtBlackText = m_options.blackTextColour;
    m_builtCustomFont = m_options.useCustomFont != 0;
    m_builtFont = m_options.customFont;
    std::memcpy(m_builtTexts.data(), m_options.pieceText, m_builtTexts.size());
}

void BoardPainter::ensurePieceImages()
{
    // A grown board's pieces carry their text colours too.
    const bool textColours = !m_grows || (m_builtRedText == m_options.redTextColour &&
                                          m_builtBlackText == m_options.blackTextColour);
    const bool current = m_builtSize == m_geometry.pieceSize && m_builtGrows == m_grows && textColours &&
                         m_builtRedFace == m_options.redFaceColour &&
                         m_builtBlackFace == m_options.blackFaceColour &&
                         m_builtCustomFont == (m_options.useCustomFont != 0) &&
                         (!m_builtCustomFont ||
                          (std::memcmp(&m_builtFont, &m_options.customFont, sizeof m_builtFont) == 0 &&
                           std::memcmp(m_builtTexts.data(), m_options.pieceText, m_builtTexts.size()) == 0));
    if (!current)
        rebuildPieceImages();
}

void BoardPainter::buildDisc()
{
    const int d = m_geometry.pieceSize;
    m_pieceMask = QImage(d, d, QImage::Format_RGB32);
    m_redFace = QImage(d, d, QImage::Format_RGB32);
    m_blackFace = QImage(d, d, QImage::Format_RGB32);
    const Pixel red = pixelOf(m_options.redFaceColour), black = pixelOf(m_options.blackFaceColour);
    for (int y = 0; y < d; ++y)
        for (int x = 0; x < d; ++x) {
            // A pixel belongs to the disc when its centre lies inside the inscribed circle.
            const int dx = 2 * x + 1 - d, dy = 2 * y + 1 - d;
            const bool inside = dx * dx + dy * dy <= d * d;
            rowOf(m_pieceMask, y)[x] = inside ? 0xFF000000u : 0xFFFFFFFFu;
            rowOf(m_redFace, y)[x] = inside ? red : 0xFF000000u;
            rowOf(m_blackFace, y)[x] = inside ? black : 0xFF000000u;
        }
}

void BoardPainter::buildInk()
{
    for (int type = 0; type < model::kPieceTypeCount; ++type) {
        const auto index = static_cast<std::size_t>(type);
        m_ink[index] = m_grows ? Runs() : m_options.useCustomFont ? textInk(type) : glyphInk(type);
        m_smooth[index] = m_grows ? smoothPiece(type) : QImage();
    }
}

// A grown board's piece, antialiased on a transparent ground: the disc in the face colour,
// and the piece's text (the custom font's, else the piece font's) in a thin ring, like the
// glyph images. Without an outline for the text the large glyph image is scaled smoothly.
QImage BoardPainter::smoothPiece(int type) const
{
    const int d = m_geometry.pieceSize;
    const bool red = type > 6;
    const QColor face = QColor::fromRgb(pixelOf(red ? m_options.redFaceColour : m_options.blackFaceColour));
    const QColor text = QColor::fromRgb(pixelOf(red ? m_options.redTextColour : m_options.blackTextColour));
    QImage piece(d, d, QImage::Format_ARGB32_Premultiplied);
    piece.fill(Qt::transparent);
    QPainter painter(&piece);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawEllipse(QRectF(0, 0, d, d));

    QFont font = pieceFont();
    if (m_options.useCustomFont) {
        font = QFont(platform::fromBig5(fieldText(m_options.customFont.faceName)));
        font.setPixelSize(200);
    }
    const QPainterPath outline =
        characterOutline(font, platform::fromBig5(fieldText(m_options.pieceText[type])), d, 0.6);
    if (!outline.isEmpty()) {
        painter.setBrush(text);
        painter.drawPath(outline);
    } else if (const QImage& glyph = m_glyphs.glyph(kGlyphSetCount - 1, type); !glyph.isNull()) {
        // The glyph's darkness becomes the text colour's opacity.
        QImage alpha = glyph.scaled(d, d, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_Grayscale8);
        alpha.invertPixels();
        QImage ink(d, d, QImage::Format_ARGB32_Premultiplied);
        ink.fill(text);
        ink.setAlphaChannel(alpha);
        painter.drawImage(0, 0, ink);
        return piece;
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(text, std::max(1.0, d / 32.0)));
    painter.drawEllipse(QPointF(d / 2.0, d / 2.0), d * 0.42, d * 0.42);
    return piece;
}

BoardPainter::Runs BoardPainter::glyphInk(int type) const
{
    const int d = m_geometry.pieceSize;
    const QImage& glyph = m_glyphs.glyph(glyphSetFor(d), type);
    if (glyph.isNull())
        return {};
    const int n = glyph.width();
    return collectRuns(d, [&](int x, int y) {
        const auto [top, bottom] = sourceSpan(y, n, d);
        const auto [left, right] = sourceSpan(x, n, d);
        int count = 0;
        for (int sy = top; sy < bottom; ++sy)
            for (int sx = left; sx < right; ++sx)
                count += (rowOf(glyph, sy)[sx] & 0xFFFFFFu) != 0xFFFFFFu;
        return 100 * count >= kInkSharePercent * (bottom - top) * (right - left);
    });
}

BoardPainter::Runs BoardPainter::textInk(int type) const
{
    const int d = m_geometry.pieceSize;
    const QString text = platform::fromBig5(fieldText(m_options.pieceText[type]));
    if (text.isEmpty())
        return {};
    const FontDescription& description = m_options.customFont;
    // The stored height is the reference height at which the glyph height follows d.
    const double reference = std::fabs(static_cast<double>(description.height));
    const double height = std::trunc(0.05 * reference * d + 0.55);
    QFont font(platform::fromBig5(fieldText(description.faceName)));
    font.setPixelSize(static_cast<int>(std::clamp(height, 1.0, 4.0 * d)));
    const int weight = description.weight; // a copy: the record is packed
    if (weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 100, 900)));
    font.setItalic(description.italic != 0);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    const int cx = metrics.horizontalAdvance(text), cy = metrics.height();
    const int x = std::max(0, ((d - cx) >> 1) + 1), y = std::max(0, (d - cy) >> 1);

    QImage cell(d, d, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    {
        QPainter painter(&cell);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(x, y + metrics.ascent()), text);
    }
    return collectRuns(d, [&](int x, int y) { return qAlpha(rowOf(cell, y)[x]) >= 128; });
}

void BoardPainter::paintBackground(QImage& target, const QRect& rect)
{
    if (m_options.useBitmapBoard && m_bitmap.isLoaded())
        m_bitmap.paintBoardBitmap(target, rect, false, m_client.width(), m_client.height(),
                                  m_options.stretchBitmap != 0);
    else
        raster::fillRect(target, rect, pixelOf(m_options.boardColour));
}

void BoardPainter::fullRepaint(QImage& screen, const BoardScene& scene)
{
    if (!m_geometry.laidOut() || m_client.isEmpty())
        return;
    if (screen.size() != m_client || screen.format() != QImage::Format_RGB32)
        screen = QImage(m_client, QImage::Format_RGB32);
    paintBackground(screen, screen.rect());
    drawBoardLines(screen, std::nullopt, screen.rect());
    drawAllPieces(screen, scene);
}

void BoardPainter::drawBoardLines(QImage& screen, std::optional<int> square, const QRect& clip)
{
    if (!m_geometry.laidOut())
        return;
    const LinePen pen{screen, clip, pixelOf(m_options.lineColour), m_geometry,
                      m_grows ? grownLineWidth(m_geometry.pieceSize) : 1};
    const int target = square.value_or(-1);
    if (square)
        drawSquareLines(pen, *square);
    else
        drawAllLines(pen);
    drawPalaces(pen, target);
    drawPointMarks(pen, target);
    drawFrame(pen);
}

std::optional<int> BoardPainter::squareOfCell(QPoint topLeft) const
{
    const int column = (topLeft.x() + m_geometry.halfSquare - m_geometry.fileX[0]);
    const int row = (topLeft.y() + m_geometry.halfSquare - m_geometry.rankY[0]);
    const int size = m_geometry.squareSize;
    if (column < 0 || row < 0 || column % size != 0 || row % size != 0 || column / size > 8 || row / size > 9)
        return std::nullopt;
    return row / size * 9 + column / size;
}

// The exact composition: the disc by AND and OR with the cached images, then the ink.
void BoardPainter::paintDiscAndInk(QImage& screen, int piece, QPoint topLeft, const QRect& visible) const
{
    const bool red = isRed(piece);
    const QImage& face = red ? m_redFace : m_blackFace;
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        Pixel* target = rowOf(screen, y);
        const Pixel* mask = rowOf(m_pieceMask, y - topLeft.y());
        const Pixel* colour = rowOf(face, y - topLeft.y());
        for (int x = visible.left(); x <= visible.right(); ++x)
            target[x] = (target[x] & mask[x - topLeft.x()]) | colour[x - topLeft.x()];
    }
    const Pixel ink = pixelOf(red ? m_options.redTextColour : m_options.blackTextColour);
    for (const Run& run : m_ink[static_cast<std::size_t>(model::TypeOf(piece))])
        raster::fillRect(screen, QRect(topLeft.x() + run.x0, topLeft.y() + run.y, run.x1 - run.x0, 1), ink);
}

void BoardPainter::paintCell(QImage& screen, int piece, QPoint topLeft, PieceBackground background)
{
    const int d = m_geometry.pieceSize;
    const QRect cell(topLeft, QSize(d, d));
    switch (background) {
    case PieceBackground::highlight:
        raster::fillRect(screen, cell, pixelOf(m_options.pieceCursorColour));
        break;
    case PieceBackground::cleanBoard:
        // The empty board as a full repaint shows it: background and the square's lines.
        paintBackground(screen, cell);
        if (const auto square = squareOfCell(topLeft))
            drawBoardLines(screen, square, cell);
        break;
    case PieceBackground::screen:
    case PieceBackground::selected:
        break;
    }

    const QRect visible = cell.intersected(screen.rect());
    if (visible.isEmpty())
        return;
    if (m_grows) {
        QPainter painter(&screen);
        painter.drawImage(topLeft, m_smooth[static_cast<std::size_t>(model::TypeOf(piece))]);
    } else {
        paintDiscAndInk(screen, piece, topLeft, visible);
    }
    if (background == PieceBackground::selected)
        for (int y = visible.top(); y <= visible.bottom(); ++y) {
            const Pixel* mask = rowOf(m_pieceMask, y - topLeft.y());
            Pixel* target = rowOf(screen, y);
            for (int x = visible.left(); x <= visible.right(); ++x)
                if ((mask[x - topLeft.x()] & 0xFFFFFFu) == 0)
                    target[x] ^= 0x00FFFFFFu;
        }
}

QRect BoardPainter::drawPiece(QImage& screen, int piece, QPoint topLeft, PieceBackground background)
{
    if (!m_geometry.laidOut() || !isPiece(piece))
        return {};
    ensurePieceImages();
    paintCell(screen, piece, topLeft, background);
    return QRect(topLeft, QSize(m_geometry.pieceSize, m_geometry.pieceSize)).intersected(screen.rect());
}

QRect BoardPainter::drawPieceAtSquare(QImage& screen, int piece, int screenSquare, PieceBackground background)
{
    if (screenSquare < 0 || screenSquare >= kScreenSquareCount || piece == 0)
        return {};
    const CellPoint origin = m_geometry.cellOrigin(screenSquare);
    return drawPiece(screen, piece, QPoint(origin.x, origin.y), background);
}

QRect BoardPainter::redrawEmptySquare(QImage& screen, int screenSquare)
{
    if (!m_geometry.laidOut() || screenSquare < 0 || screenSquare >= kScreenSquareCount)
        return {};
    const CellPoint origin = m_geometry.cellOrigin(screenSquare);
    const QRect area(origin.x, origin.y, m_geometry.pieceSize + 1, m_geometry.pieceSize + 1);
    paintBackground(screen, area);
    drawBoardLines(screen, screenSquare, area);
    return area.intersected(screen.rect());
}

void BoardPainter::drawAllPieces(QImage& screen, const BoardScene& scene)
{
    if (!m_geometry.laidOut())
        return;
    // Every piece that stands on a square, Black's before Red's. Drawn from the squares, not
    // looked up by piece number: while a position is set up, pieces of one type share a
    // number, and each of them must show.
    for (const bool red : {false, true}) {
        for (int s = 0; s < kScreenSquareCount; ++s) {
            const int piece = scene.board[static_cast<std::size_t>(screenSquare(s, scene.normalOrientation))];
            if (isPiece(piece) && isRed(piece) == red)
                drawPieceAtSquare(screen, piece, s, PieceBackground::screen);
        }
    }

    if (!scene.editing() && model::OnBoard(scene.lastMoveTo)) {
        const int piece = scene.board[static_cast<std::size_t>(scene.lastMoveTo)];
        drawPieceAtSquare(screen, piece, screenSquare(scene.lastMoveTo, scene.normalOrientation),
                          PieceBackground::highlight);
    }
    if (scene.editing())
        for (int n = 0; n < kPaletteCount; ++n) {
            const CellPoint origin = m_geometry.paletteCellOrigin(n);
            drawPiece(screen, palettePiece(n), QPoint(origin.x, origin.y), PieceBackground::screen);
        }
}

QRegion BoardPainter::showMove(QImage& screen, const BoardScene& scene, const model::PackedMove& move, bool forward,
                               int previousLastTo, int newLastTo)
{
    QRegion changed;
    if (!m_geometry.laidOut() || !scene.drawsMoves())
        return changed;
    const auto onScreen = [&](int square) { return screenSquare(square, scene.normalOrientation); };
    const auto pieceOn = [&](int square) { return scene.board[static_cast<std::size_t>(square)]; };

    if (forward && model::OnBoard(previousLastTo)) {
        changed += redrawEmptySquare(screen, onScreen(previousLastTo));
        changed += drawPieceAtSquare(screen, pieceOn(previousLastTo), onScreen(previousLastTo),
                                     PieceBackground::screen);
    }
    const int leaves = forward ? move.from : move.to;
    const int enters = forward ? move.to : move.from;
    if (model::OnBoard(leaves)) {
        if (!forward && move.captured != 0)
            changed += drawPieceAtSquare(screen, move.captured, onScreen(leaves), PieceBackground::cleanBoard);
        else
            changed += redrawEmptySquare(screen, onScreen(leaves));
    }
    if (model::OnBoard(enters)) {
        if (forward) {
            changed += drawPieceAtSquare(screen, move.piece, onScreen(enters), PieceBackground::highlight);
        } else {
            changed += drawPieceAtSquare(screen, move.piece, onScreen(enters), PieceBackground::screen);
            if (model::OnBoard(newLastTo))
                changed += drawPieceAtSquare(screen, pieceOn(newLastTo), onScreen(newLastTo),
                                             PieceBackground::highlight);
        }
    }
    return changed;
}

QRect BoardPainter::savedSquare(QPoint topLeft) const
{
    return QRect(topLeft, QSize(m_geometry.pieceSize + 2, m_geometry.pieceSize + 2));
}

QRect BoardPainter::liftPiece(QImage& screen, DragImage& drag, int piece, QPoint topLeft)
{
    if (!m_geometry.laidOut())
        return {};
    drag.saved = screen.copy(savedSquare(topLeft));
    drag.topLeft = topLeft;
    drawPiece(screen, piece, topLeft, PieceBackground::screen);
    return savedSquare(topLeft).intersected(screen.rect());
}

QRegion BoardPainter::dragPiece(QImage& screen, DragImage& drag, int piece, QPoint topLeft, bool selected)
{
    if (!m_geometry.laidOut())
        return {};
    const auto background = selected ? PieceBackground::selected : PieceBackground::screen;
    if (!drag.active()) {
        drag.saved = screen.copy(savedSquare(topLeft));
        drag.topLeft = topLeft;
        drawPiece(screen, piece, topLeft, background);
        return QRegion(savedSquare(topLeft).intersected(screen.rect()));
    }
    const QPoint old = drag.topLeft;
    raster::copyPixels(screen, old, drag.saved, drag.saved.rect());
    drag.saved = screen.copy(savedSquare(topLeft));
    drag.topLeft = topLeft;
    drawPiece(screen, piece, topLeft, background);
    // A short step is shown as one box around both squares, so that the piece never
    // appears twice or not at all.
    const int span = m_geometry.pieceSize + 2;
    const QRect before = savedSquare(old), after = savedSquare(topLeft);
    if (std::abs(topLeft.x() - old.x()) + span < 60 && std::abs(topLeft.y() - old.y()) + span < 60)
        return QRegion(before.united(after).intersected(screen.rect()));
    return QRegion(before.intersected(screen.rect())) + after.intersected(screen.rect());
}

QRect BoardPainter::putDown(QImage& screen, DragImage& drag)
{
    if (!drag.active())
        return {};
    raster::copyPixels(screen, drag.topLeft, drag.saved, drag.saved.rect());
    const QRect restored = savedSquare(drag.topLeft).intersected(screen.rect());
    drag = DragImage();
    return restored;
}

} // namespace marovin::board
