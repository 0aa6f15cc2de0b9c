#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_client.h"
#include "engine/engine_position.h"
#include "engine/uci_line.h"
#include "engine/uci_move.h"
#include "model/chinese_notation.h"
#include "model/fen.h"

namespace marovin::engine {
namespace {

using model::SquareOf;
using model::SquarePair;

TEST(UciMove, ConvertsBothRankNumberings)
{
    struct Case {
        SquarePair move;
        RankBase base;
        const char* text;
    };
    const Case cases[] = {
        {{SquareOf(7, 7), SquareOf(7, 4)}, RankBase::FromOne, "h3e3"},   // Red's cannon to the centre
        {{SquareOf(7, 7), SquareOf(7, 4)}, RankBase::FromZero, "h2e2"},
        {{SquareOf(0, 7), SquareOf(2, 6)}, RankBase::FromOne, "h10g8"},  // Black's horse
        {{SquareOf(0, 7), SquareOf(2, 6)}, RankBase::FromZero, "h9g7"},
        {{SquareOf(9, 0), SquareOf(0, 8)}, RankBase::FromOne, "a1i10"},  // corner to corner
        {{SquareOf(9, 0), SquareOf(0, 8)}, RankBase::FromZero, "a0i9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatUciMove(c.move, c.base), c.text);
        const auto parsed = ParseUciMove(c.text, c.base);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(*parsed, c.move) << c.text;
    }
    // The zero-based text is the game's coordinate text in lower case without the dash.
    EXPECT_EQ(FormatUciMove({SquareOf(7, 7), SquareOf(7, 4)}, RankBase::FromZero),
              "h2e2");
    EXPECT_EQ(model::FormatCoordinateMove(SquareOf(7, 7), SquareOf(7, 4)), "H2-E2");
}

TEST(UciMove, RefusesTextsThatAreNotTwoSquares)
{
    const struct {
        const char* text;
        RankBase base;
    } bad[] = {
        {"", RankBase::FromOne},      {"h3", RankBase::FromOne},     {"j1a1", RankBase::FromOne},
        {"a11a1", RankBase::FromOne}, {"a0a1", RankBase::FromOne},   {"a10a1", RankBase::FromZero},
        {"a01b1", RankBase::FromOne}, {"h3e3q", RankBase::FromOne},  {"H3E3", RankBase::FromOne},
        {"h3-e3", RankBase::FromOne}, {"h3e", RankBase::FromOne},    {"h3e3 ", RankBase::FromOne},
    };
    for (const auto& c : bad)
        EXPECT_FALSE(ParseUciMove(c.text, c.base)) << '"' << c.text << '"';
}

TEST(EngineLineDecoder, ReadsEveryLineForm)
{
    struct Case {
        const char* line;
        EngineLineKind kind;
        std::optional<int> depth;
        EngineScore score;
        std::vector<std::string> pv;
    };
    using S = EngineScore;
    const Case cases[] = {
        {"uciok", EngineLineKind::UciOk, {}, {}, {}},
        {"readyok\t", EngineLineKind::ReadyOk, {}, {}, {}},
        {"id name Fairy-Stockfish 11.1 LB 64", EngineLineKind::Id, {}, {}, {}},
        {"option name Hash type spin default 16 min 1 max 33554432", EngineLineKind::Option, {}, {}, {}},
        {"Fairy-Stockfish 11.1 LB 64 by Fabian Fichter", EngineLineKind::Other, {}, {}, {}},
        {"", EngineLineKind::Empty, {}, {}, {}},
        // A real line: every field we skip, then the variation at the end.
        {"info depth 11 seldepth 14 multipv 1 score cp 48 nodes 68274 nps 223117 tbhits 0 time 306 pv g4g5 c7c6 h1g3",
         EngineLineKind::Info, 11, S{ScoreKind::Centipawns, 48, false}, {"g4g5", "c7c6", "h1g3"}},
        {"info depth 20 score mate -3 upperbound pv h10g8", EngineLineKind::Info, 20, S{ScoreKind::Mate, -3, true},
         {"h10g8"}},
        {"info  depth\t5 score cp -120 lowerbound", EngineLineKind::Info, 5, S{ScoreKind::Centipawns, -120, true}, {}},
        // The variation ends where a field name follows it.
        {"info pv h3e3 h10g8 depth 7", EngineLineKind::Info, 7, S{}, {"h3e3", "h10g8"}},
        {"info currmove h3e3 currmovenumber 1 depth 2", EngineLineKind::Info, 2, S{}, {}},
        // Values out of range or not numbers count as absent.
        {"info depth 99999 score cp 5000000 pv a1a2", EngineLineKind::Info, {}, S{}, {"a1a2"}},
        {"info depth -1 score mate 100000", EngineLineKind::Info, {}, S{}, {}},
        {"info depth 12x score cp", EngineLineKind::Info, {}, S{}, {}},
        {"info depth", EngineLineKind::Info, {}, S{}, {}},
        {"info score wdl 500 300 200 depth 4", EngineLineKind::Info, 4, S{}, {}},
        {"info string depth 9 score cp 5", EngineLineKind::Info, {}, S{}, {}},
    };
    for (const Case& c : cases) {
        const EngineLine decoded = DecodeEngineLine(c.line);
        EXPECT_EQ(decoded.kind, c.kind) << c.line;
        EXPECT_EQ(decoded.info.depth, c.depth) << c.line;
        EXPECT_EQ(decoded.info.score, c.score) << c.line;
        EXPECT_EQ(decoded.info.pv, c.pv) << c.line;
    }
    EXPECT_TRUE(DecodeEngineLine("info string variant xiangqi").info.hasText);

    const struct {
        const char* line;
        const char* name;
        std::optional<int> value;
    } options[] = {
        {"option name Hash type spin default 16 min 1 max 33554432", "Hash", 16},
        {"option name Move Overhead type spin default 10 min 0 max 5000", "Move Overhead", 10},
        {"option name UCI_Variant type combo default chess var xiangqi", "UCI_Variant", {}},
        {"option name Threads type spin", "Threads", {}},
        {"option Threads", "", {}},
    };
    for (const auto& c : options) {
        const EngineLine decoded = DecodeEngineLine(c.line);
        EXPECT_EQ(decoded.option.name, c.name) << c.line;
        EXPECT_EQ(decoded.option.numericDefault, c.value) << c.line;
    }
}

TEST(EngineLineDecoder, ReadsBestMovesAndCapsVariations)
{
    const struct {
        const char* line;
        std::optional<std::string> move;
    } cases[] = {
        {"bestmove g4g5 ponder c7c6", "g4g5"},
        {"bestmove h10g8", "h10g8"},
        {"bestmove (none)", std::nullopt},
        {"bestmove 0000", std::nullopt},
        {"bestmove", std::nullopt},
    };
    for (const auto& c : cases) {
        const EngineLine decoded = DecodeEngineLine(c.line);
        EXPECT_EQ(decoded.kind, EngineLineKind::BestMove) << c.line;
        EXPECT_EQ(decoded.bestMove.move, c.move) << c.line;
    }
    std::string endless = "info depth 3 pv";
    for (int i = 0; i < 1000; ++i)
        endless += " a1a2";
    EXPECT_EQ(DecodeEngineLine(endless).info.pv.size(), kLongestVariation);
}

TEST(EngineLineFramer, FramesChunksAndDropsOverlongLines)
{
    EngineLineFramer framer;
    std::vector<std::string> lines;
    auto collect = [&lines](std::string_view line) { lines.emplace_back(line); };
    EXPECT_EQ(framer.push("upt", collect), 0);
    EXPECT_EQ(framer.push("ok\r\nread", collect), 0);
    EXPECT_EQ(framer.push("yok\n\n", collect), 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"uptok", "readyok", ""}));

