#include <gtest/gtest.h>

#include "diagram.h"
#include "game_fixture.h"
#include "model/fen.h"
#include "model/game_file.h"
#include "model/legality.h"
#include "model/position_editor.h"

namespace marovin::model {
namespace {

using testing::At;
using testing::Diagram;
using testing::GameEnvironment;
using testing::play;

class RecordingEditWindow : public EditWindowPort {
public:
    bool askQuitGame(CGame&, std::string_view text) override
    {
        questions.emplace_back(text);
        return quit;
    }
    void beginEditLayout(CGame&) override { ++begun; }
    void endEditLayout(CGame&) override { ++ended; }
    void markPiece(CGame&, int screenSquare) override { marked.push_back(screenSquare); }

    bool quit = true;
    std::vector<std::string> questions;
    int begun = 0;
    int ended = 0;
    std::vector<int> marked;
};

class PositionEditorTest : public ::testing::Test {
protected:
    // Places a diagram on the browsed board the way the palette does: one number per type.
    void place(const std::array<std::string_view, 10>& rows)
    {
        game->browsedBoard = Diagram(rows);
        for (Piece& p : game->browsedBoard)
            if (p != 0)
                p = static_cast<Piece>(FirstPieceOfType(TypeOf(p)));
    }

    GameEnvironment env;
    std::unique_ptr<CGame> game = env.newGame();
    RecordingEditWindow window;
};

TEST_F(PositionEditorTest, UnsavedChangesAreOnlyDroppedAfterQuit)
{
    play(*game, "H2-E2");
    play(*game, "H7-E7");
    ASSERT_TRUE(game->modified);

    window.quit = false;
    EXPECT_FALSE(EnterEditMode(*game, window));
    EXPECT_EQ(window.questions, std::vector<std::string>{"Click <Quit> button to edit now"});
    EXPECT_EQ(game->pathLength(), 2);
    EXPECT_EQ(game->mode, kModeNormal);
    EXPECT_EQ(window.begun, 0);

    window.quit = true;
    EXPECT_TRUE(EnterEditMode(*game, window));
    EXPECT_EQ(game->pathLength(), 0);
    EXPECT_EQ(game->browsedPly(), 0);
    EXPECT_FALSE(game->root().alternatives[0].continuation);
    EXPECT_FALSE(game->modified);
    EXPECT_EQ(game->mode, kModeEditing);
    EXPECT_EQ(window.begun, 1);
}

TEST_F(PositionEditorTest, OpeningWithRedToMoveStaysAnOrdinaryGame)
{
    ASSERT_TRUE(EnterEditMode(*game, window));
    EXPECT_TRUE(window.questions.empty());
    EditClearAll(*game);
    EXPECT_EQ(game->browsedBoard, Board{});
    EditAllPieces(*game);
    EXPECT_TRUE(FinishEdit(*game, window).ok());
    EXPECT_EQ(game->customPosition, 0);
    EXPECT_FALSE(game->modified);
    EXPECT_EQ(game->mode, kModeNormal);
    EXPECT_EQ(window.ended, 1);

    // The same with Black to move is a custom start.
    ASSERT_TRUE(EnterEditMode(*game, window));
    EditAllPieces(*game);
    EditToggleFirstMover(*game);
    EXPECT_TRUE(FinishEdit(*game, window).ok());
    EXPECT_EQ(game->customPosition, 1);
    EXPECT_EQ(game->firstMover, 1);
    EXPECT_TRUE(game->modified);
    for (int p = 1; p <= 32; ++p)
        EXPECT_EQ(kStandardOpening[game->pieceList[p]], p) << p;
    EXPECT_FALSE(game->isRedToMoveBrowsed());

    // The file records the set-up start: side letter B and the 32 squares (+33).
    std::string squares;
    for (int p = 1; p <= 32; ++p)
        for (int s = 0; s < kSquareCount; ++s)
            if (kStandardOpening[s] == p)
                squares += static_cast<char>(s + 33);
    EXPECT_NE(GameFileText(*game, GameFileForm::Old).find("\r\nPOSITION B" + squares + "\r\n"),
              std::string::npos);
}

TEST_F(PositionEditorTest, RefusedArrangementIsMarkedOnTheScreenAndEditingGoesOn)
{
    ASSERT_TRUE(EnterEditMode(*game, window));
    place({"....k....", ".........", ".........", "P.P......", ".........", ".........", "P...P...P",
           "......P..", ".........", "....K...."});
    game->bottomSide = kBlack; // the board is drawn turned: the mark goes to 89 - square
    const SetupCheck check = FinishEdit(*game, window);
    EXPECT_EQ(check.error, SetupError::TooManyPieces);
    EXPECT_EQ(env.desktop.boxes, std::vector<std::string>{"Too many pieces"});
    EXPECT_EQ(window.marked, std::vector<int>{89 - SquareOf(7, 6)});
    EXPECT_EQ(game->mode, kModeEditing);
    EXPECT_EQ(window.ended, 0);

    env.desktop.boxes.clear();
    place({"....k....", ".........", ".........", ".........", ".........", ".........", ".........",
           ".........", ".........", "........."});
    EXPECT_EQ(FinishEdit(*game, window).error, SetupError::KingNotFound);
    EXPECT_EQ(env.desktop.boxes, std::vector<std::string>{"King not found"});
    EXPECT_EQ(window.marked.size(), 1u) << "a missing general marks nothing";
    EXPECT_EQ(game->mode, kModeEditing);
}

TEST_F(PositionEditorTest, UpsideDownSetUpIsTurnedAndKeepsItsPicture)
{
    ASSERT_TRUE(EnterEditMode(*game, window));
    place({"...AK....", ".........", ".........", "....P....", ".........", ".........", "..p......",
           ".........", ".........", "....k...r"});
    ASSERT_TRUE(FinishEdit(*game, window).ok());
    EXPECT_EQ(game->bottomSide, kBlack);
    EXPECT_EQ(game->browsedBoard[85], 17);
    EXPECT_EQ(game->pieceList[17], 85);
    EXPECT_EQ(game->customPosition, 1);
    // Rewinding rebuilds the same start from the piece list.
    const Board start = game->browsedBoard;
    game->Rewind();
    EXPECT_EQ(game->browsedBoard, start);
}

TEST_F(PositionEditorTest, LegalityQuestionsUseTheBrowsedAndTheLivePosition)
{
    play(*game, "H2-E2");
    EXPECT_TRUE(IsLegalMove(*game, At("H7"), At("E7")));  // Black to move at the browsed ply
    EXPECT_FALSE(IsLegalMove(*game, At("B2"), At("E2"))); // Red's turn is over
    game->TakeBack(TakeBackKind::User);
    EXPECT_TRUE(IsLegalMove(*game, At("B2"), At("D2")));

    std::string error;
    ASSERT_TRUE(SetFenPosition(*game, "R2k5/9/P2P5/9/c8/9/9/9/9/5K3 b", error)) << error;
    EXPECT_EQ(game->firstMover, 1);
    EXPECT_EQ(game->pathLength(), 0);
    PackedMove only{};
    ASSERT_TRUE(FindOnlyMove(*game, only));
    EXPECT_EQ(only, (PackedMove{10, At("A5"), 22, At("A9")}));
    EXPECT_EQ(GameFen(*game), "R2k5/9/P2P5/9/c8/9/9/9/9/5K3 b - - 0 1");

    EXPECT_FALSE(SetFenPosition(*game, "R2k5/9/P2P5/9/c8/9/9/9/9/9 b", error));
    EXPECT_EQ(error, "no Red general");
    EXPECT_EQ(GameFen(*game), "R2k5/9/P2P5/9/c8/9/9/9/9/5K3 b - - 0 1");
}

} // namespace
} // namespace marovin::model
