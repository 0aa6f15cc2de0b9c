#pragma once
// EngineClient: one engine process spoken to in UCI, without ever waiting for it.
//
//   start -> uci ........ uciok          (5 s)
//         <- option name Threads ... default 1   (noted)
//         -> setoption name UCI_Variant value xiangqi, Threads, Hash (those two unless they
//            are the engine's defaults already: setting them costs the engine a restart)
//         -> isready .... readyok        (5 s)   -> idle
//   search -> [setoption name MultiPV value K]   when K differs from the engine's
//          -> position fen ... moves ...
//          -> go infinite | go movetime N | go depth D movetime N
//          <- info ... multipv k ... (each line shown) <- bestmove
//   a new search or stop while searching -> stop ... bestmove (5 s, dropped as stale)
//
// Every step is driven by what the process writes (receive), its end (processEnded) and a
// periodic checkDeadline; a request made meanwhile waits as the one pending request (a
// newer request replaces it). An engine that misses a deadline is killed; one that ends
// by itself is reported; either way the next request starts a fresh one. Lines that make
// no sense are skipped; variations and best moves are checked by our rules and cut or
// refused where they turn illegal.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_position.h"
#include "engine/uci_line.h"
#include "support/ports.h"

namespace marovin::engine {

// The engine process as the client sees it. The platform runs the program and hands its
// output and its end to the client.
class EngineProcessPort {
public:
    virtual ~EngineProcessPort() = default;
    // Runs program with no arguments. False, with error saying why, when it cannot start.
    virtual bool start(const std::string& program, std::string& error) = 0;
    // Writes one line (a line end is added).
    virtual void writeLine(std::string_view line) = 0;
    // Lets go of the process: it is given a moment to exit after "quit", then killed. Its
    // output and its end are not reported any more.
    virtual void release() = 0;
};

// What the client reports, always after its own state is settled (a listener may make
// the next request from inside these calls).
struct EngineAnalysis {
    int searchId = 0;
    int multipv = 1;          // which of the best lines (1: the best)
    int depth = 0;            // 0 when the engine did not say
    EngineScore score;        // from Red's side
    std::vector<model::SquarePair> pv; // the legal prefix of the variation
    model::Board board{};     // the position searched
    bool redToMove = true;
};

class EngineListener {
public:
    virtual ~EngineListener() = default;
    virtual void engineInfo(const EngineAnalysis& analysis) = 0;
    // The search ended with a move (none: the engine had none, or named an illegal one).
    virtual void engineBestMove(int searchId, std::optional<model::SquarePair> move) = 0;
    // The engine could not be started, missed a deadline, or ended by itself. The search
    // in progress, if any, is over without a best move.
    virtual void engineFailed(std::string_view message) = 0;
};

struct EngineOptions {
    std::string program; // the path to run
    int threads = 1;
    int hashMegabytes = 64;
    RankBase rankBase = RankBase::FromOne;
    friend bool operator==(const EngineOptions&, const EngineOptions&) = default;
};

// Both limits zero: search until stopped. A search to a depth always has a time limit
// too (the move time, or kLongestDepthSearchMs without one), since a depth may take an
// engine for ever.
struct SearchLimits {
    int movetimeMs = 0;
    int depth = 0;
    int multiPv = 1; // how many best lines the engine reports (1..kMostLines)
};

constexpr int kMostLines = 5;
constexpr int kLongestDepthSearchMs = 60 * 1000;

enum class EngineState { Off, AwaitingUciOk, AwaitingReadyOk, Idle, Searching, Stopping };

class EngineClient {
public:
    static constexpr int kAnswerLimitMs = 5000;

    EngineClient(EngineProcessPort& process, ClockPort& clock, EngineListener& listener);
    ~EngineClient();
    EngineClient(const EngineClient&) = delete;
    EngineClient& operator=(const EngineClient&) = delete;

    // New options apply from the next start; a running engine with other options is let go.
    void setOptions(const EngineOptions& options);
    const EngineOptions& options() const { return m_options; }

    // Asks for a search of position (starting the engine when needed). Returns its id,
    // or 0 when the position is refused or the engine cannot start (engineFailed says why).
    int search(const EnginePosition& position, SearchLimits limits);
    // Ends the search in progress and forgets a pending one; no best move is reported.
    void stop();
    // Lets the engine go ("quit"); the next search starts a new one.
    void quit();

    // Bytes the engine wrote.
    void receive(std::string_view bytes);
    // The process ended (description: "exit status 1", "crashed", ...).
    void processEnded(std::string_view description);
    // Acts on a missed deadline; call it now and then while hasDeadline().
    void checkDeadline();
    bool hasDeadline() const { return m_deadline.has_value(); }

    EngineState state() const { return m_state; }
    int currentSearch() const { return m_current ? m_current->id : 0; }
    const std::string& engineName() const { return m_name; }
    // Lines skipped because they were overlong or meant nothing in the current state.
    int skippedLines() const { return m_skipped; }

private:
    struct Request {
        int id = 0;
        ResolvedPosition position;
        SearchLimits limits;
    };

    bool startEngine();
    void launchPending();
    void handleLine(std::string_view line);
    void handleInfo(const InfoLine& info);
    void noteOption(const OptionLine& option);
    void configure();
    void handleBestMove(const BestMoveLine& line);
    void fail(std::string message);
    void setDeadline(int milliseconds);
    void send(std::string_view line) { m_process.writeLine(line); }

    EngineProcessPort& m_process;
    ClockPort& m_clock;
    EngineListener& m_listener;
    EngineOptions m_options;
    EngineOptions m_running; // the options the live engine was started with
    EngineState m_state = EngineState::Off;
    EngineLineFramer m_framer;
    std::optional<Request> m_current;
    std::optional<Request> m_pending;
    std::optional<std::int64_t> m_deadline;
    int m_lastId = 0;
    int m_multiPv = 1; // what the running engine was last told
    // The defaults the running engine announced for the options we set.
    std::optional<int> m_defaultThreads;
    std::optional<int> m_defaultHash;
    int m_skipped = 0;
    std::string m_name;
};

// Text of a score from Red's side for the analysis strip: "+0.48", "-1.20", "M3" (Red
// mates in 3), "-M2" (Black mates in 2), "" for none.
std::string FormatScore(const EngineScore& score);

// The message for an engine program that was not found (configured: the path or name the
// user chose; empty for the default engine).
std::string EngineNotFoundMessage(std::string_view configured);

// A score from the side to move turned to Red's side.
EngineScore ScoreForRed(const EngineScore& score, bool redToMove);

} // namespace marovin::engine
