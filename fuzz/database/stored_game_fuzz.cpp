// A stored game read back from a database file that anything may have written: the result
// column and the blob, decoded into a game record. No crash, no endless reading, and a
// game that decodes can be written as a game file.
//
// Input: byte 0 is the result column, the rest the blob.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "database/game_codec.h"
#include "model/game_file.h"
#include "testkit/offline_game_ports.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace marovin;
    if (size == 0)
        return 0;
    testkit::OfflineGamePorts ports;
    model::CGame game(ports.ports());
    const std::string_view blob(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string error;
    if (database::DecodeGame("red", "black", "event", "2024-03-05", data[0], blob, game, error)) {
        if (model::GameFileText(game, model::GameFileForm::New).empty())
            std::abort();
    } else if (error.empty()) {
        std::abort(); // a refusal always says why
    }
    return 0;
}
