// Cost of the legality questions a user waits for, and perft speed.
#include <cstdlib>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "model/fen.h"
#include "model/legality.h"
#include "model/perft.h"
#include "testkit/fakes.h"

namespace {

using namespace marovin::model;

struct Named {
    const char* name;
    const char* fen;
    const char* move; // a legal move of the side to move
};

constexpr Named kPositions[] = {
    {"opening", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "H2-E2"},
    {"middlegame", "r2akab2/4n4/2n1b2c1/p1p1p3p/6p2/2P3r2/P3P3P/1CN1B1N2/4A4/R2AK1BR1 w", "B2-B9"},
    {"endgame", "3k5/4a4/4b4/9/2p6/6R2/9/4B4/4A4/3AK4 b", "D9-D8"},
};

FenPosition Load(const Named& named)
{
    std::string error;
    return *ReadFen(named.fen, error);
}

void BM_IsLegalMove(benchmark::State& state)
{
    const Named& named = kPositions[state.range(0)];
    const FenPosition position = Load(named);
    const SquarePair move = *ParseCoordinateMove(named.move);
    marovin::testkit::FakeDesktop desktop;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            IsLegalMove(position.board, position.redToMove, move.from, move.to, desktop));
    state.SetLabel(named.name);
}
BENCHMARK(BM_IsLegalMove)->DenseRange(0, 2);

void BM_FindOnlyMove(benchmark::State& state)
{
    const Named& named = kPositions[state.range(0)];
    const FenPosition position = Load(named);
    marovin::testkit::FakeDesktop desktop;
    PackedMove move{};
    for (auto _ : state)
        benchmark::DoNotOptimize(FindOnlyMove(position.board, position.redToMove, move, desktop));
    state.SetLabel(named.name);
}
BENCHMARK(BM_FindOnlyMove)->DenseRange(0, 2);

void BM_GenerateLegalMoves(benchmark::State& state)
{
    const FenPosition position = Load(kPositions[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(GenerateLegalMoves(position.board, position.redToMove));
    state.SetLabel(kPositions[state.range(0)].name);
}
BENCHMARK(BM_GenerateLegalMoves)->DenseRange(0, 2);

// Perft to depth 4 from the opening and depth 4 from the middle-game position.
void BM_Perft(benchmark::State& state)
{
    const Named& named = kPositions[state.range(0)];
    const FenPosition position = Load(named);
    std::uint64_t nodes = 0;
    for (auto _ : state)
        nodes += Perft(position.board, position.redToMove, 4);
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
    state.SetLabel(named.name);
}
BENCHMARK(BM_Perft)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
