#include <gtest/gtest.h>

#include "game_fixture.h"
#include "model/game_header_form.h"
#include "model/numeric_notation.h"
#include "support/fixed_text.h"

namespace marovin::model {
namespace {

using testing::countedPathLength;
using testing::GameEnvironment;
using testing::lineText;
using testing::pathText;
using testing::play;
using testing::replayedBoard;

class GameTest : public ::testing::Test {
protected:
    GameEnvironment env;
    std::unique_ptr<CGame> game = env.newGame();
};

TEST_F(GameTest, NewRecordIsALocalGameAtTheOpening)
{
    env.settings.loginName = "alice";
    const auto named = env.newGame();
    EXPECT_EQ(fieldText(named->redName), "alice");
    EXPECT_EQ(fieldText(named->blackName), "alice");
    EXPECT_EQ(fieldText(named->result), "Unknown");
    EXPECT_EQ(named->participation, kLocalGame);
    EXPECT_EQ(named->gameNumber, -1);
    EXPECT_EQ(named->browsedBoard, kStandardOpening);
    EXPECT_EQ(named->gameBoard, kStandardOpening);
    EXPECT_EQ(named->pathLength(), 0);
    EXPECT_TRUE(named->currentEntry().move.piece == kStartMarker);
    // The fake clock's origin, 2027-01-15 08:00 UTC, is the same date in every zone
    // within 8 hours of UTC; compare only the shape and the players.
    EXPECT_EQ(fieldText(named->subject).substr(0, 15), "alice.alice.1.2");
}

TEST_F(GameTest, ComposedNameWithoutPlayersIsNewGame)
{
    copyBounded(game->date, "2024-03-05");
    copyBounded(game->redName, "");
    copyBounded(game->blackName, "");
    game->gameNumber = -7;
    game->ComposeName(true);
    EXPECT_EQ(fieldText(game->subject), "NewGame.7.2024-03-05");
    copyBounded(game->redName, "red");
    game->ComposeName(false); // subject not empty: kept
    EXPECT_EQ(fieldText(game->subject), "NewGame.7.2024-03-05");
    game->ComposeName(true);
    EXPECT_EQ(fieldText(game->subject), "red..7.2024-03-05");
}

TEST_F(GameTest, LongNamesAreCutToTheirFields)
{
    copyBounded(game->redName, std::string(40, 'r'));
    copyBounded(game->blackName, std::string(40, 'b'));
    copyBounded(game->date, std::string(200, '9'));
    game->ComposeName(true);
    EXPECT_EQ(fieldText(game->redName).size(), kNameLength);
    EXPECT_EQ(fieldText(game->date).size(), kDateLength);
    EXPECT_EQ(fieldText(game->subject).size(), 15 + 1 + 15 + 3 + 60u);
}

TEST_F(GameTest, SameMoveTwiceIsFollowedNotBranched)
{
    play(*game, "H2-E2");
    play(*game, "H9-G7");
    game->Navigate(kGoToStart);
    play(*game, "H2-E2");
    EXPECT_EQ(game->browsedPly(), 1);
    EXPECT_EQ(game->pathLength(), 2);
    EXPECT_EQ(game->root().alternatives[0].continuation->count(), 1);
    EXPECT_FALSE(game->currentLine().continuation);
}

TEST_F(GameTest, UserMoveInsideALineBecomesAFollowedSideLine)
{
    play(*game, "H2-E2");
    play(*game, "H9-G7");
    play(*game, "H0-G2");
    game->Navigate(kGoToPly, 1);
    game->modified = false;
    play(*game, "B9-C7");
    const MoveLine& first = game->root().alternatives[0].continuation->alternatives[0];
    ASSERT_TRUE(first.continuation);
    const BranchPoint& split = *first.continuation;
    EXPECT_EQ(lineText(first), "H2-E2");
    EXPECT_EQ(lineText(split.alternatives[0]), "H9-G7 H0-G2");
    EXPECT_EQ(lineText(split.alternatives[1]), "B9-C7");
    EXPECT_EQ(split.followed, 1);
    EXPECT_EQ(&game->currentBranchPoint(), &split);
    EXPECT_EQ(pathText(*game), "H2-E2 B9-C7");
    EXPECT_EQ(countedPathLength(*game), 2);
    EXPECT_TRUE(game->modified);
    EXPECT_EQ(game->browsedBoard, replayedBoard(*game));
}

TEST_F(GameTest, ServerMoveSplitsOffTheLineTheUserWasBrowsing)
{
    game->participation = kObserving;
    play(*game, "H2-E2", MoveKind::Game);
    play(*game, "H9-G7", MoveKind::Game);
    // The user plays ahead of the live game and stays two moves beyond it.
    play(*game, "H0-G2");
    play(*game, "I9-H9");
    play(*game, "I0-H0");
    ASSERT_EQ(game->browsedPly(), 5);
    // The server reports a different third move.
    play(*game, "B0-C2", MoveKind::Game);
    const MoveLine& first = game->root().alternatives[0].continuation->alternatives[0];
    ASSERT_TRUE(first.continuation);
    const BranchPoint& split = *first.continuation;
    EXPECT_EQ(lineText(first), "H2-E2 H9-G7");
    EXPECT_EQ(lineText(split.alternatives[0]), "B0-C2");
    EXPECT_EQ(lineText(split.alternatives[1]), "H0-G2 I9-H9 I0-H0");
    // The browsed entry stays the same move, now in alternative 1.
    EXPECT_EQ(&game->currentBranchPoint(), &split);
    EXPECT_EQ(split.followed, 1);
    EXPECT_EQ(game->indexInLine(), 2);
    EXPECT_EQ(pathText(*game), "H2-E2 H9-G7 H0-G2 I9-H9 I0-H0");
    EXPECT_EQ(game->browsedBoard, replayedBoard(*game));
    EXPECT_EQ(game->gamePly(), 3);
    EXPECT_EQ(game->serverMoveCounter, 3);
    EXPECT_EQ(countedPathLength(*game), 5);
    // Going live follows alternative 0 to the live position.
    game->GoToLive();
    EXPECT_EQ(pathText(*game), "H2-E2 H9-G7 B0-C2");
    EXPECT_EQ(game->browsedBoard, game->gameBoard);
}

TEST_F(GameTest, ServerMoveMatchingTheBrowsedSideLineKeepsTheBrowsedPath)
{
    game->participation = kObserving;
    play(*game, "H2-E2", MoveKind::Game);
    play(*game, "H9-G7");  // the user looks ahead ...
    game->Navigate(kGoToPly, 1);
    play(*game, "B9-C7");  // ... then in a second line,
    play(*game, "H0-G2");
    game->Navigate(kStepBack);
    play(*game, "I0-H0");  // and branches once more below it
    ASSERT_EQ(pathText(*game), "H2-E2 B9-C7 I0-H0");
    // The server's reply is the user's second line: it moves to alternative 0, and the
    // browsed path still runs through it.
    play(*game, "B9-C7", MoveKind::Game);
    const BranchPoint& split = *game->root().alternatives[0].continuation->alternatives[0].continuation;
    EXPECT_EQ(lineText(split.alternatives[0]), "B9-C7");
    EXPECT_EQ(lineText(split.alternatives[1]), "H9-G7");
    EXPECT_EQ(split.followed, 0);
    EXPECT_EQ(pathText(*game), "H2-E2 B9-C7 I0-H0");
    EXPECT_EQ(game->browsedBoard, replayedBoard(*game));
    EXPECT_EQ(countedPathLength(*game), 3);
    for (int i = 0; i < 3; ++i)
        game->TakeBack(TakeBackKind::User);
    EXPECT_EQ(game->browsedBoard, kStandardOpening);
    EXPECT_EQ(game->browsedPly(), 0);
}

TEST_F(GameTest, ServerTakeBackKeepsTheMoveAndARepeatIsFollowed)
{
    game->participation = kObserving;
    play(*game, "H2-E2", MoveKind::Game);
    play(*game, "H9-G7", MoveKind::Game);
    game->TakeBack(TakeBackKind::Game);
    EXPECT_EQ(game->gamePly(), 1);
    EXPECT_EQ(game->browsedPly(), 1);
    EXPECT_EQ(game->serverMoveCounter, 3);
    EXPECT_EQ(game->pathLength(), 2); // the move stays in the record
    play(*game, "H9-G7", MoveKind::Game);
    EXPECT_EQ(game->pathLength(), 2);
    EXPECT_FALSE(game->root().alternatives[0].continuation->alternatives[0].continuation);
    play(*game, "H0-G2", MoveKind::Game);
    game->TakeBack(TakeBackKind::Game);
    play(*game, "B0-C2", MoveKind::Game); // a different move pushes the old one aside
    const auto& split = *game->root().alternatives[0].continuation->alternatives[0].continuation;
    EXPECT_EQ(lineText(split.alternatives[0]), "B0-C2");
    EXPECT_EQ(lineText(split.alternatives[1]), "H0-G2");
    EXPECT_EQ(game->gameBoard, game->browsedBoard);
}

TEST_F(GameTest, ObservedTakeBackWhileBrowsingBackLeavesTheBrowsedBoard)
{
    game->participation = kObserving;
    play(*game, "H2-E2", MoveKind::Game);
    play(*game, "H9-G7", MoveKind::Game);
    game->Navigate(kGoToStart);
    game->TakeBack(TakeBackKind::Game);
    EXPECT_EQ(game->browsedPly(), 0);
    EXPECT_EQ(game->browsedBoard, kStandardOpening);
    EXPECT_EQ(game->gamePly(), 1);
}

TEST_F(GameTest, NavigationClampsAndAsksOnlyAtRealBranches)
{
    play(*game, "H2-E2");
    play(*game, "H9-G7");
    game->Navigate(kGoToStart);
    game->Navigate(kStepForward); // one alternative: no question
    EXPECT_TRUE(env.windows.shownRows.empty());
    EXPECT_EQ(game->browsedPly(), 1);
    game->Navigate(kGoToPly, 99);
    EXPECT_EQ(game->browsedPly(), 2);
    game->Navigate(kGoToPly, -5);
    EXPECT_EQ(game->browsedPly(), 0);
    game->Navigate(42);
    EXPECT_EQ(game->browsedPly(), 0);

    play(*game, "B0-C2"); // second first move, followed
    game->Navigate(kGoToStart);
    env.windows.answers.push_back(0);
    game->Navigate(kStepForward);
    ASSERT_EQ(env.windows.shownRows.size(), 1u);
    const auto& rows = env.windows.shownRows[0];
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].text, "2=5"); // Red cannon from file 2 across to file 5
    EXPECT_EQ(rows[0].pieceType, 12);
    EXPECT_EQ(rows[1].text, "8+7"); // Red horse from file 8 forward to file 7
    EXPECT_EQ(pathText(*game), "H2-E2");
    game->Navigate(kGoToStart);
    env.windows.answers.push_back(std::nullopt); // dialog closed: nothing moves
    game->Navigate(kStepForward);
    EXPECT_EQ(game->browsedPly(), 0);
    game->Navigate(kGoToEnd); // no question: follows the followed alternative
    EXPECT_EQ(pathText(*game), "H2-E2 H9-G7");
    EXPECT_EQ(countedPathLength(*game), 2);
}

