#pragma once
// Squares, pieces and moves: how a Chinese-chess position is represented everywhere.
//
//   square = row * 9 + column, 0..89        row 0: Black's back rank (top as stored)
//                                           row 9: Red's back rank (bottom)
//        col 0 1 2 3 4 5 6 7 8              rows 0..4 Black's half, 5..9 Red's half
//   row 0    6 8 4 2 1 3 5 9 7   <- Black   (the opening position, piece numbers)
//   row 9   22 24 20 18 17 19 21 25 23 <- Red
//
// A value of 90 or more is "not on the board"; 90 itself is what is written for a
// captured or absent piece. Piece numbers 1..16 are Black, 17..32 Red, 0 an empty square;
// within a side: general, 2 advisors, 2 elephants, 2 chariots, 2 horses, 2 cannons,
// 5 soldiers.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marovin::model {

using Square = std::uint8_t;
using Piece = std::uint8_t;

constexpr int kSquareCount = 90;
constexpr Square kOffBoard = 90;

// A board holds a piece number (or 0) per square.
using Board = std::array<Piece, kSquareCount>;

// Sides as the tables give them. The user side and bottom side bytes of a game use
// the same coding (1 Red, 0 Black).
constexpr int kBlack = 0;
constexpr int kRed = 1;
constexpr int kNoSide = 2;

enum class PieceKind : std::uint8_t {
    None = 0,
    Soldier = 1,
    Elephant = 2,
    Advisor = 3,
    Horse = 4,
    Cannon = 5,
    Chariot = 6,
    General = 7,
};

// Piece types 0..13: Black general, advisor, elephant, chariot, horse, cannon, soldier,
// then the same for Red (7..13). An empty square has type 0 as well.
constexpr int kPieceTypeCount = 14;

// ---- lookup tables -------------------------------------------------------------

namespace detail {
constexpr std::array<std::uint8_t, kSquareCount> makeRows()
{
    std::array<std::uint8_t, kSquareCount> rows{};
    for (int s = 0; s < kSquareCount; ++s)
        rows[s] = static_cast<std::uint8_t>(s / 9);
    return rows;
}
constexpr std::array<std::uint8_t, kSquareCount> makeColumns()
{
    std::array<std::uint8_t, kSquareCount> columns{};
    for (int s = 0; s < kSquareCount; ++s)
        columns[s] = static_cast<std::uint8_t>(s % 9);
    return columns;
}
} // namespace detail

inline constexpr std::array<std::uint8_t, kSquareCount> kRowOfSquare = detail::makeRows();
inline constexpr std::array<std::uint8_t, kSquareCount> kColumnOfSquare = detail::makeColumns();

inline constexpr std::array<PieceKind, 33> kKindOfPiece = {
    PieceKind::None,
    // Black 1..16
    PieceKind::General, PieceKind::Advisor, PieceKind::Advisor, PieceKind::Elephant, PieceKind::Elephant,
    PieceKind::Chariot, PieceKind::Chariot, PieceKind::Horse, PieceKind::Horse, PieceKind::Cannon,
    PieceKind::Cannon, PieceKind::Soldier, PieceKind::Soldier, PieceKind::Soldier, PieceKind::Soldier,
    PieceKind::Soldier,
    // Red 17..32
    PieceKind::General, PieceKind::Advisor, PieceKind::Advisor, PieceKind::Elephant, PieceKind::Elephant,
    PieceKind::Chariot, PieceKind::Chariot, PieceKind::Horse, PieceKind::Horse, PieceKind::Cannon,
    PieceKind::Cannon, PieceKind::Soldier, PieceKind::Soldier, PieceKind::Soldier, PieceKind::Soldier,
    PieceKind::Soldier};

inline constexpr std::array<std::uint8_t, 33> kTypeOfPiece = {
    0,                                                   // empty
    0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 6, 6, 6,       // Black
    7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 13, 13, 13}; // Red

