#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

#include "game_fixture.h"
#include "model/game_file.h"
#include "model/tree_walk.h"
#include "support/fixed_text.h"

namespace marovin::model {
namespace {

using testing::GameEnvironment;
using testing::lineText;
using testing::pathText;
using testing::play;
using testing::replayedBoard;
using testing::sendLines;

// Hands out its text a few bytes at a time, so that every refill path of the reader runs.
class TrickleSource : public ByteSource {
public:
    TrickleSource(std::string text, std::size_t step) : m_text(std::move(text)), m_step(step) {}
    std::size_t read(char* buffer, std::size_t size) override
    {
        const std::size_t n = std::min({size, m_step, m_text.size() - m_position});
        std::memcpy(buffer, m_text.data() + m_position, n);
        m_position += n;
        return n;
    }

private:
    std::string m_text;
    std::size_t m_step;
    std::size_t m_position = 0;
};

class GameFileTest : public ::testing::Test {
protected:
    std::unique_ptr<CGame> read(const std::string& text, bool merge = false, int* status = nullptr)
    {
        auto game = env.newGame();
        StringSource source(text);
        const int result = ReadGame(*game, source, "test.gam", merge);
        if (status)
            *status = result;
        return game;
    }

    // A game with branches at three depths, a note on the start position, a two-line note
    // and a note on a side line.
    std::unique_ptr<CGame> richGame()
    {
        auto game = env.newGame();
        copyBounded(game->redName, "alice");
        copyBounded(game->blackName, "bob");
        game->redRating = 1510;
        game->blackRating = 1495;
        copyBounded(game->subject, "Club final");
        copyBounded(game->result, "1-0");
        copyBounded(game->date, "2024-03-05");
        copyBounded(game->place, "Taipei");
        game->times = {600, 10, 431, 389};
        game->SetNote("the start", false);
        for (const char* m : {"H2-E2", "H9-G7", "H0-G2", "I9-H9", "I0-H0"})
            play(*game, m);
        game->SetNote("abc\r\ndef", false);
        game->Navigate(kGoToPly, 1);
        play(*game, "B9-C7");
        play(*game, "B0-C2");
        play(*game, "A9-B9");
        game->Navigate(kStepBack);
        play(*game, "C6-C5"); // depth two
        game->SetNote("soldier", false);
        play(*game, "I6-I5");
        game->Navigate(kStepBack);
        play(*game, "G6-G5"); // depth three
        game->Rewind();
        play(*game, "B2-E2"); // second first move
        play(*game, "B7-E7");
        game->Rewind();
        return game;
    }

