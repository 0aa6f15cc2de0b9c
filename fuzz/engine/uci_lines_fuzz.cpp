// Arbitrary engine output, cut into chunks of random sizes, through the line decoder and
// a whole engine client in the middle of a search: no crash, decoded values stay in their
// ranges, and every variation or best move passed on is legal in the searched position.
//
// Input: bytes 0..3 seed the chunk sizes, byte 4 picks the searched position (bit 0:
// after a first move, so Black is to move), the rest is what the engine writes.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>

#include "engine/engine_client.h"
#include "model/legality.h"
#include "testkit/fakes.h"

namespace {

using namespace marovin;
using namespace marovin::engine;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct SilentProcess : EngineProcessPort {
    bool start(const std::string&, std::string&) override { return true; }
    void writeLine(std::string_view) override {}
    void release() override {}
};

struct CheckingListener : EngineListener {
    void engineInfo(const EngineAnalysis& analysis) override
    {
        check(analysis.depth >= 0 && analysis.depth <= kDeepestSearch);
        check(analysis.pv.size() <= kLongestVariation);
        model::Board board = analysis.board;
        bool red = analysis.redToMove;
        for (const model::SquarePair move : analysis.pv) {
            check(IsLegalEngineMove(board, red, move));
            model::ApplyMove(board, move.from, move.to);
            red = !red;
        }
    }
    void engineBestMove(int, std::optional<model::SquarePair> move) override
    {
        if (move)
            check(IsLegalEngineMove(searched, searchedRedToMove, *move));
    }
    void engineFailed(std::string_view) override {}
    model::Board searched{};
    bool searchedRedToMove = true;
};

void checkDecoded(std::string_view line)
{
    const EngineLine decoded = DecodeEngineLine(line);
    if (decoded.info.depth)
        check(*decoded.info.depth >= 0 && *decoded.info.depth <= kDeepestSearch);
    check(decoded.info.pv.size() <= kLongestVariation);
    if (decoded.info.score.kind == ScoreKind::Centipawns)
        check(std::abs(decoded.info.score.value) <= kLargestCentipawns);
    if (decoded.info.score.kind == ScoreKind::Mate)
        check(std::abs(decoded.info.score.value) <= kLongestMate);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    std::uint32_t seed = 0;
    std::memcpy(&seed, data, 4);
    SilentProcess process;
    testkit::FakeClock clock;
    CheckingListener listener;
    EngineClient client(process, clock, listener);
    EngineOptions options;
    options.program = "engine";
    client.setOptions(options);
    EnginePosition position;
    position.start = model::kStandardOpening;
    if (data[4] & 1)
        position.moves.push_back({model::SquareOf(7, 7), model::SquareOf(7, 4)});
    listener.searched = model::kStandardOpening;
    for (const model::SquarePair move : position.moves)
        model::ApplyMove(listener.searched, move.from, move.to);
    listener.searchedRedToMove = position.moves.empty();
    client.search(position, {});
    client.receive("uciok\nreadyok\n");

    EngineLineFramer framer;
    std::minstd_rand chunkSizes(seed);
    std::string_view stream(reinterpret_cast<const char*>(data + 5), size - 5);
    while (!stream.empty()) {
        const std::size_t n = std::min<std::size_t>(stream.size(), 1 + chunkSizes() % 4096);
        framer.push(stream.substr(0, n), checkDecoded);
        client.receive(stream.substr(0, n));
        stream.remove_prefix(n);
        // A finished search is followed by the next, as a window does while browsing.
        if (client.state() == EngineState::Idle)
            client.search(position, {});
    }
    return 0;
}
