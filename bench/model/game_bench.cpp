// Speed of the game record and its file: adding moves, and reading and writing games of
// growing size spread over variations with notes, in both stored forms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "model/game_file.h"
#include "testkit/fakes.h"

namespace {

using namespace marovin::model;

struct Ports {
    marovin::testkit::FakeTerminal terminal;
    marovin::testkit::FakeDesktop desktop;
    marovin::testkit::FakeClock clock;
    NoGameWindows windows;
    GameSettings settings;
    GamePorts ports{terminal, desktop, clock, windows, settings};
};

// Reads a string without copying it.
class ViewSource : public ByteSource {
public:
    explicit ViewSource(std::string_view text) : m_text(text) {}
    std::size_t read(char* buffer, std::size_t size) override
    {
        const std::size_t n = std::min(size, m_text.size() - m_position);
        std::memcpy(buffer, m_text.data() + m_position, n);
        m_position += n;
        return n;
    }

private:
    std::string_view m_text;
    std::size_t m_position = 0;
};

// Discards what is written (the terminal echo of header lines is not what is measured).
class NullSink : public ByteSink {
public:
    bool write(std::string_view bytes) override
    {
        size += bytes.size();
        return true;
    }
    std::size_t size = 0;
};

void playText(CGame& game, const char* text)
{
    const auto squares = ParseCoordinateMove(text);
    game.PlayMove(squares->from, squares->to, MoveKind::User);
}

// A main line of horse moves; after every 25th move a side line of 9 chariot moves
// branches off before it, and every 10th main move carries a note.
std::unique_ptr<CGame> buildGame(Ports& ports, int moves)
{
    static const char* mainCycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
    static const char* sideCycles[2][4] = {{"I0-I1", "I9-I8", "I1-I0", "I8-I9"},  // Red to move
                                           {"I9-I8", "I0-I1", "I8-I9", "I1-I0"}}; // Black
    auto game = std::make_unique<CGame>(ports.ports);
    int played = 0;
    for (int i = 0; played < moves; ++i) {
        playText(*game, mainCycle[i % 4]);
        ++played;
        if (i % 10 == 0)
            game->SetNote("\xB5\xF9\xB8\xD1 note " + std::to_string(i), false); // 註解
        if (i % 25 == 24 && played + 9 <= moves) {
            game->TakeBack(TakeBackKind::User);
            for (int j = 0; j < 9; ++j)
                playText(*game, sideCycles[i % 2][j % 4]);
            played += 9;
            for (int j = 0; j < 9; ++j)
                game->TakeBack(TakeBackKind::User);
            game->FollowAlternative(0);
            game->PlayMove(0, 0, MoveKind::Replay);
        }
    }
    game->Rewind();
    return game;
}

const std::string& gameText(int moves, GameFileForm form)
{
    static std::map<std::pair<int, int>, std::string> texts;
    std::string& text = texts[{moves, static_cast<int>(form)}];
    if (text.empty()) {
        Ports ports;
        auto game = buildGame(ports, moves);
        text = GameFileText(*game, form);
    }
    return text;
}

void BM_PlayMovesAlongOneLine(benchmark::State& state)
{
    static const char* cycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
    SquarePair squares[4];
    for (int i = 0; i < 4; ++i)
        squares[i] = *ParseCoordinateMove(cycle[i]);
    for (auto _ : state) {
        Ports ports;
        CGame game(ports.ports);
        for (int i = 0; i < state.range(0); ++i)
            game.PlayMove(squares[i % 4].from, squares[i % 4].to, MoveKind::User);
        benchmark::DoNotOptimize(game.pathLength());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlayMovesAlongOneLine)->Arg(100000)->Unit(benchmark::kMillisecond);

// A request of this size makes glibc merge the small blocks freed before it.
void settleAllocator()
{
    void* block = std::malloc(64 * 1024);
    benchmark::DoNotOptimize(block);
    std::free(block);
}

void readBench(benchmark::State& state, GameFileForm form)
{
    const std::string& text = gameText(static_cast<int>(state.range(0)), form);
    Ports ports;
    for (auto _ : state) {
        // The game window exists before its file is read; the game read last time is freed
        // outside the measurement, together with the allocator's deferred work for it (glibc
        // merges freed small blocks at the next larger request).
        state.PauseTiming();
        auto game = std::make_unique<CGame>(ports.ports);
        settleAllocator();
        ViewSource source(text);
        state.ResumeTiming();
        benchmark::DoNotOptimize(ReadGame(*game, source, "bench", false));
        state.PauseTiming();
        game.reset();
        ports.terminal.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.counters["file_bytes"] = static_cast<double>(text.size());
}

void writeBench(benchmark::State& state, GameFileForm form)
{
    Ports ports;
    auto game = buildGame(ports, static_cast<int>(state.range(0)));
    std::size_t size = 0;
    for (auto _ : state) {
        NullSink sink;
        WriteGame(*game, sink, form);
        size = sink.size;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
    state.counters["file_bytes"] = static_cast<double>(size);
}

void BM_ReadOldFormat(benchmark::State& state) { readBench(state, GameFileForm::Old); }
void BM_ReadNewFormat(benchmark::State& state) { readBench(state, GameFileForm::New); }
void BM_WriteOldFormat(benchmark::State& state) { writeBench(state, GameFileForm::Old); }
void BM_WriteNewFormat(benchmark::State& state) { writeBench(state, GameFileForm::New); }

// 10 000 moves; then growing sizes to show the growth; 130 000 moves make an old-format
// file of about 1 MB, 293 000 a new-format one (1.5 MB at 440 000).
BENCHMARK(BM_ReadOldFormat)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(80000)->Arg(130000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteOldFormat)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(80000)->Arg(130000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadNewFormat)->Arg(10000)->Arg(40000)->Arg(293000)->Arg(440000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteNewFormat)->Arg(10000)->Arg(40000)->Arg(293000)->Arg(440000)->Unit(benchmark::kMillisecond);

} // namespace
