// The engine client against a scripted engine: the test plays the engine's part, writing
// its lines into the client and checking every line the client sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/engine_client.h"
#include "model/fen.h"
#include "testkit/fakes.h"

namespace marovin::engine {
namespace {

using model::SquareOf;
using model::SquarePair;
using Lines = std::vector<std::string>;

class ScriptedProcess : public EngineProcessPort {
public:
    bool start(const std::string& program, std::string& error) override
    {
        ++starts;
        this->program = program;
        if (!startable)
            error = "No such file or directory";
        return startable;
    }
    void writeLine(std::string_view line) override { sent.emplace_back(line); }
    void release() override { ++releases; }

    // The lines sent since the last call.
    Lines take()
    {
        Lines lines;
        lines.swap(sent);
        return lines;
    }

    bool startable = true;
    int starts = 0;
    int releases = 0;
    std::string program;
    Lines sent;
};

class RecordingListener : public EngineListener {
public:
    void engineInfo(const EngineAnalysis& analysis) override { infos.push_back(analysis); }
    void engineBestMove(int searchId, std::optional<SquarePair> move) override
    {
        bestMoves.emplace_back(searchId, move);
    }
    void engineFailed(std::string_view message) override { failures.emplace_back(message); }

    std::vector<EngineAnalysis> infos;
    std::vector<std::pair<int, std::optional<SquarePair>>> bestMoves;
    std::vector<std::string> failures;
};

const SquarePair kCentralCannon{SquareOf(7, 7), SquareOf(7, 4)}; // h3e3

class EngineClientTest : public ::testing::Test {
protected:
    EngineClientTest()
    {
        EngineOptions options;
        options.program = "/usr/games/engine";
        options.threads = 2;
        options.hashMegabytes = 32;
        client.setOptions(options);
    }

    EnginePosition opening(std::vector<SquarePair> moves = {})
    {
        EnginePosition position;
        position.start = model::kStandardOpening;
        position.moves = std::move(moves);
        return position;
    }

    // Starts the engine with a first search and answers the handshake.
    int startSearching(SearchLimits limits = {})
    {
        const int id = client.search(opening(), limits);
        client.receive("Engine 1.0 by Someone\nid name Engine 1.0\noption name Hash type spin\nuciok\n");
        client.receive("readyok\n");
        process.take();
        return id;
    }

