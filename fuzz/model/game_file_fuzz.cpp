// Any bytes as a game file, read plainly and merged; what was read is written back in
// every form, read again and navigated. Nothing may crash, hang or read past a buffer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/game_file.h"
#include "testkit/offline_game_ports.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace marovin::model;
    marovin::testkit::OfflineGamePorts offline;
    offline.settings.mergeAppendNotes = size > 0 && (data[0] & 1);
    const ReadLocation& location = offline.location;
    const GamePorts ports = offline.ports();
    const std::string text(reinterpret_cast<const char*>(data), size);

    CGame game(ports);
    StringSource plain(text);
    ReadGame(game, plain, "fuzz", false);
    StringSource merged(text);
    ReadGame(game, merged, "fuzz", true);
    // Wherever a reading ended, it says so within the file.
    if (location.reading || location.line < 0 || location.byte > text.size())
        std::abort();

    for (const GameFileForm form : {GameFileForm::Old, GameFileForm::New}) {
        CGame copy(ports);
        StringSource written(GameFileText(game, form));
        ReadGame(copy, written, "copy", false);
        copy.Navigate(kGoToEnd);
        copy.Navigate(kGoToPly, copy.pathLength() / 2);
        copy.TakeBack(TakeBackKind::User);
    }
    GameFileText(game, GameFileForm::Send);
    return 0;
}