TEST_F(GameTest, BranchRowsShowTheStartOfANote)
{
    play(*game, "H2-E2");
    game->Navigate(kGoToStart);
    play(*game, "B0-C2");
    game->SetNote("horse first\r\nsecond line of it", false);
    game->Navigate(kGoToStart);
    env.windows.answers.push_back(1);
    game->Navigate(kStepForward);
    EXPECT_EQ(env.windows.shownRows.at(0).at(1).text, "8+7    (horse first  second )");
    EXPECT_EQ(pathText(*game), "B0-C2");
}

TEST_F(GameTest, FollowAlternativeWrapsOutOfRangeIndices)
{
    play(*game, "H2-E2");
    game->Navigate(kGoToStart);
    play(*game, "B0-C2");
    game->Navigate(kGoToStart);
    game->FollowAlternative(5);
    EXPECT_EQ(game->currentBranchPoint().followed, 0);
    game->Rewind();
    game->FollowAlternative(-1);
    EXPECT_EQ(game->currentBranchPoint().followed, 1);
}

TEST_F(GameTest, DeletingAtTheStartDeletesEveryMove)
{
    play(*game, "H2-E2");
    play(*game, "H9-G7");
    game->Navigate(kGoToStart);
    env.desktop.yesNoAnswers = {false};
    game->DeleteFromHere("Game");
    EXPECT_EQ(game->pathLength(), 2);
    EXPECT_EQ(env.desktop.questions.at(0),
              "Game\n\nAre you sure to delete the current move and\nall its following moves and branches ?");
    game->DeleteFromHere("Game");
    EXPECT_EQ(game->pathLength(), 0);
    EXPECT_FALSE(game->root().alternatives[0].continuation);
}

