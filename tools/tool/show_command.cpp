// marovin-tool show FILE: the header fields and the main line in the numeric notation.
//
//   Subject: alice.bob.1.2024-03-05
//   Red:     alice (1500)
//   ...
//   1. C2=5
//   1... h8=5
//       # a note on Black's first move
#include <string>

#include "game_file_argument.h"
#include "model/fen.h"
#include "model/numeric_notation.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::tool {

namespace {

void printField(std::ostream& out, std::string_view label, std::string_view big5)
{
    out << label << std::string(label.size() < 9 ? 9 - label.size() : 1, ' ') << big5ToUtf8(big5) << "\n";
}

// A note's lines (CR LF inside), each under its move.
void printNote(std::ostream& out, const model::MoveEntry& entry)
{
    if (!entry.hasNote())
        return;
    std::string_view rest = entry.noteText();
    while (!rest.empty()) {
        const auto end = rest.find("\r\n");
        out << "    # " << big5ToUtf8(rest.substr(0, end)) << "\n";
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
    }
}

} // namespace

int RunShow(Arguments arguments, Streams& streams)
{
    return RunOnOneGame("show", arguments, streams, [&](model::CGame& game) {
        std::ostream& out = streams.out;
        printField(out, "Subject:", fieldText(game.subject));
        printField(
            out, "Red:", std::string(fieldText(game.redName)) + " (" + std::to_string(game.redRating) + ")");
        printField(out, "Black:",
                   std::string(fieldText(game.blackName)) + " (" + std::to_string(game.blackRating) + ")");
        printField(out, "Result:", fieldText(game.result));
        printField(out, "Date:", fieldText(game.date));
        printField(out, "Place:", fieldText(game.place));
        std::string times;
        for (auto value : game.times)
            times += (times.empty() ? "" : " ") + std::to_string(value);
        printField(out, "Time:", times);
        if (game.customPosition)
            printField(out, "Start:", model::StartFen(game));

        int ply = 0;
        for (const model::MoveEntry* entry : MainLine(game)) {
            if (entry->isMove()) {
                const bool red = model::IsRedToMove(game.firstMover, ply);
                const int number = (ply + game.firstMover) / 2 + 1;
                out << number << (red ? ". " : "... ") << big5ToUtf8(model::NumericNotation(*entry)) << "\n";
                ++ply;
            }
            printNote(out, *entry);
        }
        return kExitOk;
    });
}

} // namespace marovin::tool