    ScriptedProcess process;
    testkit::FakeClock clock;
    RecordingListener listener;
    EngineClient client{process, clock, listener};
};

TEST_F(EngineClientTest, HandshakeSendsTheExactLinesThenTheSearch)
{
    const int id = client.search(opening({kCentralCannon}), {});
    EXPECT_GT(id, 0);
    EXPECT_EQ(process.program, "/usr/games/engine");
    EXPECT_EQ(process.take(), Lines{"uci"});
    EXPECT_EQ(client.state(), EngineState::AwaitingUciOk);

    // Options already at the value wanted are not set again (it would restart the engine's threads).
    client.receive("id name Engine 1.0\noption name Threads type spin default 2 min 1 max 512\n"
                   "option name Hash type spin default 16 min 1 max 1024\nuciok\n");
    EXPECT_EQ(process.take(),
              (Lines{"setoption name UCI_Variant value xiangqi", "setoption name Hash value 32", "isready"}));
    EXPECT_EQ(client.engineName(), "Engine 1.0");

    client.receive("readyok\n");
    EXPECT_EQ(process.take(), (Lines{"position fen " + model::OpeningFen() + " moves h3e3", "go infinite"}));
    EXPECT_EQ(client.state(), EngineState::Searching);
    EXPECT_EQ(client.currentSearch(), id);
    EXPECT_TRUE(listener.failures.empty());
}

TEST_F(EngineClientTest, SearchLimitsChooseTheGoCommand)
{
    const struct {
        SearchLimits limits;
        const char* go;
    } cases[] = {{{0, 0}, "go infinite"},
                 {{250, 0}, "go movetime 250"},
                 {{0, 7}, "go depth 7 movetime 60000"}, // a depth alone may take for ever
                 {{250, 7}, "go depth 7 movetime 250"}};
    for (const auto& c : cases) {
        client.search(opening(), c.limits);
        client.receive("uciok\nreadyok\n");
        const Lines sent = process.take();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back(), c.go);
        client.quit();
    }
}

TEST_F(EngineClientTest, InfoLinesAreReportedFromRedsSideWithLegalVariations)
{
    // Black to move after the central cannon.
    client.search(opening({kCentralCannon}), {});
    client.receive("uciok\nreadyok\n");
    client.receive("info depth 1 seldepth 1 multipv 1 score cp 72 nodes 50 time 2 pv h10g8\n"
                   "info depth 2 score mate 3 pv h10g8 h1g3 h8h1 z9z9\n"     // cut at the bad text
                   "info depth 3 multipv 2 score cp 10 pv b10c8\n"           // a second line: not shown
                   "info nodes 1000 nps 2000\n"                              // progress only
                   "info string NNUE off\n"
                   "info depth 4 score cp -30 pv e7e6 a1a2\n");              // soldier steps back? no: e7 is Black's
    ASSERT_EQ(listener.infos.size(), 3u);
    EXPECT_EQ(listener.infos[0].depth, 1);
    EXPECT_EQ(listener.infos[0].score, (EngineScore{ScoreKind::Centipawns, -72, false}));
    EXPECT_EQ(listener.infos[0].pv, (std::vector<SquarePair>{{SquareOf(0, 7), SquareOf(2, 6)}}));
    EXPECT_FALSE(listener.infos[0].redToMove);
    EXPECT_EQ(listener.infos[1].score, (EngineScore{ScoreKind::Mate, -3, false}));
    EXPECT_EQ(listener.infos[1].pv.size(), 3u);
    // e7e6 moves Black's central soldier forward; a1a2 is then Red's chariot up one.
    EXPECT_EQ(listener.infos[2].pv.size(), 2u);
    for (const EngineAnalysis& info : listener.infos)
        EXPECT_EQ(info.board[SquareOf(7, 4)], model::kStandardOpening[SquareOf(7, 7)]);
}

TEST_F(EngineClientTest, SeveralLinesAreAskedForOnlyWhenTheirNumberChanges)
{
    startSearching();
    client.search(opening({kCentralCannon}), {0, 0, 3});
    client.receive("bestmove h3e3\n");
    EXPECT_EQ(process.take(), (Lines{"stop", "setoption name MultiPV value 3",
                                     "position fen " + model::OpeningFen() + " moves h3e3", "go infinite"}));
    client.receive("info depth 6 multipv 1 score cp 20 pv h10g8\n"
                   "info depth 6 multipv 2 score cp -5 pv b10c8\n"
                   "info depth 6 multipv 3 score mate -4 pv i7i6\n"
                   "info depth 6 multipv 4 score cp 0 pv a7a6\n"); // more than asked for: dropped
    ASSERT_EQ(listener.infos.size(), 3u);
    for (int line = 1; line <= 3; ++line)
        EXPECT_EQ(listener.infos[static_cast<std::size_t>(line) - 1].multipv, line);
    EXPECT_EQ(listener.infos[2].score, (EngineScore{ScoreKind::Mate, 4, false})); // Black mated: Red's side
    EXPECT_EQ(listener.infos[1].pv.size(), 1u);

    const struct {
        int lines;
        Lines sent;
    } cases[] = {
        {3, {"position fen " + model::OpeningFen(), "go movetime 100"}},
        {9, {"setoption name MultiPV value 5", "position fen " + model::OpeningFen(), "go movetime 100"}},
        {1, {"setoption name MultiPV value 1", "position fen " + model::OpeningFen(), "go movetime 100"}},
    };
    for (const auto& c : cases) {
        client.stop();
        client.receive("bestmove h3e3\n");
        process.take();
        client.search(opening(), {100, 0, c.lines});
        EXPECT_EQ(process.take(), c.sent) << c.lines;
    }
    // A new engine starts with one line: asking for one sends nothing.
    client.quit();
    client.search(opening(), {100, 0, 1});
    client.receive("uciok\nreadyok\n");
    const Lines sent = process.take();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "setoption name MultiPV value 1"), 0);
}

