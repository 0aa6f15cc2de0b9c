#pragma once
// Move legality, check and mate.
//
// Two families of questions about a position:
//
// - The board window's questions, IsLegalMove and FindOnlyMove. They generate the
//   candidates of the side to move and, only when there are at least two, remove those that
//   leave the mover's general capturable; a single candidate is accepted untested. A
//   position in which the side to move could capture the enemy general is reported with
//   the box "Checkmated"; a side without its general with "Bug in Legal.c". Both answer
//   false then.
// - Plain queries for everything else (the practice server, perft, the command-line
//   tool): GenerateLegalMoves always filters, IsInCheck and EvaluatePosition say how a
//   game stands. They show nothing.
//
// Every question builds its own scratch copy of the board; nothing persists between calls.

#include <vector>

#include "model/position.h"
#include "support/ports.h"

namespace marovin::model {

class CGame;

// The to-square that asks whether a piece has any legal move at all (255 as a byte).
constexpr int kAnyTarget = -1;

// Whether the side to move may move the piece on from to to (or, with to kAnyTarget or
// 255, anywhere). Answers false for squares off the board.
bool IsLegalMove(const Board& board, bool redToMove, int from, int to, DesktopPort& desktop);

// When the side to move has exactly one legal move, fills move (piece, from, captured,
// to) and answers true; otherwise answers false and leaves move alone.
bool FindOnlyMove(const Board& board, bool redToMove, PackedMove& move, DesktopPort& desktop);

// The board window's question on a game: the browsed board, with the side to move of the
// browsed ply. Boxes go to the game's desktop.
bool IsLegalMove(const CGame& game, int from, int to);

// The forced-reply question on a game: the game board (the live position), with the side
// to move of the game ply.
bool FindOnlyMove(const CGame& game, PackedMove& move);

// The legal moves of the side to move, in generation order: every candidate that does
// not leave the mover's general capturable, however many there are. Empty when the side
// has no general on the board.
std::vector<SquarePair> GenerateLegalMoves(const Board& board, bool redToMove);

// Whether the side to move may move the piece on from to to: a candidate of its rules
// that leaves its own general safe. Shows nothing; false for squares off the board.
bool IsMoveLegal(const Board& board, bool redToMove, int from, int to);

// The answer of IsInCheck, found by looking outward from the general (chariot and cannon
// lines, the facing general, horses, soldiers) instead of generating the other side's
// moves; for questions asked once per move of a long game.
bool IsGeneralAttacked(const Board& board, bool redSide);
// The same, for a general known to stand on that square (off the board: attacked).
bool IsGeneralAttacked(const Board& board, bool redSide, Square general);

// Whether the general of the given side is attacked: an enemy piece could capture it, or
// the two generals face each other on an open file. A side without its general on the
// board counts as in check.
bool IsInCheck(const Board& board, bool redSide);

enum class GameStatus {
    Playing,   // the side to move has a legal move
    Checkmate, // no legal move, and in check: the side to move has lost
    Stalemate, // no legal move, not in check: the side to move has lost as well
};

// How the game stands for the side to move. Xiangqi scores both endings as a loss for the
// side that cannot move; they are told apart for the report of the ending.
GameStatus EvaluatePosition(const Board& board, bool redToMove);

} // namespace marovin::model
