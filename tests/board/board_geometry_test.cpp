// Board layout without a display: sizes, the glyph set, and the point <-> square mapping
// that the mouse relies on.

#include <gtest/gtest.h>

#include "board/board_geometry.h"

namespace marovin::board {
namespace {

BoardGeometry laidOut(int width, int height, int textHeight = 16)
{
    BoardGeometry geometry = unlaidGeometry(textHeight);
    EXPECT_TRUE(layoutBoard(geometry, width, height)) << width << "x" << height;
    return geometry;
}

TEST(BoardGeometry, WorkedExample)
{
    const BoardGeometry g = laidOut(355, 445);
    EXPECT_EQ(g.boardTop, 43);
    EXPECT_EQ(g.statusBarHeight, 34);
    EXPECT_EQ(g.pieceSize, 31);
    EXPECT_EQ(g.squareSize, 34);
    EXPECT_EQ(g.halfSquare, 17);
    EXPECT_EQ(g.fileX[0], 27);
    EXPECT_EQ(g.fileX[8], 299);
    EXPECT_EQ(g.rankY[0], 60);
    EXPECT_EQ(g.rankY[9], 366);
    EXPECT_EQ(g.boardWidth, 326);
    EXPECT_EQ(g.boardHeight, 393);
    EXPECT_EQ(glyphSetFor(g.pieceSize), 1);
    EXPECT_EQ(g.cellOrigin(0), (CellPoint{10, 43}));
    EXPECT_EQ(g.cellOrigin(89), (CellPoint{282, 349}));
}

TEST(BoardGeometry, PieceSizeFromTheClient)
{
    const struct {
        int width, height;
        int expected; // 0: too small to lay out
    } cases[] = {
        {120, 600, 0},    // not wider than 120
        {600, 163, 0},    // not taller than boardTop + 120
        {121, 164, 12},   // the smallest view that is laid out: d clamps up to 12
        {355, 445, 31},   // the width decides
        {2000, 300, 22},  // the height decides: (300 - 43 - 35) / 10
        {5000, 5000, 50}, // clamped down to 50
    };
    for (const auto& c : cases) {
        const auto d = pieceSizeForClient(c.width, c.height, 43);
        EXPECT_EQ(d.value_or(0), c.expected) << c.width << "x" << c.height;
    }
}

TEST(BoardGeometry, TooSmallViewKeepsThePreviousLayout)
{
    BoardGeometry g = laidOut(355, 445);
    const BoardGeometry before = g;
    EXPECT_FALSE(layoutBoard(g, 120, 445));
    EXPECT_FALSE(layoutBoard(g, 355, 163));
    EXPECT_EQ(g.pieceSize, before.pieceSize);
    EXPECT_EQ(g.rankY, before.rankY);
    EXPECT_EQ(g.boardWidth, before.boardWidth);

    BoardGeometry fresh = unlaidGeometry(16);
    EXPECT_FALSE(layoutBoard(fresh, 100, 100));
    EXPECT_FALSE(fresh.laidOut());
}

TEST(BoardGeometry, GlyphSetBySize)
{
    const int cases[][2] = {{12, 0}, {27, 0}, {28, 1}, {35, 1}, {36, 2}, {50, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(glyphSetFor(c[0]), c[1]) << "d = " << c[0];
}

// Every pixel of a square's cell maps back to that square, and its centre too, for the
// smallest, a middle and the largest piece size, in both orientations.
TEST(BoardGeometry, CellsAndCentresMapBackToTheirSquares)
{
    for (const auto& [width, height] : {std::pair{2000, 200}, std::pair{355, 445}, std::pair{2000, 2000}})
        for (const bool normal : {true, false}) {
            const BoardGeometry g = laidOut(width, height);
            const int d = g.pieceSize;
            for (int square = 0; square < 90; ++square) {
                const int screen = screenSquare(square, normal);
                EXPECT_EQ(screenSquare(screen, normal), square);
                const CellPoint centre = screenSquareCentre(g, screen);
                ASSERT_EQ(boardSquareAt(g, centre.x, centre.y, width, height, normal), square)
                    << "d " << d << " normal " << normal;
                const CellPoint origin = g.cellOrigin(screen);
                for (int y = 0; y < d; ++y)
                    for (int x = 0; x < d; ++x)
                        ASSERT_EQ(screenSquareAt(g, origin.x + x, origin.y + y, width, height), screen)
                            << "d " << d << " square " << screen << " at " << x << "," << y;
            }
        }
}

TEST(BoardGeometry, PointsOffTheBoardHaveNoSquare)
{
    const BoardGeometry g = laidOut(355, 445); // squares from x 10 and y 43, 34 pixels each
    const int right = 10 + 9 * 34, bottom = 43 + 10 * 34;
    EXPECT_FALSE(screenSquareAt(g, 9, 100, 355, 445));
    EXPECT_FALSE(screenSquareAt(g, 100, 42, 355, 445));
    EXPECT_FALSE(screenSquareAt(g, right, 100, 355, 445));
    EXPECT_FALSE(screenSquareAt(g, 100, bottom, 355, 445));
    EXPECT_EQ(screenSquareAt(g, right - 1, bottom - 1, 355, 445), 89);
    // Points outside the client are clamped to it first: far above the top is the top
    // edge (the status bar), far right of a narrow client is its right edge.
    EXPECT_FALSE(screenSquareAt(g, 100, -500, 355, 445));
    EXPECT_EQ(screenSquareAt(g, 5000, 50, 200, 445), (200 - 10) / 34);
    EXPECT_FALSE(screenSquareAt(unlaidGeometry(16), 100, 100, 355, 445));
}

TEST(BoardGeometry, EditPalette)
{
    const BoardGeometry g = laidOut(355, 445);
    const int pieces[14] = {1, 3, 5, 7, 9, 11, 13, 17, 19, 21, 23, 25, 27, 29};
    for (int n = 0; n < kPaletteCount; ++n) {
        EXPECT_EQ(palettePiece(n), pieces[n]);
        const CellPoint origin = g.paletteCellOrigin(n);
        EXPECT_EQ(origin, (CellPoint{326 + (n / 7) * 34, 60 + (n % 7) * 34}));
        EXPECT_EQ(paletteIndexAt(g, origin.x + 17, origin.y + 17), n);
    }
    // The palette's edges belong to nothing.
    EXPECT_FALSE(paletteIndexAt(g, 326, 100));
    EXPECT_FALSE(paletteIndexAt(g, 326 + 68, 100));
    EXPECT_FALSE(paletteIndexAt(g, 340, 60));
    EXPECT_FALSE(paletteIndexAt(g, 340, 60 + 7 * 34));
}

} // namespace
} // namespace marovin::board
