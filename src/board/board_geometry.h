#pragma once
// Where everything of a board view lies, as a function of the view's size and the system
// font's height. Plain integers in view pixels; no drawing.
//
//   x:  10 | cell | 2 | cell | ... 9 cells of squareSize = d + 3 ...
//   y:  status bar (statusBarHeight) ... boardTop | 10 rows of cells ...
//
//   fileX[i] = halfSquare + 10 + i * squareSize        the vertical line of column i
//   rankY[j] = halfSquare + boardTop + j * squareSize  the horizontal line of row j
//
// A piece of diameter d = pieceSize sits in the d x d cell whose top-left corner is
// (fileX[c] - halfSquare, rankY[r] - halfSquare). Screen squares are numbered like board
// squares (row * 9 + column) on the drawn grid; a turned board shows board square 89 - s
// on screen square s.

#include <array>
#include <optional>

namespace marovin::board {

constexpr int kMinPieceSize = 12;
constexpr int kMaxPieceSize = 50;
// A board that grows with its window has no cap but this one, far beyond any screen.
constexpr int kMaxGrownPieceSize = 1000;
constexpr int kScreenSquareCount = 90;
constexpr int kPaletteCount = 14; // the position editor's pieces, two columns of seven

struct CellPoint {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const CellPoint&, const CellPoint&) = default;
};

struct BoardGeometry {
    int boardTop = 0;        // y where the first row of cells begins: 2 * textHeight + 11
    int statusBarHeight = 0; // the status bar across the top: 2 * textHeight + 2
    int pieceSize = 0;       // d, 12..50
    int squareSize = 0;      // d + 3
    int halfSquare = 0;      // (d + 3) / 2
    std::array<int, 10> fileX{};
    std::array<int, 10> rankY{};
    int boardWidth = 0; // 0: not laid out yet
    int boardHeight = 0;

    bool laidOut() const { return boardWidth != 0; }
    // The top-left corner of a screen square's piece cell (0..89).
    CellPoint cellOrigin(int screenSquare) const;
    // The top-left corner of the n-th piece cell of the position editor's palette (0..13):
    // Black in the left column, Red in the right, general at the top.
    CellPoint paletteCellOrigin(int n) const;
};

// The layout values that depend on the system font's height alone.
BoardGeometry unlaidGeometry(int textHeight);

// The geometry for a piece size (clamped to 12..largest) under the given metrics.
BoardGeometry geometryForPieceSize(int pieceSize, const BoardGeometry& metrics, int largest = kMaxPieceSize);

// The piece size for a client size: min((w - 73) / 9, (h - boardTop - 35) / 10), clamped
// to 12..largest (50 unless the board grows with its window). Nothing when the view is
// too small to lay out (w <= 120 or h <= boardTop + 120).
std::optional<int> pieceSizeForClient(int clientWidth, int clientHeight, int boardTop,
                                      int largest = kMaxPieceSize);

// Lays the board out for a client size. Answers false, leaving geometry as it was, when
// the view is too small; otherwise geometry is recomputed (the caller then rebuilds its
// piece images) and the answer is true.
bool layoutBoard(BoardGeometry& geometry, int clientWidth, int clientHeight, int largest = kMaxPieceSize);

// The least client size whose board of the smallest pieces (d = 12) fits whole, with
// the controls' strip beside it rather than over it: 9 * 12 + 73 wide and
// boardTop + 10 * 12 + 35 high.
struct ClientSize {
    int width = 0;
    int height = 0;
};
ClientSize minimumClientSize(int boardTop);

// The screen square that shows a board square, and the board square a screen square
// shows (the same mapping both ways): itself, or 89 - s on a turned board.
constexpr int screenSquare(int square, bool normalOrientation)
{
    return normalOrientation ? square : 89 - square;
}

// The glyph images drawn at a piece size: 0 small (24 px) for d <= 27, 1 medium (32 px)
// for 28..35, 2 large (40 px) from 36 on.
constexpr int kGlyphSetCount = 3;
constexpr int kGlyphSetPixels[kGlyphSetCount] = {24, 32, 40};
constexpr int glyphSetFor(int pieceSize)
{
    return pieceSize <= 27 ? 0 : pieceSize <= 35 ? 1 : 2;
}

// The screen square under a view point, after clamping the point to the client
// (0..width, 0..height): column (x - 10) / squareSize and row (y - boardTop) / squareSize
// when x >= 10, y >= boardTop, column <= 8 and row <= 9. Nothing off the board or when the
// board is not laid out.
std::optional<int> screenSquareAt(const BoardGeometry& geometry, int x, int y, int clientWidth,
                                  int clientHeight);

// The board square under a view point (see screenSquareAt), by orientation.
std::optional<int> boardSquareAt(const BoardGeometry& geometry, int x, int y, int clientWidth, int clientHeight,
                                 bool normalOrientation);

// The centre of a screen square's cell: the point that screenSquareAt maps back to it.
CellPoint screenSquareCentre(const BoardGeometry& geometry, int screenSquare);

// The palette index (0..13) under a view point, for the position editor: strictly inside
// boardWidth < x < boardWidth + 2 * squareSize and rankY[0] < y < rankY[0] + 7 * squareSize.
std::optional<int> paletteIndexAt(const BoardGeometry& geometry, int x, int y);

// The piece number of palette index n: 1, 3, ..., 13 (Black general to soldier), then
// 17, 19, ..., 29 (Red).
constexpr int palettePiece(int n)
{
    return n < 7 ? 2 * n + 1 : 2 * (n - 7) + 17;
}

// The part of an invalid rectangle's top that a full repaint may paint: the status bar
// is never painted over, except while a position is edited (the bar is hidden then).
int repaintTop(const BoardGeometry& geometry, int invalidTop, bool editing);

} // namespace marovin::board
