#pragma once
// Perft: the number of leaf nodes of the legal-move tree below a position, the standard
// check of a move generator against known counts.

#include <cstdint>

#include "model/position.h"

namespace marovin::model {

// Leaf nodes at the given depth (1 at depth 0). A side without legal moves ends its branch
// early: such a node counts only when the depth is exhausted there.
std::uint64_t Perft(const Board& board, bool redToMove, int depth);

} // namespace marovin::model
