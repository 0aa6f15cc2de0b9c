// marovin-tool perft DEPTH [FEN]: leaf nodes of the legal-move tree; the last line is the
// number alone.
#include <string>

#include "model/perft.h"
#include "position_argument.h"

namespace marovin::tool {

namespace {

constexpr int kMaxDepth = 8;

// A depth is a plain decimal number 0..8: no sign, no blanks, no other characters.
std::optional<int> parseDepth(std::string_view text)
{
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    int depth = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        depth = depth * 10 + (c - '0');
    }
    return depth <= kMaxDepth ? std::optional<int>(depth) : std::nullopt;
}

} // namespace

int RunPerft(Arguments arguments, Streams& streams)
{
    const std::string maximum = std::to_string(kMaxDepth);
    if (arguments.empty())
        return Fail(streams, kExitBadInput, "perft needs a DEPTH (0.." + maximum + ")");
    const auto depth = parseDepth(arguments[0]);
    if (!depth)
        return Fail(streams, kExitBadInput,
                    "the depth must be a number from 0 to " + maximum + ", not '" +
                        std::string(arguments[0].substr(0, 20)) + "'");
    const auto position = ReadPositionArgument(arguments.subspan(1), streams);
    if (!position)
        return kExitBadInput;
    streams.out << model::Perft(position->board, position->redToMove, *depth) << "\n";
    return kExitOk;
}

} // namespace marovin::tool
