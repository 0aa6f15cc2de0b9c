#pragma once
// The game window's navigation controls as operations on its game: go to start, go to
// the end (Refresh Game), one move back or forward, the next or previous alternative, and
// the move scroll bar's requests. Each acts only in the normal mode; the game tells its
// window what to draw.

#include <optional>

#include "model/game.h"

namespace marovin::board {

// Where a move stands in the record: entry index of alternative alternative of point (the
// start position: the root's start line, index 0). Valid until the record changes.
struct MoveRef {
    const model::BranchPoint* point = nullptr;
    int alternative = 0;
    int index = 0;
    friend bool operator==(const MoveRef&, const MoveRef&) = default;
};

// Where the record's cursor stands, and the start position.
MoveRef CurrentMoveRef(const model::CGame& game);
MoveRef StartMoveRef(const model::CGame& game);

// The position before ref (one move back, as a step back goes), and the next move on
// ref's line with the main alternative at a branch; nothing at the start or the end.
std::optional<MoveRef> previousMove(const MoveRef& ref);
std::optional<MoveRef> nextMove(const MoveRef& ref);

// Shows the position after the move at target, anywhere in the record: back to where the
// shown path meets target's, then on along target's path, following its alternatives. One
// step is drawn as a step; a longer way is drawn once at its end. Only in the normal mode;
// false when nothing moved (refused, already there, or target not in game's record).
bool goToMove(model::CGame& game, const MoveRef& target);

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

// Shows the position after ply moves of the main line (alternative 0 at every branch,
// which becomes the followed line), drawing once at the end.
void showMainLinePly(model::CGame& game, int ply);

// A request of the move scroll bar, as a navigation command (model::NavigateCommand; ply
// is the thumb's position for kGoToPly and kTrackToPly).
void scrollMoves(model::CGame& game, int command, int ply = 0);

} // namespace marovin::board
