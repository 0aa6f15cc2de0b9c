// marovin-tool fen FILE: the FEN of the position at the end of a game's main line.
#include "game_file_argument.h"
#include "model/fen.h"

namespace marovin::tool {

int RunFen(Arguments arguments, Streams& streams)
{
    return RunOnOneGame("fen", arguments, streams, [&](model::CGame& game) {
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
    });
}

} // namespace marovin::tool
