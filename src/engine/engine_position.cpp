#include "engine/engine_position.h"

#include <algorithm>

#include "model/fen.h"
#include "model/game.h"
#include "model/legality.h"
#include "model/move_notation.h"

namespace marovin::engine {

bool IsLegalEngineMove(const model::Board& board, bool redToMove, model::SquarePair move)
{
    // Every info line's variation is checked move by move: one move's test, not all moves.
    return model::IsMoveLegal(board, redToMove, move.from, move.to);
}

EnginePosition PositionOfBrowsed(const model::CGame& game)
{
    EnginePosition position;
    position.start = game.startBoard();
    position.redToMove = game.firstMover == 0;
    position.counts = game.startCounts;
    position.moves = game.browsedMoves();
    model::Board reached = position.start;
    for (const model::SquarePair move : position.moves)
        model::ApplyMove(reached, move.from, move.to);
    const bool redToMoveReached = (position.moves.size() % 2 == 0) == position.redToMove;
    if (game.mode == model::kModeEditing || reached != game.browsedBoard ||
        redToMoveReached != game.isRedToMoveBrowsed())
        return EnginePosition{game.browsedBoard, game.isRedToMoveBrowsed(), model::ShownCounts(game), {}};
    return position;
}

std::optional<ResolvedPosition> ResolvePosition(const EnginePosition& position, RankBase base,
                                                std::string& error)
{
    // Reading our own FEN back runs the start-position checks (generals present, piece
    // counts, pieces on their points, the side to move cannot capture a general).
    const std::string fen = model::WriteFen(position.start, position.redToMove, position.counts);
    if (!model::ReadFen(fen, error))
        return std::nullopt;
    ResolvedPosition resolved;
    resolved.board = position.start;
    resolved.redToMove = position.redToMove;
    resolved.command = "position fen " + fen;
    for (const model::SquarePair move : position.moves) {
        if (!IsLegalEngineMove(resolved.board, resolved.redToMove, move))
            break;
        resolved.command += resolved.movesKept == 0 ? " moves " : " ";
        resolved.command += FormatUciMove(move, base);
        model::ApplyMove(resolved.board, move.from, move.to);
        resolved.redToMove = !resolved.redToMove;
        ++resolved.movesKept;
    }
    return resolved;
}

std::vector<model::SquarePair> ReplayVariation(const model::Board& board, bool redToMove,
                                               const std::vector<std::string>& moves, RankBase base)
{
    std::vector<model::SquarePair> line;
    model::Board scratch = board;
    bool red = redToMove;
    for (const std::string& text : moves) {
        const auto move = ParseUciMove(text, base);
        if (!move || !IsLegalEngineMove(scratch, red, *move))
            break;
        line.push_back(*move);
        model::ApplyMove(scratch, move->from, move->to);
        red = !red;
    }
    return line;
}

std::string ChineseVariation(const model::Board& board, const std::vector<model::SquarePair>& moves,
                             std::size_t maxMoves)
{
    std::string text;
    model::Board scratch = board;
    for (std::size_t i = 0; i < moves.size() && i < maxMoves; ++i) {
        const model::SquarePair move = moves[i];
        if (!text.empty())
            text += ' ';
        text += model::RecordMoveText(scratch, move.from, move.to);
        model::ApplyMove(scratch, move.from, move.to);
    }
    return text;
}

} // namespace marovin::engine
