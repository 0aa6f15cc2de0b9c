#include "model/position.h"

namespace marovin::model {

// Big5 bytes of the piece names, in type order (Black general .. soldier, Red general .. soldier).
const char kPieceNames[kPieceTypeCount][3] = {
    "\xB1\x4E", // general (Black)
    "\xA4\x68", // advisor
    "\xB6\x48", // elephant
    "\xA8\xAE", // chariot
    "\xB0\xA8", // horse
    "\xA5\x5D", // cannon (Black)
    "\xA8\xF2", // soldier (Black)
    "\xAB\xD3", // general (Red)
    "\xA5\x4B", // advisor (Red)
    "\xAC\xDB", // elephant (Red)
    "\xA8\xAE", // chariot
    "\xD8\x58", // horse (Red)
    "\xAC\xB6", // cannon (Red)
    "\xA7\x4C", // soldier (Red)
};

const char kNotationPieceNames[kPieceTypeCount][3] = {
    "\xB1\x4E", "\xA4\x68", "\xB6\x48", "\xA8\xAE", "\xB0\xA8", "\xA5\x5D", "\xA8\xF2",
    "\xAB\xD3", "\xA5\x4B", "\xAC\xDB",
    "\xDA\xCF", // chariot (Red) in the notation
    "\xD8\x58", "\xAC\xB6", "\xA7\x4C",
};

namespace {

// A column letter and a row digit name a square; anything else does not.
std::optional<Square> parseSquare(char letter, char digit)
{
    if (letter < 'A' || letter > 'I' || digit < '0' || digit > '9')
        return std::nullopt;
    return SquareOf(9 - (digit - '0'), letter - 'A');
}

} // namespace

std::optional<SquarePair> ParseCoordinateMove(std::string_view text)
{
    if (text.size() < 5 || text[2] != '-')
        return std::nullopt;
    const auto from = parseSquare(text[0], text[1]);
    const auto to = parseSquare(text[3], text[4]);
    if (!from || !to)
        return std::nullopt;
    return SquarePair{*from, *to};
}

std::string FormatCoordinateMove(Square from, Square to)
{
    std::string text(5, '-');
    text[0] = static_cast<char>('A' + ColumnOf(from));
    text[1] = static_cast<char>('9' - RowOf(from));
    text[3] = static_cast<char>('A' + ColumnOf(to));
    text[4] = static_cast<char>('9' - RowOf(to));
    return text;
}

PackedMove ApplyMove(Board& board, Square from, Square to)
{
    const PackedMove move{board[from], from, board[to], to};
    board[from] = 0;
    board[to] = move.piece;
    return move;
}

void TakeBackMove(Board& board, const PackedMove& move)
{
    board[move.from] = move.piece;
    board[move.to] = move.captured;
}

std::uint8_t ComputeNotationTag(const Board& board, Square from)
{
    const Piece piece = board[from];
    const PieceKind kind = KindOf(piece);
    if (kind == PieceKind::Elephant || kind == PieceKind::Advisor || kind == PieceKind::General ||
        kind == PieceKind::None)
        return kTagNone;

    // Walk the file from row 0 to row 9, counting pieces of the same type (j) and noting
    // where the moving one stands among them (e, 1-based). This runs for every move added
    // to a record, so the walk is one load and no branch per square: pieces of one type
    // have consecutive numbers, and a single unsigned compare tests the range (empty
    // squares and stray values fall outside it).
    struct Range {
        std::uint8_t first, span;
    };
    static constexpr std::array<Range, 33> kTypeRange = [] {
        std::array<Range, 33> ranges{};
        for (int p = 1; p <= 32; ++p) {
            int first = p;
            while (first > 1 && TypeOf(first - 1) == TypeOf(p))
                --first;
            int last = p;
            while (last < 32 && TypeOf(last + 1) == TypeOf(p))
                ++last;
            ranges[static_cast<std::size_t>(p)] = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(last - first)};
        }
        return ranges;
    }();
    const int first = kTypeRange[piece].first;
    const unsigned span = kTypeRange[piece].span;
    const Piece* file = board.data() + ColumnOf(from);
    const int fromRow = RowOf(from);
    int j = 0;
    int e = 0;
#pragma GCC unroll 10
    for (int row = 0; row < 10; ++row) {
        const int same = static_cast<unsigned>(file[row * 9] - first) <= span ? 1 : 0;
        j += same;
        e += row <= fromRow ? same : 0;
    }
    if (j < 2)
        return kTagNone;
    // For Red the piece nearest row 0 is the front one; for Black the one nearest row 9.
    if (piece <= 16)
        e = j - e + 1;
    if (e == j)
        return kTagRear;
    if (e == 1)
        return kTagFront;
    return kTagMiddle;
}

} // namespace marovin::model
