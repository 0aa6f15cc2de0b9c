// marovin-tool fen FILE: the FEN of the position at the end of a game's main line.
#include "game_file_argument.h"
#include "model/fen.h"

namespace marovin::tool {

int RunFen(Arguments arguments, Streams& streams)
{
    return RunOnOneGame("fen", arguments, streams, [&](model::CGame& game) {
        model::Board board = game.startBoard();
        std::vector<model::PackedMove> moves;
        for (const model::MoveEntry* entry : MainLine(game)) {
            if (!entry->isMove())
                continue;
            model::ApplyMove(board, entry->move.from, entry->move.to);
            moves.push_back(entry->move);
        }
        const int ply = static_cast<int>(moves.size());
        const model::MoveCounts counts = model::CountsAfter(game.startCounts, game.firstMover == 0, moves);
        streams.out << model::WriteFen(board, model::IsRedToMove(game.firstMover, ply), counts) << "\n";
        return kExitOk;
    });
}

} // namespace marovin::tool
