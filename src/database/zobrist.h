#pragma once
// Position keys: 64-bit Zobrist hashes of a board and its side to move.
//
// A key depends on what stands where (side and kind of each piece, not its number) and on
// who moves, so the same position reached in any move order, with either of two equal
// pieces, has the same key. The keys are stored in database files: the table they come
// from (splitmix64 from seed 0x4d61726f76696e21) must never change.

#include <array>
#include <cstdint>

#include "model/position.h"

namespace marovin::database {

using PositionKey = std::uint64_t;

namespace detail {
struct ZobristTable {
    std::array<std::array<std::uint64_t, model::kSquareCount>, 33> piece{}; // by piece number, 0 = empty
    std::uint64_t blackToMove = 0;
};
extern const ZobristTable kZobrist;
} // namespace detail

// The key of a whole position.
PositionKey ZobristKey(const model::Board& board, bool redToMove);

// The key after a move, from the key before it and the board before it (no legality test).
inline PositionKey ZobristAfterMove(PositionKey key, const model::Board& before, model::Square from,
                                    model::Square to)
{
    const auto& z = detail::kZobrist;
    return key ^ z.piece[before[from]][from] ^ z.piece[before[from]][to] ^ z.piece[before[to]][to] ^
           z.blackToMove;
}

} // namespace marovin::database
