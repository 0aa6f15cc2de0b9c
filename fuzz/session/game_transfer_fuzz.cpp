// Transfer tells from any players with any text, fed to a receiving client: every game it
// builds must stay whole, and the transfer state consistent, whatever arrives.
//
// Input: lines; the first byte of each picks the teller (the sender, or another player),
// the rest is the tell's text after byte 01 "send".
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/game_file.h"
#include "session/game_transfer.h"
#include "testkit/game_fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace marovin;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    testkit::GameRig rig;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        const char* teller = (line[0] & 7) == 7 ? "mallory" : "alice";
        std::string text = "#" + std::string(teller) + ">: \x01send" + std::string(line.substr(1)) + "\r\n";
        rig.feed(text);
        if ((line[0] & 0x38) == 0x38)
            if (model::CGame* game = rig.list().newest())
                session::stopTransfer(*rig.context, *game);
    }
    const session::TransferState& transfer = rig.context->session.transfer;
    if (transfer.receiveSequence < 0 || (transfer.receiveSequence == 0 && transfer.receivingGame))
        std::abort();
    for (model::CGame* game : rig.list().games()) {
        if (game->browsedPly() < 0 || game->browsedPly() > game->pathLength())
            std::abort();
        model::GameFileText(*game, model::GameFileForm::Old);
    }
    rig.feed("quit: \r\n");
    return 0;
}
