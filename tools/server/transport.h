#pragma once
// The seam between the network and the server's logic.
//
// The event loop owns the sockets and calls a ConnectionHandler; the logic answers
// through a Transport. Tests and the fuzz target drive the logic with their own
// Transport, without sockets.

#include <cstdint>
#include <string>
#include <string_view>

#include "line_reader.h"

namespace marovin::server {

using ConnectionId = std::uint64_t;
// Milliseconds on a monotonic clock.
using Millis = std::int64_t;

class Transport {
public:
    virtual ~Transport() = default;
    // Queues bytes for a connection; unknown or closing connections ignore them.
    virtual void send(ConnectionId id, std::string_view bytes) = 0;
    // Closes a connection once what is queued for it has been sent.
    virtual void closeAfterFlush(ConnectionId id) = 0;
};

class ConnectionHandler {
public:
    virtual ~ConnectionHandler() = default;
    virtual void onConnected(ConnectionId id, const std::string& peer) = 0;
    virtual void onLine(ConnectionId id, const ReceivedLine& line) = 0;
    // The connection is gone (closed by the peer, an error, or after closeAfterFlush).
    virtual void onDisconnected(ConnectionId id) = 0;
    // Called at least once a second and whenever nextDeadline has passed.
    virtual void onTimer(Millis now) = 0;
    // The earliest time at which onTimer has work to do, or -1 when nothing is due.
    virtual Millis nextDeadline() const = 0;
};

} // namespace marovin::server
