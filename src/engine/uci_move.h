#pragma once
// Moves as an engine's UCI text writes them, and the two numbering conventions of ranks.
//
//   h3e3      file letter a..i from Red's left, rank counted from Red's back rank
//   h10g8     engines that count ranks 1..10 (Red's back rank is 1)
//   h9g7      engines that count ranks 0..9 (Red's back rank is 0)
//
// A move is 4 to 6 bytes. Both forms are kept apart from the game's own "H2-E2" text.

#include <optional>
#include <string>
#include <string_view>

#include "model/position.h"

namespace marovin::engine {

// The number of Red's back rank in the engine's move text.
enum class RankBase : int { FromZero = 0, FromOne = 1 };

// The engine text of a move between two board squares.
std::string FormatUciMove(model::SquarePair move, RankBase base);

// Reads an engine move ("h3e3", "h10g8"); nothing when the text is not exactly two board
// squares in the given numbering. A promotion letter or anything else after them is refused.
std::optional<model::SquarePair> ParseUciMove(std::string_view text, RankBase base);

} // namespace marovin::engine
