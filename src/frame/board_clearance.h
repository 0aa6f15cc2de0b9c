#pragma once
// Keeping the boards clear: windows that float above the frame (list windows, the tell
// window, the database windows) go where they hide no board. A game the user plays needs
// its board seen while the clock runs, so when one opens every such window moves off it, or
// hides until the user asks for it again when the screen has no room beside the board.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <utility>
#include <vector>

class QWidget;

namespace marovin::board {
class QtGameWindows;
}

namespace marovin::windows {

class CMainFrame;

// Where a window of this size covers the least of boards within area (a corner of the area,
// beside a board, or from when given), and how much it covers there. Among equal places the
// one nearest to from wins, so that a window already clear of the boards stays put.
std::pair<QPoint, long long> leastCoveringPlace(const QSize& size, const QRect& area, const std::vector<QRect>& boards,
                                                std::optional<QPoint> from = std::nullopt);

// The boards (screen coordinates) of the visible game windows; playedOnly: of the games the
// user plays.
std::vector<QRect> boardRects(const board::QtGameWindows& windows, bool playedOnly);

// Moves the top-level window to where its frame covers the least of boards: within the
// frame's window area when it has room, else anywhere on the screen. stayWhenClear: a
// window that covers none stays, one that does moves the shortest way; else a new window
// takes the first such place from the area's corners on. True when it then covers none.
bool placeClearOfBoards(QWidget& window, const CMainFrame& frame, const std::vector<QRect>& boards,
                        bool stayWhenClear);

// A game the user plays opened with this board: every modeless window of the frame that
// covers it moves aside, or hides when there is no room.
void clearBoardOfWindows(const CMainFrame& frame, const QRect& board);

} // namespace marovin::windows
