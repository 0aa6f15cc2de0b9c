#include "board/board_geometry.h"

#include <algorithm>

namespace marovin::board {

CellPoint BoardGeometry::cellOrigin(int screenSquare) const
{
    return {fileX[static_cast<std::size_t>(screenSquare % 9)] - halfSquare,
            rankY[static_cast<std::size_t>(screenSquare / 9)] - halfSquare};
}

CellPoint BoardGeometry::paletteCellOrigin(int n) const
{
    return {boardWidth + (n / 7) * squareSize, rankY[0] + (n % 7) * squareSize};
}

BoardGeometry unlaidGeometry(int textHeight)
{
    BoardGeometry geometry;
    geometry.boardTop = 2 * textHeight + 11;
    geometry.statusBarHeight = 2 * textHeight + 2;
    return geometry;
}

BoardGeometry geometryForPieceSize(int pieceSize, const BoardGeometry& metrics, int largest)
{
    BoardGeometry geometry = unlaidGeometry(0);
    geometry.boardTop = metrics.boardTop;
    geometry.statusBarHeight = metrics.statusBarHeight;
    const int d = std::clamp(pieceSize, kMinPieceSize, std::max(largest, kMinPieceSize));
    geometry.pieceSize = d;
    geometry.squareSize = d + 3;
    geometry.halfSquare = (d + 3) / 2;
    for (int i = 0; i < 10; ++i) {
        geometry.fileX[static_cast<std::size_t>(i)] = geometry.halfSquare + 10 + i * geometry.squareSize;
        geometry.rankY[static_cast<std::size_t>(i)] = geometry.halfSquare + geometry.boardTop + i * geometry.squareSize;
    }
    geometry.boardWidth = 9 * geometry.squareSize + 20;
    geometry.boardHeight = geometry.boardTop + 10 * geometry.squareSize + 10;
    return geometry;
}

std::optional<int> pieceSizeForClient(int clientWidth, int clientHeight, int boardTop, int largest)
{
    if (clientWidth <= 120 || clientHeight <= boardTop + 120)
        return std::nullopt;
    const int d = std::min((clientWidth - 73) / 9, (clientHeight - boardTop - 35) / 10);
    return std::clamp(d, kMinPieceSize, std::max(largest, kMinPieceSize));
}

bool layoutBoard(BoardGeometry& geometry, int clientWidth, int clientHeight, int largest)
{
    const auto d = pieceSizeForClient(clientWidth, clientHeight, geometry.boardTop, largest);
    if (!d)
        return false;
    geometry = geometryForPieceSize(*d, geometry, largest);
    return true;
}

ClientSize minimumClientSize(int boardTop)
{
    return {9 * kMinPieceSize + 73, boardTop + 10 * kMinPieceSize + 35};
}

std::optional<int> screenSquareAt(const BoardGeometry& geometry, int x, int y, int clientWidth, int clientHeight)
{
    if (!geometry.laidOut())
        return std::nullopt;
    x = std::clamp(x, 0, std::max(clientWidth, 0));
    y = std::clamp(y, 0, std::max(clientHeight, 0));
    if (x < 10 || y < geometry.boardTop)
        return std::nullopt;
    const int column = (x - 10) / geometry.squareSize;
    const int row = (y - geometry.boardTop) / geometry.squareSize;
    if (column > 8 || row > 9)
        return std::nullopt;
    return row * 9 + column;
}

std::optional<int> boardSquareAt(const BoardGeometry& geometry, int x, int y, int clientWidth, int clientHeight,
                                 bool normalOrientation)
{
    const auto screen = screenSquareAt(geometry, x, y, clientWidth, clientHeight);
    if (!screen)
        return std::nullopt;
    return screenSquare(*screen, normalOrientation);
}

CellPoint screenSquareCentre(const BoardGeometry& geometry, int screenSquare)
{
    return {geometry.fileX[static_cast<std::size_t>(screenSquare % 9)],
            geometry.rankY[static_cast<std::size_t>(screenSquare / 9)]};
}

std::optional<int> paletteIndexAt(const BoardGeometry& geometry, int x, int y)
{
    if (!geometry.laidOut())
        return std::nullopt;
    const int left = geometry.boardWidth;
    const int top = geometry.rankY[0];
    if (x <= left || x >= left + 2 * geometry.squareSize || y <= top || y >= top + 7 * geometry.squareSize)
        return std::nullopt;
    const int row = (y - top) / geometry.squareSize;
    return (x > left + geometry.squareSize ? 7 : 0) + row;
}

int repaintTop(const BoardGeometry& geometry, int invalidTop, bool editing)
{
    return editing ? invalidTop : std::max(invalidTop, geometry.statusBarHeight);
}

} // namespace marovin::board
