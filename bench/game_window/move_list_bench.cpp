// Speed of a game window's move list (the real view, offscreen, measuring in its font):
//  - LayoutWholeGame: every text made and measured and every row placed, for a game of
//    300 moves with 50 variations (every tenth of them with a variation inside), in each
//    notation;
//  - LiveStep: one move of a live game reaching the list (the record takes the server's
//    move, the list catches up), at 300 moves and more.

#include <benchmark/benchmark.h>

#include <string>

#include "game_window/move_list_view.h"
#include "testkit/offline_game_ports.h"
#include "testkit/qt_application.h"

namespace {

using namespace marovin;
using model::CGame;

constexpr int kMainMoves = 300;
constexpr int kVariations = 50;
const char* const kMainCycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
const char* const kSideCycles[2][4] = {{"I0-I1", "I9-I8", "I1-I0", "I8-I9"}, {"I9-I8", "I0-I1", "I8-I9", "I1-I0"}};

void play(CGame& game, const char* text, model::MoveKind kind = model::MoveKind::User)
{
    const auto squares = model::ParseCoordinateMove(text);
    game.PlayMove(squares->from, squares->to, kind);
}

// A side line of moves at the shown position (instead of the move shown), then back to
// where the main line went on.
void addSideLine(CGame& game, int ply, int moves)
{
    game.TakeBack(model::TakeBackKind::User);
    for (int j = 0; j < moves; ++j)
        play(game, kSideCycles[ply % 2][j % 4]);
    for (int j = 0; j < moves; ++j)
        game.TakeBack(model::TakeBackKind::User);
    game.FollowAlternative(0);
    game.PlayMove(0, 0, model::MoveKind::Replay);
}

// The main line, with a side line of four moves after every sixth move; every tenth side
// line holds a line of two moves of its own after its second move.
void playGameWithVariations(CGame& game)
{
    int variations = 0;
    for (int i = 0; i < kMainMoves; ++i) {
        play(game, kMainCycle[i % 4]);
        if (i % 10 == 0)
            game.SetNote("\xB5\xF9\xB8\xD1 move " + std::to_string(i), false);
        if (i % 6 != 5 || variations == kVariations)
            continue;
        ++variations;
        addSideLine(game, i, 4);
        if (variations % 10 != 0)
            continue;
        const model::BranchPoint& branch = game.currentBranchPoint();
        const board::MoveRef mainMove = board::CurrentMoveRef(game);
        board::goToMove(game, board::MoveRef{&branch, branch.count() - 1, 1});
        // The chariots of the a-file stand where they began: a move of each side.
        const bool red = game.isRedToMoveBrowsed();
        play(game, red ? "A0-A1" : "A9-A8");
        play(game, red ? "A9-A8" : "A0-A1");
        board::goToMove(game, mainMove);
    }
}

void LayoutWholeGame(benchmark::State& state)
{
    testkit::qtApplication();
    testkit::OfflineGamePorts ports;
    CGame game(ports.ports());
    playGameWithVariations(game);
    board::CMoveListView list(game);
    list.resize(240, 400);
    const auto notation = static_cast<model::MoveNotation>(state.range(0));
    const auto other = notation == model::MoveNotation::Iccs ? model::MoveNotation::Wxf : model::MoveNotation::Iccs;
    for (auto _ : state) {
        state.PauseTiming();
        list.setNotation(other);
        state.ResumeTiming();
        list.setNotation(notation); // a new notation: every item made and laid out anew
        benchmark::DoNotOptimize(list.layout().height());
    }
    state.SetLabel(std::string(model::NotationName(notation)));
    state.counters["moves"] = static_cast<double>(list.items().size());
    state.counters["rows"] = static_cast<double>(list.layout().rows().size());
}
BENCHMARK(LayoutWholeGame)
    ->Arg(static_cast<int>(model::MoveNotation::Chinese))
    ->Arg(static_cast<int>(model::MoveNotation::Wxf))
    ->Arg(static_cast<int>(model::MoveNotation::Iccs))
    ->Unit(benchmark::kMillisecond);

void LiveStep(benchmark::State& state)
{
    testkit::qtApplication();
    testkit::OfflineGamePorts ports;
    CGame game(ports.ports());
    board::CMoveListView list(game);
    list.resize(240, 400);
    const auto restart = [&] {
        game.ClearMoves();
        game.ResetPosition();
        game.participation = model::kObserving;
        for (int i = 0; i < kMainMoves; ++i)
            play(game, kMainCycle[i % 4], model::MoveKind::Game);
        list.refresh();
    };
    restart();
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 100 == 0) {
            state.PauseTiming();
            restart();
            state.ResumeTiming();
        }
        play(game, kMainCycle[game.gamePly() % 4], model::MoveKind::Game);
        list.refresh();
    }
    state.counters["moves"] = static_cast<double>(list.items().size());
}
BENCHMARK(LiveStep)->Unit(benchmark::kMicrosecond);

} // namespace
