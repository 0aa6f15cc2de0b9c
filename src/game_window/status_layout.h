#pragma once
// Where the game status bar paints what it shows, from the system font's metrics (c is the
// average character width, h the text height, H the bar's height 2h + 2):
//
//   x: 0   part 1   5c | 5c+6  part 2  25c-3 | 25c+3  part 3  31c+4 | 31c+9 [Game] 31c+64
//   y: 2   move number (Red to move) | name 1 (rating) | clock 1
//      h+1 move number (Black)       | name 2 (rating) | clock 2
//
// The first part is filled green while an earlier position is shown; a transfer shows its percent
// at (2, 12) instead of the move number.

#include "platform/system_metrics.h"

namespace marovin::board {

struct StatusRect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom excluded
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const StatusRect&, const StatusRect&) = default;
};

struct StatusPoint {
    int x = 0, y = 0;
    friend bool operator==(const StatusPoint&, const StatusPoint&) = default;
};

enum class StatusPart { Empty = 0, MoveNumber = 1, Names = 2, Clocks = 3, Game = 4 };

struct StatusLayout {
    int height = 0;             // the bar's height
    int partRight[5] = {};      // right edges of parts 0..4
    StatusRect browsingFill;    // the green fill of part 1
    StatusPoint numberLine1;    // the move number's text origin (top-left) on line 1
    StatusPoint numberLine2;    // ... on line 2
    StatusPoint transfer;       // the transfer percent
    StatusRect names;           // both names, one at the top, one at the bottom
    StatusPoint clock1, clock2; // the clock texts
    StatusRect clocks;          // what a clock change repaints
    StatusRect gameButton;      // the "Game" button
};

StatusLayout statusLayout(const SystemMetrics& metrics);

// The part under x (parts end at their right edge, excluded).
StatusPart statusPartAt(const StatusLayout& layout, int x);

} // namespace marovin::board
