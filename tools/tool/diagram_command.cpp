// marovin-tool diagram FILE [PLY]: the text diagram of the position after PLY moves of a
// game's main line (its end when PLY is omitted), in UTF-8, Red at the bottom.
#include <charconv>
#include <string>

#include "game_file_argument.h"
#include "model/text_diagram.h"
#include "support/big5.h"

namespace marovin::tool {

int RunDiagram(Arguments arguments, Streams& streams)
{
    if (arguments.empty() || arguments.size() > 2)
        return Fail(streams, kExitBadInput, "usage: diagram FILE [PLY]");
    int ply = -1; // the end of the main line
    if (arguments.size() == 2) {
        const std::string_view text = arguments[1];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ply);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() || ply < 0)
            return Fail(streams, kExitBadInput, "diagram: PLY must be a number of moves, 0 or more");
    }
    return RunOnOneGame("diagram", arguments.first(1), streams, [&](model::CGame& game) {
        game.RecomputePathLength(true); // the main line: alternative 0 everywhere
        const int moves = game.pathLength();
        if (ply > moves)
            return Fail(streams, kExitBadInput,
                        "diagram: the main line has only " + std::to_string(moves) + " moves",
                        Place{arguments[0]});
        game.Navigate(model::kGoToPly, ply < 0 ? moves : ply);
        // A reader of a file who plays neither side sees it from Red's side.
        game.bottomSide = model::kRed;
        for (const std::string& row : model::TextDiagram(game))
            streams.out << big5ToUtf8(row) << "\n";
        return kExitOk;
    });
}

} // namespace marovin::tool