TEST_F(EngineClientTest, IllegalVariationsAndBestMovesAreNeverPassedOn)
{
    const int id = startSearching({500, 0});
    client.receive("info depth 5 score cp 20 pv a1a5 h10g8\n"); // a chariot jumping its soldier
    ASSERT_EQ(listener.infos.size(), 1u);
    EXPECT_TRUE(listener.infos[0].pv.empty());
    EXPECT_EQ(listener.infos[0].score.value, 20);

    client.receive("bestmove a1a5\n");
    ASSERT_EQ(listener.bestMoves.size(), 1u);
    EXPECT_EQ(listener.bestMoves[0].first, id);
    EXPECT_FALSE(listener.bestMoves[0].second);
    EXPECT_EQ(client.state(), EngineState::Idle);

    const int next = client.search(opening(), {500, 0});
    client.receive("bestmove h3e3 ponder h10g8\n");
    ASSERT_EQ(listener.bestMoves.size(), 2u);
    EXPECT_EQ(listener.bestMoves[1], std::make_pair(next, std::optional<SquarePair>(kCentralCannon)));
}

TEST_F(EngineClientTest, ANewPositionStopsTheSearchAndDropsItsStaleLines)
{
    const int first = startSearching();
    const int second = client.search(opening({kCentralCannon}), {});
    EXPECT_NE(first, second);
    EXPECT_EQ(process.take(), Lines{"stop"});
    EXPECT_EQ(client.state(), EngineState::Stopping);

    // A third request while the engine is stopping replaces the second.
    const int third = client.search(opening(), {});
    EXPECT_TRUE(process.take().empty());

    client.receive("info depth 9 score cp 5 pv h3e3\nbestmove h3e3\n");
    EXPECT_TRUE(listener.infos.empty());
    EXPECT_TRUE(listener.bestMoves.empty());
    EXPECT_EQ(process.take(), (Lines{"position fen " + model::OpeningFen(), "go infinite"}));
    EXPECT_EQ(client.currentSearch(), third);

    client.receive("info depth 1 score cp 7 pv h3e3\n");
    ASSERT_EQ(listener.infos.size(), 1u);
    EXPECT_EQ(listener.infos[0].searchId, third);

    client.stop();
    EXPECT_EQ(process.take(), Lines{"stop"});
    client.receive("bestmove h3e3\n");
    EXPECT_TRUE(listener.bestMoves.empty());
    EXPECT_EQ(client.state(), EngineState::Idle);
}

TEST_F(EngineClientTest, GarbageAndOverlongLinesAreSkipped)
{
    startSearching();
    client.receive(std::string("\x01\xff garbage \x80\n", 13));
    client.receive("bestmove\nreadyok\nuciok\n"); // "bestmove" without a move: the search ends
    client.receive(std::string(kLongestEngineLine * 3, 'q'));
    client.receive("\ninfo depth 2 score cp 1\n");
    EXPECT_GE(client.skippedLines(), 4);
    EXPECT_EQ(client.state(), EngineState::Idle);
    ASSERT_EQ(listener.bestMoves.size(), 1u);
    EXPECT_FALSE(listener.bestMoves[0].second);
    EXPECT_TRUE(listener.failures.empty());
    // The engine still answers the next request normally.
    client.search(opening(), {});
    EXPECT_EQ(process.take().back(), "go infinite");
}

