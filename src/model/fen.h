#pragma once
// Positions as Xiangqi FEN text.
//
//   rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1
//   `- ten ranks from Black's back rank, '/' between, digits count empty squares
//                                                               `- side to move
//
// Red in upper case, Black in lower case: K general, A advisor, B elephant, N horse,
// R chariot, C cannon, P soldier. Reading also takes E for the elephant and H for the horse;
// writing uses the first set. The side is "w" or "r" for Red, "b" for Black. The last two
// of the six fields count moves: the half-moves since the last capture and the number of
// the full move (it goes up after each Black move). Reading takes them from six fields,
// or from four when the last two are numbers ("w 0 1"); they are 0 and 1 when missing.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/position.h"

namespace marovin::model {

class CGame;

struct FenPosition {
    Board board{}; // pieces numbered per type in square order, as a record needs them
    bool redToMove = true;
    MoveCounts counts;
    friend bool operator==(const FenPosition&, const FenPosition&) = default;
};

// Reads a FEN position. A position a game cannot start from is refused with a message
// saying what is wrong: a wrong number of fields, an unknown letter, a rank of the wrong
// length or a wrong number of ranks, too many pieces of a type, a missing general, a
// piece where its kind may not stand, or a side to move that could capture the other
// general. On failure error holds the message and nothing is returned.
std::optional<FenPosition> ReadFen(std::string_view text, std::string& error);

// The FEN of a board ("w" or "b" for the side, "- -", then the counts). Squares holding
// values that are not piece numbers are written as empty.
std::string WriteFen(const Board& board, bool redToMove, MoveCounts counts = {});

// The counts after the moves of a record, played from a start whose counts and side to
// move are given: the full move goes up after each Black move, the half-moves count from
// the last capture (from the start's own count while there was none).
MoveCounts CountsAfter(MoveCounts start, bool redStarts, const std::vector<PackedMove>& moves);

// The FEN of the opening position with Red to move.
std::string OpeningFen();

// Makes a FEN position the game's custom start position (its moves are deleted), with
// its move counts. On a bad text error says why and the game is left as it was.
bool SetFenPosition(CGame& game, std::string_view text, std::string& error);

// The FEN of the game's start position, with the start's counts.
std::string StartFen(const CGame& game);
// The move counts of the position the game shows, from the start's along the path to it.
MoveCounts ShownCounts(const CGame& game);
// The FEN of the position the game shows (the browsed board, its side to move and the
// counts of the moves that lead there).
std::string GameFen(const CGame& game);

} // namespace marovin::model
