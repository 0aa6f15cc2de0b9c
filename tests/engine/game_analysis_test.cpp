// Whole-game analysis: which positions are asked about and how, how each move is judged,
// the driver's flow against a scripted engine, and the notes it leaves in the record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../model/game_fixture.h"
#include "engine/engine_position.h"
#include "engine/game_analysis.h"
#include "model/fen.h"

namespace marovin::engine {
namespace {

using model::MoveMark;
using model::testing::play;

std::string movesText(const std::vector<model::SquarePair>& moves)
{
    std::string text;
    for (const auto& move : moves)
        text += (text.empty() ? "" : " ") + model::FormatCoordinateMove(move.from, move.to);
    return text;
}

// Main line H2-E2 H9-G7 H0-G2 I9-H9; after H2-E2 a side line B9-C7 B0-C2 (followed).
struct BranchedGame {
    BranchedGame()
    {
        for (const char* move : {"H2-E2", "H9-G7", "H0-G2", "I9-H9"})
            play(*game, move);
        game->Navigate(model::kGoToPly, 1);
        play(*game, "B9-C7");
        play(*game, "B0-C2");
    }
    model::testing::GameEnvironment environment;
    std::unique_ptr<model::CGame> game = environment.newGame();
};

TEST(AnalysisPositions, MainLineOrWholeTreeFromAPly)
{
    BranchedGame rig;
    const struct {
        bool wholeTree;
        int fromPly;
        std::vector<std::string> lines; // the moves to each node, in order
        std::vector<int> parents;
    } cases[] = {
        {false, 1, {"", "H2-E2", "H2-E2 H9-G7", "H2-E2 H9-G7 H0-G2", "H2-E2 H9-G7 H0-G2 I9-H9"}, {-1, 0, 1, 2, 3}},
        {true, 1,
         {"", "H2-E2", "H2-E2 H9-G7", "H2-E2 H9-G7 H0-G2", "H2-E2 H9-G7 H0-G2 I9-H9", "H2-E2 B9-C7",
          "H2-E2 B9-C7 B0-C2"},
         {-1, 0, 1, 2, 3, 1, 5}},
        {false, 3, {"H2-E2 H9-G7", "H2-E2 H9-G7 H0-G2", "H2-E2 H9-G7 H0-G2 I9-H9"}, {-1, 0, 1}},
        {false, 9, {}, {}},
    };
    for (const auto& c : cases) {
        const auto nodes = CollectAnalysisNodes(*rig.game, c.wholeTree, c.fromPly);
        std::vector<std::string> lines;
        std::vector<int> parents;
        for (const AnalysisNode& node : nodes) {
            lines.push_back(movesText(node.moves));
            parents.push_back(node.parent);
            EXPECT_EQ(node.mainLine, node.moves.size() < 2 || node.moves[1].from == model::SquareOf(0, 7));
        }
        EXPECT_EQ(lines, c.lines) << c.wholeTree << " from " << c.fromPly;
        EXPECT_EQ(parents, c.parents) << c.wholeTree << " from " << c.fromPly;
    }
}

TEST(AnalysisPositions, TheEngineIsToldTheGamesHistoryUnlessAPositionIsBeingSetUp)
{
    BranchedGame rig;
    std::string error;
    auto sent = ResolvePosition(PositionOfBrowsed(*rig.game), RankBase::FromOne, error);
    ASSERT_TRUE(sent) << error;
    EXPECT_EQ(sent->command, "position fen " + model::OpeningFen() + " moves h3e3 b10c8 b1c3");
    EXPECT_EQ(sent->board, rig.game->browsedBoard);

    rig.game->Navigate(model::kGoToStart);
    sent = ResolvePosition(PositionOfBrowsed(*rig.game), RankBase::FromOne, error);
    EXPECT_EQ(sent->command, "position fen " + model::OpeningFen());

    rig.game->Navigate(model::kGoToEnd);
    rig.game->mode = model::kModeEditing;
    rig.game->browsedBoard[model::SquareOf(9, 0)] = 0; // a chariot taken off while setting up
    sent = ResolvePosition(PositionOfBrowsed(*rig.game), RankBase::FromOne, error);
    ASSERT_TRUE(sent) << error;
    EXPECT_EQ(sent->command, "position fen " +
                                 model::WriteFen(rig.game->browsedBoard, false, model::ShownCounts(*rig.game)));
}

TEST(AnalysisJudgement, LossesBecomeMarksWithinTheCap)
{
    const model::SquarePair played{model::SquareOf(7, 7), model::SquareOf(7, 4)};
    const model::SquarePair other{model::SquareOf(9, 7), model::SquareOf(7, 6)};
    const struct {
        int before, after;
        bool redMoved;
        model::SquarePair best;
        int loss;
        MoveMark mark;
    } cases[] = {
        {30, -80, true, other, 110, MoveMark::Mistake},
        {30, -300, true, other, 330, MoveMark::Blunder},
        {30, -300, true, played, 0, MoveMark::None},           // the engine's own choice
        {-30, 60, false, other, 90, MoveMark::None},           // Black lost 90
        {-30, 400, false, other, 430, MoveMark::Blunder},
        {kMateValue - 3, 1500, true, other, 0, MoveMark::None}, // still won
        {900, -kMateValue + 2, true, other, 1900, MoveMark::Blunder},
        {200, 250, true, other, 0, MoveMark::None},            // better than the engine thought
    };
    for (const auto& c : cases) {
        AnalysedMove move;
        move.moves = {played};
        move.redMoved = c.redMoved;
        move.valueBefore = c.before;
        move.valueAfter = c.after;
        move.best = c.best;
        JudgeMove(move, AnalysisSettings{});
        EXPECT_EQ(move.loss, c.loss) << c.before << " -> " << c.after;
        EXPECT_EQ(move.mark, c.mark) << c.before << " -> " << c.after;
    }
    AnalysedMove unknown;
    unknown.moves = {played};
    unknown.valueBefore = 500;
    JudgeMove(unknown, AnalysisSettings{});
    EXPECT_EQ(unknown.mark, MoveMark::None);
}

TEST(AnalysisJudgement, ScoreTexts)
{
    const struct {
        EngineScore score;
        bool redToMove;
        const char* centipawns;
        const char* pawns;
    } cases[] = {
        {{ScoreKind::Centipawns, 35}, true, "35", "+0.35"},
        {{ScoreKind::Centipawns, -120}, false, "-120", "-1.20"},
        {{ScoreKind::Mate, 3}, true, "#3", "M3"},
        {{ScoreKind::Mate, -2}, true, "#-2", "-M2"},
        {{ScoreKind::Mate, 0}, true, "#-0", "-M0"}, // Red mated on the board
        {{ScoreKind::Mate, 0}, false, "#0", "M0"},
        {{ScoreKind::None, 0}, true, "?", "?"},
    };
    for (const auto& c : cases) {
        const auto value = RedValue(c.score, c.redToMove);
        EXPECT_EQ(CentipawnText(value), c.centipawns);
        EXPECT_EQ(PawnText(value), c.pawns);
    }
}

// The engine's part, played by the test.
class ScriptedSearch : public SearchPort {
public:
    int search(const EnginePosition& position, SearchLimits limits) override
    {
        asked.push_back(position);
        this->limits.push_back(limits);
        return ++lastId;
    }
    void stop() override { ++stops; }
    std::vector<EnginePosition> asked;
    std::vector<SearchLimits> limits;
    int lastId = 0;
    int stops = 0;
};

class RecordedAnalysis : public AnalysisPort {
public:
    void analysisProgress(int done, int total) override { progress.emplace_back(done, total); }
    void moveAnalysed(const AnalysedMove& move) override { moves.push_back(move); }
    void analysisEnded(AnalysisEnd end, std::string_view message) override
    {
        ends.push_back(end);
        this->message = message;
    }
    std::vector<std::pair<int, int>> progress;
    std::vector<AnalysedMove> moves;
    std::vector<AnalysisEnd> ends;
    std::string message;
};

struct Driver : ::testing::Test {
    // Answers the search in progress: a stale line of another search, its info lines, its best move.
    void answer(int cp, bool mate, const char* best)
    {
        const int id = search.lastId;
        EngineAnalysis info;
        info.searchId = id + 100; // another search's line: ignored
        info.score = {ScoreKind::Centipawns, 9999};
        analysis.engineInfo(info);
        const AnalysisNode& node = nodes[search.asked.size() - 1];
        info.searchId = id;
        info.redToMove = node.redToMove;
        info.score = {ScoreKind::Centipawns, 1};
        analysis.engineInfo(info);
        info.multipv = 2;
        info.score = {ScoreKind::Centipawns, 5000};
        analysis.engineInfo(info); // a second line: not the position's value
        info.multipv = 1;
        info.score = ScoreForRed({mate ? ScoreKind::Mate : ScoreKind::Centipawns, cp}, node.redToMove);
        analysis.engineInfo(info);
        analysis.engineBestMove(id, model::ParseCoordinateMove(best));
    }

