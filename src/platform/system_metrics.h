#pragma once
// Layout values derived from the system font, measured once at start-up and used by the
// game windows and lists.

namespace marovin {

struct SystemMetrics {
    int textHeight = 16;      // height of the system font in pixels
    int averageCharWidth = 7; // its average character width
    int statusBarHeight = 34; // 2 * textHeight + 2: a game window's status bar
    int boardTop = 43;        // 2 * textHeight + 11: where the board's top row begins
    int statusPart1Right = 35;  // 5 * averageCharWidth
    int statusPart2Right = 175; // 25 * averageCharWidth
    int statusPart3Right = 221; // 31 * averageCharWidth + 4
};

constexpr SystemMetrics deriveSystemMetrics(int textHeight, int averageCharWidth)
{
    SystemMetrics metrics;
    metrics.textHeight = textHeight;
    metrics.averageCharWidth = averageCharWidth;
    metrics.statusBarHeight = 2 * textHeight + 2;
    metrics.boardTop = 2 * textHeight + 11;
    metrics.statusPart1Right = 5 * averageCharWidth;
    metrics.statusPart2Right = 25 * averageCharWidth;
    metrics.statusPart3Right = 31 * averageCharWidth + 4;
    return metrics;
}

} // namespace marovin
