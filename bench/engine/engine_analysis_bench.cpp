// From a change of the shown position to the first analysis of the new position shown in
// the strip, with the real engine (fairy-stockfish) already analysing the previous
// position: stop, its last best move, the new position, go, the first info line, and the
// strip's update. The window's event loop runs meanwhile; nothing waits on the engine.
//
// Each iteration steps one move forward or back through a short opening, as a user
// browsing a game does.

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "game_window/analysis_strip.h"
#include "game_window/game_engine.h"
#include "engine/engine_settings.h"
#include "model/game.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"

namespace {

using namespace marovin;
using model::SquareOf;

void PositionChangeToFirstInfoShown(benchmark::State& state)
{
    testkit::qtApplication();
    if (!engine::FindEngineProgram("")) {
        state.SkipWithError("fairy-stockfish is not installed");
        return;
    }
    testkit::FakeTerminal terminal;
    testkit::FakeDesktop desktop;
    testkit::FakeClock clock;
    model::NoGameWindows gameWindows;
    model::GameSettings settings;
    model::CGame game(model::GamePorts{terminal, desktop, clock, gameWindows, settings});
    board::AnalysisStrip strip;
    platform::EnginePool pool;
    board::GameEngine analysis(game, strip, pool);
    const std::vector<model::SquarePair> opening = {{SquareOf(7, 7), SquareOf(7, 4)},
                                                    {SquareOf(0, 7), SquareOf(2, 6)},
                                                    {SquareOf(9, 7), SquareOf(7, 6)},
                                                    {SquareOf(0, 8), SquareOf(0, 7)}};
    for (const auto& move : opening)
        game.PlayMove(move.from, move.to, model::MoveKind::User);
    game.Rewind();

    bool shown = false;
    auto waitShown = [&] {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (shown)
                loop.quit();
        });
        poll.start(0);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        return shown;
    };
    analysis.setAnalysing(true);
    if (!analysis.session()) {
        state.SkipWithError("no engine was lent");
        return;
    }
    QObject::connect(analysis.session(), &platform::EngineSession::analysisArrived,
                     [&](const engine::EngineAnalysis& info) {
                         if (info.board == game.browsedBoard && info.redToMove == game.isRedToMoveBrowsed())
                             shown = true;
                     });
    if (!waitShown()) {
        state.SkipWithError("the engine gave no analysis");
        return;
    }
    std::vector<double> figures;
    int ply = 0;
    bool forward = true;
    for (auto _ : state) {
        // The engine searches the shown position a little first, as while a user looks.
        QEventLoop settle;
        QTimer::singleShot(30, &settle, &QEventLoop::quit);
        settle.exec();
        shown = false;
        QElapsedTimer timer;
        timer.start();
        if (forward)
            game.Navigate(model::kStepForward);
        else
            game.Navigate(model::kStepBack);
        analysis.positionChanged();
        if (!waitShown()) {
            state.SkipWithError("no analysis of the new position within 10 s");
            return;
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        figures.push_back(seconds * 1000);
        ply += forward ? 1 : -1;
        if (ply == static_cast<int>(opening.size()) || ply == 0)
            forward = !forward;
    }
    std::sort(figures.begin(), figures.end());
    if (!figures.empty()) {
        state.counters["median_ms"] = figures[figures.size() / 2];
        state.counters["max_ms"] = figures.back();
    }
}

BENCHMARK(PositionChangeToFirstInfoShown)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

} // namespace