    GameEnvironment env;
};

constexpr const char* kRichOld =
    "GAME\r\n"
    "TIME    600\t10\t431\t389\r\n"
    "SUBJECT Club final\r\n"
    "RESULT  1-0\r\n"
    "RED     alice; 1510\r\n"
    "BLACK   bob; 1495\r\n"
    "DATE    2024-03-05\r\n"
    "PLACE   Taipei\r\n"
    "START\r\n"
    "#the start\r\n"
    "BB\r\n"
    "H2-E2\r\n"
    "BB\r\n"
    "H9-G7\r\nH0-G2\r\nI9-H9\r\nI0-H0\r\n#abc\r\n#def\r\n"
    "BE\r\n"
    "BB\r\n"
    "B9-C7\r\nB0-C2\r\n"
    "BB\r\nA9-B9\r\nBE\r\n"
    "BB\r\nC6-C5\r\n#soldier\r\n"
    "BB\r\nI6-I5\r\nBE\r\n"
    "BB\r\nG6-G5\r\nBE\r\n"
    "BE\r\n"
    "BE\r\n"
    "BE\r\n"
    "BB\r\nB2-E2\r\nB7-E7\r\nBE\r\n";

TEST_F(GameFileTest, OldFormatHasTheExactHeaderAndBody)
{
    auto game = richGame();
    EXPECT_EQ(GameFileText(*game, GameFileForm::Old), kRichOld);
}

TEST_F(GameFileTest, RoundTripsThroughEveryForm)
{
    auto original = richGame();
    const std::string old = GameFileText(*original, GameFileForm::Old);

    // old -> new -> old
    auto fromOld = read(old);
    EXPECT_FALSE(fromOld->modified);
    const std::string compact = GameFileText(*fromOld, GameFileForm::New);
    EXPECT_LT(compact.size(), old.size());
    auto fromNew = read(compact);
    EXPECT_EQ(GameFileText(*fromNew, GameFileForm::Old), old);
    EXPECT_EQ(GameFileText(*fromNew, GameFileForm::New), compact);

    // send -> lines -> old
    const std::string send = GameFileText(*fromNew, GameFileForm::Send);
    CGame* received = nullptr;
    int counter = 0;
    ReadBranches branches;
    for (const std::string& line : sendLines(send)) {
        ReadGameLine(received, line, counter, false, branches, env.ports());
        ASSERT_GE(counter, 0) << line;
        ++counter;
    }
    ASSERT_NE(received, nullptr);
    received->Rewind();
    EXPECT_EQ(GameFileText(*received, GameFileForm::Old), old);

    // The tree itself came back: the nested side line and its note.
    fromNew->Navigate(kGoToStart);
    fromNew->FollowAlternative(0);
    fromNew->PlayMove(0, 0, MoveKind::Replay);
    fromNew->FollowAlternative(1);
    fromNew->PlayMove(0, 0, MoveKind::Replay);
    fromNew->Navigate(kGoToPly, 3);
    fromNew->FollowAlternative(1);
    fromNew->PlayMove(0, 0, MoveKind::Replay);
    EXPECT_EQ(pathText(*fromNew), "H2-E2 B9-C7 B0-C2 C6-C5");
    EXPECT_EQ(fromNew->currentEntry().noteText(), "soldier");
    EXPECT_EQ(fromNew->browsedBoard, replayedBoard(*fromNew));
}

// Every entry of the tree with the bytes a wrong board would change (moving and captured
// piece, notation tag), and the branch brackets.
std::string treeDump(const CGame& game)
{
    struct Dump {
        std::string text;
        void entry(const MoveEntry& e, const MoveLine&, std::size_t)
        {
            text += std::to_string(e.move.piece) + ":" + std::to_string(e.move.from) + "x" +
                    std::to_string(e.move.captured) + ":" + std::to_string(e.move.to) + "/" +
                    std::to_string(e.tag) + " ";
        }
        void beginAlternative(const BranchPoint&, int alternative, int) { text += "(" + std::to_string(alternative) + " "; }
        void endAlternative(const BranchPoint&, int, int) { text += ") "; }
        void leaveLine(const MoveLine&) {}
    } dump;
    WalkTree(game.root(), dump);
    return dump.text;
}

// Reading a file ends a branch by returning to where it began; lines from the server take
// the branch's moves back one by one. Both must build the same tree, whatever the body.
TEST_F(GameFileTest, ReadingAFileBuildsTheSameTreeAsFeedingItsLines)
{
    static const char* kMoves[] = {"H2-H9", "I9-H9", "H0-G2", "B7-B0", "A0-B0", "C6-C5", "C3-C4", "C5-C4",
                                   "I0-I1", "I1-D1", "A9-A8", "A8-D8", "B2-B9", "G6-G5", "G3-G4", "G5-G4"};
    std::mt19937 random(20261207);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // First a body where an undo leaves a branch's start behind: the second branch end must
    // not return to the position the first "BB" saw.
    const std::string undoBody = "H0-G2\r\nBB\r\nundo\r\nH0-I2\r\nBB\r\nH9-G7\r\nBE\r\nB9-C7\r\nBE\r\nG2-E3\r\n";
    for (int round = 0; round < 200; ++round) {
        std::string body = round == 0 ? undoBody : "";
        int open = 0;
        for (int i = 0, items = round == 0 ? 0 : 5 + pick(60); i < items; ++i) {
            const int choice = pick(20);
            if (choice < 4) {
                body += "BB\r\n";
                ++open;
            } else if (choice < 7 && (open > 0 || choice == 6)) {
                body += "BE\r\n"; // now and then one too many
                --open;
            } else if (choice == 7) {
                body += "undo\r\n";
            } else if (choice == 8) {
                body += "#note " + std::to_string(i) + "\r\n";
            } else {
                body += std::string(kMoves[pick(16)]) + "\r\n";
            }
        }
        const std::string file = "GAME\r\nSTART\r\n" + body;
        SCOPED_TRACE(file);

        auto fromFile = read(file);
        CGame* fed = nullptr;
        int counter = 0;
        ReadBranches branches;
        for (std::size_t start = 0; start < file.size();) {
            const std::size_t end = file.find("\r\n", start);
            ReadGameLine(fed, std::string_view(file).substr(start, end - start), counter, false, branches, env.ports());
            ASSERT_GE(counter, 0);
            ++counter;
            start = end + 2;
        }
        ASSERT_NE(fed, nullptr);
        fed->Rewind(); // as the end of a file reading does
        fed->RemoveEmptyBranches();
        EXPECT_EQ(treeDump(*fromFile), treeDump(*fed));
    }
}

TEST_F(GameFileTest, ReadsAcrossBufferRefillsAndWritesInChunks)
{
    auto game = env.newGame();
    const char* cycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
    for (int i = 0; i < 40000; ++i) {
        play(*game, cycle[i % 4]);
        if (i % 100 == 0)
            game->SetNote(std::string(500, 'n') + std::to_string(i), false);
    }
    for (const GameFileForm form : {GameFileForm::Old, GameFileForm::New}) {
        StringSink sink;
        ASSERT_TRUE(WriteGame(*game, sink, form));
        const std::string& text = sink.text;
        ASSERT_GT(text.size(), 2 * kReadBufferSize);
        EXPECT_GE(sink.writes, 3) << "header, then body chunks";
        auto back = env.newGame();
        TrickleSource source(text, 7777);
        ASSERT_EQ(ReadGame(*back, source, "big", false), 1);
        EXPECT_EQ(back->pathLength(), 40000);
        EXPECT_EQ(GameFileText(*back, form), text);
    }
    StringSink send;
    WriteGame(*game, send, GameFileVariant::Send);
    EXPECT_TRUE(game->modified) << "sending does not save";
    StringSink file;
    WriteGame(*game, file, GameFileVariant::File);
    EXPECT_FALSE(game->modified);
}

TEST_F(GameFileTest, TheBodyFormsFollowTheSettingAndTheVariant)
{
    auto game = env.newGame();
    play(*game, "H2-E2");
    play(*game, "H9-G7");
    env.settings.saveNewFormat = true;
    StringSink file;
    WriteGame(*game, file, GameFileVariant::File);
    const std::string body = file.text.substr(file.text.find("CSTART\r\n") + 8);
    EXPECT_EQ(body, std::string("\x46\x43\x07\x18", 4)); // H2-E2 = 70,67; H9-G7 = 7,24
    EXPECT_EQ(game->format, kFormatNew);

    StringSink send;
    WriteGame(*game, send, GameFileVariant::Send);
    EXPECT_NE(send.text.find("HSTART\r\nMgd(9\r\n"), std::string::npos) << send.text;
    EXPECT_EQ(send.text.find("CSTART"), std::string::npos);
}

TEST_F(GameFileTest, SendFormPacksNinetyOnePairsPerLine)
{
    auto game = env.newGame();
    const char* cycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
    for (int i = 0; i < 183; ++i)
        play(*game, cycle[i % 4]);
    game->SetNote("x", false);
    const std::string send = GameFileText(*game, GameFileForm::Send);
    std::vector<std::size_t> pairs;
    std::istringstream in(send);
    for (std::string line; std::getline(in, line);)
        if (line[0] == 'M')
            pairs.push_back((line.size() - 2) / 2); // minus "M" and CR
    EXPECT_EQ(pairs, (std::vector<std::size_t>{91, 91, 1}));
    EXPECT_NE(send.find("\r\nH#x\r\n"), std::string::npos) << "the open M line ends before a note";
}

TEST_F(GameFileTest, LinearGameHasNoBranchBracketsAndTheStartNoteComesFirst)
{
    auto game = env.newGame();
    game->SetNote("before the first move", false);
    play(*game, "H2-E2");
    const std::string text = GameFileText(*game, GameFileForm::Old);
    EXPECT_EQ(text.find("BB"), std::string::npos);
    EXPECT_NE(text.find("START\r\n#before the first move\r\nH2-E2\r\n"), std::string::npos) << text;
}

constexpr const char* kHeader = "GAME\r\nSUBJECT s\r\nSTART\r\n";

TEST_F(GameFileTest, NotesLoseOneLeadingBlankAndKeepTheirLines)
{
    auto game = read(std::string(kHeader) + "#  two blanks\r\n#\tsecond\r\nH2-E2\r\n#abc\r\n#def\r\n");
    EXPECT_EQ(game->currentEntry().noteText(), " two blanks\r\nsecond");
    game->Navigate(kStepForward);
    EXPECT_EQ(game->currentEntry().noteText(), "abc\r\ndef");
}

TEST_F(GameFileTest, BranchKeywordsAreTestedLikeTheReaderDoes)
{
    // "BEGIN" ends a branch (only two characters count), "var" begins one, "VAR x" is a
    // move line with a bad move.
    auto game = read(std::string(kHeader) + "H2-E2\r\nvar\r\nH9-G7\r\nBEGIN\r\nVAR\r\nB9-C7\r\nEND\r\nVAR x\r\n");
    const BranchPoint& first = *game->root().alternatives[0].continuation;
    ASSERT_TRUE(first.alternatives[0].continuation);
    EXPECT_EQ(lineText(first.alternatives[0]), "H2-E2");
    EXPECT_EQ(lineText(first.alternatives[0].continuation->alternatives[0]), "H9-G7");
    EXPECT_EQ(lineText(first.alternatives[0].continuation->alternatives[1]), "B9-C7");
    EXPECT_TRUE(env.terminal.contains("This move may be wrong: VAR"));
    EXPECT_EQ(env.desktop.beeps, 1);
}

TEST_F(GameFileTest, TextEndsAtCtrlZOrLosesAnUnterminatedLastLine)
{
    const std::string unread = "Text at the end of the game file has no line end or follows a NUL byte";
    auto cut = read(std::string(kHeader) + "H2-E2\r\nH9-G7");
    EXPECT_EQ(cut->pathLength(), 1);
    EXPECT_TRUE(env.terminal.contains(unread + "; it is not read: test.gam")) << "the loss is told";
    env.terminal.clear();
    auto ctrlZ = read(std::string(kHeader) + "H2-E2\r\nH9-G7\x1A" "B0-C2\r\n");
    EXPECT_EQ(ctrlZ->pathLength(), 2);
    auto mixed = read(std::string(kHeader) + "H2-E2\nH9-G7\rB0-C2\r\n \n");
    EXPECT_EQ(mixed->pathLength(), 2) << "a bare LF ends a line, a lone CR does not";
    EXPECT_FALSE(env.terminal.contains(unread + "; it is not read: test.gam")) << "nothing but blanks is lost";
    read(std::string(kHeader) + std::string("H2-E2\r\n\0H9-G7\r\n", 15));
    EXPECT_TRUE(env.terminal.contains(unread + "; it is not read: test.gam"));
}

TEST_F(GameFileTest, BareLineFeedFilesReadLikeTheProgramsOwn)
{
    auto game = read(std::string(kHeader) + "#a note\r\nBB\r\nH2-E2\r\nH9-G7\r\nBE\r\nBB\r\nC3-C4\r\nBE\r\n");
    const std::string written = GameFileText(*game, GameFileForm::Old);
    std::string bare = written;
    for (std::size_t at = bare.find("\r\n"); at != std::string::npos; at = bare.find("\r\n", at))
        bare.erase(at, 1);
    ASSERT_EQ(bare.find('\r'), std::string::npos);
    auto fromBare = read(bare);
    EXPECT_EQ(GameFileText(*fromBare, GameFileForm::Old), written) << "and written back with CR LF";
    EXPECT_FALSE(env.terminal.contains("not read"));
}

TEST_F(GameFileTest, ABranchEndReturnsToWhereItsBranchBegan)
{
    // The second branch follows the first one's moves before it splits them; the third
    // must still begin at the start. The same with two branches begun at one position.
    for (const std::string& body : {std::string("BB\r\nH2-E2\r\nH9-G7\r\nH0-G2\r\nBE\r\nBB\r\nH2-E2\r\nH9-G7\r\n"
                                                "B0-C2\r\nBE\r\nBB\r\nC3-C4\r\nBE\r\n"),
                                    std::string("BB\r\nBB\r\nH2-E2\r\nH9-G7\r\nBB\r\nH0-G2\r\nI9-H9\r\nBE\r\n"
                                                "B0-C2\r\nBE\r\nC3-C4\r\nBE\r\n")}) {
        auto game = read(std::string(kHeader) + body);
        const BranchPoint& first = *game->root().alternatives[0].continuation;
        ASSERT_EQ(first.count(), 2) << body;
        EXPECT_EQ(lineText(first.alternatives[0]), "H2-E2 H9-G7") << body;
        EXPECT_EQ(lineText(first.alternatives[1]), "C3-C4") << body;
        const BranchPoint& third = *first.alternatives[0].continuation;
        ASSERT_EQ(third.count(), 2) << body;
        EXPECT_EQ(lineText(third.alternatives[1]), "B0-C2") << body;
        auto again = read(GameFileText(*game, GameFileForm::Old));
        EXPECT_EQ(GameFileText(*again, GameFileForm::Old), GameFileText(*game, GameFileForm::Old));
    }
}

TEST_F(GameFileTest, BraceBodyPlaysTwoMovesPerLine)
{
    auto game = read("GAME\r\nSTART {\r\n1. H2-E2 H9-G7\r\n2. H0-G2 }\r\n3. I0-H0 I9-H9\r\n");
    EXPECT_EQ(game->format, kFormatBrace);
    game->Navigate(kGoToEnd);
    // "}" ends only its own line's moves.
    EXPECT_EQ(pathText(*game), "H2-E2 H9-G7 H0-G2 I0-H0 I9-H9");
}

// A brace body is whole at its closing "}" line, and kept as far as it goes without one
// (with a warning). Notes may hold Big5 characters ending in "}" or "]" (良, 也).
TEST_F(GameFileTest, BraceBodiesAreWholeAtTheirClosingLine)
{
    const std::string liang = "\xA8\x7D", ye = "\xA4\x5D";
    const std::string body = "GAME\r\nSUBJECT s\r\nSTART {\r\n#" + liang + "\r\n1. H2-E2 H9-G7\r\n#" + ye +
                             "\r\n#" + liang + "}\r\nBB\r\n2. H0-G2 I9-H9\r\nBE\r\nBB\r\n2. B0-C2\r\nBE\r\n";
    const struct {
        const char* name;
        std::string ending;
        bool merge;
        bool cutShort;
    } cases[] = {
        {"closed", "}\r\nH0-G2\r\n", false, false}, // nothing after the brace is read
        {"closed, merged", "}\r\n", true, false},
        {"cut short", "3. I0-H0", false, true}, // an unterminated last line is not read
    };
    for (const auto& c : cases) {
        env.terminal.clear();
        int status = -1;
        auto game = read(body + c.ending, c.merge, &status);
        EXPECT_EQ(status, 1) << c.name;
        EXPECT_EQ(env.terminal.contains("The game file ends before its closing \"}\": test.gam"), c.cutShort)
            << c.name;
        if (!c.merge) { // a merge takes no notes unless asked to
            EXPECT_EQ(game->currentEntry().noteText(), liang) << c.name;
        }
        game->RecomputePathLength(true); // the main line
        game->Navigate(kGoToEnd);
        EXPECT_EQ(pathText(*game), "H2-E2 H9-G7 H0-G2 I9-H9") << c.name;
        game->Navigate(kGoToPly, 2);
        if (!c.merge) {
            EXPECT_EQ(game->currentEntry().noteText(), ye + "\r\n" + liang + "}") << c.name;
        }
        const BranchPoint* branches = game->currentLine().continuation.get();
        ASSERT_NE(branches, nullptr) << c.name;
        EXPECT_EQ(branches->count(), 2) << c.name;
    }
    // A move number that is a Big5 character ending in "a" does not make the line foreign.
    auto numbered = read("GAME\r\nSTART {\r\n\xA4\x61 H2-E2 H9-G7\r\n}\r\n");
    numbered->Navigate(kGoToEnd);
    EXPECT_EQ(pathText(*numbered), "H2-E2 H9-G7");
}

TEST_F(GameFileTest, ClosingBraceLineStopsReadingWithFailureAndKeepsWhatWasRead)
{
    int status = -1;
    auto game = read(std::string(kHeader) + "H2-E2\r\n}\r\nH9-G7\r\n", false, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(game->pathLength(), 1);
    EXPECT_EQ(game->browsedPly(), 0) << "rewound at the end";
    EXPECT_EQ(game->mode, kModeNormal);
    EXPECT_EQ(env.terminal.texts().back(), "OMRA% ");
}

TEST_F(GameFileTest, HeaderLinesFillTheFieldsAndCutLongValues)
{
    env.settings.loginName = "bo";
    const std::string text = "GAME\r\nTIME    1 2\t3\r\nRED     " + std::string(30, 'r') +
                             ";1600\r\nBLACK   bob;\r\nSUBJECT " + std::string(400, 's') + "\r\nRESULT  " +
                             std::string(100, 'x') + "\r\nDATE    " + std::string(99, '2') + "\r\nPLACE   " +
                             std::string(150, 'p') + "\r\nSTART\r\n";
    auto game = read(text);
    EXPECT_EQ(game->times, (std::array<std::int64_t, 4>{1, 2, 3, 0}));
    EXPECT_EQ(fieldText(game->redName), std::string(15, 'r'));
    EXPECT_EQ(game->redRating, 1600);
    EXPECT_EQ(fieldText(game->blackName), "bob");
    EXPECT_EQ(game->blackRating, 0);
    EXPECT_EQ(game->userSide, kBlack) << "the user is the Black player";
    EXPECT_EQ(fieldText(game->subject), std::string(260, 's'));
    EXPECT_EQ(fieldText(game->result), std::string(60, 'x'));
    EXPECT_EQ(fieldText(game->date), std::string(60, '2'));
    EXPECT_EQ(fieldText(game->place), std::string(100, 'p'));
    EXPECT_TRUE(env.terminal.contains("GAME"));
}

TEST_F(GameFileTest, AGameWithoutSubjectIsNamedAfterReading)
{
    auto game = read("GAME\r\nRED     r; 0\r\nBLACK   b; 0\r\nDATE    2020-01-02\r\nSTART\r\n");
    EXPECT_EQ(fieldText(game->subject), "r.b.1.2020-01-02");
}

TEST_F(GameFileTest, SetUpPositionsRoundTripAndAreRefusedByMerging)
{
    auto game = env.newGame();
    Board board{};
    board[4] = 1;
    board[84] = 17;
    board[40] = 22;
    ASSERT_TRUE(game->SetStartPosition(board, 1));
    play(*game, "E9-D9");
    const std::string text = GameFileText(*game, GameFileForm::Old);
    // Piece p's square + 33, "{" for a piece off the board.
    const std::string position = "POSITION B%" + std::string(15, '{') + "u" + std::string(4, '{') + "I" +
                                 std::string(10, '{') + "\r\n";
    EXPECT_NE(text.find(position), std::string::npos) << text;
    auto back = read(text);
    EXPECT_EQ(back->customPosition, 1);
    EXPECT_EQ(back->firstMover, 1);
    EXPECT_EQ(back->browsedBoard, board);
    EXPECT_EQ(GameFileText(*back, GameFileForm::Old), text);

    int status = -1;
    auto merged = read(text, true, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(env.desktop.boxes.back(), "Can not merge Middle game");
    auto odds = read("GAME\r\nODDS KNIGHT\r\nSTART\r\n", true, &status);
    EXPECT_EQ(status, 0);
    auto knight = read("GAME\r\nODDS KNIGHT\r\nSTART\r\n");
    EXPECT_EQ(knight->browsedBoard[82], 0);
    EXPECT_NE(GameFileText(*knight, GameFileForm::Old).find("POSITION R"), std::string::npos);
}

TEST_F(GameFileTest, MergingTheSameFileTwiceAddsNothing)
{
    env.settings.mergeAppendNotes = true;
    auto source = richGame();
    const std::string text = GameFileText(*source, GameFileForm::New);
    auto game = env.newGame();
    StringSource first(text);
    ASSERT_EQ(ReadGame(*game, first, "a", true), 1);
    const std::string once = GameFileText(*game, GameFileForm::Old);
    game->modified = false;
    StringSource second(text);
    ASSERT_EQ(ReadGame(*game, second, "a", true), 1);
    EXPECT_EQ(GameFileText(*game, GameFileForm::Old), once);
    EXPECT_FALSE(game->modified);
    // Merging keeps the receiving game's own header.
    EXPECT_EQ(fieldText(game->result), "Unknown");
    EXPECT_NE(once.find("#abc\r\n#def\r\n"), std::string::npos);
}

TEST_F(GameFileTest, MergedMirrorImageOpeningsShareOneBranch)
{
    auto left = read(std::string(kHeader) + "B2-E2\r\nB9-C7\r\n");
    auto right = read(std::string(kHeader) + "H2-E2\r\nH9-G7\r\n");
    auto soldier = read(std::string(kHeader) + "C3-C4\r\n");
    auto game = env.newGame();
    for (CGame* g : {left.get(), right.get(), soldier.get()}) {
        const std::string text = GameFileText(*g, GameFileForm::Old);
        StringSource source(text);
        ASSERT_EQ(ReadGame(*game, source, "m", true), 1);
    }
    const BranchPoint& first = *game->root().alternatives[0].continuation;
    ASSERT_EQ(first.count(), 2);
    EXPECT_EQ(lineText(first.alternatives[0]), "H2-E2 H9-G7");
    EXPECT_EQ(lineText(first.alternatives[1]), "C3-C4");
    // A plain read keeps the orientation of either body form.
    auto plain = read(GameFileText(*left, GameFileForm::New));
    plain->Navigate(kGoToEnd);
    EXPECT_EQ(pathText(*plain), "B2-E2 B9-C7");
}

TEST_F(GameFileTest, ForeignAndOverlongInputFailsWithAMessage)
{
    int status = -1;
    read("NOT A GAME\r\n", false, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(env.desktop.boxes.back(), "Wrong game file: test.gam");

    read(std::string(kHeader) + "#" + std::string(kReadBufferSize + 10, 'x') + "\r\nH2-E2\r\n", false, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(env.desktop.boxes.back(), "Line too long in game file: test.gam");

    auto game = read("GAME\r\nCSTART\r\ng" + std::string(kReadBufferSize + 10, 'x'), false, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(game->pathLength(), 0);
}

TEST_F(GameFileTest, NewBodyOdditiesEndCleanly)
{
    // A square beyond the board, an unterminated note at the end, a lone trailing byte.
    auto game = read(std::string("GAME\r\nCSTART\r\n") + "\x46\x43" + "\x5A\x01" + "\x07\x18" + "g end");
    EXPECT_EQ(game->pathLength(), 2);
    EXPECT_TRUE(env.terminal.contains("This move may be wrong: 90-1"));
    game->Navigate(kGoToEnd);
    EXPECT_EQ(game->currentEntry().noteText(), " end");
    auto odd = read(std::string("GAME\r\nCSTART\r\n") + "\x46\x43" + "\x07");
    EXPECT_EQ(odd->pathLength(), 1);
    // A branch begun but never given a move leaves no trace.
    auto empty = read(std::string("GAME\r\nCSTART\r\n") + "\x46\x43" + "de");
    EXPECT_EQ(empty->pathLength(), 1);
    EXPECT_FALSE(empty->root().alternatives[0].continuation->alternatives[0].continuation);
}

TEST_F(GameFileTest, ServerLinesOpenAWindowOrReportThatNoneCouldBeOpened)
{
    CGame* game = nullptr;
    int counter = 0;
    ReadBranches branches;
    env.windows.refuseWindows = true;
    ReadGameLine(game, "GAME", counter, false, branches, env.ports());
    EXPECT_EQ(game, nullptr);
    EXPECT_EQ(env.desktop.boxes.back(), "Cannot create GAME!");
    env.windows.refuseWindows = false;
    ReadGameLine(game, "GAME", counter, false, branches, env.ports());
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->mode, kModeBusy);
    counter = 1;
    ReadGameLine(game, "START", counter, false, branches, env.ports());
    env.terminal.clear();
    ReadGameLine(game, "H2-E2", counter, false, branches, env.ports());
    EXPECT_EQ(env.terminal.texts(), std::vector<std::string>{"  1) H2-E2"});
    counter = 0;
    CGame* other = nullptr;
    ReadGameLine(other, "Not a game", counter, false, branches, env.ports());
    EXPECT_EQ(counter, -1);
    EXPECT_EQ(other, nullptr);
}

TEST_F(GameFileTest, ConvertingKeepsHeaderNotesAndOrientation)
{
    const auto path = std::filesystem::temp_directory_path() / ("marovin_convert_" + std::to_string(::getpid()));
    auto game = richGame();
    ASSERT_TRUE(WriteGameFile(*game, path.string(), GameFileForm::Old));
    ASSERT_TRUE(ConvertGameFile(path.string(), true, env.ports()));
    std::ifstream in(path, std::ios::binary);
    const std::string converted((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(converted, GameFileText(*game, GameFileForm::New));
    ASSERT_TRUE(ConvertGameFile(path.string(), false, env.ports()));
    std::ifstream again(path, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()), kRichOld);
    std::filesystem::remove(path);

    EXPECT_FALSE(ConvertGameFile(path.string(), true, env.ports()));
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing written for a file that could not be read";

    const std::string cut = std::string(kHeader) + "H2-E2\r\nH9-G7";
    std::ofstream(path, std::ios::binary) << cut;
    EXPECT_FALSE(ConvertGameFile(path.string(), true, env.ports()));
    std::ifstream kept(path, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), cut)
        << "a file whose end was not read is not rewritten";
    EXPECT_TRUE(env.terminal.contains("Not converted, as the text at its end would be lost: " + path.string()));
    std::filesystem::remove(path);
}

} // namespace
} // namespace marovin::model

namespace marovin::model {
namespace {

// Records what the window was told.
class RecordingObserver : public GameObserver {
public:
    void redraw(CGame&) override { events.push_back("redraw"); }
    void moveScroll(CGame& game, int maximum, int position) override
    {
        events.push_back("scroll " + std::to_string(maximum) + " " + std::to_string(position) + " mode " +
                         std::to_string(game.mode));
    }
    std::vector<std::string> events;
};

TEST(GameObserverTest, ReadingTouchesNoScrollBarAndRedrawsOnceAtTheEnd)
{
    testing::GameEnvironment env;
    auto game = env.newGame();
    RecordingObserver observer;
    game->setObserver(&observer);
    StringSource source("GAME\r\nSTART\r\nH2-E2\r\nH9-G7\r\n");
    ASSERT_EQ(ReadGame(*game, source, "f", false), 1);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"scroll 2 0 mode 0", "redraw"}));
    observer.events.clear();
    game->Navigate(kStepForward);
    game->Navigate(kGoToStart);
    game->DeleteFromHere("w");
    EXPECT_EQ(observer.events,
              (std::vector<std::string>{"scroll 2 1 mode 0", "scroll 2 0 mode 0", "scroll 1000000 0 mode 0", "redraw"}));
}

} // namespace
} // namespace marovin::model
