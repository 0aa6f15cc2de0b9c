// marovin-tool analyse: the real engine finds a planted blunder; a scripted engine shows
// the exact lines the analysis sends; failures exit with a message.
#include <sstream>

#include <gtest/gtest.h>

#include "engine/engine_settings.h"
#include "model/fen.h"
#include "tool_runner.h"

namespace marovin::tool {
namespace {

using testing::RunToolProgram;

std::vector<std::vector<std::string>> Fields(const std::string& text)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        lines.emplace_back();
        for (std::string word; words >> word;)
            lines.back().push_back(word);
    }
    return lines;
}

// 3. A1-B1 puts Red's chariot where Black's cannon takes it (over Red's cannon on B2)
// and nothing of Red's can take back.
const char* const kBlunderGame = "GAME\r\nSTART\r\nB0-C2\r\nH9-G7\r\nA0-A1\r\nC6-C5\r\nA1-B1\r\nB7-B1\r\n"
                                 "H0-G2\r\n";

TEST(AnalyseRealEngine, ThePlantedBlunderGetsTwoQuestionMarks)
{
    if (!engine::FindEngineProgram(""))
        GTEST_SKIP() << "fairy-stockfish is not installed (scripts/install-deps.sh installs it)";
    testkit::TempFolder folder;
    const std::string game = folder.write("blunder.txt", kBlunderGame);
    const std::string graph = folder.file("graph.png");
    const auto run = RunToolProgram({"analyse", game, "--movetime", "150", "--graph", graph});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Fields(run.out);
    const char* const moves[] = {"B0-C2", "H9-G7", "A0-A1", "C6-C5", "A1-B1", "B7-B1", "H0-G2"};
    ASSERT_EQ(lines.size(), 7u) << run.out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_GE(lines[i].size(), 4u) << run.out;
        EXPECT_EQ(lines[i][0], std::to_string(i + 1));
        EXPECT_EQ(lines[i][1], moves[i]);
        EXPECT_TRUE(model::ParseCoordinateMove(lines[i][3])) << run.out;
    }
    ASSERT_EQ(lines[4].size(), 5u) << run.out;
    EXPECT_EQ(lines[4][4], "??") << run.out;
    EXPECT_LT(std::stoi(lines[4][2]), -300) << run.out;
    EXPECT_EQ(lines[5].size(), 4u) << "taking the chariot is no mistake: " << run.out;
    EXPECT_EQ(testkit::TempFolder::read(graph).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

TEST(AnalyseCommand, EachPositionGoesOutWithTheGamesHistoryAndAMoveTime)
{
    testkit::TempFolder folder;
    const std::string log = folder.file("log");
    // It answers every search with one score and no move.
    const std::string engine = testing::WriteScriptedEngine(
        folder, "logging", "echo 'info depth 3 score cp 17'; echo 'bestmove (none)'", log);
    const std::string game = folder.write("game.txt", "GAME\r\nSTART\r\nH2-E2\r\nH9-G7\r\n");
    const auto run = RunToolProgram({"analyse", game, "--movetime", "40", "--engine", engine});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1 H2-E2 -17 -\n2 H9-G7 17 -\n");
    const std::string opening = "position fen " + model::OpeningFen();
    const std::string expected = "uci\n"
                                 "setoption name UCI_Variant value xiangqi\n"
                                 "setoption name Threads value 1\n"
                                 "setoption name Hash value 64\n"
                                 "isready\n" +
                                 opening + "\ngo movetime 40\n" + opening + " moves h3e3\ngo movetime 40\n" +
                                 opening + " moves h3e3 h10g8\ngo movetime 40\nquit\n";
    EXPECT_EQ(testkit::TempFolder::read(log), expected);
}

TEST(AnalyseCommand, FailuresExitWithStatusTwoAndAMessage)
{
    testkit::TempFolder folder;
    const std::string game = folder.write("game.txt", "GAME\r\nSTART\r\nH2-E2\r\n");
    const std::string crashing = testing::WriteScriptedEngine(folder, "crashing", "kill -SEGV $$");
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"analyse"}, "the game FILE is missing"},
        {{"analyse", game, "--movetime", "5"}, "the move time must be 10 to"},
        {{"analyse", game, "--graph"}, "--graph needs a value"},
        {{"analyse", game, "--depth", "4"}, "unexpected argument '--depth'"},
        {{"analyse", folder.file("none.txt")}, "none.txt"},
        {{"analyse", game, "--engine", folder.file("missing")}, "No engine found at"},
        {{"analyse", game, "--engine", crashing, "--movetime", "20"}, "stopped unexpectedly"},
    };
    for (const auto& c : cases) {
        const auto run = RunToolProgram(c.arguments);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace marovin::tool