    lines.clear();
    const std::string overlong(kLongestEngineLine + 10, 'x');
    EXPECT_EQ(framer.push(overlong.substr(0, 100), collect), 0);
    EXPECT_EQ(framer.push(overlong.substr(100) + "\nbestmove h3e3\n", collect), 1);
    // The tail of the overlong line is not taken for a line of its own.
    EXPECT_EQ(lines, (std::vector<std::string>{"bestmove h3e3"}));
    // A line of exactly the longest length still passes.
    lines.clear();
    framer.push(std::string(kLongestEngineLine, 'y') + "\n", collect);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), kLongestEngineLine);
}

TEST(EngineScoreText, IsFromRedsSide)
{
    const struct {
        EngineScore score;
        bool redToMove;
        const char* text;
    } cases[] = {
        {{ScoreKind::Centipawns, 48, false}, true, "+0.48"},
        {{ScoreKind::Centipawns, 48, false}, false, "-0.48"},
        {{ScoreKind::Centipawns, -1205, false}, true, "-12.05"},
        {{ScoreKind::Centipawns, 0, false}, false, "+0.00"},
        {{ScoreKind::Mate, 3, false}, true, "M3"},
        {{ScoreKind::Mate, 3, false}, false, "-M3"},
        {{ScoreKind::Mate, -2, false}, false, "M2"},
        {{ScoreKind::None, 0, false}, true, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatScore(ScoreForRed(c.score, c.redToMove)), c.text) << c.text;
}

TEST(EnginePositionCheck, CutsMoveListsAndVariationsAtTheFirstIllegalMove)
{
    EnginePosition position;
    position.start = model::kStandardOpening;
    position.moves = {{SquareOf(7, 7), SquareOf(7, 4)},  // cannon to the centre
                      {SquareOf(0, 7), SquareOf(2, 6)},  // horse out
                      {SquareOf(9, 0), SquareOf(5, 0)},  // chariot through its own soldier: illegal
                      {SquareOf(9, 1), SquareOf(7, 2)}}; // legal, but after the illegal one
    std::string error;
    const auto resolved = ResolvePosition(position, RankBase::FromOne, error);
    ASSERT_TRUE(resolved) << error;
    EXPECT_EQ(resolved->command, "position fen " + model::OpeningFen() + " moves h3e3 h10g8");
    EXPECT_EQ(resolved->movesKept, 2u);
    EXPECT_TRUE(resolved->redToMove);
    EXPECT_EQ(resolved->board[SquareOf(7, 4)], model::kStandardOpening[SquareOf(7, 7)]);

    const std::vector<std::string> pv = {"b1c3", "b10c8", "c3c3", "a1a2"};
    const auto line = ReplayVariation(resolved->board, true, pv, RankBase::FromOne);
    ASSERT_EQ(line.size(), 2u);
    EXPECT_EQ(line[1], (SquarePair{SquareOf(0, 1), SquareOf(2, 2)}));
    // The same texts in the other numbering do not fit the position: nothing is kept.
    EXPECT_TRUE(ReplayVariation(resolved->board, true, pv, RankBase::FromZero).empty());

    // The variation in the Chinese notation: 傌八進七 (b1c3) 馬２進３ (b10c8).
    EXPECT_EQ(ChineseVariation(resolved->board, line, 10),
              "\xD8\x58\xA4\x4B\xB6\x69\xA4\x43 \xB0\xA8\xA2\xB1\xB6\x69\xA2\xB2");
    EXPECT_EQ(ChineseVariation(resolved->board, line, 1).size(), 8u);

    position.start.fill(0); // no generals
    EXPECT_FALSE(ResolvePosition(position, RankBase::FromOne, error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace marovin::engine
