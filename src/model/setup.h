#pragma once
// Validation of a set-up position, on plain boards.
//
// In the position editor pieces are placed with any number of their type; finishing the
// set-up renumbers them in square order (the first found of a type gets the lowest number
// of that type), checks the arrangement against the rules of the game, and turns a board
// that was set up with Red at the top. The same renumbering serves every reader of an
// arrangement (FEN).

#include <array>
#include <cstdint>
#include <string_view>

#include "model/position.h"

namespace marovin::model {

// The most pieces of one type a side may have: general 1, soldier 5, every other type 2.
int PieceTypeLimit(int type);
// The lowest piece number of a type (0..13): general 1/17, advisor 2/18, elephant 4/20,
// chariot 6/22, horse 8/24, cannon 10/26, soldier 12/28.
int FirstPieceOfType(int type);

enum class SetupError : std::uint8_t {
    None,
    TooManyPieces,      // "Too many pieces", at the square of the first piece over the limit
    KingNotFound,       // "King not found", no square
    PiecePositionError, // "Piece position error", at the square of the offending piece
};

struct SetupCheck {
    SetupError error = SetupError::None;
    int square = -1; // the offending square in the board's own orientation, -1 for none
    bool ok() const { return error == SetupError::None; }
    friend bool operator==(const SetupCheck&, const SetupCheck&) = default;
};

// The text the user is shown for an error (empty for None).
std::string_view SetupMessage(SetupError error);

// Gives the pieces on the board the numbers of their types in square order and fills the
// piece list (90 for pieces not on the board). Stops at the first piece over its type's
// limit; the pieces numbered so far keep their new numbers. Squares holding values that
// are not piece numbers (above 32) are emptied.
SetupCheck RenumberPieces(Board& board, std::array<Square, 33>& pieceList);

// Checks a renumbered arrangement: both generals present, in different halves, and every
// piece where its kind may stand (advisors, elephants and generals in their own half on
// their points; soldiers before the river only on the two rows next to it and on even
// columns). A side's own half is the half that holds its general.
SetupCheck ValidateArrangement(const Board& board, const std::array<Square, 33>& pieceList);

// When Red's general is in the upper half, turns the board and the piece list a half turn
// (square s takes the piece of 89 - s) and answers true.
bool TurnIfUpsideDown(Board& board, std::array<Square, 33>& pieceList);

// The board-level steps of finishing a set-up: renumber, validate, turn. bottomSide (1 Red,
// 0 Black) is toggled when the board is turned, so that the screen keeps its picture.
SetupCheck FinishSetup(Board& board, std::array<Square, 33>& pieceList, std::uint8_t& bottomSide);

// Where the board window shows a square: itself with Red at the bottom, 89 minus it otherwise.
constexpr int ScreenSquare(int square, int bottomSide)
{
    return bottomSide == kRed ? square : 89 - square;
}

} // namespace marovin::model
