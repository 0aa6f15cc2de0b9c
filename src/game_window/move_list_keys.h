#pragma once
// Walking a game's record with the move list's keys, as plain decisions on the record: the
// move a key goes to from the shown one. The list, and any other place that offers the
// same keys, asks here and then shows the move with goToMove (game_navigation).
//
//   Up / Down          the move before / after the shown one on its line of the list
//                      (at a branch the main alternative goes on: it is the one listed)
//   PageUp / PageDown  ten of those
//   Home               the start position
//   End                the last move of the shown move's line
//   Right              into a variation: from a move that has sibling alternatives, the
//                      next one; from a move that a branch follows, its first variation
//   Left               out of a variation: the move of the line it branched from that it
//                      stands for
//
// A key that cannot move (Up at the start, Down at a line's end, Left on the main line)
// gives nothing.

#include <optional>

#include "game_window/game_navigation.h"
#include "model/game.h"

namespace marovin::board {

enum class MoveListKey { Up, Down, PageUp, PageDown, Home, End, Left, Right };

// How far PageUp and PageDown go.
constexpr int kMoveListPageSteps = 10;

// The move key goes to from the shown move of game, or nothing.
std::optional<MoveRef> moveListKeyTarget(const model::CGame& game, MoveListKey key);

} // namespace marovin::board
