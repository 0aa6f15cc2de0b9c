#pragma once
// The sizes and places of game windows as plain arithmetic: a size record (a placement
// whose normal rectangle gives the width and height, then the two columns' ideal and
// minimum widths) applied to a window, a window's size stored back into a record, where a
// new window goes, and the input bar's "Left", "Cen" and "Right".

#include <vector>

#include "options/options.h"

namespace marovin::board {

// A window's rectangle in its parent's coordinates.
struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// The two panes' widths: the board pane at least 100; the note pane hidden (0) when what
// is left for it is below its minimum.
struct PaneWidths {
    int board = 0, note = 0;
    friend bool operator==(const PaneWidths&, const PaneWidths&) = default;
};

// The built-in sizes of the size commands: 0 small, 1 medium, 2 large.
constexpr int kSmallSize = 0;
constexpr int kMediumSize = 1;
constexpr int kLargeSize = 2;

// Applying a record to a window whose left edge is at currentLeft: the record's rectangle
// moved right by currentLeft, so the window keeps its horizontal place.
WindowRect appliedSize(const WindowSizeRecord& record, int currentLeft);

// The panes of a record in a window whose split has room for available pixels.
PaneWidths paneWidths(const WindowSizeRecord& record, int available);

// A record of the window's rectangle and its panes' widths, at left 0 and top 0. The
// minimum widths are kept from previous (the record the window was given).
WindowSizeRecord storedSize(const WindowSizeRecord& previous, const WindowRect& window, const PaneWidths& panes);

// The left edge of a new window of the given width, flush with the right edge of the
// area that holds it (areaRight, not beyond screenRight - 8), in area coordinates: at
// least 0.
int newWindowLeft(int areaLeft, int areaRight, int screenRight, int width);

// Where a new window goes so that it covers none of the open windows' title bars (the top
// titleHeight pixels of each): wanted, or stepped down by step (and left by step while it
// can) until it is clear, at most maxSteps times (then the last place tried).
WindowRect clearOfTitleBars(WindowRect wanted, const std::vector<WindowRect>& open, int titleHeight, int step,
                            int maxSteps);

enum class WindowMove { Left, Centre, Right };
// The left edge after "Left" (3), "Cen" (centred in the client width) or "Right" (right
// edge on the client's).
int movedWindowLeft(WindowMove move, int clientWidth, int windowWidth);

} // namespace marovin::board
