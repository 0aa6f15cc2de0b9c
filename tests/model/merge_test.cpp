#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game_fixture.h"
#include "model/game_file.h"
#include "model/merge.h"
#include "testkit/temp_folder.h"

namespace marovin::model {
namespace {

using testing::GameEnvironment;
using testing::play;

const std::string kHeader = "GAME\r\nTIME    0\t0\t0\t0\r\nSUBJECT s\r\nRESULT  r\r\nRED     alice; 0\r\n"
                            "BLACK   bob; 0\r\nDATE    2024-01-02\r\nPLACE   \r\nSTART\r\n";

// An old-format game file of the given body lines ("BB", "#note" and moves).
std::string GameText(const std::vector<std::string>& body)
{
    std::string text = kHeader;
    for (const std::string& line : body)
        text += line + "\r\n";
    return text;
}

// The moves, brackets and notes of a game, as its old-format body.
std::string Body(CGame& game)
{
    const std::string text = GameFileText(game, GameFileForm::Old);
    return text.substr(text.find("START\r\n") + 7);
}

class MergeTest : public ::testing::Test {
protected:
    std::unique_ptr<CGame> read(const std::string& text)
    {
        auto game = env.newGame();
        StringSource source(text);
        EXPECT_EQ(ReadGame(*game, source, "game", false), 1);
        return game;
    }
    std::string file(const std::string& name, const std::vector<std::string>& body)
    {
        return folder.write(name, GameText(body));
    }

