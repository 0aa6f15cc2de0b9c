// The game window's arithmetic and rules without a screen: where the status bar paints,
// window sizes and places, which command may act on which game and what it sends, and the
// navigation controls on a record with branches.

#include <gtest/gtest.h>

#include <ostream>

#include "../model/game_fixture.h"
#include "game_window/game_command_rules.h"
#include "game_window/game_navigation.h"
#include "game_window/status_layout.h"
#include "game_window/window_sizes.h"
#include "support/fixed_text.h"

namespace marovin::board {

void PrintTo(const WindowRect& r, std::ostream* out)
{
    *out << '{' << r.left << ", " << r.top << ", " << r.width << " x " << r.height << '}';
}
void PrintTo(const PaneWidths& p, std::ostream* out)
{
    *out << '{' << p.board << " | " << p.note << '}';
}

namespace {

using model::testing::pathText;
using model::testing::play;

TEST(StatusLayout, PartsFollowTheSystemFont)
{
    const StatusLayout layout = statusLayout(deriveSystemMetrics(16, 7)); // the bar is 34 high
    EXPECT_EQ(std::vector<int>(layout.partRight, layout.partRight + 5), (std::vector<int>{0, 35, 175, 221, 1000}));
    EXPECT_EQ(layout.browsingFill, (StatusRect{3, 2, 35, 31}));
    EXPECT_EQ(layout.numberLine2, (StatusPoint{3, 17}));
    EXPECT_EQ(layout.names, (StatusRect{41, 2, 172, 33}));
    EXPECT_EQ(layout.clock2, (StatusPoint{178, 17}));
    EXPECT_EQ(layout.gameButton, (StatusRect{226, 5, 281, 30}));
    const std::pair<int, StatusPart> parts[] = {{0, StatusPart::MoveNumber}, {34, StatusPart::MoveNumber},
                                                {35, StatusPart::Names},     {174, StatusPart::Names},
                                                {175, StatusPart::Clocks},   {221, StatusPart::Game},
                                                {5000, StatusPart::Game}};
    for (const auto& [x, part] : parts)
        EXPECT_EQ(statusPartAt(layout, x), part) << x;
}

TEST(WindowSizes, ASizeKeepsTheLeftEdgeAndItsPanes)
{
    EXPECT_EQ(appliedSize(builtInWindowSize(kSmallSize), 200), (WindowRect{200, 0, 300, 364}));
    EXPECT_EQ(appliedSize(builtInWindowSize(4), 0), (WindowRect{0, 0, 696, 530}));
    // The built-in sizes without a note pane give the board all the room.
    EXPECT_EQ(paneWidths(builtInWindowSize(kSmallSize), 290), (PaneWidths{290, 0}));
    EXPECT_EQ(paneWidths(builtInWindowSize(3), 585), (PaneWidths{360, 225}));
    EXPECT_EQ(paneWidths(builtInWindowSize(3), 450), (PaneWidths{450, 0})) << "90 pixels are below the minimum";
    WindowSizeRecord tiny = builtInWindowSize(3);
    tiny.boardPaneIdeal = 20;
    EXPECT_EQ(paneWidths(tiny, 400).board, 100) << "the board pane keeps 100 pixels";

    const WindowSizeRecord stored = storedSize(builtInWindowSize(3), {250, 40, 640, 480}, {400, 228});
    EXPECT_EQ(appliedSize(stored, 10), (WindowRect{10, 0, 640, 480})) << "stored at left 0, top 0";
    EXPECT_EQ(stored.boardPaneIdeal, 400);
    EXPECT_EQ(stored.notePaneIdeal, 228);
    EXPECT_EQ(stored.notePaneMinimum, 101);
    EXPECT_EQ(stored.placement.showCommand, 1u);
}

TEST(WindowSizes, NewWindowsOpenAtTheRightAndTheInputBarMovesThem)
{
    EXPECT_EQ(newWindowLeft(0, 1280, 1280, 696), 576);
    EXPECT_EQ(newWindowLeft(100, 2000, 1280, 696), 476) << "not beyond the screen's right edge less 8";
    EXPECT_EQ(newWindowLeft(0, 400, 1280, 696), 0) << "never left of the area";
    EXPECT_EQ(movedWindowLeft(WindowMove::Left, 1000, 450), 3);
    EXPECT_EQ(movedWindowLeft(WindowMove::Centre, 1000, 450), 275);
    EXPECT_EQ(movedWindowLeft(WindowMove::Right, 1000, 450), 550);
}

TEST(WindowSizes, ANewWindowLeavesEveryTitleBarInSight)
{
    // Open windows, 20-pixel title bars and steps; the new window is 400 x 300.
    struct Case {
        const char* what;
        std::vector<WindowRect> open;
        WindowRect expected;
    };
    const Case cases[] = {
        {"an empty area", {}, {600, 0, 400, 300}},
        {"one window there", {{600, 0, 400, 300}}, {580, 20, 400, 300}},
        {"two windows stepped", {{600, 0, 400, 300}, {580, 20, 400, 300}}, {560, 40, 400, 300}},
        {"a narrower window under its top", {{700, 0, 200, 200}}, {580, 20, 400, 300}},
        {"a window beside it", {{0, 0, 500, 300}}, {600, 0, 400, 300}},
        {"a window lower down", {{600, 400, 400, 300}}, {600, 0, 400, 300}},
        {"its body covered only", {{600, -100, 400, 300}}, {600, 0, 400, 300}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clearOfTitleBars({600, 0, 400, 300}, c.open, 20, 20, 10), c.expected) << c.what;
    const WindowRect far = clearOfTitleBars({10, 0, 400, 300}, {{0, 0, 2000, 2000}}, 2000, 20, 3);
    EXPECT_EQ(far, (WindowRect{10, 60, 400, 300})) << "gives up after the last step, never left of 0";
}

struct Rules : ::testing::Test {
    Rules() : game(environment.newGame()) {}
    model::testing::GameEnvironment environment;
    std::unique_ptr<model::CGame> game;
};

TEST_F(Rules, EachCommandActsOnTheGamesItIsFor)
{
    using enum GameCommand;
    struct Case {
        std::uint8_t participation;
        std::vector<GameCommand> enabled;
    };
    const Case cases[] = {
        {model::kPlaying, {Adjourn, Pass, Resign, Undo, AddTime, AllObservers, TimeLeft, Kibitz}},
        {model::kObserving, {AllObservers, TimeLeft, Kibitz}},
        {model::kServerNotLive, {Header}},
        {model::kLocalGame, {Header}},
    };
    const GameCommand all[] = {Adjourn, Pass, Resign, Undo, AddTime, AllObservers, TimeLeft, Kibitz,
                               RefreshGame, Header, DeleteMoves};
    for (const Case& c : cases) {
        game->participation = c.participation;
        for (const GameCommand command : all) {
            const bool expected = std::find(c.enabled.begin(), c.enabled.end(), command) != c.enabled.end();
            EXPECT_EQ(gameCommandEnabled(command, *game), expected)
                << "participation " << int(c.participation) << ", command " << int(command);
        }
    }
    play(*game, "H2-E2");
    EXPECT_TRUE(gameCommandEnabled(DeleteMoves, *game)) << "a local game with moves";
    game->mode = model::kModeSending;
    EXPECT_FALSE(gameCommandEnabled(DeleteMoves, *game));

    EXPECT_EQ(gameCommandLine(Adjourn, 12), "adjourn 12\r\n");
    EXPECT_EQ(gameCommandLine(AllObservers, 12), "allobservers 12\r\n");
    EXPECT_EQ(gameCommandLine(TimeLeft, 3), "timeleft 3\r\n");
    EXPECT_EQ(gameCommandLine(Header, 3), "");

    copyBounded(game->redName, "alice");
    copyBounded(game->blackName, "bob");
    game->gameNumber = 12;
    EXPECT_EQ(resignMenuText(game.get()), "Resign");
    game->participation = model::kPlaying;
    EXPECT_EQ(resignMenuText(game.get()), "Resign(\xBB{\xBF\xE9) [12] alice vs bob");
    EXPECT_EQ(resignQuestion(*game), "resign [12] alice vs bob");
    EXPECT_EQ(resignMenuText(nullptr), "Resign");
}

TEST_F(Rules, RefreshGameGoesToTheLiveEndOrTheEndOfTheLine)
{
    play(*game, "H2-E2");
    play(*game, "H7-E7");
    EXPECT_FALSE(canRefreshGame(*game)) << "at the end already";
    goToStart(*game);
    EXPECT_EQ(game->browsedPly(), 0);
    EXPECT_TRUE(canRefreshGame(*game));
    refreshGame(*game);
    EXPECT_EQ(game->browsedPly(), 2);
    EXPECT_EQ(game->mode, model::kModeNormal);

    auto live = environment.newGame();
    live->participation = model::kObserving;
    for (const char* move : {"H2-E2", "H7-E7", "B0-C2"})
        play(*live, move, model::MoveKind::Game);
    stepMove(*live, -1);
    stepMove(*live, -1);
    EXPECT_TRUE(canRefreshGame(*live)) << "an earlier position of a live game";
    live->mode = model::kModeBusy;
    EXPECT_FALSE(canRefreshGame(*live)) << "not while busy";
    stepMove(*live, 1);
    EXPECT_EQ(live->browsedPly(), 1) << "the controls do nothing while busy";
    live->mode = model::kModeNormal;
    refreshGame(*live);
    EXPECT_EQ(pathText(*live), "H2-E2 H7-E7 B0-C2");
    EXPECT_FALSE(canRefreshGame(*live));
}

TEST_F(Rules, TheLeftRightControlCyclesThroughTheAlternatives)
{
    // Three first moves; the user stands after the first of them.
    for (const char* first : {"H2-E2", "B2-E2", "C3-C4"}) {
        play(*game, first);
        game->Navigate(model::kStepBack);
    }
    EXPECT_TRUE(switchAlternative(*game, 1)) << "at the start the first move has alternatives";
    const std::string shown = pathText(*game);
    EXPECT_EQ(game->browsedPly(), 1);
    std::vector<std::string> seen{shown};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(switchAlternative(*game, 1));
        seen.push_back(pathText(*game));
    }
    EXPECT_EQ(seen[3], seen[0]) << "three steps come round again";
    EXPECT_NE(seen[1], seen[0]);
    EXPECT_NE(seen[2], seen[1]);
    EXPECT_TRUE(switchAlternative(*game, -1));
    EXPECT_EQ(pathText(*game), seen[2]) << "back one";
    EXPECT_EQ(game->mode, model::kModeNormal);

    play(*game, "H9-G7");
    EXPECT_FALSE(switchAlternative(*game, 1)) << "a move with no other";
    EXPECT_EQ(environment.terminal.texts(), std::vector<std::string>{"No Branch"});
    EXPECT_EQ(environment.desktop.boxes, std::vector<std::string>{"No Branch!"});
}

} // namespace
} // namespace marovin::board
