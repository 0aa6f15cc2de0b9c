#pragma once
// A single-threaded poll() loop over non-blocking sockets.
//
// One listening socket; per connection a LineReader, the received bytes not yet handled
// and an output queue. No peer can stall the others or take all the memory:
//
// - A connection's lines are handled a few per turn of the loop (maxLinesPerTurn, and no
//   more once they have taken maxWorkPerTurn, as a shout to a thousand players may); the
//   rest wait in its inbox, and nothing more is read from it until they are done, so a
//   flood is held back by TCP in the flooder's own socket.
// - A connection whose output queue passes pauseInputAbove is not read from until its
//   peer has caught up: a client that sends commands without reading the answers slows
//   only itself.
// - A queue may grow to maxQueuedBytes, and all queues together to maxTotalQueuedBytes;
//   past either bound the readers that have been behind the longest are dropped (their
//   unread output is discarded and the logic is told they disconnected). A queue that
//   empties gives its memory back.
// - When accept() fails for want of descriptors or memory, the listening socket is left
//   out of the poll set for a second (or until a connection closes) instead of waking the
//   loop again at once. Connections beyond maxConnections, or beyond what the descriptor
//   limit leaves room for, are told that the server is full and closed.
//
// A peer that closes its side after sending has all its lines handled and its answers
// sent before the connection is closed.

#include <array>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "transport.h"

namespace marovin::server {

struct ListenAddress {
    std::string host = "127.0.0.1";
    int port = 5555;
};

struct EventLoopLimits {
    std::size_t maxLineLength = 4096;
    std::size_t maxLinesPerTurn = 16;
    std::chrono::microseconds maxWorkPerTurn{2000};
    std::size_t pauseInputAbove = 64 * 1024;
    std::size_t maxQueuedBytes = 1024 * 1024;
    std::size_t maxTotalQueuedBytes = 64 * 1024 * 1024;
    std::size_t maxConnections = 1000;
};

// Descriptors kept free of connections under the process's limit, for the data files.
constexpr std::size_t kDescriptorsKept = 16;

// The current time on the monotonic clock, in milliseconds.
Millis monotonicMillis();

// The signals that stop the server in good order (games adjourned, data saved). A closed
// terminal (SIGHUP) or Ctrl+\ (SIGQUIT) must not lose games any more than SIGTERM.
constexpr std::array<int, 4> kStopSignals = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

class EventLoop : public Transport {
public:
    explicit EventLoop(EventLoopLimits limits = {});
    ~EventLoop() override;
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // Where the loop reports what an operator should know (connections dropped for
    // falling behind, accept failures). By default nowhere.
    void setLog(std::function<void(const std::string&)> log) { m_log = std::move(log); }

    // Binds and listens. Returns an empty string on success, else the error text.
    // Port 0 picks a free port; boundPort() tells which.
    std::string listen(const ListenAddress& address);
    int boundPort() const { return m_boundPort; }
    const std::string& boundHost() const { return m_boundHost; }

    // Runs until *stop becomes non-zero (set from a signal handler; the stop signals are
    // unblocked only while waiting in ppoll).
    void run(ConnectionHandler& handler, volatile const int* stop);

    void send(ConnectionId id, std::string_view bytes) override;
    void closeAfterFlush(ConnectionId id) override;

    // Closes every connection after trying, for at most timeoutMs, to send what is queued.
    void flushAndCloseAll(Millis timeoutMs);

    // What the connections hold: output not yet sent, and the capacity of all their
    // buffers (for tests and measurements).
    std::size_t queuedBytes() const { return m_totalQueued; }
    std::size_t bufferCapacity() const;
    // How many connections may be open at once: maxConnections, or less under a low
    // limit of descriptors.
    std::size_t connectionLimit() const { return m_connectionLimit; }
    // The longest time one turn of the loop took, the wait for events aside: by the clock
    // (what a client waited beyond its own turn, other programs' use of the processors
    // included) and in the loop thread's own processor time (the work of the turn).
    std::chrono::microseconds longestTurn() const { return m_longestTurn; }
    std::chrono::microseconds longestTurnWork() const { return m_longestTurnWork; }

private:
    struct Connection;

    void acceptPending(ConnectionHandler& handler);
    void receive(Connection& c);
    void handleLines(Connection& c, ConnectionHandler& handler);
    bool wantsInput(const Connection& c) const;
    bool hasLinesToHandle(const Connection& c) const;
    void writeTo(Connection& c);
    // Drops a connection's output and marks it for removal.
    void abandon(Connection& c, const std::string& why);
    // Drops the readers that have been behind the longest until the total fits.
    void shedSlowestReaders();
    void drop(ConnectionId id, ConnectionHandler& handler);
    void log(const std::string& text);

    EventLoopLimits m_limits;
    std::size_t m_connectionLimit;
    int m_listenFd = -1;
    int m_boundPort = 0;
    std::string m_boundHost;
    ConnectionId m_nextId = 1;
    std::map<ConnectionId, std::unique_ptr<Connection>> m_connections;
    std::size_t m_totalQueued = 0;
    std::size_t m_leftQueues = 0;     // bytes sent or dropped since the allocator last gave memory back
    Millis m_now = 0;                 // the time of the loop's turn
    Millis m_listenPausedUntil = 0;   // accept() failed: do not watch the listener before this
    bool m_acceptFailing = false;
    std::chrono::microseconds m_longestTurn{0};
    std::chrono::microseconds m_longestTurnWork{0};
    std::function<void(const std::string&)> m_log;
};

} // namespace marovin::server