inline constexpr std::array<std::uint8_t, 33> kSideOfPiece = {
    kNoSide, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1,       1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// The opening position, row by row from row 0.
inline constexpr Board kStandardOpening = {
    6,  8,  4,  2,  1,  3,  5,  9,  7,  //
    0,  0,  0,  0,  0,  0,  0,  0,  0,  //
    0,  10, 0,  0,  0,  0,  0,  11, 0,  //
    12, 0,  13, 0,  14, 0,  15, 0,  16, //
    0,  0,  0,  0,  0,  0,  0,  0,  0,  //
    0,  0,  0,  0,  0,  0,  0,  0,  0,  //
    28, 0,  29, 0,  30, 0,  31, 0,  32, //
    0,  26, 0,  0,  0,  0,  0,  27, 0,  //
    0,  0,  0,  0,  0,  0,  0,  0,  0,  //
    22, 24, 20, 18, 17, 19, 21, 25, 23};

// Piece names by type, Big5, one character each (two bytes and a NUL). The board's
// default piece texts.
extern const char kPieceNames[kPieceTypeCount][3];
// The copy used by the Chinese move notation and the text diagram: Red's chariot differs.
extern const char kNotationPieceNames[kPieceTypeCount][3];

// ---- small accessors ---------------------------------------------------------

constexpr Square SquareOf(int row, int column) { return static_cast<Square>(row * 9 + column); }
// Only valid for squares 0..89.
constexpr int RowOf(Square square) { return kRowOfSquare[square]; }
constexpr int ColumnOf(Square square) { return kColumnOfSquare[square]; }
constexpr bool OnBoard(int square) { return square >= 0 && square < kSquareCount; }

// Piece numbers above 32 are treated as empty by these three.
constexpr PieceKind KindOf(int piece) { return piece >= 0 && piece <= 32 ? kKindOfPiece[piece] : PieceKind::None; }
constexpr int TypeOf(int piece) { return piece >= 0 && piece <= 32 ? kTypeOfPiece[piece] : 0; }
constexpr int SideOf(int piece) { return piece >= 0 && piece <= 32 ? kSideOfPiece[piece] : kNoSide; }

// Red is to move at ply n exactly when the first mover (0 Red, 1 Black) equals n mod 2.
constexpr bool IsRedToMove(int firstMover, int ply) { return firstMover == (ply & 1); }

// ---- moves -------------------------------------------------------------------

// Notation tags kept beside each recorded move.
constexpr std::uint8_t kTagNone = 0;
constexpr std::uint8_t kTagFront = 16;
constexpr std::uint8_t kTagRear = 32;
constexpr std::uint8_t kTagMiddle = 48;

// The two move counts of a position, as a FEN gives them.
struct MoveCounts {
    int halfMoves = 0; // moves since the last capture
    int fullMove = 1;  // the number of the full move, from 1; it goes up after Black moves
    friend bool operator==(const MoveCounts&, const MoveCounts&) = default;
};

// Four bytes: moving piece, from-square, captured piece, to-square. A piece byte of 90
// or more marks an entry of the move record that is not a move.
struct PackedMove {
    Piece piece = 0;
    Square from = 0;
    Piece captured = 0;
    Square to = 0;

    // The four bytes as one little-endian word (piece in the lowest byte).
    constexpr std::uint32_t word() const
    {
        return std::uint32_t(piece) | std::uint32_t(from) << 8 | std::uint32_t(captured) << 16 |
               std::uint32_t(to) << 24;
    }
    constexpr bool isMove() const { return piece < kOffBoard; }
    friend constexpr bool operator==(const PackedMove&, const PackedMove&) = default;
};

// Two moves are the same move when their from and to squares are equal.
constexpr bool SameMove(const PackedMove& a, const PackedMove& b) { return a.from == b.from && a.to == b.to; }

struct SquarePair {
    Square from = 0;
    Square to = 0;
    friend constexpr bool operator==(const SquarePair&, const SquarePair&) = default;
};

// Reads the coordinate text of a move ("H2-E2": column letter A..I, row digit counted
// from Red's side, "-", destination). Only the first five characters are examined;
// nothing is returned when they do not name two board squares. Reporting a bad text to
// the user is the caller's business.
std::optional<SquarePair> ParseCoordinateMove(std::string_view text);

// The five-character coordinate text of a move between two board squares.
std::string FormatCoordinateMove(Square from, Square to);

// Left-right reflection of a square: row * 9 + (8 - column).
constexpr Square MirrorSquare(Square square)
{
    return static_cast<Square>(square - 2 * ColumnOf(square) + 8);
}

// Moves the piece on from to to and returns the record of it (piece, from, captured, to).
// No legality test.
PackedMove ApplyMove(Board& board, Square from, Square to);
// Applies a recorded move again (uses the squares only).
inline void ApplyMove(Board& board, const PackedMove& move) { ApplyMove(board, move.from, move.to); }
// Undoes a recorded move: the piece goes back, the captured piece (or 0) reappears.
void TakeBackMove(Board& board, const PackedMove& move);

// The notation tag (front, rear, middle or none) of a move leaving from, computed from the
// board before the move: for two or more pieces of the same type on the file.
std::uint8_t ComputeNotationTag(const Board& board, Square from);

} // namespace marovin::model