    BranchedGame rig;
    std::vector<AnalysisNode> nodes = CollectAnalysisNodes(*rig.game, false, 1);
    ScriptedSearch search;
    RecordedAnalysis port;
    GameAnalysis analysis{search, port};
};

TEST_F(Driver, EachPositionIsSearchedInTurnAndEachMoveJudged)
{
    ASSERT_TRUE(analysis.start(model::kStandardOpening, true, nodes, AnalysisSettings{250, 1, false, 100, 300}));
    EXPECT_FALSE(analysis.start(model::kStandardOpening, true, nodes, AnalysisSettings{}));
    answer(30, false, "H2-E2");  // the start: Red is better by 30
    answer(-20, false, "B9-C7"); // after H2-E2, Black to move: Red +20
    answer(400, false, "B0-C2"); // after H9-G7: Red +400
    answer(-250, false, "A9-A8"); // after H0-G2: Red +250
    answer(2, true, "A0-A1");    // after I9-H9: Red mates in 2
    EXPECT_FALSE(analysis.running());
    ASSERT_EQ(port.ends, std::vector<AnalysisEnd>{AnalysisEnd::Finished});

    ASSERT_EQ(search.asked.size(), 5u);
    for (std::size_t i = 0; i < search.asked.size(); ++i) {
        EXPECT_EQ(search.asked[i].moves, nodes[i].moves);
        EXPECT_EQ(search.asked[i].start, model::kStandardOpening);
        EXPECT_EQ(search.limits[i].movetimeMs, 250);
        EXPECT_EQ(search.limits[i].depth, 0);
        EXPECT_EQ(search.limits[i].multiPv, 1);
    }
    const struct {
        int before, after;
        const char* best;
        MoveMark mark;
    } expected[] = {
        {30, 20, "H2-E2", MoveMark::None},      // the engine's move
        {20, 400, "B9-C7", MoveMark::Blunder},  // Black gave away 380
        {400, 250, "B0-C2", MoveMark::Mistake}, // Red gave away 150
        {250, kMateValue - 2, "A9-A8", MoveMark::Blunder},
    };
    ASSERT_EQ(port.moves.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const AnalysedMove& move = port.moves[i];
        EXPECT_EQ(move.ply(), static_cast<int>(i) + 1);
        EXPECT_EQ(move.valueBefore, expected[i].before) << i;
        EXPECT_EQ(move.valueAfter, expected[i].after) << i;
        EXPECT_EQ(move.best, model::ParseCoordinateMove(expected[i].best)) << i;
        EXPECT_EQ(move.mark, expected[i].mark) << i;
        EXPECT_EQ(move.redMoved, i % 2 == 0);
    }
    EXPECT_EQ(port.progress.front(), std::make_pair(0, 5));
    EXPECT_EQ(port.progress.back(), std::make_pair(5, 5));
}

TEST_F(Driver, AMatedPositionNeedsNoSearchAndCancelAndFailureEndIt)
{
    // Red mates at once: the position after the move is judged by our rules.
    std::string error;
    const auto start = model::ReadFen("3k5/R8/9/9/9/8R/9/9/9/4K4 w", error);
    ASSERT_TRUE(start) << error;
    ASSERT_TRUE(rig.game->SetStartPosition(start->board, 0));
    play(*rig.game, "I4-I9");
    nodes = CollectAnalysisNodes(*rig.game, false, 1);
    ASSERT_EQ(nodes.size(), 2u);
    analysis.start(start->board, true, nodes, AnalysisSettings{});
    answer(1, true, "I4-I9");
    EXPECT_EQ(search.asked.size(), 1u);
    ASSERT_EQ(port.moves.size(), 1u);
    EXPECT_EQ(CentipawnText(port.moves[0].valueAfter), "#0");
    EXPECT_EQ(port.moves[0].mark, MoveMark::None);
    EXPECT_EQ(port.ends.back(), AnalysisEnd::Finished);

    analysis.start(start->board, true, nodes, AnalysisSettings{});
    analysis.cancel();
    EXPECT_EQ(search.stops, 1);
    EXPECT_EQ(port.ends.back(), AnalysisEnd::Cancelled);
    answer(1, true, "I4-I9"); // the stopped search's late answer changes nothing
    EXPECT_EQ(port.moves.size(), 1u);

    analysis.start(start->board, true, nodes, AnalysisSettings{});
    analysis.engineFailed("The engine stopped unexpectedly (exit status 1).");
    EXPECT_EQ(port.ends.back(), AnalysisEnd::Failed);
    EXPECT_EQ(port.message, "The engine stopped unexpectedly (exit status 1).");
    EXPECT_FALSE(analysis.running());
}

TEST(AnalysisNotes, LinesAreWrittenReplacedAndReadAsMarks)
{
    BranchedGame rig;
    rig.game->Navigate(model::kGoToPly, 1);
    rig.game->SetNote("central cannon", false);
    rig.game->modified = false;
    const auto path = [](std::vector<const char*> texts) {
        std::vector<model::SquarePair> moves;
        for (const char* text : texts)
            moves.push_back(*model::ParseCoordinateMove(text));
        return moves;
    };
    AnalysedMove first;
    first.moves = path({"H2-E2"});
    first.boardBefore = model::kStandardOpening;
    first.valueAfter = -520;
    first.best = model::ParseCoordinateMove("H0-G2");
    first.mark = MoveMark::Blunder;
    AnalysedMove gone = first;
    gone.moves = path({"H2-E2", "A9-A8"}); // not in the record
    EXPECT_EQ(ApplyAnalysisNotes(*rig.game, {first, gone}), 1);
    EXPECT_TRUE(rig.game->modified);
    const std::string note = rig.game->findEntry(first.moves)->noteText();
    EXPECT_EQ(note, "?? Engine -5.20, best \xD8\x58\xA4\x47\xB6\x69\xA4\x54\r\ncentral cannon"); // 傌二進三
    EXPECT_EQ(model::MarkOfNote(note), MoveMark::Blunder);

    first.mark = MoveMark::None;
    first.valueAfter = 35;
    ApplyAnalysisNotes(*rig.game, {first});
    EXPECT_EQ(rig.game->findEntry(first.moves)->noteText().substr(0, 13), "Engine +0.35,");
    EXPECT_EQ(model::MarkOfNote(rig.game->findEntry(first.moves)->noteText()), MoveMark::None);

    const struct {
        const char* note;
        MoveMark mark;
        const char* withoutLine;
    } notes[] = {
        {"? Engine -1.00, best x\r\nmine", MoveMark::Mistake, "mine"},
        {"?? Engine M3", MoveMark::Blunder, ""},
        {"?? my own words", MoveMark::None, "?? my own words"},
        {"mine\r\n?? Engine -3.00", MoveMark::None, "mine\r\n?? Engine -3.00"},
        {"", MoveMark::None, ""},
    };
    for (const auto& c : notes) {
        EXPECT_EQ(model::MarkOfNote(c.note), c.mark) << c.note;
        EXPECT_EQ(model::WithAnalysisLine(c.note, ""), c.withoutLine) << c.note;
    }
}

} // namespace
} // namespace marovin::engine