TEST_F(GameTest, DeletingTheOnlyMoveOfABranchRemovesTheBranchPoint)
{
    play(*game, "H2-E2");
    play(*game, "H9-G7");
    game->Navigate(kGoToPly, 1);
    play(*game, "B9-C7"); // side line with one move
    game->DeleteFromHere("t");
    const MoveLine& first = game->root().alternatives[0].continuation->alternatives[0];
    ASSERT_TRUE(first.continuation);
    EXPECT_EQ(first.continuation->count(), 1);
    EXPECT_EQ(game->currentBranchPoint().followed, 0);
    EXPECT_EQ(pathText(*game), "H2-E2");
    // Deleting the only move of the only alternative removes that branch point.
    game->Navigate(kStepForward);
    game->DeleteFromHere("t");
    EXPECT_FALSE(first.continuation);
    EXPECT_EQ(game->pathLength(), 1);
    // Deleting inside a line cuts it.
    play(*game, "H9-G7");
    play(*game, "H0-G2");
    game->Navigate(kGoToPly, 2);
    game->DeleteFromHere("t");
    EXPECT_EQ(game->pathLength(), 1);
    EXPECT_EQ(game->browsedBoard, replayedBoard(*game));
}

TEST_F(GameTest, PromotingAVariationMakesItsLineTheMainLineAndKeepsTheCursor)
{
    // 1. H2-E2 H9-G7 (1... B9-C7 2. H0-G2 (2. B0-C2)), shown: B0-C2, two levels down.
    play(*game, "H2-E2");
    play(*game, "H9-G7");
    game->Navigate(kGoToPly, 1);
    play(*game, "B9-C7");
    play(*game, "H0-G2");
    game->Navigate(kStepBack);
    play(*game, "B0-C2");
    const BranchPoint& first = *game->root().alternatives[0].continuation->alternatives[0].continuation;
    const BranchPoint& inner = *first.alternatives[1].continuation;
    ASSERT_EQ(pathText(*game), "H2-E2 B9-C7 B0-C2");
    EXPECT_FALSE(game->isBrowsingMainLine());
    game->modified = false;

    ASSERT_TRUE(game->PromoteCurrentLine());
    EXPECT_EQ(lineText(first.alternatives[0]), "B9-C7");
    EXPECT_EQ(lineText(first.alternatives[1]), "H9-G7");
    EXPECT_EQ(lineText(inner.alternatives[0]), "B0-C2");
    EXPECT_EQ(lineText(inner.alternatives[1]), "H0-G2");
    EXPECT_EQ(pathText(*game), "H2-E2 B9-C7 B0-C2") << "the shown move stays";
    EXPECT_EQ(game->browsedPly(), 3);
    EXPECT_EQ(countedPathLength(*game), game->pathLength());
    EXPECT_TRUE(game->isBrowsingMainLine());
    EXPECT_TRUE(game->modified);
    EXPECT_FALSE(game->PromoteCurrentLine()) << "the main line has nothing to promote";

    // A live game's main line is the server's.
    game->Navigate(kStepBack);
    game->FollowAlternative(1);
    game->PlayMove(0, 0, MoveKind::Replay);
    game->participation = kObserving;
    EXPECT_FALSE(game->PromoteCurrentLine());
    EXPECT_EQ(lineText(inner.alternatives[0]), "B0-C2");
}

