#pragma once
// The game window's navigation controls as operations on its game: go to start, go to
// the end (Refresh Game), one move back or forward, the next or previous alternative, and
// the move scroll bar's requests. Each acts only in the normal mode; the game tells its
// window what to draw.

#include "model/game.h"

namespace marovin::board {

// Shows the start position (the standard opening or the set-up position).
void goToStart(model::CGame& game);

// One move back (delta < 0) or forward (delta >= 0); forward onto a branch asks which.
void stepMove(model::CGame& game, int delta);

// Refresh Game: whether it can act (the game has moves, is in the normal mode, and a
// server game shows an earlier position or a local game is not at the end of its line),
// and the act: the live position, or the end of the followed line.
bool canRefreshGame(const model::CGame& game);
void refreshGame(model::CGame& game);

// The next (delta >= 0) or previous alternative of the branch point that follows the
// shown move, cyclically, showing the position after its first move. When the shown move
// is the first of an alternative and nothing branches after it, its own branch point is
// cycled, so that repeated steps go through all alternatives. Without a choice the
// terminal gets "No Branch" and the box "No Branch!" shows; the answer is false.
bool switchAlternative(model::CGame& game, int delta);

// A request of the move scroll bar, as a navigation command (model::NavigateCommand; ply
// is the thumb's position for kGoToPly and kTrackToPly).
void scrollMoves(model::CGame& game, int command, int ply = 0);

} // namespace marovin::board
