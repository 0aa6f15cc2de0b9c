// Reads any bytes as a game file and writes everything this game can be turned into: the
// text record, the text diagram at a few plies, the diagram put into the record, and a
// merge of the game into an empty one. Checks that the diagram rows keep their width and
// that a second merge of the same game adds nothing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/game_file.h"
#include "model/merge.h"
#include "model/text_diagram.h"
#include "model/text_record.h"
#include "testkit/fakes.h"

namespace {

using namespace marovin::model;

void checkDiagram(const TextDiagramRows& rows)
{
    for (const std::string& row : rows) {
        if (row.size() != kDiagramWidth)
            std::abort();
        for (const char c : row)
            if (static_cast<unsigned char>(c) < 0x20)
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    marovin::testkit::FakeTerminal terminal;
    marovin::testkit::FakeDesktop desktop;
    marovin::testkit::FakeClock clock;
    NoGameWindows windows;
    GameSettings settings;
    settings.mergeAppendNotes = size % 2 == 0;
    const GamePorts ports{terminal, desktop, clock, windows, settings};
    CGame game(ports);
    StringSource source(std::string(reinterpret_cast<const char*>(data), size));
    ReadGame(game, source, "fuzz", false);

    StringSink record;
    WriteTextRecord(game, record);

    game.RecomputePathLength(true);
    const int end = game.pathLength();
    for (const int ply : {0, end / 2, end}) {
        game.Navigate(kGoToPly, ply);
        checkDiagram(TextDiagram(game));
    }
    const TextDiagramRows rows = TextDiagram(game);
    const int line = size > 0 ? data[0] : 0;
    const int column = size > 1 ? data[1] : 0;
    for (const auto how : {DiagramInsertion::PushTextRight, DiagramInsertion::MoveTextToNextLine}) {
        const std::string text = InsertDiagram(record.text, line, column, rows, how);
        if (text.size() < record.text.size() + rows.size() * kDiagramWidth)
            std::abort();
    }

    CGame book(ports);
    if (MergeIntoGame(book, game)) {
        const std::string once = GameFileText(book, GameFileForm::Old);
        book.modified = false;
        MergeIntoGame(book, game);
        if (book.modified || GameFileText(book, GameFileForm::Old) != once)
            std::abort();
    }
    return 0;
}
