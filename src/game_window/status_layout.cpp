#include "game_window/status_layout.h"

namespace marovin::board {

StatusLayout statusLayout(const SystemMetrics& metrics)
{
    const int c = metrics.averageCharWidth;
    const int h = metrics.textHeight;
    const int height = metrics.statusBarHeight;
    StatusLayout layout;
    layout.height = height;
    const int rights[5] = {0, 5 * c, 25 * c, 31 * c + 4, 1000};
    for (int i = 0; i < 5; ++i)
        layout.partRight[i] = rights[i];
    layout.browsingFill = {3, 2, 5 * c, height - 3};
    layout.numberLine1 = {3, 2};
    layout.numberLine2 = {3, h + 1};
    layout.transfer = {2, 12};
    layout.names = {5 * c + 6, 2, 25 * c - 3, height - 1};
    layout.clock1 = {25 * c + 3, 2};
    layout.clock2 = {25 * c + 3, h + 1};
    layout.clocks = {25 * c, 2, 31 * c + 4, height};
    layout.gameButton = {31 * c + 9, 5, 31 * c + 64, height - 4};
    return layout;
}

StatusPart statusPartAt(const StatusLayout& layout, int x)
{
    for (int part = 0; part < 5; ++part)
        if (x < layout.partRight[part])
            return static_cast<StatusPart>(part);
    return StatusPart::Game;
}

} // namespace marovin::board
