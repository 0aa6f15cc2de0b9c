// Any bytes as a game file, read plainly and merged; what was read is written back in
// every form and read again: the old and the compact body, and the send form line by line
// as a transfer carries it, must each give back the same record, notes byte for byte.
// Nothing may crash, hang or read past a buffer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/game_file.h"
#include "testkit/offline_game_ports.h"
#include "testkit/send_form.h"

namespace {

using namespace marovin::model;

// The send form read line by line as the receiver reads a transfer.
void readSendForm(CGame*& received, const std::string& text, const GamePorts& ports)
{
    int counter = 0;
    ReadBranches branches;
    for (const std::string& line : marovin::testkit::sendFormGameLines(text, true)) {
        ReadGameLine(received, line, counter, false, branches, ports);
        if (counter < 0)
            return;
        ++counter;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
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

    const std::string compact = GameFileText(game, GameFileForm::New);
    for (const GameFileForm form : {GameFileForm::Old, GameFileForm::New}) {
        CGame copy(ports);
        StringSource written(GameFileText(game, form));
        ReadGame(copy, written, "copy", false);
        if (GameFileText(copy, GameFileForm::New) != compact)
            std::abort(); // what was written reads back the same
        copy.Navigate(kGoToEnd);
        copy.Navigate(kGoToPly, copy.pathLength() / 2);
        copy.TakeBack(TakeBackKind::User);
    }
    CGame receiver(ports);
    CGame* received = &receiver;
    readSendForm(received, GameFileText(game, GameFileForm::Send), ports);
    receiver.Rewind();
    if (GameFileText(receiver, GameFileForm::New) != compact)
        std::abort();
    return 0;
}
