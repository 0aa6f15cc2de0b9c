// Cost of merging many games into one tree (an opening book), and of writing the book's
// text record. The games share their openings in part, and half of them are played on
// the other side of the board, so that the merge has to turn them round.
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "model/game_file.h"
#include "model/legality.h"
#include "model/merge.h"
#include "model/text_record.h"
#include "testkit/offline_game_ports.h"

namespace {

using namespace marovin::model;

constexpr int kMovesPerGame = 80;
constexpr int kMaxGames = 1000;

using Environment = marovin::testkit::OfflineGamePorts;

// A legal game of kMovesPerGame moves (shorter only when a side cannot move). The first
// three moves come from a choice of two each, so that many games share their openings;
// odd-numbered games are the mirror image of what was played.
std::vector<SquarePair> RandomGame(std::mt19937& random, bool mirrored)
{
    Board board = kStandardOpening;
    std::vector<SquarePair> moves;
    for (int ply = 0; ply < kMovesPerGame; ++ply) {
        const std::vector<SquarePair> legal = GenerateLegalMoves(board, ply % 2 == 0);
        if (legal.empty())
            break;
        const std::size_t choices = ply < 3 ? std::min<std::size_t>(2, legal.size()) : legal.size();
        const SquarePair move = legal[random() % choices];
        ApplyMove(board, move.from, move.to);
        moves.push_back(move);
    }
    if (mirrored)
        for (SquarePair& move : moves)
            move = {MirrorSquare(move.from), MirrorSquare(move.to)};
    return moves;
}

// The games once, for every benchmark: as game objects and as old-format files.
struct Library {
    Library()
    {
        std::mt19937 random(2024);
        for (int i = 0; i < kMaxGames; ++i) {
            auto game = std::make_unique<CGame>(environment.ports());
            for (const SquarePair& move : RandomGame(random, i % 2 == 1))
                game->PlayMove(move.from, move.to, MoveKind::User);
            game->Rewind();
            files.push_back(GameFileText(*game, GameFileForm::Old));
            games.push_back(std::move(game));
        }
    }
    Environment environment;
    std::vector<std::unique_ptr<CGame>> games;
    std::vector<std::string> files;
};

Library& library()
{
    static Library shared;
    return shared;
}

void BM_MergeGamesIntoOneTree(benchmark::State& state)
{
    Library& games = library();
    const auto count = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        CGame book(games.environment.ports());
        for (std::size_t i = 0; i < count; ++i)
            MergeIntoGame(book, *games.games[i]);
        benchmark::DoNotOptimize(book.pathLength());
    }
    state.SetComplexityN(state.range(0));
    state.counters["moves"] = benchmark::Counter(static_cast<double>(count * kMovesPerGame),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MergeGamesIntoOneTree)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_MergeGameFilesIntoOneTree(benchmark::State& state)
{
    Library& games = library();
    const auto count = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        CGame book(games.environment.ports());
        for (std::size_t i = 0; i < count; ++i) {
            StringSource source(games.files[i]);
            ReadGame(book, source, "game", true);
        }
        games.environment.terminal.clear(); // the reader echoes every header line
        benchmark::DoNotOptimize(book.pathLength());
    }
    state.SetComplexityN(state.range(0));
    state.counters["moves"] = benchmark::Counter(static_cast<double>(count * kMovesPerGame),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MergeGameFilesIntoOneTree)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_TextRecordOfTheBook(benchmark::State& state)
{
    Library& games = library();
    CGame book(games.environment.ports());
    for (const auto& game : games.games)
        MergeIntoGame(book, *game);
    std::size_t bytes = 0;
    for (auto _ : state) {
        StringSink sink;
        WriteTextRecord(book, sink);
        bytes = sink.text.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    // The shape of the book: openings that mirror each other share their first moves.
    const BranchPoint* first = book.root().alternatives[0].continuation.get();
    state.counters["first_moves"] = first ? first->count() : 0;
    int lines = 0;
    ForEachLine(book.root(), [&](const MoveLine&) { ++lines; });
    state.counters["lines"] = lines;
}
BENCHMARK(BM_TextRecordOfTheBook)->Unit(benchmark::kMillisecond);

} // namespace
