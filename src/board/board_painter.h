#pragma once
// Drawing a board view: lines, pieces, the last-move highlight, the edit palette, one
// moved piece, the dragged piece; the only code that knows the board's pixels.
//
// The view keeps what its window shows as one client-sized image (the screen, 32-bit
// RGB) and paints from it; every operation here draws into that image and answers the
// rectangle(s) it changed, which the view then updates. Lines, discs and glyphs are drawn
// without antialiasing, so a cell drawn alone has exactly the pixels a full repaint gives
// it: after any sequence of showMove the screen equals a fresh fullRepaint. (A grown
// board's antialiased pieces are ready-made images laid over their cells alike on both
// paths, so the same holds there.)
//
// A piece in its d x d cell:
//   1. the cell is prepared by its background (highlight, screen, cleanBoard, selected);
//   2. the inscribed disc takes the face colour (the cell ANDed with pieceMask, then
//      ORed with the side's face image), the corners keep the background;
//   3. the glyph (or the custom-font text) is drawn in the side's text colour;
//   4. for selected, the disc's pixels are inverted.
//
// Colours, the custom font, piece texts and bitmap options are read from the options
// record at each drawing; the disc images and the scaled glyphs are rebuilt when the
// geometry changes and whenever the settings they depend on have changed.
//
// How a board view uses it: it owns one BoardPainter and the screen image; on a resize it
// calls layoutBoard and, when that succeeds, fullRepaint; on a paint event it copies the
// screen (at logical pixels; Qt scales it for the device) from repaintTop down; for a
// move made or taken back it calls showMove with the last move's square it remembers and
// updates the answered region; a carry goes through liftPiece, dragPiece and putDown
// (put the piece down before showMove). sceneOf (board_scene.h) gives the scene of a game.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "board/board_bitmap.h"
#include "board/board_geometry.h"
#include "board/board_scene.h"
#include "board/glyph_sets.h"
#include "model/position.h"
#include "options/options.h"

namespace marovin::board {

enum class PieceBackground {
    highlight,  // the cell is first filled with pieceCursorColour
    screen,     // the cell keeps what the screen shows there
    cleanBoard, // the cell first shows the empty board (background and its lines)
    selected,   // as screen, and the finished disc is inverted
};

// The piece under the pointer while it is carried: where it was last drawn and the
// (d + 2)-pixel square of screen it covers.
struct DragImage {
    QPoint topLeft{-1, -1};
    QImage saved;

    bool active() const { return !saved.isNull(); }
};

class BoardPainter {
public:
    // textHeight is the system font's height, which places the board below the status bar.
    BoardPainter(const Options& options, const BoardBitmap& bitmap, const GlyphSets& glyphs, int textHeight);

    // A board that grows with its window: laid out at any piece size (not only up to 50),
    // its pieces drawn antialiased from the piece font's outlines and its lines thicker as
    // the squares grow. Off, every pixel is as described above. Takes effect at the next
    // layoutBoard.
    void setGrows(bool grows) { m_grows = grows; }
    bool grows() const { return m_grows; }
    // Device pixels per view pixel of the screen image, for a grown board on a dense
    // screen: the client size given to layoutBoard is then in device pixels, and the
    // status bar's height is scaled to match. 1 (the default) for a board of fixed sizes.
    void setLayoutScale(double scale) { m_layoutScale = scale; }

    // Stores the client size and lays the board out for it, rebuilding the piece images.
    // False (geometry unchanged) when the view is too small to hold a board.
    bool layoutBoard(int clientWidth, int clientHeight);
    // Rebuilds the disc images and the scaled glyphs (after a board setting changed).
    void rebuildPieceImages();

    const BoardGeometry& geometry() const { return m_geometry; }
    QSize clientSize() const { return m_client; }
    // The cached d x d images: white with the black inscribed disc, and black outside the
    // disc with the face colour inside.
    const QImage& pieceMask() const { return m_pieceMask; }
    const QImage& redFaceImage() const { return m_redFace; }
    const QImage& blackFaceImage() const { return m_blackFace; }

