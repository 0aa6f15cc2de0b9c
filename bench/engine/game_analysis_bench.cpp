// A whole-game analysis with the real engine (fairy-stockfish): a 60-ply game at 100 ms a
// position (61 positions, 6.1 s of the engine's thinking). The figures that matter are the
// wall time against that thinking time (what the engine's start, its overrun of each move
// time and our own work add on top) and our own share: the CPU time of this process (the
// engine runs in another), against the same thinking time. On a busy machine the engine
// overruns each move time by more; the CPU figure does not depend on that.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

#include "engine/analysis_runner.h"
#include "engine/engine_settings.h"
#include "model/game.h"
#include "model/legality.h"
#include "testkit/fakes.h"

namespace {

using namespace marovin;

constexpr int kPlies = 60;
constexpr int kMovetimeMs = 100;

class Quiet : public engine::AnalysisPort {
public:
    void analysisProgress(int, int) override {}
    void moveAnalysed(const engine::AnalysedMove&) override
    {
        if (moves++ == 0)
            firstResult = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double firstResult = 0; // seconds to the first move judged: the engine's start and two searches
    void analysisEnded(engine::AnalysisEnd, std::string_view) override {}
    int moves = 0;
};

// A game of kPlies legal moves that nobody wins on the way, the same every run.
void playGame(model::CGame& game)
{
    std::mt19937 random(34);
    while (game.pathLength() < kPlies) {
        const auto moves = model::GenerateLegalMoves(game.browsedBoard, game.isRedToMoveBrowsed());
        const auto move = moves[random() % moves.size()];
        model::Board after = game.browsedBoard;
        model::ApplyMove(after, move.from, move.to);
        if (model::EvaluatePosition(after, !game.isRedToMoveBrowsed()) != model::GameStatus::Playing)
            continue;
        game.PlayMove(move.from, move.to, model::MoveKind::User);
    }
}

void AnalyseSixtyPlies(benchmark::State& state)
{
    const engine::EngineOptions options = engine::OptionsFromSettings(engine::EngineSettings{});
    if (options.program.empty()) {
        state.SkipWithError("fairy-stockfish is not installed");
        return;
    }
    testkit::FakeTerminal terminal;
    testkit::FakeDesktop desktop;
    testkit::FakeClock clock;
    model::NoGameWindows windows;
    model::GameSettings settings;
    model::CGame game(model::GamePorts{terminal, desktop, clock, windows, settings});
    playGame(game);
    engine::AnalysisSettings analysis;
    analysis.movetimeMs = kMovetimeMs;
    const double thinking = (kPlies + 1) * kMovetimeMs / 1000.0;
    for (auto _ : state) {
        Quiet port;
        const auto start = std::chrono::steady_clock::now();
        const auto run = engine::RunGameAnalysis(options, game, analysis, port);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run.end != engine::AnalysisEnd::Finished || port.moves != kPlies) {
            state.SkipWithError(("the analysis did not finish: " + run.message).c_str());
            return;
        }
        state.SetIterationTime(seconds);
        state.counters["wall_s"] = seconds;
        state.counters["over_thinking_pct"] = (seconds - thinking) / thinking * 100;
        state.counters["first_result_s"] = port.firstResult;
    }
}

BENCHMARK(AnalyseSixtyPlies)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kSecond);

} // namespace
