// Server output full of game lines, in chunks of varied size, through the scanner and the
// game side on fake windows: notices, observe, moves, look and sendfile blocks, handicap
// lines and endings must leave every game whole, whatever the bytes.
//
// Input: one byte of switches (prompt on game over, the quit answers, windows refused,
// windows kept open, no login name), one byte for the chunk sizes, then the server bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/game_file.h"
#include "testkit/game_fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace marovin;
    if (size < 2)
        return 0;
    const std::uint8_t switches = data[0];
    const std::size_t chunk = 1 + data[1] % 97;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    testkit::GameRig rig;
    rig.options->promptGameOver = switches & 1;
    rig.windows.refuse = (switches & 0x06) == 0x06;
    rig.windows.keepOpen = switches & 0x08;
    if (switches & 0x10)
        rig.context->session.loggedInName.clear();
    rig.desktop.answerYesNo = switches & 0x20;
    for (int i = 0; i < 8; ++i)
        rig.windows.quitAnswers.push_back(((switches >> 6) + i) & 1);

    std::int64_t now = rig.clock.nowSeconds();
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        rig.feed(bytes.substr(at, chunk));
        rig.games.tickClocks(now += 1 + static_cast<std::int64_t>(at % 3));
    }
    rig.feed("\r\nOMRA% ");

    for (model::CGame* game : rig.list().games()) {
        for (const model::Board* board : {&game->browsedBoard, &game->gameBoard})
            for (const model::Piece piece : *board)
                if (piece > 32)
                    std::abort();
        if (game->browsedPly() < 0 || game->gamePly() < 0 || game->browsedPly() > game->pathLength())
            std::abort();
        model::GameFileText(*game, model::GameFileForm::Old);
    }
    rig.feed("quit: \r\n"); // the session ends with games in every state
    return 0;
}
