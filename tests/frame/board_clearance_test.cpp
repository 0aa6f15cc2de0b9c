// Where a floating window goes so that it hides no board: it stays when it covers none,
// moves the shortest way off a board when there is room, and says so when there is none.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "frame/board_clearance.h"

namespace marovin::windows {
namespace {

TEST(BoardClearance, AWindowMovesTheShortestWayOffTheBoardsOrSaysThereIsNoRoom)
{
    const QRect screen(0, 0, 1000, 700);
    const QRect board(100, 50, 400, 450); // right edge 499, bottom 499
    const struct {
        const char* what;
        QPoint from;
        QSize size;
        std::vector<QRect> boards;
        std::optional<QPoint> place; // none: anywhere clear
        bool room;
    } cases[] = {
        {"clear already: stays", {600, 100}, {300, 200}, {board}, QPoint(600, 100), true},
        {"over the right part: moves right", {400, 100}, {300, 200}, {board}, QPoint(500, 100), true},
        {"over the lower part: moves down", {150, 450}, {300, 150}, {board}, QPoint(150, 500), true},
        {"between two boards", {450, 100}, {300, 200}, {board, QRect(600, 0, 400, 700)}, std::nullopt, true},
        {"too big for any room", {0, 0}, {900, 650}, {board}, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto [place, covered] = leastCoveringPlace(c.size, screen, c.boards, c.from);
        EXPECT_EQ(covered == 0, c.room) << covered;
        EXPECT_TRUE(screen.contains(QRect(place, c.size)));
        for (const QRect& b : c.boards) {
            EXPECT_EQ(QRect(place, c.size).intersects(b), !c.room);
        }
        if (c.place) {
            EXPECT_EQ(place, *c.place) << place.x() << "," << place.y();
        }
    }
}

} // namespace
} // namespace marovin::windows
