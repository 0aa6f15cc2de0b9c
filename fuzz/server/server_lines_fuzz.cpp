// Feeds arbitrary bytes to the practice server's logic as the input of three connections
// (a byte 0xFE switches to the next one), with time moving on between lines, the bots
// playing when the first byte is 01, and a memory-only data store. Output is counted and dropped.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "line_reader.h"
#include "server.h"

namespace {

using namespace marovin::server;

class CountingTransport : public Transport {
public:
    void send(ConnectionId, std::string_view bytes) override { sent += bytes.size(); }
    void closeAfterFlush(ConnectionId id) override { closing.push_back(id); }
    std::size_t sent = 0;
    std::vector<ConnectionId> closing;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536)
        return 0;
    CountingTransport transport;
    ServerConfig config;
    config.bots = size > 0 && data[0] == 0x01; // the bots' move search is slow: not for every input
    config.clockSpeed = 500;
    Millis now = 1000;
    Server server(transport, config, [&now] { return now; });
    server.start(now);
    constexpr int kConnections = 3;
    std::vector<LineReader> readers(kConnections);
    std::vector<bool> open(kConnections, true);
    for (ConnectionId id = 1; id <= kConnections; ++id)
        server.onConnected(id, "127.0.0.1:1");
    int current = 0;
    std::vector<ReceivedLine> lines;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFE) {
            current = (current + 1) % kConnections;
            continue;
        }
        lines.clear();
        readers[current].feed(std::string_view(reinterpret_cast<const char*>(data + i), 1), lines);
        for (const ReceivedLine& line : lines) {
            if (!open[current])
                break;
            server.onLine(static_cast<ConnectionId>(current + 1), line);
            now += 137;
            server.onTimer(now);
        }
        for (const ConnectionId id : transport.closing)
            if (open[id - 1]) {
                open[id - 1] = false;
                server.onDisconnected(id);
            }
        transport.closing.clear();
    }
    for (int k = 0; k < 5; ++k) {
        now += 500;
        server.onTimer(now);
    }
    for (ConnectionId id = 1; id <= kConnections; ++id)
        if (open[id - 1])
            server.onDisconnected(id);
    server.shutdown(now);
    return 0;
}
