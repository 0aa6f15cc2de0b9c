#pragma once
// Where a drawn board's pieces stand, read back from its pixels: for each of the 90 squares,
// a point on the piece's disc but off its glyph, its ring, the board's lines and the point
// marks shows the face colour of the piece there, or the board's colour when the square
// is empty. For boards of any size, smooth or exact.

#include <QImage>

#include <string>
#include <vector>

#include "board/board_geometry.h"
#include "model/position.h"

namespace marovin::testkit {

struct BoardColours {
    QRgb board, redFace, blackFace;
};

// The squares (screen squares, row * 9 + column) whose probe shows the wrong colour, each
// with what it showed; empty when every piece stands where the position puts it.
inline std::vector<std::string> misplacedPieces(const QImage& image, const board::BoardGeometry& geometry,
                                                const model::Board& position, bool normalOrientation,
                                                const BoardColours& colours)
{
    std::vector<std::string> wrong;
    const int d = geometry.pieceSize;
    for (int s = 0; s < board::kScreenSquareCount; ++s) {
        const board::CellPoint cell = geometry.cellOrigin(s);
        // Right of the disc's centre by 0.45 d and below it by 0.1 d: inside the disc
        // (0.5 d), outside the glyph's ring (0.42 d), off the lines through the centre and
        // beyond the point marks (0.35 d). Meant for pieces of 40 pixels or more.
        const int x = cell.x + d / 2 + d * 45 / 100, y = cell.y + d / 2 + d / 10;
        const int piece = position[static_cast<std::size_t>(board::screenSquare(s, normalOrientation))];
        const QRgb expected = piece == 0                    ? colours.board
                              : model::TypeOf(piece) > 6 ? colours.redFace
                                                            : colours.blackFace;
        const QRgb shown = image.pixel(x, y) | 0xFF000000u;
        if (shown != (expected | 0xFF000000u))
            wrong.push_back("screen square " + std::to_string(s) + " shows " +
                            std::to_string(shown & 0xFFFFFFu) + ", not " + std::to_string(expected & 0xFFFFFFu));
    }
    return wrong;
}

} // namespace marovin::testkit
