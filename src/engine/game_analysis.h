#pragma once
// GameAnalysis: the engine's verdict on every move of a game, one position after another.
//
//   the positions: the main line or the whole tree, from a ply on    CollectAnalysisNodes
//   each one:  position fen <start> moves <the line to it>
//              go movetime T        <- info ... score ... (the last one counts) <- bestmove
//   each move whose positions before and after are known:
//              loss for the mover = value before - value after   (each held within
//              +-kLossCap, so that a won game stays won)  -> "?" at the mistake margin,
//              "??" at the blunder margin; a move the engine would have played loses nothing
//
// The driver asks through a SearchPort and hears through the EngineListener calls, which
// its owner forwards (from an EngineClient, or from the signals of a shared engine: answers
// to other searches are told apart by their search id). Progress and results go to an
// AnalysisPort as they come. Nothing waits; a position where the side to move has no move
// is judged by our rules without the engine.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_client.h"
#include "model/analysis_note.h"

namespace marovin::model {
class CGame;
}

namespace marovin::engine {

struct AnalysisSettings {
    int movetimeMs = 1000;  // per position
    int fromPly = 1;        // the first move judged (1: the game's first move)
    bool wholeTree = false; // every variation too; otherwise the main line
    int mistakeCentipawns = 100;
    int blunderCentipawns = 300;
};

constexpr int kShortestAnalysisMs = 10;
constexpr int kLongestAnalysisMs = 10 * 60 * 1000;

// A position's value from Red's side as one number: centipawns, or for a mate
// +-(kMateValue - moves to mate), positive when Red mates; a side that is mated on the
// board counts +-kMateValue.
constexpr int kMateValue = 10'000'000;
constexpr int kLossCap = 1000;

// The value of an engine score (already from Red's side); redToMove tells who is mated
// by a "mate 0". Nothing for a score the engine did not give.
std::optional<int> RedValue(const EngineScore& redScore, bool redToMove);
// "35", "-120", "#3" (Red mates in 3), "#-2" (Black mates in 2), "#0"/"#-0" (mated on the
// board), "?" for none.
std::string CentipawnText(std::optional<int> value);
// As the analysis strip writes scores: "+0.35", "-1.20", "M3", "-M2".
std::string PawnText(std::optional<int> value);

// One position to analyse.
struct AnalysisNode {
    std::vector<model::SquarePair> moves; // played from the record's start to reach it
    int parent = -1;                      // the node before its last move; -1: none is analysed
    bool mainLine = true;                 // reached along the main line
    model::Board board{};
    bool redToMove = true;
};

// The positions of game to analyse, each after the one before its last move: the main
// line first, then the variations (with wholeTree). Positions before ply fromPly - 1 are
// left out; a line stops at a move our rules refuse.
std::vector<AnalysisNode> CollectAnalysisNodes(const model::CGame& game, bool wholeTree, int fromPly);

// The verdict on one move.
struct AnalysedMove {
    std::vector<model::SquarePair> moves; // from the start, this move last
    bool mainLine = true;
    model::Board boardBefore{};           // where the move was played
    bool redMoved = true;
    std::optional<int> valueBefore;       // Red's side, with the engine's best move
    std::optional<int> valueAfter;        // Red's side, after the move played
    std::optional<model::SquarePair> best;
    int loss = 0;                         // centipawns the mover lost (0 when unknown)
    model::MoveMark mark = model::MoveMark::None;

    int ply() const { return static_cast<int>(moves.size()); }
    model::SquarePair move() const { return moves.back(); }
};

// The mover's loss and its mark.
void JudgeMove(AnalysedMove& move, const AnalysisSettings& settings);

// The note line for a move ("?? Engine -5.20, best 炮二平五", Big5).
std::string AnalysisNoteLineFor(const AnalysedMove& move);
// Writes each move's note line into game, replacing an earlier analysis line. Moves that
// the record no longer holds are skipped; returns the number written.
int ApplyAnalysisNotes(model::CGame& game, const std::vector<AnalysedMove>& moves);

class SearchPort {
public:
    virtual ~SearchPort() = default;
    // Starts a search and returns its id (0: refused; engineFailed has been called).
    virtual int search(const EnginePosition& position, SearchLimits limits) = 0;
    virtual void stop() = 0;
};

enum class AnalysisEnd { Finished, Cancelled, Failed };

class AnalysisPort {
public:
    virtual ~AnalysisPort() = default;
    virtual void analysisProgress(int done, int total) = 0;
    virtual void moveAnalysed(const AnalysedMove& move) = 0;
    // The end; message says why it failed.
    virtual void analysisEnded(AnalysisEnd end, std::string_view message) = 0;
};

class GameAnalysis : public EngineListener {
public:
    GameAnalysis(SearchPort& search, AnalysisPort& port);

    // Starts analysing the positions of start (the record's start position, first mover and
    // move counts) and nodes. False when an analysis is running already. Nothing to analyse
    // ends it at once.
    bool start(const model::Board& start, bool redFirst, std::vector<AnalysisNode> nodes,
               const AnalysisSettings& settings, model::MoveCounts startCounts = {});
    // Stops at once: the search in progress is stopped and the end reported as cancelled.
    void cancel();
    bool running() const { return m_running; }
    int done() const { return m_done; }
    int total() const { return static_cast<int>(m_nodes.size()); }

    void engineInfo(const EngineAnalysis& analysis) override;
    void engineBestMove(int searchId, std::optional<model::SquarePair> move) override;
    void engineFailed(std::string_view message) override;

private:
    struct Verdict {
        std::optional<int> value;
        std::optional<model::SquarePair> best;
    };
    void askNext();
    void finishNode(Verdict verdict);
    void end(AnalysisEnd how, std::string_view message);

    SearchPort& m_search;
    AnalysisPort& m_port;
    AnalysisSettings m_settings;
    model::Board m_start{};
    bool m_redFirst = true;
    model::MoveCounts m_startCounts;
    std::vector<AnalysisNode> m_nodes;
    std::vector<Verdict> m_verdicts;
    bool m_running = false;
    int m_done = 0;
    int m_searchId = 0;
    std::optional<int> m_lastValue; // of the search in progress
};

} // namespace marovin::engine