    // The whole view: background (bitmap or board colour) over the client, all lines,
    // all pieces (and the palette while editing). The screen is made client-sized first.
    // Nothing is drawn before the board is laid out.
    void fullRepaint(QImage& screen, const BoardScene& scene);

    // The lines of the whole board, or of one screen square (clipped to clip).
    void drawBoardLines(QImage& screen, std::optional<int> screenSquare, const QRect& clip);
    // One piece with its cell's top-left at topLeft; answers the cell.
    QRect drawPiece(QImage& screen, int piece, QPoint topLeft, PieceBackground background);
    // drawPiece at a screen square's cell; nothing for a square outside 0..89 or piece 0.
    QRect drawPieceAtSquare(QImage& screen, int piece, int screenSquare, PieceBackground background);
    // The (d + 1)-square area of a screen square's cell as empty board.
    QRect redrawEmptySquare(QImage& screen, int screenSquare);
    // Black pieces, then Red, then the last move's piece on the highlight (unless
    // editing), then the palette while editing.
    void drawAllPieces(QImage& screen, const BoardScene& scene);

    // Redraws after one move was played (forward) or taken back; scene is the position
    // after it, the squares are board squares (-1: none): the last move's to-square before
    // and after. Draws nothing outside the normal and editing modes. A carried piece must
    // have been put down first.
    QRegion showMove(QImage& screen, const BoardScene& scene, const model::PackedMove& move, bool forward,
                     int previousLastTo, int newLastTo);

    // The carried piece. liftPiece saves the square under topLeft and draws the piece
    // there; dragPiece moves it (restoring the old square, saving the new one);
    // putDown restores the saved square and ends the drag. Each answers what changed:
    // for a short step one box around both positions, otherwise the two squares.
    QRect liftPiece(QImage& screen, DragImage& drag, int piece, QPoint topLeft);
    QRegion dragPiece(QImage& screen, DragImage& drag, int piece, QPoint topLeft, bool selected);
    QRect putDown(QImage& screen, DragImage& drag);

private:
    struct Run {
        int y, x0, x1; // pixels [x0, x1) of row y, relative to the cell
    };
    using Runs = std::vector<Run>;

    template <class Ink>
    static Runs collectRuns(int d, Ink ink);
    void ensurePieceImages();
    void buildDisc();
    void buildInk();
    Runs glyphInk(int type) const;
    Runs textInk(int type) const;
    QImage smoothPiece(int type) const;
    void paintBackground(QImage& target, const QRect& rect);
    void paintDiscAndInk(QImage& screen, int piece, QPoint topLeft, const QRect& visible) const;
    void paintCell(QImage& screen, int piece, QPoint topLeft, PieceBackground background);
    std::optional<int> squareOfCell(QPoint topLeft) const;
    QRect savedSquare(QPoint topLeft) const;

    const Options& m_options;
    const BoardBitmap& m_bitmap;
    const GlyphSets& m_glyphs;
    BoardGeometry m_geometry;
    QSize m_client;

    QImage m_pieceMask, m_redFace, m_blackFace;
    Runs m_disc;                                              // the inscribed disc
    std::array<Runs, model::kPieceTypeCount> m_ink;           // glyph or text pixels per type
    std::array<QImage, model::kPieceTypeCount> m_smooth;      // whole antialiased pieces, grown boards
    bool m_grows = false;
    int m_textHeight;
    double m_layoutScale = 1.0;
    // What the cached images were built for.
    int m_builtSize = 0;
    Colour m_builtRedFace = 0, m_builtBlackFace = 0, m_builtRedText = 0, m_builtBlackText = 0;
    bool m_builtGrows = false;
    bool m_builtCustomFont = false;
    FontDescription m_builtFont{};
    std::array<char, sizeof Options::pieceText> m_builtTexts{};
};

} // namespace marovin::board
