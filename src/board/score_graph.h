#pragma once
// The score graph of an analysed game: the engine's value of each position from Red's
// side over the plies of a line, drawn the same in the game window and by the
// command-line tool. No antialiasing, so a test can name its pixels.
//
//    +cap ┬───────────────────────────────   Red better: the area down to the zero line is
//         │   ▄▄█▄                            filled in Red's colour,
//       0 ┼▄▄█████▄▄▄▁▁      ▁               Black better: up to the zero line in Black's;
//         │            ▀▀██▀▀ ▀█▀             the curve on top; ? and ?? as small squares;
//    -cap ┴───────────────────────────────   the shown ply as a vertical line.
//         ply 0                        ply n
//
// Values beyond +-cap (mates, won games) are drawn at the edge. Unknown values leave a
// gap.

#include <QImage>
#include <QRect>

#include <optional>
#include <vector>

#include "model/analysis_note.h"

namespace marovin::board {

constexpr int kGraphCap = 1000; // centipawns at the top and bottom edges

// Where plies and values lie in a graph of the given area (the image's full rectangle
// for the tool, the widget's for the window).
struct ScoreGraphLayout {
    QRect area;
    int plies = 0; // the last ply drawn (values has plies + 1 entries)

    int xOfPly(int ply) const;
    int yOfValue(int value) const;
    // The ply whose point is nearest to x (clamped to 0..plies).
    int plyAt(int x) const;
};

struct ScoreGraphData {
    std::vector<std::optional<int>> values; // by ply, from Red's side (centipawns, mates beyond the cap)
    std::vector<model::MoveMark> marks;     // by ply (the move that led to it); may be shorter
    int shownPly = -1;                      // -1: none
};

// Colours (0xRRGGBB).
constexpr unsigned kGraphBackground = 0xFBFAF5;
constexpr unsigned kGraphRedArea = 0xF2B8B0;
constexpr unsigned kGraphBlackArea = 0xB8B8C0;
constexpr unsigned kGraphZeroLine = 0x909090;
constexpr unsigned kGraphCurve = 0x303030;
constexpr unsigned kGraphShownPly = 0x2060E0;
constexpr unsigned kGraphMistake = 0xE09000;
constexpr unsigned kGraphBlunder = 0xD01010;

// Draws the graph into image (32-bit RGB), over its whole rectangle.
void paintScoreGraph(QImage& image, const ScoreGraphData& data);

} // namespace marovin::board
