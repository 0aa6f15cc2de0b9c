// Any bytes as a PGN file: every game is split off, played into a record and written
// back in each notation; reading what was written must give the same record again.
// Nothing may crash, hang or read past a buffer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/game_file.h"
#include "model/pgn.h"
#include "testkit/offline_game_ports.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace marovin::model;
    marovin::testkit::OfflineGamePorts offline;
    const GamePorts ports = offline.ports();

    PgnReader reader(std::string_view(reinterpret_cast<const char*>(data), size));
    PgnGameText text;
    for (int games = 0; games < 64 && reader.next(text); ++games) {
        CGame game(ports);
        std::string error, warning;
        if (!BuildPgnGame(text, game, error, warning) && error.empty())
            std::abort(); // a failure always says why
        const std::string stored = GameFileText(game, GameFileForm::New);
        for (MoveNotation notation : {MoveNotation::Iccs, MoveNotation::Wxf, MoveNotation::Chinese}) {
            PgnReader again(PgnText(game, notation));
            PgnGameText written;
            if (!again.next(written))
                std::abort();
            CGame copy(ports);
            if (!BuildPgnGame(written, copy, error, warning))
                std::abort(); // what was written reads whole
            // A "}" in a note is written as its full-width form, so such records differ.
            if (stored.find('}') == std::string::npos && GameFileText(copy, GameFileForm::New) != stored)
                std::abort();
        }
    }
    return 0;
}
