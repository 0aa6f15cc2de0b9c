// Export and import of a PGN file of many games, in each move notation. Every game has 80
// moves, a side line of 12 moves at ply 20 and a note on every tenth move; the figures
// are games per second, at 1,000 and 10,000 games to show that the cost grows linearly.
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "model/legality.h"
#include "model/pgn.h"
#include "testkit/offline_game_ports.h"

namespace {

using namespace marovin::model;

constexpr int kMovesPerGame = 80;
constexpr int kMaxGames = 10000;

// Plays up to count random legal moves from the browsed position.
void PlayRandom(CGame& game, std::mt19937& random, int count)
{
    for (int i = 0; i < count; ++i) {
        const auto legal = GenerateLegalMoves(game.browsedBoard, game.isRedToMoveBrowsed());
        if (legal.empty())
            return;
        const SquarePair move = legal[random() % legal.size()];
        game.PlayMove(move.from, move.to, MoveKind::User);
        if (game.browsedPly() % 10 == 0)
            game.SetNote("a note on this move", false);
    }
}

struct Library {
    Library()
    {
        std::mt19937 random(2024);
        for (int i = 0; i < kMaxGames; ++i) {
            auto game = std::make_unique<CGame>(environment.ports());
            PlayRandom(*game, random, 20);
            PlayRandom(*game, random, 12);
            for (int k = 0; k < 12 && game->browsedPly() > 19; ++k)
                game->TakeBack(TakeBackKind::User);
            PlayRandom(*game, random, kMovesPerGame - 20);
            game->Rewind();
            games.push_back(std::move(game));
        }
        for (MoveNotation notation : {MoveNotation::Iccs, MoveNotation::Wxf, MoveNotation::Chinese})
            for (int i = 0; i < kMaxGames; ++i)
                WritePgn(*games[static_cast<std::size_t>(i)], notation, files[static_cast<int>(notation)]);
    }
    marovin::testkit::OfflineGamePorts environment;
    std::vector<std::unique_ptr<CGame>> games;
    std::string files[3];
};

Library& TheLibrary()
{
    static Library library;
    return library;
}

void Export(benchmark::State& state, MoveNotation notation)
{
    Library& library = TheLibrary();
    const auto count = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        std::string out;
        for (std::size_t i = 0; i < count; ++i)
            WritePgn(*library.games[i], notation, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("games/s in items_per_second");
}

void Import(benchmark::State& state, MoveNotation notation)
{
    Library& library = TheLibrary();
    const std::string& file = library.files[static_cast<int>(notation)];
    // The first count games of the file.
    std::size_t end = 0;
    for (int i = 0; i < state.range(0); ++i)
        end = file.find("[Game ", end + 1);
    const std::string text = file.substr(0, end == std::string::npos ? file.size() : end);
    for (auto _ : state) {
        PgnReader reader(text);
        PgnGameText game;
        int read = 0;
        while (reader.next(game)) {
            CGame record(library.environment.ports());
            std::string error, warning;
            read += BuildPgnGame(game, record, error, warning) ? 1 : 0;
        }
        if (read != state.range(0))
            state.SkipWithError("a game was not read whole");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("games/s in items_per_second");
}

BENCHMARK_CAPTURE(Export, iccs, MoveNotation::Iccs)->Arg(1000)->Arg(kMaxGames)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, wxf, MoveNotation::Wxf)->Arg(1000)->Arg(kMaxGames)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, chinese, MoveNotation::Chinese)->Arg(1000)->Arg(kMaxGames)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Import, iccs, MoveNotation::Iccs)->Arg(1000)->Arg(kMaxGames)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Import, wxf, MoveNotation::Wxf)->Arg(1000)->Arg(kMaxGames)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Import, chinese, MoveNotation::Chinese)->Arg(1000)->Arg(kMaxGames)->Unit(benchmark::kMillisecond);

} // namespace
