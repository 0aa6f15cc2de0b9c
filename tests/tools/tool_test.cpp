#include <algorithm>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "tool_runner.h"

namespace marovin::tool {
namespace {

using testing::RunToolProgram;

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
