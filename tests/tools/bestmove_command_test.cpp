// marovin-tool bestmove against the real engine (found as the program finds it) and against
// small scripted engines that misbehave.
#include <random>

#include <gtest/gtest.h>

#include "engine/engine_settings.h"
#include "model/fen.h"
#include "model/legality.h"
#include "tool_runner.h"

namespace marovin::tool {
namespace {

using testing::RunToolProgram;

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

class BestMoveRealEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!engine::FindEngineProgram(""))
            GTEST_SKIP() << "fairy-stockfish is not installed (scripts/install-deps.sh installs it)";
    }
};

TEST_F(BestMoveRealEngine, FindsAMateInOne)
{
    // Black's general on d10 is boxed in by the chariot on the ninth rank and the facing
    // generals; the other chariot mates along the back rank.
    const std::string fen = "3k5/R8/9/9/9/8R/9/9/9/4K4 w - - 0 1";
    const auto run = RunToolProgram({"bestmove", fen, "--depth", "5"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto move = model::ParseCoordinateMove(Trimmed(run.out));
    ASSERT_TRUE(move) << run.out;
    std::string error;
    auto position = model::ReadFen(fen, error);
    ASSERT_TRUE(position) << error;
    model::ApplyMove(position->board, move->from, move->to);
    EXPECT_EQ(model::EvaluatePosition(position->board, false), model::GameStatus::Checkmate) << run.out;
}

TEST_F(BestMoveRealEngine, MovesAreLegalByOurRulesOnRandomPositions)
{
    std::mt19937 random(20261208);
    for (int game = 0; game < 6; ++game) {
        model::Board board = model::kStandardOpening;
        bool red = true;
        const int plies = 4 + game * 7;
        for (int ply = 0; ply < plies; ++ply) {
            const auto moves = model::GenerateLegalMoves(board, red);
            if (moves.empty())
                break;
            const auto move = moves[random() % moves.size()];
            model::ApplyMove(board, move.from, move.to);
            red = !red;
        }
        if (model::EvaluatePosition(board, red) != model::GameStatus::Playing)
            continue;
        const std::string fen = model::WriteFen(board, red);
        const auto run = RunToolProgram({"bestmove", fen, "--movetime", "60"});
        ASSERT_EQ(run.status, 0) << fen << ": " << run.err;
        const auto move = model::ParseCoordinateMove(Trimmed(run.out));
        ASSERT_TRUE(move) << fen << ": " << run.out;
        const auto legal = model::GenerateLegalMoves(board, red);
        EXPECT_NE(std::find(legal.begin(), legal.end(), *move), legal.end()) << fen << ": " << run.out;
    }
}

TEST(BestMoveCommand, FailuresExitWithStatusTwoAndAMessage)
{
    testkit::TempFolder folder;
    using testing::WriteScriptedEngine;
    const std::string crashing = WriteScriptedEngine(folder, "crashing", "echo 'info depth 1 pv a1a2'; kill -SEGV $$");
    const std::string illegal = WriteScriptedEngine(folder, "illegal", "echo 'info depth 1'; echo 'bestmove a1a5'");
    const std::string quitting = WriteScriptedEngine(folder, "quitting", "exit 3");
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"bestmove", "--engine", folder.file("missing")}, "No engine found at"},
        {{"bestmove", "--engine", crashing}, "stopped unexpectedly (it crashed with signal 11)"},
        {{"bestmove", "--engine", quitting}, "stopped unexpectedly (exit status 3)"},
        {{"bestmove", "--engine", illegal}, "no legal move"},
        {{"bestmove", "3k5/R8/9/9/9/9/9/9/9/4K4 x"}, "invalid FEN"},
        {{"bestmove", "R2k5/R8/9/9/9/9/9/9/9/4K4 b"}, "no legal move: Black is checkmated"},
        {{"bestmove", "--depth", "0"}, "the depth must be 1 to"},
        {{"bestmove", "--movetime", "fast"}, "the move time must be"},
        {{"bestmove", "--movetime"}, "--movetime needs a value"},
        {{"bestmove", "--ponder"}, "unknown option '--ponder'"},
    };
    for (const auto& c : cases) {
        const auto run = RunToolProgram(c.arguments);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

} // namespace
} // namespace marovin::tool
