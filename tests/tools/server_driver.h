#pragma once
// Drives the practice server's logic on the test's own thread: no sockets, and a clock
// that moves only when the test moves it.
//
//   ServerDriver d;                              // no bots, nothing on disk
//   const ConnectionId alice = d.login("alice");
//   EXPECT_EQ(d.command(alice, "who"), "who: ...OMRA% ");

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "server.h"

namespace marovin::server {

class RecordingTransport : public Transport {
public:
    void send(ConnectionId id, std::string_view bytes) override { output[id] += bytes; }
    void closeAfterFlush(ConnectionId id) override { closing[id] = true; }
    std::map<ConnectionId, std::string> output;
    std::map<ConnectionId, bool> closing;
};

inline ServerConfig quietConfig(std::string dataDirectory = {})
{
    ServerConfig config;
    config.bots = false;
    config.dataDirectory = std::move(dataDirectory);
    return config;
}

class ServerDriver {
public:
    explicit ServerDriver(ServerConfig config = quietConfig())
        : server(transport, std::move(config), [this] { return now; })
    {
        startError = server.start(now);
    }

    // Connects, registers (or logs in) with password "pw" and turns client mode on.
    ConnectionId login(const std::string& name)
    {
        const ConnectionId id = m_nextId++;
        server.onConnected(id, "127.0.0.1:1");
        send(id, name);
        send(id, "pw");
        if (transport.output[id].find("Enter your password again") != std::string::npos)
            send(id, "pw");
        send(id, "set client on");
        take(id);
        return id;
    }
    void send(ConnectionId id, const std::string& line) { server.onLine(id, {line, false}); }
    // What the connection received since the last take.
    std::string take(ConnectionId id) { return std::exchange(transport.output[id], {}); }
    // Sends a command and returns what the connection received for it.
    std::string command(ConnectionId id, const std::string& line)
    {
        take(id);
        send(id, line);
        return take(id);
    }
    void advance(Millis ms)
    {
        now += ms;
        server.onTimer(now);
    }

    Millis now = 1000;
    RecordingTransport transport;
    Server server;
    std::string startError;

private:
    ConnectionId m_nextId = 1;
};

} // namespace marovin::server
