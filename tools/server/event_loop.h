#pragma once
// A single-threaded poll() loop over non-blocking sockets.
//
// One listening socket; per connection a LineReader and an output queue. A peer that
// does not read never blocks the others: its queue grows only up to maxQueuedBytes, and
// a connection whose queue would pass that bound is dropped (its unread output is
// discarded and the logic is told it disconnected).

#include <array>
#include <csignal>
#include <cstddef>
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
    std::size_t maxQueuedBytes = 4 * 1024 * 1024;
    std::size_t maxConnections = 1000;
};

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

private:
    struct Connection;

    void acceptPending(ConnectionHandler& handler);
    void readFrom(Connection& c, ConnectionHandler& handler);
    void writeTo(Connection& c);
    void drop(ConnectionId id, ConnectionHandler& handler);

    EventLoopLimits m_limits;
    int m_listenFd = -1;
    int m_boundPort = 0;
    std::string m_boundHost;
    ConnectionId m_nextId = 1;
    std::map<ConnectionId, std::unique_ptr<Connection>> m_connections;
};

} // namespace marovin::server
