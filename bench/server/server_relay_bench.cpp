// The practice server under load: 200 loopback connections are logged in; two of them
// play a game that 100 others observe. One iteration is one move: sent by the player to
// move and read by every observer. Reported: moves per second, and reports delivered to
// observers per second (items).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "server_harness.h"

namespace {

using marovin::testing::LineClient;
using marovin::testing::ServerProcess;

constexpr int kConnections = 200;
constexpr int kObservers = 100;

void BM_RelayMovesToObservers(benchmark::State& state)
{
    ServerProcess server;
    if (server.port() == 0) {
        state.SkipWithError(server.startError().c_str());
        return;
    }
    std::vector<std::unique_ptr<LineClient>> clients;
    for (int i = 0; i < kConnections; ++i) {
        clients.push_back(std::make_unique<LineClient>(server.port()));
        if (!clients.back()->login("p" + std::to_string(i), "pw")) {
            state.SkipWithError("login failed");
            return;
        }
    }
    LineClient& red = *clients[0];
    LineClient& black = *clients[1];
    red.command("match p1 -u r 300 0");
    black.readUntil("requested with");
    black.readUntil("OMRA% ");
    black.command("match p0");
    red.readUntil("OMRA% ");
    black.readUntil("OMRA% ");
    for (int i = 0; i < kObservers; ++i)
        clients[2 + i]->command("observe 1");

    // Chariots going up and down: legal for ever.
    const char* moves[] = {"A0-A1 1", "A9-A8 1", "A1-A0 1", "A8-A9 1"};
    std::size_t ply = 0;
    for (auto _ : state) {
        LineClient& mover = ply % 2 == 0 ? red : black;
        LineClient& other = ply % 2 == 0 ? black : red;
        mover.sendLine(moves[ply % 4]);
        mover.readUntil("OMRA% ");
        other.readUntil("OMRA% ");
        for (int i = 0; i < kObservers; ++i)
            if (!clients[2 + i]->readUntil("OMRA% ").ok) {
                state.SkipWithError("an observer missed a report");
                return;
            }
        ++ply;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kObservers);
    state.counters["moves_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                            benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RelayMovesToObservers)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

} // namespace
