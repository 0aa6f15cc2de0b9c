// marovin-tool fen FILE: the FEN of the position at the end of a game's main line.
#include "game_file_argument.h"
#include "model/fen.h"

namespace marovin::tool {

int RunFen(Arguments arguments, Streams& streams)
{
    if (arguments.size() != 1) {
        streams.err << "marovin-tool: fen needs exactly one FILE\n";
        return kExitBadInput;
    }
    ToolPorts ports(streams.err);
    model::CGame game(ports.ports());
    if (!ReadGameArgument(game, std::string(arguments[0])))
        return kExitBadInput;
    model::Board board = game.startBoard();
    int ply = 0;
    for (const model::MoveEntry* entry : MainLine(game)) {
        if (!entry->isMove())
            continue;
        model::ApplyMove(board, entry->move.from, entry->move.to);
        ++ply;
    }
    streams.out << model::WriteFen(board, model::IsRedToMove(game.firstMover, ply)) << "\n";
    return kExitOk;
}

} // namespace marovin::tool
