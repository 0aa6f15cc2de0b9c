#include <algorithm>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "tool_runner.h"

namespace marovin::tool {
namespace {

using testing::RunToolProgram;

// An old-format game: a Big5 subject, a note on the start and on the first move, and a
// branch for Black's first reply (main line H7-E7 B0-C2, side line B9-C7).
const std::string kGameFile = "GAME\r\n"
                              "TIME    0\t0\t600\t540\r\n"
                              "SUBJECT \xA4\xA4\xB0\xEA test\r\n" // 中國
                              "RESULT  Unknown\r\n"
                              "RED     alice; 1500\r\n"
                              "BLACK   bob; 1480\r\n"
                              "DATE    2024-03-05\r\n"
                              "PLACE   club\r\n"
                              "START\r\n"
                              "#start note\r\n"
                              "H2-E2\r\n"
                              "#central cannon\r\n"
                              "#second line\r\n"
                              "BB\r\n"
                              "H7-E7\r\n"
                              "B0-C2\r\n"
                              "BE\r\n"
                              "BB\r\n"
                              "B9-C7\r\n"
                              "BE\r\n";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(ToolMoves, OpeningMovesAreSortedCoordinateTexts)
{
    const auto run = RunToolProgram({"moves"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    EXPECT_EQ(lines.size(), 44u);
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "H2-E2"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "H2-H9"), lines.end());
    EXPECT_TRUE(run.err.empty());
}

TEST(ToolMoves, FenAsOneArgumentOrAsFields)
{
    const char* fen = "R2k5/9/P2P5/9/c8/9/9/9/9/5K3 b - - 0 1";
    const auto quoted = RunToolProgram({"moves", fen});
    ASSERT_EQ(quoted.status, 0) << quoted.err;
    EXPECT_EQ(quoted.out, "A5-A9\n");
    const auto fields = RunToolProgram({"moves", "R2k5/9/P2P5/9/c8/9/9/9/9/5K3", "b"});
    EXPECT_EQ(fields.out, quoted.out);
    // A mated side has no moves: empty output, still a success.
    const auto mated = RunToolProgram({"moves", "R3k4/1R7/9/9/9/9/9/9/9/3K5 b"});
    EXPECT_EQ(mated.status, 0);
    EXPECT_EQ(mated.out, "");
}

TEST(ToolPerft, CountsAndDepthLimits)
{
    const struct {
        std::vector<std::string> arguments;
        const char* out;
    } good[] = {
        {{"perft", "0"}, "1\n"},
        {{"perft", "1"}, "44\n"},
        {{"perft", "3"}, "79666\n"},
        {{"perft", "2", "3k5/9/9/9/9/9/9/9/9/4K4 w"}, "3\n"}, // F0: D8 or E9; E1: D8 only
    };
    for (const auto& c : good) {
        const auto run = RunToolProgram(c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments[1] << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.arguments[1];
    }
    for (const char* depth : {"9", "-1", "abc", "", "1x", "+3", " 3", "100000000000000000000"}) {
        const auto run = RunToolProgram({"perft", depth});
        EXPECT_EQ(run.status, 2) << depth;
        EXPECT_NE(run.err.find("depth"), std::string::npos) << depth << ": " << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(RunToolProgram({"perft"}).status, 2);
}

TEST(ToolErrors, BadFenAndUnknownSubcommands)
{
    const auto badFen = RunToolProgram({"moves", "rnbakabnr/9/9 w"});
    EXPECT_EQ(badFen.status, 2);
    EXPECT_NE(badFen.err.find("invalid FEN: the placement has 3 ranks"), std::string::npos) << badFen.err;
    const auto perftFen = RunToolProgram({"perft", "1", "4k4/9/9/9/9/9/9/9/9/4K4 w"});
    EXPECT_EQ(perftFen.status, 2);
    EXPECT_NE(perftFen.err.find("in check"), std::string::npos) << perftFen.err;

    const auto unknown = RunToolProgram({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown subcommand 'frobnicate'"), std::string::npos);
    EXPECT_EQ(RunToolProgram({}).status, 2);
    const auto help = RunToolProgram({"help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("perft DEPTH [FEN]"), std::string::npos);
}

TEST(ToolFiles, FenAndShowReadTheMainLine)
{
    testkit::TempFolder folder;
    const std::string path = folder.write("game.txt", kGameFile);
    const auto fen = RunToolProgram({"fen", path});
    ASSERT_EQ(fen.status, 0) << fen.err;
    EXPECT_EQ(fen.out, "rnbakabnr/9/1c2c4/p1p1p1p1p/9/9/P1P1P1P1P/1CN1C4/9/R1BAKABNR b - - 0 1\n");

    const auto show = RunToolProgram({"show", path});
    ASSERT_EQ(show.status, 0) << show.err;
    const auto lines = Lines(show.out);
    ASSERT_GE(lines.size(), 13u) << show.out;
    EXPECT_EQ(lines[0], "Subject: \u4E2D\u570B test");
    EXPECT_EQ(lines[1], "Red:     alice (1500)");
    EXPECT_EQ(lines[2], "Black:   bob (1480)");
    EXPECT_EQ(lines[3], "Result:  Unknown");
    EXPECT_EQ(lines[4], "Date:    2024-03-05");
    EXPECT_EQ(lines[5], "Place:   club");
    EXPECT_EQ(lines[6], "Time:    0 0 600 540");
    EXPECT_EQ(lines[7], "    # start note");
    EXPECT_EQ(lines[8].substr(0, 3), "1. ");
    EXPECT_EQ(lines[9], "    # central cannon");
    EXPECT_EQ(lines[10], "    # second line");
    EXPECT_EQ(lines[11].substr(0, 5), "1... ");
    EXPECT_EQ(lines[12].substr(0, 3), "2. ");
    EXPECT_EQ(lines.size(), 13u) << show.out;
}

TEST(ToolFiles, ConvertKeepsHeadersNotesAndMoves)
{
    testkit::TempFolder folder;
    const std::string path = folder.write("game.txt", kGameFile);
    const auto before = RunToolProgram({"show", path});

    const auto toNew = RunToolProgram({"convert", "--to", "new", path});
    ASSERT_EQ(toNew.status, 0) << toNew.err;
    const std::string newForm = testkit::TempFolder::read(path);
    EXPECT_NE(newForm.find("CSTART\r\n"), std::string::npos);
    EXPECT_EQ(RunToolProgram({"show", path}).out, before.out);

    const auto toOld = RunToolProgram({"convert", "--to", "old", path});
    ASSERT_EQ(toOld.status, 0) << toOld.err;
    const std::string oldForm = testkit::TempFolder::read(path);
    EXPECT_NE(oldForm.find("START\r\n#start note\r\nH2-E2\r\n"), std::string::npos) << oldForm;
    EXPECT_EQ(RunToolProgram({"show", path}).out, before.out);
}

TEST(ToolFiles, FilesThatAreNotGamesAreRefused)
{
    testkit::TempFolder folder;
    const std::string text = folder.write("notes.txt", "hello\r\n");
    const std::string good = folder.write("good.txt", kGameFile);
    for (const char* command : {"fen", "show"}) {
        const auto wrong = RunToolProgram({command, text});
        EXPECT_EQ(wrong.status, 2) << command;
        EXPECT_NE(wrong.err.find("Wrong game file"), std::string::npos) << wrong.err;
        const auto missing = RunToolProgram({command, folder.file("absent.txt")});
        EXPECT_EQ(missing.status, 2) << command;
        EXPECT_FALSE(missing.err.empty());
        EXPECT_EQ(RunToolProgram({command}).status, 2) << command;
    }
    // A bad file among good ones: the good ones are converted, the status says 2.
    const auto mixed = RunToolProgram({"convert", "--to", "new", text, good});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_EQ(testkit::TempFolder::read(text), "hello\r\n");
    EXPECT_NE(testkit::TempFolder::read(good).find("CSTART"), std::string::npos);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"convert"}, {"convert", "--to", "new"}, {"convert", "--to", "mid", good}, {"convert", good}})
        EXPECT_EQ(RunToolProgram(bad).status, 2) << bad.size();
}

// Whatever the arguments, the program ends by itself with 0 or 2, never a crash.
TEST(ToolErrors, SurvivesAnyArguments)
{
    std::mt19937 random(11);
    const std::vector<std::string> words = {
        "moves", "perft", "fen", "show", "convert", "--to", "old",
        "new",   "8",     "1",   "w",    "b",       "/",    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9"};
    for (int i = 0; i < 40; ++i) {
        std::vector<std::string> arguments;
        const int count = static_cast<int>(random() % 5);
        for (int k = 0; k < count; ++k) {
            if (random() % 3 == 0) {
                std::string bytes(random() % 30, ' ');
                for (char& c : bytes)
                    c = static_cast<char>(1 + random() % 255);
                arguments.push_back(bytes);
            } else {
                arguments.push_back(words[random() % words.size()]);
            }
        }
        if (arguments.size() >= 2 && arguments[0] == "perft")
            arguments[1] = "2"; // keep the run short
        const auto run = RunToolProgram(arguments);
        EXPECT_TRUE(run.status == 0 || run.status == 2) << "case " << i << " ended with " << run.status;
    }
}

} // namespace
} // namespace marovin::tool
