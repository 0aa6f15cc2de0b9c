#pragma once
// The position an engine is asked about, checked by our own rules before it is sent, and
// the engine's variations checked the same way when they come back.
//
//   position fen <start FEN> moves h3e3 h10g8 ...
//
// An engine silently ignores a move list from the first move it cannot play, so a list
// is cut at the first move our rules refuse: what we send is what we believe.

#include <optional>
#include <string>
#include <vector>

#include "engine/uci_move.h"
#include "model/position.h"

namespace marovin::model {
class CGame;
}

namespace marovin::engine {

struct EnginePosition {
    model::Board start{};
    bool redToMove = true;                // side to move at start
    model::MoveCounts counts;             // the start's move counts
    std::vector<model::SquarePair> moves; // played from start
};

struct ResolvedPosition {
    std::string command;    // the "position fen ..." line, without a line end
    model::Board board{};   // the position after the moves kept
    bool redToMove = true;  // side to move there
    std::size_t movesKept = 0;
};

// The browsed position of game as the start of its record and the moves of the line
// shown, so that the engine knows the game's history (repetitions decide many games).
// While a position is being set up, or where the record does not lead to the shown
// board, the shown board alone.
EnginePosition PositionOfBrowsed(const model::CGame& game);

// Checks the start (a position a game may start from) and each move (legal where it is
// played); moves from the first illegal one on are dropped. Nothing, with error saying
// why, when the start is refused.
std::optional<ResolvedPosition> ResolvePosition(const EnginePosition& position, RankBase base,
                                                std::string& error);

// The legal prefix of an engine variation played from board with the given side to move:
// it stops at the first move text that is not a square pair or not legal there.
std::vector<model::SquarePair> ReplayVariation(const model::Board& board, bool redToMove,
                                               const std::vector<std::string>& moves, RankBase base);

// A variation in the Chinese notation (Big5), its moves separated by blanks; at most
// maxMoves of them, the rest left out. The moves must be legal in turn from board.
std::string ChineseVariation(const model::Board& board, const std::vector<model::SquarePair>& moves,
                             std::size_t maxMoves);

// Whether the side to move may play move on board.
bool IsLegalEngineMove(const model::Board& board, bool redToMove, model::SquarePair move);

} // namespace marovin::engine
