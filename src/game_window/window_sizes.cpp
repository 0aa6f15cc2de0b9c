#include "game_window/window_sizes.h"

#include <algorithm>

namespace marovin::board {

namespace {

constexpr int kBoardPaneLeast = 100;
constexpr int kScreenEdgeMargin = 8;
constexpr int kLeftEdge = 3;

} // namespace

WindowRect appliedSize(const WindowSizeRecord& record, int currentLeft)
{
    const Rect32& r = record.placement.normalRect;
    return {r.left + currentLeft, r.top, r.right - r.left, r.bottom - r.top};
}

PaneWidths paneWidths(const WindowSizeRecord& record, int available)
{
    PaneWidths panes;
    panes.board = std::max(kBoardPaneLeast, record.boardPaneIdeal);
    const int rest = available - panes.board;
    if (rest < std::max(1, record.notePaneMinimum))
        panes.board = std::max(panes.board, available);
    else
        panes.note = rest;
    return panes;
}

WindowSizeRecord storedSize(const WindowSizeRecord& previous, const WindowRect& window, const PaneWidths& panes)
{
    WindowSizeRecord record = previous;
    record.placement.length = sizeof(WindowPlacement);
    record.placement.showCommand = 1; // normal
    record.placement.normalRect = {0, 0, window.width, window.height};
    record.boardPaneIdeal = panes.board;
    record.notePaneIdeal = panes.note;
    return record;
}

int newWindowLeft(int areaLeft, int areaRight, int screenRight, int width)
{
    return std::max(0, std::min(areaRight, screenRight - kScreenEdgeMargin) - areaLeft - width);
}

WindowRect clearOfTitleBars(WindowRect wanted, const std::vector<WindowRect>& open, int titleHeight, int step,
                            int maxSteps)
{
    const auto covers = [&](const WindowRect& other) {
        return wanted.left < other.left + other.width && other.left < wanted.left + wanted.width &&
               wanted.top < other.top + titleHeight && other.top < wanted.top + wanted.height;
    };
    for (int i = 0; i < maxSteps && std::any_of(open.begin(), open.end(), covers); ++i) {
        wanted.left = wanted.left >= step ? wanted.left - step : wanted.left;
        wanted.top += step;
    }
    return wanted;
}

int movedWindowLeft(WindowMove move, int clientWidth, int windowWidth)
{
    switch (move) {
    case WindowMove::Left:
        return kLeftEdge;
    case WindowMove::Centre:
        return (clientWidth - windowWidth) / 2;
    case WindowMove::Right:
        return clientWidth - windowWidth;
    }
    return kLeftEdge;
}

} // namespace marovin::board