TEST_F(GameTest, NotesAppendOnNewLinesAndAreAddedOnlyOnce)
{
    game->SetNote("abc", false);
    game->SetNote("def", true);
    EXPECT_EQ(game->currentEntry().noteText(), "abc\r\ndef");
    game->SetNote("ghi\r\n", false);
    game->SetNote("jkl", true); // after the empty line that the line end begins
    EXPECT_EQ(game->currentEntry().noteText(), "ghi\r\n\r\njkl");

    game->SetNote("first\r\nsecond", false);
    game->AddNoteOnce("third"); // merging adds no notes by default
    EXPECT_EQ(game->currentEntry().noteText(), "first\r\nsecond");
    env.settings.mergeAppendNotes = true;
    game->AddNoteOnce("sec"); // held at the start of a line
    game->AddNoteOnce("first");
    EXPECT_EQ(game->currentEntry().noteText(), "first\r\nsecond");
    game->AddNoteOnce("cond"); // inside a line only: added
    EXPECT_EQ(game->currentEntry().noteText(), "first\r\nsecond\r\ncond");
    EXPECT_EQ(game->currentLine().hasNotes, 1);
}

TEST_F(GameTest, NumericNotationCoversFilesDirectionsAndTags)
{
    struct Case {
        Piece piece;
        const char* move;
        std::uint8_t tag;
        const char* text;
    } cases[] = {
        {26, "H2-E2", kTagNone, "2=5"},   // Red cannon across
        {24, "H0-G2", kTagNone, "2+3"},   // Red horse forward
        {22, "A0-A1", kTagNone, "9+1"},   // Red chariot up one
        {22, "A5-A2", kTagNone, "9-3"},   // Red chariot back three
        {10, "B7-E7", kTagNone, "2=5"},   // Black cannon across
        {6, "A9-A7", kTagNone, "1+2"},    // Black chariot forward (down the board)
        {22, "A6-A8", kTagFront, "++2"},  // front Red chariot
        {6, "A3-A1", kTagRear, "-+2"},    // rear Black chariot
        {28, "A5-B5", kTagMiddle, "==8"}, // middle Red soldier sideways
    };
    for (const auto& c : cases) {
        const auto squares = ParseCoordinateMove(c.move);
        const MoveEntry entry{PackedMove{c.piece, squares->from, 0, squares->to}, c.tag, nullptr};
        EXPECT_EQ(NumericNotation(entry), c.text) << c.move;
    }
    EXPECT_EQ(NumericNotation(MoveEntry{PackedMove{kStartMarker, 0, 0, 0}, 0, nullptr}), "");
}

