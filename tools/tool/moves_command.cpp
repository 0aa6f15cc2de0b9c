// marovin-tool moves [FEN]: the legal moves of the side to move, one coordinate text a line.
#include <algorithm>
#include <string>
#include <vector>

#include "model/legality.h"
#include "position_argument.h"

namespace marovin::tool {

int RunMoves(Arguments arguments, Streams& streams)
{
    const auto position = ReadPositionArgument(arguments, streams);
    if (!position)
        return kExitBadInput;
    std::vector<std::string> texts;
    for (const model::SquarePair& move : model::GenerateLegalMoves(position->board, position->redToMove))
        texts.push_back(model::FormatCoordinateMove(move.from, move.to));
    std::sort(texts.begin(), texts.end());
    for (const std::string& text : texts)
        streams.out << text << "\n";
    return kExitOk;
}

} // namespace marovin::tool
