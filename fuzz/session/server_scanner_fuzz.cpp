// Arbitrary server bytes, cut into chunks of random sizes, through the whole scanner with
// recording ports: no crash, the line never passes its buffer, every byte is consumed and
// the collected output stays bounded.
//
// Input: byte 0 chooses the start (bit 0: already logged in, bit 1: a who request pending,
// bit 2: a game being sent), bytes 1..4 seed the chunk sizes, the rest is the stream.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>

#include "session/server_scanner.h"
#include "testkit/session_fakes.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkState(const marovin::session::SessionState& state)
{
    check(state.lineLength <= marovin::session::kLongestLine + 1);
    if (state.lineLength >= 0)
        check(state.lineBuffer[state.lineLength] == '\0');
    check(state.collectedOutput.size() <= marovin::session::kCollectedOutputLimit);
    check(state.inputPosition == state.input.size());
    check(state.whoCount >= 0 && state.whoCount < marovin::session::kWhoQueueSlots);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    marovin::testkit::SessionRig rig;
    rig.options->showWhoWindow = 1;
    rig.options->showGamesWindow = 1;
    rig.options->tellCollectShout = 1;
    rig.options->showMatchWindow = 1;
    rig.connectNow();
    if (data[0] & 1)
        rig.feed("Login as fuzzer\r\nOMRA% ");
    if (data[0] & 2)
        marovin::session::sendCommand(*rig.context, "who\r\n", false, false);
    rig.games.sending = (data[0] & 4) != 0;

    std::uint32_t seed = 0;
    std::memcpy(&seed, data + 1, 4);
    std::minstd_rand chunkSizes(seed);
    std::string_view stream(reinterpret_cast<const char*>(data + 5), size - 5);
    while (!stream.empty()) {
        const std::size_t n = std::min<std::size_t>(stream.size(), 1 + chunkSizes() % 3000);
        rig.feed(stream.substr(0, n));
        stream.remove_prefix(n);
        checkState(rig.context->session);
        rig.terminal.clear(); // keep the records small; the checks are on the state
        rig.socket.sent.clear();
    }
    return 0;
}
