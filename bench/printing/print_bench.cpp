// Speed of printing a game: a random game of 300 moves with 20 variations and notes on
// about one move in ten, with ten marked diagrams (every 30th move) besides the start and
// the end:
//  - Layout: the printed document built from the record and cut into pages (no Qt);
//  - Pdf: the same written as a PDF file, fonts embedded, as `marovin-tool print` does.

#include <benchmark/benchmark.h>

#include <QFileInfo>

#include <random>

#include "model/print_layout.h"
#include "printing/record_printer.h"
#include "testkit/offline_game_ports.h"
#include "testkit/qt_application.h"
#include "testkit/random_game.h"
#include "testkit/temp_folder.h"

namespace {

using namespace marovin;

constexpr int kMoves = 300;
constexpr int kDiagrams = 10;

struct LongGame {
    LongGame()
    {
        // Random play often mates early: the first seed whose game lasts the whole length.
        testkit::RandomGameShape shape;
        shape.minPlies = shape.maxPlies = kMoves;
        shape.variations = 20;
        shape.notePercent = 10;
        for (unsigned seed = 1; seed < 1000 && moves < kMoves; ++seed) {
            game = std::make_unique<model::CGame>(ports.ports());
            std::mt19937 random(seed);
            moves = testkit::MakeRandomGame(*game, random, shape);
        }
        for (int i = 1; i <= kDiagrams; ++i) {
            game->Navigate(model::kGoToPly, std::min(moves, i * kMoves / kDiagrams));
            marks.push_back(&game->currentEntry());
        }
        game->Rewind();
    }
    testkit::OfflineGamePorts ports;
    std::unique_ptr<model::CGame> game;
    int moves = 0;
    std::vector<const model::MoveEntry*> marks;
};

LongGame& longGame()
{
    static LongGame game;
    return game;
}

void Layout(benchmark::State& state)
{
    LongGame& game = longGame();
    // An A4 page with margins of 15 mm, in hundredths of a point, as the printer measures it.
    const model::PageMetrics metrics{72500, 1200, 26000, 88};
    std::size_t pages = 0;
    for (auto _ : state) {
        const model::PrintDocument document = model::BuildPrintDocument(*game.game, game.marks);
        pages = model::LayOutPages(document, metrics).size();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["moves"] = game.moves;
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(Layout)->Unit(benchmark::kMillisecond);

void Pdf(benchmark::State& state)
{
    testkit::qtApplication();
    LongGame& game = longGame();
    testkit::TempFolder folder;
    const QString path = QString::fromStdString(folder.file("game.pdf"));
    for (auto _ : state) {
        const model::PrintDocument document = model::BuildPrintDocument(*game.game, game.marks);
        if (!printing::WriteRecordPdf(document, path))
            state.SkipWithError("the PDF file could not be written");
    }
    state.counters["moves"] = game.moves;
    state.counters["diagrams"] = static_cast<double>(game.marks.size() + 2);
    state.counters["kB"] = static_cast<double>(QFileInfo(path).size()) / 1024.0;
}
BENCHMARK(Pdf)->Unit(benchmark::kMillisecond);

} // namespace
