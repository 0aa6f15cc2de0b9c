#pragma once
// The engine process for programs without an event loop (the command-line tool and the
// tests of the core): the engine runs as a child on one end of a socket pair, and pump()
// waits for its output for a bounded time and hands it to the client.

#include <string>
#include <sys/types.h>

#include "engine/engine_client.h"

namespace marovin::engine {

class PosixEngineProcess : public EngineProcessPort {
public:
    PosixEngineProcess() = default;
    ~PosixEngineProcess() override;
    PosixEngineProcess(const PosixEngineProcess&) = delete;
    PosixEngineProcess& operator=(const PosixEngineProcess&) = delete;

    bool start(const std::string& program, std::string& error) override;
    void writeLine(std::string_view line) override;
    void release() override;

    // Waits up to timeoutMs for output and gives it to client (its end too). Returns false
    // when no engine is running.
    bool pump(EngineClient& client, int timeoutMs);
    bool running() const { return m_pid > 0; }

private:
    void reap(bool kill);

    pid_t m_pid = -1;
    int m_socket = -1;
};

// The steady clock of the machine, for programs without an event loop.
class SteadyClock : public ClockPort {
public:
    std::int64_t nowSeconds() override;
    std::int64_t nowMilliseconds() override;
    void pause(int milliseconds) override;
    void waitUntil(const std::function<bool()>& done) override;
};

// The result of one search run to its end.
struct BestMoveResult {
    std::optional<model::SquarePair> move; // none: the engine failed or named no legal move
    std::string error;                     // why there is no move
    std::string engineName;
};

// Starts the engine of options, searches position within limits and waits for its best
// move, then lets the engine go. Every wait is bounded by the client's deadlines (a search
// by depth alone by kLongestDepthSearchMs).
BestMoveResult SearchBestMove(const EngineOptions& options, const EnginePosition& position, SearchLimits limits);

} // namespace marovin::engine