TEST_F(GameTest, BadCoordinateTextIsReportedWithABeep)
{
    for (const char* text : {"h2-e2", "H2E2", "H2-E", "J0-A1", "A0-AX"}) {
        env.terminal.clear();
        EXPECT_FALSE(ParseCoordinateMove(text, env.terminal, env.desktop)) << text;
        EXPECT_TRUE(env.terminal.contains(std::string("This move may be wrong: ") + text)) << text;
    }
    EXPECT_EQ(env.desktop.beeps, 5);
    EXPECT_TRUE(ParseCoordinateMove("I0-I1", env.terminal, env.desktop));
    EXPECT_EQ(env.desktop.beeps, 5);
}

TEST_F(GameTest, OddsAndStartPositions)
{
    game->SetOddsPosition("  TWO-KNIGHTS\r\n", false);
    EXPECT_EQ(game->customPosition, 1);
    EXPECT_EQ(game->browsedBoard[82], 0);
    EXPECT_EQ(game->browsedBoard[88], 0);
    EXPECT_EQ(game->pieceList[24], kOffBoard);
    EXPECT_EQ(game->pieceList[17], 85);
    game->ResetPosition();
    EXPECT_EQ(game->browsedBoard[82], 0);
    EXPECT_EQ(game->browsedBoard[85], 17);

    const auto other = env.newGame();
    other->SetOddsPosition("QUEEN", false);
    EXPECT_EQ(other->customPosition, 0);
    EXPECT_EQ(other->browsedBoard, kStandardOpening);

    Board board{};
    board[4] = 1;
    board[85] = 17;
    board[40] = 22;
    play(*other, "H2-E2");
    ASSERT_TRUE(other->SetStartPosition(board, 1));
    EXPECT_EQ(other->pathLength(), 0);
    EXPECT_EQ(other->customPosition, 1);
    EXPECT_EQ(other->firstMover, 1);
    EXPECT_EQ(other->browsedBoard, board);
    EXPECT_EQ(other->gameBoard, board);
    EXPECT_FALSE(other->isRedToMoveBrowsed());
    EXPECT_EQ(other->pieceList[2], kOffBoard);
    board[41] = 22; // the same piece twice
    EXPECT_FALSE(other->SetStartPosition(board, 0));
    EXPECT_EQ(other->firstMover, 1);
    ASSERT_TRUE(other->SetStartPosition(kStandardOpening, 0));
    EXPECT_EQ(other->customPosition, 0);
}

TEST(MirrorTest, MirroredPiecesMatchTheMirroredOpening)
{
    for (int s = 0; s < kSquareCount; ++s) {
        const Square square = static_cast<Square>(s);
        EXPECT_EQ(kStandardOpening[MirrorSquare(square)], MirrorPiece(kStandardOpening[square])) << s;
        EXPECT_EQ(MirrorSquare(MirrorSquare(square)), square);
    }
}

