// What a game window's status bar and caption say of a game, case by case: the move
// number's line and flags, a transfer's percent, names with ratings, and clocks that are
// live, stopped, not known yet or replaced by the first mover of a set-up position.

#include <gtest/gtest.h>

#include <ostream>

#include "../model/game_fixture.h"
#include "session/game_status_text.h"
#include "support/fixed_text.h"

namespace marovin::session {

void PrintTo(const StatusRecord& r, std::ostream* out)
{
    *out << "{red " << r.redToMove << " no " << r.moveNumber << " back " << r.browsingBack << " branch "
         << r.branchHere << " '" << r.name1 << "' " << r.rating1 << " '" << r.name2 << "' " << r.rating2 << " '"
         << r.clockText1 << "' '" << r.clockText2 << "' running " << r.clocksRunning << '}';
}

namespace {

using model::testing::play;

struct StatusText : ::testing::Test {
    StatusText()
    {
        game = environment.newGame();
        copyBounded(game->redName, "alice");
        copyBounded(game->blackName, "bob");
        game->redRating = 1510;
        game->blackRating = 1495;
    }
    StatusRecord status()
    {
        StatusRecord record;
        refreshTurn(record, *game);
        refreshPlayers(record, *game);
        return record;
    }
    // A live observed game of two moves (the server's), shown at its live end.
    void observe()
    {
        game->participation = model::kObserving;
        game->gameNumber = 7;
        game->observers = 3;
        play(*game, "H2-E2", model::MoveKind::Game);
        play(*game, "H7-E7", model::MoveKind::Game);
    }

    model::testing::GameEnvironment environment;
    std::unique_ptr<model::CGame> game;
};

TEST_F(StatusText, TheMoveNumberStandsOnTheLineOfTheSideToMoveAndTurnsGreenOnlyWhenBrowsingBack)
{
    observe();
    game->times = {0, 0, 75, 600};
    game->clocksKnown = true;
    StatusRecord expected;
    expected.redToMove = 1;
    expected.moveNumber = 3;
    expected.name1 = "alice";
    expected.name2 = "bob";
    expected.rating1 = 1510;
    expected.rating2 = 1495;
    expected.clockText1 = " 01:15";
    expected.clockText2 = " 10:00";
    expected.clocksRunning = true;
    EXPECT_EQ(status(), expected) << "at the live end";

    game->Navigate(model::kStepBack);
    expected.redToMove = 0;
    expected.moveNumber = 2;
    expected.browsingBack = 1;
    EXPECT_EQ(status(), expected) << "one step back";

    game->GoToLive();
    EXPECT_EQ(status().browsingBack, 0);
    EXPECT_EQ(gameCaption(*game), "Obse (7) alice vs bob: 3 observers");
    game->participation = model::kPlaying;
    EXPECT_EQ(gameCaption(*game), "Play (7) alice vs bob: 3 observers");
}

TEST_F(StatusText, ClocksShowOnlyWhatIsKnownAndStopWhenTheGameIsNotLive)
{
    observe();
    game->times = {0, 0, 600, 590};
    EXPECT_EQ(status().clockText1, "") << "the server has not given the clocks yet";
    EXPECT_EQ(status().clockText2, "");

    game->participation = model::kLocalGame;
    StatusRecord stopped = status();
    EXPECT_EQ(stopped.clockText1, " 10:00") << "a game record keeps the clocks it holds";
    EXPECT_EQ(stopped.clockText2, " 09:50");
    EXPECT_FALSE(stopped.clocksRunning);
    game->times = {0, 0, 0, 0};
    EXPECT_EQ(status().clockText1, "") << "a record without clocks shows none";

    // A set-up position shows who moves first instead, and no ratings.
    model::Board board = model::kStandardOpening;
    board[82] = 0;
    ASSERT_TRUE(game->SetStartPosition(board, 1));
    const StatusRecord setUp = status();
    EXPECT_EQ(setUp.clockText1, " Black");
    EXPECT_EQ(setUp.clockText2, " First");
    EXPECT_EQ(setUp.rating1, 0);
    EXPECT_EQ(setUp.rating2, 0);
    EXPECT_EQ(setUp.redToMove, 0);
}

TEST_F(StatusText, ABranchingLineEndIsMarkedAndATransferShowsItsPercent)
{
    play(*game, "H2-E2");
    game->Navigate(model::kStepBack);
    play(*game, "B2-E2"); // a second first move: the start now branches
    game->Navigate(model::kGoToStart);
    EXPECT_EQ(status().branchHere, 1) << "the start, where the first move has two alternatives";
    game->Navigate(model::kGoToPly, 1);
    EXPECT_EQ(status().branchHere, 0);
    EXPECT_EQ(status().browsingBack, 0) << "a local game is never browsed back";

    game->mode = model::kModeSending;
    game->transferPercent = 45;
    EXPECT_EQ(status().moveNumber, 10045);
    EXPECT_EQ(transferText(10045), "45%");
    EXPECT_EQ(gameCaption(*game), "Sending game now. Please wait...");

    // Outside the normal, transfer and game-over modes the turn part stays as it was.
    StatusRecord kept = status();
    game->mode = model::kModeReading;
    EXPECT_FALSE(refreshTurn(kept, *game));
    EXPECT_EQ(kept.moveNumber, 10045);
}

TEST_F(StatusText, TextsOfTheNumberTheNamesAndTheCaption)
{
    EXPECT_EQ(moveNumberText(3), "    3 ");
    EXPECT_EQ(moveNumberText(123456), "123456 ");
    EXPECT_EQ(playerText("alice", 1510), "alice (1510)");
    EXPECT_EQ(playerText("alice", 0), "alice");
    EXPECT_EQ(playerText("alice", -5), "alice (-5)");

    copyBounded(game->subject, "Club final");
    EXPECT_EQ(gameCaption(*game), "Club final (not saved)");
    EXPECT_EQ(gameCaption(*game, "final.gam"), "final.gam");
    game->participation = model::kServerNotLive;
    EXPECT_EQ(gameCaption(*game), "Club final (not live)");
    game->mode = model::kModeGameOver;
    EXPECT_EQ(gameCaption(*game), "Club final (not live)");
    copyBounded(game->result, "1-0 Black resigned");
    EXPECT_EQ(gameCaption(*game), "Club final (not live): 1-0 Black resigned") << "how it ended";
    EXPECT_EQ(gameCaption(*game, "final.gam"), "final.gam: 1-0 Black resigned");
    game->mode = model::kModeEditing;
    EXPECT_EQ(gameCaption(*game), "Editing game (right/middle mouse to clear a piece)");
}

} // namespace
} // namespace marovin::session
