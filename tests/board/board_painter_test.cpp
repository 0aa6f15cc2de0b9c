// The board drawing on real images (offscreen): the pixels of the worked example's lines,
// frame and river, the pieces and the highlight on a turned board, and the promise that
// every partial drawing (a move, an empty square, a cell of the bitmap, a drag) leaves
// exactly the pixels of a fresh full repaint.

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board_bitmap.h"
#include "board/board_painter.h"
#include "board/glyph_sets.h"
#include "model/legality.h"
#include "testkit/qt_application.h"

namespace marovin::board {
namespace {

constexpr QRgb kBoard = 0xFFFFCC00;  // the default board colour 0x00CCFF as a pixel
constexpr QRgb kLine = 0xFF000000;
constexpr QRgb kCursor = 0xFF0000FF; // 0xFF0000: blue
constexpr QRgb kRedText = 0xFFFF0000;
constexpr QRgb kWhite = 0xFFFFFFFF;

const GlyphSets& glyphs()
{
    static const GlyphSets sets = GlyphSets::load(std::string(MAROVIN_SOURCE_DIR) + "/assets/");
    return sets;
}

// An odd-sized bitmap whose every pixel differs from its neighbours, so that a pixel
// taken from the wrong place shows.
void loadPatternBitmap(BoardBitmap& bitmap, int width, int height)
{
    QImage pattern(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pattern.setPixel(x, y, qRgb(40 + 5 * x % 200, 60 + 7 * y % 190, (x * 13 + y * 29) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(pattern.save(&buffer, "BMP"));
    const std::span<const std::uint8_t> file(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                             static_cast<std::size_t>(bytes.size()));
    const BitmapCheck check = checkBitmapFile(file);
    ASSERT_EQ(check.fault, BitmapFault::None);
    bitmap.release();
    ASSERT_TRUE(bitmap.decode(file, check.layout));
}

struct Painting : ::testing::Test {
    Painting()
    {
        testkit::qtApplication();
        options = std::make_unique<Options>();
        setDefaultOptions(*options, PlatformDefaults{});
        painter = std::make_unique<BoardPainter>(*options, bitmap, glyphs(), 16);
    }
    QImage full(const BoardScene& scene)
    {
        QImage image;
        painter->fullRepaint(image, scene);
        return image;
    }
    QPoint cell(int screenSquare) const
    {
        const CellPoint origin = painter->geometry().cellOrigin(screenSquare);
        return {origin.x, origin.y};
    }

    std::unique_ptr<Options> options;
    BoardBitmap bitmap;
    std::unique_ptr<BoardPainter> painter;
};

// 355 x 445 with a text height of 16: d 31, lines drawn at fileX - 1 = 26, 60, ... 298
// and rankY - 1 = 59, 93, ... 365.
TEST_F(Painting, WorkedExampleLinesFrameAndRiver)
{
    ASSERT_TRUE(painter->layoutBoard(355, 445));
    const QImage image = full(BoardScene{});
    ASSERT_EQ(image.size(), QSize(355, 445));
    const struct {
        int x, y;
        QRgb colour;
        const char* what;
    } pixels[] = {
        {5, 5, kBoard, "status bar strip"},
        {26, 59, kLine, "top-left crossing"},
        {150, 59, kLine, "top line"},
        {297, 365, kLine, "bottom line up to the last column"},
        {298, 365, kBoard, "bottom-right crossing, left out by both lines"},
        {26, 212, kLine, "left edge through the river"},
        {298, 212, kLine, "right edge through the river"},
        {60, 194, kLine, "inner column down to the river"},
        {60, 195, kLine, "river bank (row 4)"},
        {60, 212, kBoard, "inner column in the river gap"},
        {60, 229, kLine, "river bank (row 5)"},
        {22, 200, kLine, "frame left, outer pixel"},
        {23, 200, kLine, "frame left, inner pixel"},
        {21, 200, kBoard, "outside the frame"},
        {24, 200, kBoard, "between frame and edge line"},
        {22, 55, kLine, "frame top-left corner"},
        {302, 369, kLine, "frame bottom-right corner"},
        {303, 369, kBoard, "right of the frame"},
        {133, 64, kLine, "palace diagonal"},
        {50, 123, kLine, "cannon point mark, left arm"},
        {56, 123, kBoard, "the left mark's corner pixel is left out"},
        {64, 123, kLine, "cannon point mark, right arm corner"},
        {20, 157, kBoard, "soldier point on the edge: no mark on the left"},
        {30, 157, kLine, "soldier point on the edge: mark on the right"},
    };
    for (const auto& p : pixels)
        EXPECT_EQ(image.pixel(p.x, p.y), p.colour) << p.what << " at " << p.x << "," << p.y;
}

TEST_F(Painting, PiecesHighlightAndTurnedBoard)
{
    ASSERT_TRUE(painter->layoutBoard(355, 445));
    BoardScene scene;
    scene.board = model::kStandardOpening;
    model::ApplyMove(scene.board, 70, 67); // Red's cannon H2-E2
    scene.lastMoveTo = 67;
    const int d = painter->geometry().pieceSize;
    for (const bool normal : {true, false}) {
        scene.normalOrientation = normal;
        const QImage image = full(scene);
        const auto at = [&](int boardSquare, int x, int y) {
            const QPoint origin = cell(screenSquare(boardSquare, normal));
            return image.pixel(origin.x() + x, origin.y() + y);
        };
        // The moved cannon on the highlight: its cell's corner is the cursor colour.
        EXPECT_EQ(at(67, 0, 0), kCursor) << normal;
        EXPECT_EQ(at(67, 0, d / 2), kWhite) << "red face at the disc's edge " << normal;
        // Red's general: white disc with red ink, on the board's colour.
        EXPECT_EQ(at(85, 0, 0), kBoard) << normal;
        EXPECT_EQ(at(85, 0, d / 2), kWhite) << normal;
        bool ink = false;
        for (int y = 0; y < d; ++y)
            for (int x = 0; x < d; ++x)
                ink = ink || at(85, x, y) == kRedText;
        EXPECT_TRUE(ink) << normal;
        // Black's general: black disc.
        EXPECT_EQ(at(4, 0, d / 2), kLine) << normal;
        // The cannon's old square is empty board.
        EXPECT_EQ(at(70, 0, 0), kBoard) << normal;
    }
    // The turned board puts Red's general at the top.
    scene.normalOrientation = false;
    const QImage turned = full(scene);
    EXPECT_EQ(turned.pixel(cell(4) + QPoint(0, d / 2)), kWhite);
}

TEST_F(Painting, NoHighlightWhileEditingButThePalette)
{
    ASSERT_TRUE(painter->layoutBoard(500, 445));
    BoardScene scene;
    scene.board = model::kStandardOpening;
    scene.lastMoveTo = 85;
    scene.mode = model::kModeEditing;
    const QImage image = full(scene);
    const int d = painter->geometry().pieceSize;
    EXPECT_EQ(image.pixel(cell(85)), kBoard);
    for (int n = 0; n < kPaletteCount; ++n) {
        const CellPoint origin = painter->geometry().paletteCellOrigin(n);
        EXPECT_EQ(image.pixel(origin.x, origin.y), kBoard) << n;
        EXPECT_EQ(image.pixel(origin.x, origin.y + d / 2), n < 7 ? kLine : kWhite) << n;
    }
}

// Any sequence of moves played and taken back, drawn one by one, leaves the pixels of a
// fresh full repaint: in both orientations, on the board colour and on a bitmap
// stretched or tiled, and on a grown board (smooth pieces, thick lines).
TEST_F(Painting, ShowMoveKeepsTheScreenEqualToAFullRepaint)
{
    loadPatternBitmap(bitmap, 37, 23);
    std::mt19937 random(20241207);
    for (const int background : {0, 1, 2, 3})
        for (const bool normal : {true, false}) {
            const bool grows = background == 3;
            options->useBitmapBoard = background == 1 || background == 2;
            options->stretchBitmap = background == 2;
            painter->setGrows(grows);
            ASSERT_TRUE(painter->layoutBoard(grows ? 1000 : background == 1 ? 300 : 400, grows ? 1100 : 480));
            ASSERT_EQ(painter->geometry().pieceSize > kMaxPieceSize, grows);
            BoardScene scene;
            scene.board = model::kStandardOpening;
            scene.normalOrientation = normal;
            QImage screen = full(scene);
            std::vector<model::PackedMove> played;
            for (int step = 0; step < 80; ++step) {
                const bool redToMove = played.size() % 2 == 0;
                const auto moves = model::GenerateLegalMoves(scene.board, redToMove);
                const int previousLastTo = played.empty() ? -1 : played.back().to;
                const bool forward = played.empty() || (!moves.empty() && random() % 10 < 7);
                if (forward) {
                    if (moves.empty())
                        break;
                    const model::SquarePair pick = moves[random() % moves.size()];
                    played.push_back(model::ApplyMove(scene.board, pick.from, pick.to));
                    scene.lastMoveTo = pick.to;
                    painter->showMove(screen, scene, played.back(), true, previousLastTo, pick.to);
                } else {
                    const model::PackedMove move = played.back();
                    played.pop_back();
                    model::TakeBackMove(scene.board, move);
                    scene.lastMoveTo = played.empty() ? -1 : played.back().to;
                    painter->showMove(screen, scene, move, false, previousLastTo, scene.lastMoveTo);
                }
                ASSERT_EQ(screen, full(scene)) << "background " << background << " normal " << normal << " step "
                                               << step << (forward ? " forward" : " back");
            }
        }
}

TEST_F(Painting, NoMovesDrawnWhileBusy)
{
    ASSERT_TRUE(painter->layoutBoard(355, 445));
    BoardScene scene;
    scene.board = model::kStandardOpening;
    QImage screen = full(scene);
    const QImage before = screen;
    scene.mode = model::kModeReading;
    const model::PackedMove move = model::ApplyMove(scene.board, 70, 67);
    EXPECT_TRUE(painter->showMove(screen, scene, move, true, -1, 67).isEmpty());
    EXPECT_EQ(screen, before);
}

// Each square's own lines, drawn into its cleared cell, restore the empty board there.
TEST_F(Painting, EmptySquareRedrawMatchesTheWholeBoard)
{
    for (const auto& [width, height] : {std::pair{200, 220}, std::pair{355, 445}, std::pair{700, 700}}) {
        ASSERT_TRUE(painter->layoutBoard(width, height));
        const QImage board = full(BoardScene{});
        QImage screen = board;
        for (int square = 0; square < 90; ++square) {
            const QPoint origin = cell(square);
            const int d = painter->geometry().pieceSize;
            for (int y = 0; y <= d; ++y)
                for (int x = 0; x <= d; ++x)
                    screen.setPixel(origin.x() + x, origin.y() + y, qRgb(255, 0, 255));
            EXPECT_EQ(painter->redrawEmptySquare(screen, square), QRect(origin, QSize(d + 1, d + 1)));
            ASSERT_EQ(screen, board) << "square " << square << " d " << d;
        }
    }
}

TEST_F(Painting, BitmapCellShowsTheFullPaintsPixels)
{
    loadPatternBitmap(bitmap, 37, 23);
    const int width = 355, height = 445;
    for (const bool stretch : {false, true}) {
        QImage whole(width, height, QImage::Format_RGB32);
        bitmap.paintBoardBitmap(whole, whole.rect(), false, width, height, stretch);
        if (!stretch) {
            EXPECT_EQ(whole.pixel(37 + 5, 2 * 23 + 7), bitmap.image().pixel(5, 7)) << "tiles repeat";
        }
        for (const QRect rect : {QRect(10, 43, 31, 31), QRect(36, 22, 40, 30), QRect(0, 0, 1, 1),
                                 QRect(340, 430, 15, 15), QRect(100, 200, 80, 3)}) {
            QImage cellImage(rect.size(), QImage::Format_RGB32);
            cellImage.fill(0);
            bitmap.paintBoardBitmap(cellImage, rect, true, width, height, stretch);
            EXPECT_EQ(cellImage, whole.copy(rect)) << "stretch " << stretch << " cell at " << rect.x() << ","
                                                   << rect.y();
            QImage placed(width, height, QImage::Format_RGB32);
            placed.fill(0);
            QImage expected = placed;
            QPainter(&expected).drawImage(rect.topLeft(), whole.copy(rect));
            bitmap.paintBoardBitmap(placed, rect, false, width, height, stretch);
            EXPECT_EQ(placed, expected) << "stretch " << stretch << " rectangle at its place, nothing else";
        }
    }
}

TEST_F(Painting, DraggedPieceLeavesNothingBehind)
{
    ASSERT_TRUE(painter->layoutBoard(355, 445));
    BoardScene scene;
    scene.board = model::kStandardOpening;
    QImage screen = full(scene);
    const int d = painter->geometry().pieceSize;
    const QPoint origin = cell(70); // Red's left cannon
    painter->redrawEmptySquare(screen, 70);
    const QImage lifted = screen;

    DragImage drag;
    EXPECT_EQ(painter->liftPiece(screen, drag, 26, origin), QRect(origin, QSize(d + 2, d + 2)));
    QImage expected = lifted;
    painter->drawPiece(expected, 26, origin, PieceBackground::screen);
    EXPECT_EQ(screen, expected);

    // A short step is one box around both squares; a long one is the two squares.
    const QPoint near = origin + QPoint(5, -7);
    const QRegion shortStep = painter->dragPiece(screen, drag, 26, near, false);
    EXPECT_EQ(shortStep, QRegion(QRect(origin, QSize(d + 2, d + 2)).united(QRect(near, QSize(d + 2, d + 2)))));
    const QPoint far = origin + QPoint(-120, -200);
    const QRegion longStep = painter->dragPiece(screen, drag, 26, far, true);
    EXPECT_EQ(longStep, QRegion(QRect(near, QSize(d + 2, d + 2))) + QRegion(QRect(far, QSize(d + 2, d + 2))));
    // The piece drawn selected: its disc inverted, its corners untouched.
    expected = lifted;
    painter->drawPiece(expected, 26, far, PieceBackground::screen);
    EXPECT_EQ(screen.pixel(far + QPoint(0, d / 2)), expected.pixel(far + QPoint(0, d / 2)) ^ 0x00FFFFFFu);
    EXPECT_EQ(screen.pixel(far), lifted.pixel(far));
    // Partly off the screen and back.
    painter->dragPiece(screen, drag, 26, QPoint(-10, -12), false);
    painter->dragPiece(screen, drag, 26, QPoint(340, 430), false);
    painter->putDown(screen, drag);
    EXPECT_FALSE(drag.active());
    EXPECT_EQ(screen, lifted);
}

TEST_F(Painting, ChangedSettingsReachTheNextDrawing)
{
    ASSERT_TRUE(painter->layoutBoard(355, 445));
    BoardScene scene;
    scene.board = model::kStandardOpening;
    const int d = painter->geometry().pieceSize;
    options->redFaceColour = 0x00FF00; // green
    const QImage image = full(scene);
    EXPECT_EQ(image.pixel(cell(85) + QPoint(0, d / 2)), 0xFF00FF00u);
    EXPECT_EQ(painter->redFaceImage().pixel(d / 2, d / 2), 0xFF00FF00u);
    EXPECT_EQ(painter->redFaceImage().pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(painter->pieceMask().pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(painter->pieceMask().pixel(d / 2, d / 2), 0xFF000000u);
}

// The custom font: the piece texts drawn in the text colour, centred by their measured
// extent; an empty text leaves the bare disc.
TEST_F(Painting, CustomFontText)
{
    ASSERT_TRUE(painter->layoutBoard(700, 700));
    const int d = painter->geometry().pieceSize;
    options->useCustomFont = 1;
    options->customFont.height = -20;
    options->customFont.weight = 400;
    std::memcpy(options->customFont.faceName, "Noto Sans CJK TC", 17);
    std::memcpy(options->pieceText[7], "A", 2); // Red general: one byte
    std::memset(options->pieceText[13], 0, 3);  // Red soldier: nothing
    QImage screen(700, 700, QImage::Format_RGB32);
    const auto inkBox = [&](int piece) {
        screen.fill(kBoard);
        painter->drawPiece(screen, piece, QPoint(0, 0), PieceBackground::screen);
        QRect box;
        for (int y = 0; y < d; ++y)
            for (int x = 0; x < d; ++x)
                if (screen.pixel(x, y) == kRedText)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect letter = inkBox(17);
    ASSERT_FALSE(letter.isEmpty());
    EXPECT_NEAR(letter.center().x(), d / 2, 3);
    // The glyph height follows d: 0.05 * 20 * 50 + 0.55 gives a 50-pixel font, cut by the cell.
    const QRect chinese = inkBox(22); // Red's chariot, the default two-byte text
    EXPECT_GT(chinese.height(), d / 2);
    EXPECT_TRUE(inkBox(28).isEmpty());
}

} // namespace
} // namespace marovin::board