TEST_F(GameTest, MirroredOpeningsReplayAndTakeBackConsistently)
{
    play(*game, "B2-E2"); // cannon from the left: mirrored
    play(*game, "B9-C7");
    play(*game, "B0-C2");
    game->Navigate(kGoToStart);
    play(*game, "C3-C4"); // soldier from square 56: kept
    game->modified = false;
    game->MirrorOpenings();
    EXPECT_TRUE(game->modified);
    const BranchPoint& first = *game->root().alternatives[0].continuation;
    EXPECT_EQ(lineText(first.alternatives[0]), "H2-E2 H9-G7 H0-G2");
    EXPECT_EQ(lineText(first.alternatives[1]), "C3-C4");
    game->Rewind();
    game->FollowAlternative(0);
    game->PlayMove(0, 0, MoveKind::Replay);
    game->Navigate(kGoToEnd);
    EXPECT_EQ(game->browsedBoard, replayedBoard(*game));
    game->Navigate(kGoToStart);
    EXPECT_EQ(game->browsedBoard, kStandardOpening);
}

TEST(MoveTreeTest, VeryLongAndVeryDeepTreesAreDestroyedSafely)
{
    GameEnvironment env;
    auto game = env.newGame();
    const char* cycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
    for (int i = 0; i < 200000; ++i)
        play(*game, cycle[i % 4]);
    EXPECT_EQ(game->pathLength(), 200000);
    game.reset();

    // Every move a new branch point below the previous one.
    auto deep = std::make_unique<BranchPoint>();
    BranchPoint* point = deep.get();
    point->alternatives.resize(1);
    for (int i = 0; i < 200000; ++i) {
        point->alternatives[0].continuation = MakeBranchPoint(point, PackedMove{24, 82, 0, 83});
        point = point->alternatives[0].continuation.get();
    }
    int depth = 0;
    for (const BranchPoint* p = point; p; p = p->parent)
        ++depth;
    EXPECT_EQ(depth, 200001);
    deep.reset();
}

} // namespace
} // namespace marovin::model

namespace marovin::model {
namespace {

TEST(GameHeaderFormTest, EmptyFieldsShowLastEnteredValuesAndOkCopiesBack)
{
    testing::GameEnvironment env;
    env.settings.loginName = "me";
    GameHeaderMemory memory;
    auto game = env.newGame();
    copyBounded(game->redName, "");
    copyBounded(game->result, "");
    {
        GameHeaderForm form(*game, memory);
        EXPECT_EQ(form.value(GameHeaderForm::RedName), "me") << "login name before anything was entered";
        EXPECT_EQ(form.marker(), "*") << "the filled-in name differs from the empty stored one";
        form.setValue(GameHeaderForm::Result, "draw");
        form.setValue(GameHeaderForm::Place, std::string(150, 'p'));
        EXPECT_EQ(form.value(GameHeaderForm::Place).size(), kPlaceLength);
        game->modified = false;
        form.accept(*game);
    }
    EXPECT_TRUE(game->modified);
    EXPECT_EQ(fieldText(game->result), "draw");
    EXPECT_EQ(fieldText(game->redName), "me");

    // Another game: its empty result shows the value entered last; unchanged values
    // leave the marker empty and the modified flag alone.
    auto other = env.newGame();
    copyBounded(other->result, "");
    GameHeaderForm form(*other, memory);
    EXPECT_EQ(form.value(GameHeaderForm::Result), "draw");
    EXPECT_EQ(form.value(GameHeaderForm::Place), std::string(kPlaceLength, 'p'));
    EXPECT_EQ(form.marker(), "*");
    form.setValue(GameHeaderForm::Result, "");
    form.setValue(GameHeaderForm::Place, "");
    EXPECT_EQ(form.marker(), "");
    other->modified = false;
    form.accept(*other);
    EXPECT_FALSE(other->modified);

    // Enter walks the six fields and wraps to the first instead of reaching OK.
    EXPECT_EQ(form.focus(), GameHeaderForm::RedName);
    for (int i = 0; i < 5; ++i)
        form.pressEnter();
    EXPECT_EQ(form.focus(), GameHeaderForm::Date);
    form.pressEnter();
    EXPECT_EQ(form.focus(), GameHeaderForm::RedName);
}

} // namespace
} // namespace marovin::model
