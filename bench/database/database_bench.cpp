// The game database on generated games: random legal games of 60 to 120 plies with up to
// three side lines of 2 to 8 moves, players and events drawn from pools, results at random.
//
//   BM_Import            games per second read from game-file text, every move checked,
//                        stored and indexed, into a new database (one batch, committed)
//   BM_Explore*          the explorer at the opening and at positions deep in stored games
//   BM_SearchPosition*   the games reaching such positions (up to 1,000)
//   BM_Size              bytes per game of the games and their names, and of the index
//
// The lookups run on a database of 1,000,000 games made once and kept under the build
// folder (bench-cache/); making it takes minutes, and prints the rate it was made at.
// The machine is shared: the load average at the start of each figure is printed beside it.
#include <cstdlib>
#include <sys/resource.h>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "database/game_import.h"
#include "database/game_search.h"
#include "model/game_file.h"
#include "support/fixed_text.h"
#include "testkit/offline_game_ports.h"
#include "testkit/random_game.h"

namespace {

using namespace marovin;
namespace fs = std::filesystem;

constexpr int kLargeCount = 1000000;
constexpr int kImportCount = 20000;
const fs::path kCache = MAROVIN_BENCH_CACHE;

testkit::OfflineGamePorts& Ports()
{
    static testkit::OfflineGamePorts ports;
    return ports;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double LoadAverage()
{
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

// Game number i of the generated collection (the same game for the same i on every run).
void MakeGame(model::CGame& game, int i)
{
    std::mt19937 random(static_cast<unsigned>(i) * 2654435761u + 12345u);
    testkit::MakeRandomGame(game, random, {60, 120, static_cast<int>(random() % 4), 0});
    copyBounded(game.redName, "Player" + std::to_string(random() % 5000));
    copyBounded(game.blackName, "Player" + std::to_string(random() % 5000));
    copyBounded(game.subject, "Event " + std::to_string(random() % 1000));
    copyBounded(game.result, std::vector<const char*>{"1-0", "0-1", "1/2-1/2"}[random() % 3]);
    char date[16];
    std::snprintf(date, sizeof date, "%04lu-%02lu-%02lu", 2000 + random() % 25, 1 + random() % 12, 1 + random() % 28);
    copyBounded(game.date, date);
    game.redRating = 1200 + static_cast<int>(random() % 1400);
    game.blackRating = 1200 + static_cast<int>(random() % 1400);
}

std::unique_ptr<database::GameDatabase> Open(const fs::path& path)
{
    std::string error;
    auto db = database::GameDatabase::open(path.string(), error);
    if (!db) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    return db;
}

// The million-game database, made on first use (games in batches of 10,000, as an import
// of many files would go) and then kept.
database::GameDatabase& LargeDatabase()
{
    static std::unique_ptr<database::GameDatabase> db;
    if (db)
        return *db;
    const fs::path path = kCache / "games-1m-v2.mdb.sqlite";
    if (!fs::exists(path)) {
        fs::create_directories(kCache);
        const fs::path building = kCache / "games-1m-building.sqlite";
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(building.string() + suffix);
        auto fresh = Open(building);
        database::ImportPort quiet;
        const auto start = std::chrono::steady_clock::now();
        for (int batch = 0; batch < kLargeCount; batch += 10000) {
            database::GameImporter importer(*fresh, quiet);
            std::string error;
            importer.begin(error);
            for (int i = batch; i < batch + 10000; ++i) {
                model::CGame game(Ports().ports());
                MakeGame(game, i);
                importer.importGame(game, "generated");
            }
            const auto result = importer.finish();
            if (!result.ok()) {
                std::fprintf(stderr, "making the database failed: %s\n", result.error.c_str());
                std::exit(1);
            }
            if (batch % 100000 == 0)
                std::fprintf(stderr, "made %d games\n", batch + 10000);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::string error;
        fresh->optimize(error);
        fresh.reset();
        fs::rename(building, path);
        std::fprintf(stderr, "made %d games in %.0f s (%.0f games/s, generation included), load %.1f\n", kLargeCount,
                     seconds, kLargeCount / seconds, LoadAverage());
    }
    db = Open(path);
    return *db;
}

// Positions deep in stored games (ply 20 of their main lines), to look up.
std::vector<std::pair<model::Board, bool>> DeepPositions()
{
    std::vector<std::pair<model::Board, bool>> positions;
    for (int i = 0; i < 100; ++i) {
        model::CGame game(Ports().ports());
        MakeGame(game, i * 9973);
        game.Navigate(model::kGoToPly, 20);
        positions.emplace_back(game.browsedBoard, game.isRedToMoveBrowsed());
    }
    return positions;
}

void BM_Import(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (int i = 0; i < kImportCount; ++i) {
        model::CGame game(Ports().ports());
        MakeGame(game, kLargeCount + i);
        texts.push_back(model::GameFileText(game, model::GameFileForm::New));
    }
    const fs::path path = kCache / "import.sqlite";
    fs::create_directories(kCache);
    state.counters["load"] = LoadAverage();
    double processSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(path.string() + suffix);
        auto db = Open(path);
        const double before = ProcessCpuSeconds();
        state.ResumeTiming();
        database::ImportPort quiet;
        database::GameImporter importer(*db, quiet);
        std::string error;
        importer.begin(error);
        for (const std::string& text : texts)
            importer.importGameText(text, "generated");
        const auto result = importer.finish();
        state.PauseTiming();
        processSeconds += ProcessCpuSeconds() - before;
        state.ResumeTiming();
        if (result.added != kImportCount)
            state.SkipWithError("not every game was added");
    }
    state.SetItemsProcessed(state.iterations() * kImportCount);
    // On a busy machine the wall clock says little: the CPU time of both threads together
    // per game says what two free cores would do (games per second = 2e6 / cpu_us_per_game
    // at best, while the storing thread keeps up).
    state.counters["cpu_us_per_game"] =
        processSeconds * 1e6 / static_cast<double>(state.iterations() * kImportCount);
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ExploreOpening(benchmark::State& state)
{
    auto& db = LargeDatabase();
    state.counters["load"] = LoadAverage();
    std::int64_t games = 0;
    for (auto _ : state)
        for (const auto& m : database::ExploreMoves(db, model::kStandardOpening, true))
            games += m.games;
    state.counters["games"] = static_cast<double>(games / state.iterations());
}
BENCHMARK(BM_ExploreOpening)->Unit(benchmark::kMillisecond);

void BM_ExploreDeep(benchmark::State& state)
{
    auto& db = LargeDatabase();
    const auto positions = DeepPositions();
    state.counters["load"] = LoadAverage();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [board, red] = positions[i++ % positions.size()];
        benchmark::DoNotOptimize(database::ExploreMoves(db, board, red));
    }
}
BENCHMARK(BM_ExploreDeep)->Unit(benchmark::kMillisecond);

void BM_SearchPositionOpening(benchmark::State& state)
{
    auto& db = LargeDatabase();
    state.counters["load"] = LoadAverage();
    database::SearchQuery query;
    query.position = std::pair(model::kStandardOpening, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(database::SearchGames(db, query));
}
BENCHMARK(BM_SearchPositionOpening)->Unit(benchmark::kMillisecond);

void BM_SearchPositionDeep(benchmark::State& state)
{
    auto& db = LargeDatabase();
    const auto positions = DeepPositions();
    state.counters["load"] = LoadAverage();
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        database::SearchQuery query;
        query.position = positions[i++ % positions.size()];
        found += database::SearchGames(db, query).size();
    }
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SearchPositionDeep)->Unit(benchmark::kMillisecond);

// Sizes from SQLite's own page statistics: the games table with the player and event
// names, and everything else (the indexes of the games table and the position index).
void BM_Size(benchmark::State& state)
{
    auto& db = LargeDatabase();
    double games = 0, index = 0, positions = 0;
    for (auto _ : state) {
        database::Statement sizes(db.connection(), "SELECT name, sum(pgsize) FROM dbstat GROUP BY name");
        games = index = positions = 0;
        while (sizes.step()) {
            const std::string name(sizes.blob(0));
            const auto bytes = static_cast<double>(sizes.integer(1));
            if (name == "games" || name == "players" || name == "events")
                games += bytes;
            else if (name.starts_with("position"))
                positions += bytes;
            else
                index += bytes;
        }
    }
    const double count = static_cast<double>(db.gameCount());
    state.counters["games"] = count;
    state.counters["game_bytes_per_game"] = games / count;
    state.counters["game_indexes_per_game"] = index / count;
    state.counters["position_index_per_game"] = positions / count;
}
BENCHMARK(BM_Size)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