    GameEnvironment env;
    testkit::TempFolder folder;
};

// Branches at three depths, notes on the start, on a main-line move and in a side line.
const std::vector<std::string> kRichBody = {
    "#the start", "BB", "H2-E2", "H9-G7", "#abc", "#def", "BB", "H0-G2", "I9-H9", "BE", "BB", "I0-I1",
    "BB", "C6-C5", "#soldier", "BE", "BB", "G6-G5", "BE", "BE", "BE", "BB", "C3-C4", "B9-C7", "BE"};

TEST_F(MergeTest, AMirroredOpeningJoinsTheOneThatBeginsAlike)
{
    // Left-side openings that become copies of right-side ones, in part and with a branch
    // below; the notes of joined moves are all kept.
    auto game = env.newGame();
    const auto line = [&](std::initializer_list<const char*> moves, const char* note = nullptr) {
        game->Rewind();
        for (const char* move : moves)
            play(*game, move);
        if (note)
            game->SetNote(note, false);
    };
    line({"H2-E2"}, "right");
    line({"H2-E2", "H9-G7", "H0-G2"});
    line({"H2-E2", "H9-G7", "I0-I1"});
    line({"B2-E2"}, "left");
    line({"B2-E2", "B9-C7", "A0-A1"}, "rook");
    line({"B2-E2", "B9-C7", "B0-C2", "A9-A8"});
    line({"C3-C4"});
    env.settings.mergeAppendNotes = true;
    auto merged = env.newGame();
    ASSERT_TRUE(MergeIntoGame(*merged, *game));
    game->MirrorOpenings();
    for (CGame* joined : {game.get(), merged.get()}) {
        const BranchPoint& first = *joined->root().alternatives[0].continuation;
        ASSERT_EQ(first.count(), 2);
        EXPECT_EQ(testing::lineText(first.alternatives[0]), "H2-E2 H9-G7");
        EXPECT_EQ(first.alternatives[0].entries[0].noteText(), "right\r\nleft");
        EXPECT_EQ(testing::lineText(first.alternatives[1]), "C3-C4");
        const BranchPoint& third = *first.alternatives[0].continuation;
        ASSERT_EQ(third.count(), 2);
        EXPECT_EQ(testing::lineText(third.alternatives[0]), "H0-G2 I9-I8");
        EXPECT_EQ(testing::lineText(third.alternatives[1]), "I0-I1");
        EXPECT_EQ(third.alternatives[1].entries[0].noteText(), "rook");
        // Written and read back, every alternative hangs where it did.
        const std::string body = Body(*joined);
        auto again = read(GameFileText(*joined, GameFileForm::Old));
        EXPECT_EQ(Body(*again), body);
    }
}

TEST_F(MergeTest, MergingIntoAnEmptyGameRebuildsTheWholeTree)
{
    auto source = read(GameText(kRichBody));
    auto bare = env.newGame(); // without "Append Move-Note" not even the start's note comes
    ASSERT_TRUE(MergeIntoGame(*bare, *source));
    EXPECT_EQ(Body(*bare).find('#'), std::string::npos) << Body(*bare);

    env.settings.mergeAppendNotes = true;
    auto target = env.newGame();
    ASSERT_TRUE(MergeIntoGame(*target, *source));
    EXPECT_EQ(Body(*target), Body(*source));
    EXPECT_EQ(target->mode, kModeNormal);
    EXPECT_EQ(target->browsedPly(), 0);
    EXPECT_EQ(target->browsedBoard, kStandardOpening);

    // A second merge of the same game adds nothing, notes included.
    target->modified = false;
    ASSERT_TRUE(MergeIntoGame(*target, *source));
    EXPECT_EQ(Body(*target), Body(*source));
    EXPECT_FALSE(target->modified);
}

TEST_F(MergeTest, SharedMovesAreFollowedAndDifferentOnesBranch)
{
    auto target = read(GameText({"H2-E2", "H9-G7", "H0-G2"}));
    auto source = read(GameText({"H2-E2", "H9-G7", "B0-C2", "B9-C7"}));
    ASSERT_TRUE(MergeIntoGame(*target, *source));
    EXPECT_EQ(Body(*target), "H2-E2\r\nH9-G7\r\nBB\r\nH0-G2\r\nBE\r\nBB\r\nB0-C2\r\nB9-C7\r\nBE\r\n");
}

TEST_F(MergeTest, MirrorImageOpeningsEndUpInOneBranch)
{
    const struct {
        std::vector<std::string> left, right, merged;
    } cases[] = {
        // A cannon opening from either side, with the reply mirrored along.
        {{"B2-E2", "B9-C7"}, {"H2-E2", "H9-G7"}, {"H2-E2", "H9-G7"}},
        // The soldier on square 56 stays; the one on square 60 is turned onto it.
        {{"C3-C4", "C6-C5"}, {"G3-G4", "G6-G5"}, {"C3-C4", "C6-C5"}},
    };
    for (const auto& c : cases) {
        std::string expected;
        for (const std::string& move : c.merged)
            expected += move + "\r\n";
        // From files into a game, in both orders.
        for (const bool leftFirst : {true, false}) {
            auto game = env.newGame();
            const std::vector<std::string> paths = {file("a", leftFirst ? c.left : c.right),
                                                    file("b", leftFirst ? c.right : c.left)};
            EXPECT_EQ(MergeFilesIntoGame(*game, paths), 2);
            EXPECT_EQ(Body(*game), expected) << c.left[0] << (leftFirst ? " first" : " second");
        }
        // One game into another, each read as it stands.
        auto target = read(GameText(c.left));
        auto source = read(GameText(c.right));
        ASSERT_TRUE(MergeIntoGame(*target, *source));
        EXPECT_EQ(Body(*target), expected) << c.left[0];
    }
}

TEST_F(MergeTest, AGameMergedWithItsOwnFileAddsNothingEitherWay)
{
    env.settings.mergeAppendNotes = true;
    const std::string path = file("own.gam", kRichBody);
    const std::string before = testkit::TempFolder::read(path);
    auto game = env.newGame();
    ASSERT_EQ(ReadGameFile(*game, path, false), 1);
    const std::string body = Body(*game);

    game->modified = false;
    EXPECT_EQ(MergeFilesIntoGame(*game, std::vector<std::string>{path}), 1);
    EXPECT_EQ(Body(*game), body);
    EXPECT_FALSE(game->modified);

    EXPECT_EQ(MergeGameIntoFiles(*game, std::vector<std::string>{path}), 1);
    EXPECT_EQ(testkit::TempFolder::read(path), before);
}

TEST_F(MergeTest, WithoutAppendMoveNoteFilesBringNoNotes)
{
    auto game = env.newGame();
    EXPECT_EQ(MergeFilesIntoGame(*game, std::vector<std::string>{file("notes", kRichBody)}), 1);
    EXPECT_EQ(Body(*game).find('#'), std::string::npos) << Body(*game);
}

TEST_F(MergeTest, AFileThatIsNotAGameLeavesTheTargetUntouched)
{
    // The window's game opens from the left: merging used to turn it round even so.
    auto game = read(GameText({"B2-E2", "B9-C7"}));
    const std::string body = Body(*game);
    const std::string bad = folder.write("notes.txt", "GAMMA\r\nH2-E2\r\n");
    EXPECT_EQ(MergeFilesIntoGame(*game, std::vector<std::string>{bad}), 0);
    EXPECT_EQ(Body(*game), body);
    EXPECT_FALSE(game->modified);
    ASSERT_EQ(env.desktop.boxes.size(), 1u);
    EXPECT_EQ(env.desktop.boxes[0], "Wrong game file: " + bad);

    // The other way round the file is left as it is.
    EXPECT_EQ(MergeGameIntoFiles(*game, std::vector<std::string>{bad}), 0);
    EXPECT_EQ(testkit::TempFolder::read(bad), "GAMMA\r\nH2-E2\r\n");
}

TEST_F(MergeTest, ASetUpPositionIsNeverMerged)
{
    const std::string position = "POSITION R" + std::string(32, '{'); // every piece off the board
    std::string text = GameText({"H2-E2"});
    text.insert(text.find("SUBJECT"), position + "\r\n");
    const std::string path = folder.write("middle.gam", text);

    auto game = read(GameText({"H2-E2", "H9-G7"}));
    EXPECT_EQ(MergeFilesIntoGame(*game, std::vector<std::string>{path}), 0);
    EXPECT_EQ(Body(*game), "H2-E2\r\nH9-G7\r\n");
    EXPECT_EQ(MergeGameIntoFiles(*game, std::vector<std::string>{path}), 0);
    EXPECT_EQ(testkit::TempFolder::read(path), text);
    EXPECT_EQ(env.desktop.boxes, (std::vector<std::string>{"Can not merge Middle game", "Can not merge Middle game"}));

    auto custom = env.newGame();
    ASSERT_TRUE(custom->SetStartPosition(kStandardOpening, 1));
    EXPECT_FALSE(MergeIntoGame(*custom, *game));
    EXPECT_FALSE(MergeIntoGame(*game, *custom));
    EXPECT_EQ(Body(*game), "H2-E2\r\nH9-G7\r\n");
}

TEST_F(MergeTest, IntoFilesRewritesEachInTheStoredFormat)
{
    env.settings.saveNewFormat = true;
    const std::vector<std::string> paths = {file("one.gam", {"H2-E2", "H9-G7"}), file("two.gam", {"H0-G2"})};
    auto game = read(GameText({"B2-E2", "B9-C7", "B0-C2"})); // turned round before it is merged
    std::vector<std::string> remembered;
    EXPECT_EQ(MergeGameIntoFiles(*game, paths, [&](const std::string& p) { remembered.push_back(p); }), 2);
    EXPECT_EQ(remembered, paths);
    EXPECT_EQ(Body(*game), "H2-E2\r\nH9-G7\r\nH0-G2\r\n");
    EXPECT_EQ(game->mode, kModeNormal);

    const std::string one = testkit::TempFolder::read(paths[0]);
    EXPECT_NE(one.find("RED     alice; 0\r\nBLACK   bob; 0\r\n"), std::string::npos) << "the header stays";
    EXPECT_NE(one.find("CSTART\r\n"), std::string::npos);
    auto merged = read(one);
    EXPECT_EQ(Body(*merged), "H2-E2\r\nH9-G7\r\nH0-G2\r\n");
    auto second = read(testkit::TempFolder::read(paths[1]));
    EXPECT_EQ(Body(*second), "BB\r\nH0-G2\r\nBE\r\nBB\r\nH2-E2\r\nH9-G7\r\nH0-G2\r\nBE\r\n");
}

} // namespace
} // namespace marovin::model