TEST_F(EngineClientTest, ACrashMidSearchIsReportedAndTheNextRequestRestarts)
{
    startSearching();
    client.receive("info depth 3 score cp 1 pv h3e3\ninfo depth 4 sc");
    client.processEnded("it crashed with signal 11");
    ASSERT_EQ(listener.failures.size(), 1u);
    EXPECT_NE(listener.failures[0].find("stopped unexpectedly (it crashed with signal 11)"), std::string::npos);
    EXPECT_EQ(client.state(), EngineState::Off);
    EXPECT_EQ(process.releases, 1);

    client.search(opening(), {});
    EXPECT_EQ(process.starts, 2);
    EXPECT_EQ(process.take(), Lines{"uci"});
    // The half line of the crashed engine does not run into the new engine's first line.
    client.receive("uciok\n");
    EXPECT_EQ(client.state(), EngineState::AwaitingReadyOk);
}

TEST_F(EngineClientTest, MissedDeadlinesStopTheEngineWithAMessage)
{
    const struct {
        const char* script; // what the engine answers before it falls silent
        int waitMs;
        const char* message;
    } cases[] = {
        {"", 5000, "did not answer \"uci\" within 5 seconds"},
        {"uciok\n", 5000, "did not answer \"isready\" within 5 seconds"},
        {"uciok\nreadyok\n", 300 + 5000, "did not finish its search in time"},
    };
    for (const auto& c : cases) {
        listener.failures.clear();
        client.search(opening(), {300, 0});
        client.receive(c.script);
        clock.advance(c.waitMs - 1);
        client.checkDeadline();
        EXPECT_TRUE(listener.failures.empty()) << c.message;
        clock.advance(1);
        client.checkDeadline();
        ASSERT_EQ(listener.failures.size(), 1u) << c.message;
        EXPECT_NE(listener.failures[0].find(c.message), std::string::npos) << listener.failures[0];
        EXPECT_EQ(client.state(), EngineState::Off);
        EXPECT_FALSE(client.hasDeadline());
    }
    // A search that will not stop.
    listener.failures.clear();
    startSearching();
    client.stop();
    clock.advance(EngineClient::kAnswerLimitMs);
    client.checkDeadline();
    ASSERT_EQ(listener.failures.size(), 1u);
    EXPECT_NE(listener.failures[0].find("did not stop"), std::string::npos);
}

TEST_F(EngineClientTest, RefusedStartsAndPositionsAreReported)
{
    process.startable = false;
    EXPECT_EQ(client.search(opening(), {}), 0);
    ASSERT_EQ(listener.failures.size(), 1u);
    EXPECT_NE(listener.failures[0].find("could not be started: No such file"), std::string::npos);

    client.setOptions({});
    EXPECT_EQ(client.search(opening(), {}), 0);
    ASSERT_EQ(listener.failures.size(), 2u);
    EXPECT_NE(listener.failures[1].find("fairy-stockfish"), std::string::npos);

    EnginePosition broken = opening();
    broken.start[SquareOf(9, 4)] = 0; // Red's general missing
    EXPECT_EQ(client.search(broken, {}), 0);
    EXPECT_EQ(listener.failures.size(), 3u);
    EXPECT_EQ(process.starts, 1);
}

TEST_F(EngineClientTest, ChangedOptionsRestartTheEngine)
{
    startSearching();
    EngineOptions options = client.options();
    client.setOptions(options); // the same: nothing happens
    EXPECT_EQ(client.state(), EngineState::Searching);
    options.threads = 4;
    client.setOptions(options);
    EXPECT_EQ(process.take(), (Lines{"stop", "quit"}));
    EXPECT_EQ(client.state(), EngineState::Off);
    client.search(opening(), {});
    client.receive("uciok\n");
    const Lines sent = process.take();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[2], "setoption name Threads value 4");
}

} // namespace
} // namespace marovin::engine
