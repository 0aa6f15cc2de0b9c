#include "model/fen.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "model/game.h"
#include "model/legality.h"
#include "model/setup.h"

namespace marovin::model {

namespace {

// Letters by kind within a side, in piece-type order: general, advisor, elephant,
// chariot, horse, cannon, soldier.
constexpr std::string_view kLetters = "kabrncp";
constexpr std::string_view kKindNames[7] = {"general", "advisor", "elephant", "chariot",
                                            "horse",   "cannon",  "soldier"};
constexpr std::size_t kMaxQuoted = 24;

// A piece of outside text, safe to put into a message: bounded, non-printing bytes escaped.
std::string quoted(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "'";
    for (std::size_t i = 0; i < text.size() && i < kMaxQuoted; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    if (text.size() > kMaxQuoted)
        out += "...";
    return out + "'";
}

std::string squareName(int square)
{
    return FormatCoordinateMove(static_cast<Square>(square), 0).substr(0, 2);
}

std::string sideName(int side)
{
    return side == kRed ? "Red" : "Black";
}

std::string pieceName(Piece piece)
{
    return sideName(SideOf(piece)) + " " + std::string(kKindNames[TypeOf(piece) % 7]);
}

// The piece type of a FEN letter, or -1.
int typeOfLetter(char letter)
{
    const bool red = letter >= 'A' && letter <= 'Z';
    char lower = red ? static_cast<char>(letter - 'A' + 'a') : letter;
    if (lower == 'e')
        lower = 'b';
    else if (lower == 'h')
        lower = 'n';
    const auto kind = kLetters.find(lower);
    if (kind == std::string_view::npos)
        return -1;
    return static_cast<int>(kind) + (red ? 7 : 0);
}

std::vector<std::string_view> split(std::string_view text, bool (*isSeparator)(char))
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || isSeparator(text[i])) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool isSlash(char c)
{
    return c == '/';
}

std::vector<std::string_view> fields(std::string_view text)
{
    std::vector<std::string_view> out;
    for (std::string_view part : split(text, isBlank))
        if (!part.empty())
            out.push_back(part);
    return out;
}

bool allDigits(std::string_view text)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Places the pieces of the placement field on the board, with the first number of their
// type (renumbering comes later). Returns an error message, empty when all is well.
std::string readPlacement(std::string_view placement, Board& board)
{
    const auto ranks = split(placement, isSlash);
    if (ranks.size() != 10)
        return "the placement has " + std::to_string(ranks.size()) + " ranks; expected 10 separated by '/'";
    for (int row = 0; row < 10; ++row) {
        const std::string where = "rank " + std::to_string(row + 1) + " (counted from Black's side)";
        int column = 0;
        for (char c : ranks[row]) {
            if (c >= '1' && c <= '9') {
                column += c - '0';
            } else {
                const int type = typeOfLetter(c);
                if (type < 0)
                    return "unknown piece letter " + quoted(std::string_view(&c, 1)) + " in " + where;
                if (column < 9)
                    board[SquareOf(row, column)] = static_cast<Piece>(FirstPieceOfType(type));
                ++column;
            }
            if (column > 9)
                return where + " " + quoted(ranks[row]) + " is longer than 9 squares";
        }
        if (column != 9)
            return where + " " + quoted(ranks[row]) + " has " + std::to_string(column) +
                   " squares; expected 9";
    }
    return {};
}

// Says what is wrong with a numbered arrangement, or nothing.
std::string checkArrangement(Board& board)
{
    std::array<Square, 33> list{};
    const SetupCheck numbered = RenumberPieces(board, list);
    if (numbered.error == SetupError::TooManyPieces) {
        const int type = TypeOf(board[numbered.square]);
        return "too many " + pieceName(board[numbered.square]) + "s (at most " +
               std::to_string(PieceTypeLimit(type)) + ")";
    }
    const bool blackGeneral = list[1] < kSquareCount;
    const bool redGeneral = list[17] < kSquareCount;
    if (!blackGeneral || !redGeneral)
        return !blackGeneral && !redGeneral ? "no generals"
               : !redGeneral                ? "no Red general"
                                            : "no Black general";
    if (list[17] < 45)
        return "the Red general is in the upper half; Red's side is at the bottom (the last ranks)";
    const SetupCheck placed = ValidateArrangement(board, list);
    if (placed.ok())
        return {};
    return "the " + pieceName(board[placed.square]) + " on " + squareName(placed.square) +
           " stands where it may not";
}

} // namespace

std::optional<FenPosition> ReadFen(std::string_view text, std::string& error)
{
    const auto parts = fields(text);
    if (parts.size() < 2 || parts.size() > 6) {
        error = "a FEN has 2 to 6 fields (placement, side to move, and up to four more); found " +
                std::to_string(parts.size());
        return std::nullopt;
    }
    FenPosition position;
    error = readPlacement(parts[0], position.board);
    if (error.empty())
        error = checkArrangement(position.board);
    if (!error.empty())
        return std::nullopt;

    const std::string_view side = parts[1];
    if (side == "w" || side == "r" || side == "W" || side == "R") {
        position.redToMove = true;
    } else if (side == "b" || side == "B") {
        position.redToMove = false;
    } else {
        error = "the side to move is " + quoted(side) + "; expected w or r for Red, b for Black";
        return std::nullopt;
    }
    for (std::size_t i = 4; i < parts.size(); ++i) {
        if (!allDigits(parts[i])) {
            error = "field " + std::to_string(i + 1) + " " + quoted(parts[i]) + " is not a move count";
            return std::nullopt;
        }
    }
    // The counts end six fields, or four when both are numbers (some programs leave out
    // the two "-" fields).
    const bool shortForm = parts.size() == 4 && allDigits(parts[2]) && allDigits(parts[3]);
    if (parts.size() == 6 || shortForm) {
        const std::size_t at = parts.size() - 2;
        position.counts.halfMoves = std::stoi(std::string(parts[at]));
        position.counts.fullMove = std::max(1, std::stoi(std::string(parts[at + 1])));
    }
    if (IsInCheck(position.board, !position.redToMove)) {
        const int waiting = position.redToMove ? kBlack : kRed;
        error = sideName(waiting) + " is in check but " + sideName(waiting ^ 1) +
                " is to move (its general could be captured)";
        return std::nullopt;
    }
    error.clear();
    return position;
}

std::string WriteFen(const Board& board, bool redToMove, MoveCounts counts)
{
    std::string text;
    for (int row = 0; row < 10; ++row) {
        if (row > 0)
            text += '/';
        int empty = 0;
        for (int column = 0; column < 9; ++column) {
            const Piece piece = board[SquareOf(row, column)];
            if (piece == 0 || piece > 32) {
                ++empty;
                continue;
            }
            if (empty > 0)
                text += static_cast<char>('0' + empty);
            empty = 0;
            const char letter = kLetters[TypeOf(piece) % 7];
            text += SideOf(piece) == kRed ? static_cast<char>(letter - 'a' + 'A') : letter;
        }
        if (empty > 0)
            text += static_cast<char>('0' + empty);
    }
    text += redToMove ? " w - - " : " b - - ";
    return text + std::to_string(std::max(0, counts.halfMoves)) + " " + std::to_string(std::max(1, counts.fullMove));
}

MoveCounts CountsAfter(MoveCounts start, bool redStarts, const std::vector<PackedMove>& moves)
{
    MoveCounts counts = start;
    bool red = redStarts;
    for (const PackedMove& move : moves) {
        counts.halfMoves = move.captured != 0 ? 0 : counts.halfMoves + 1;
        if (!red)
            ++counts.fullMove;
        red = !red;
    }
    return counts;
}

std::string OpeningFen()
{
    return WriteFen(kStandardOpening, true);
}

bool SetFenPosition(CGame& game, std::string_view text, std::string& error)
{
    const auto position = ReadFen(text, error);
    if (!position)
        return false;
    if (!game.SetStartPosition(position->board, position->redToMove ? 0 : 1)) {
        error = "the position could not be made the game's start";
        return false;
    }
    game.startCounts = position->counts;
    return true;
}

std::string StartFen(const CGame& game)
{
    return WriteFen(game.startBoard(), game.firstMover == 0, game.startCounts);
}

MoveCounts ShownCounts(const CGame& game)
{
    // The moves from the start to the shown position, along the path the cursor follows.
    std::vector<PackedMove> moves;
    const auto wanted = static_cast<std::size_t>(std::max(0, game.browsedPly()));
    for (const BranchPoint* point = &game.root(); point && moves.size() < wanted;) {
        const MoveLine& line = point->followedLine();
        for (const MoveEntry& entry : line.entries)
            if (entry.isMove() && moves.size() < wanted)
                moves.push_back(entry.move);
        point = line.continuation.get();
    }
    return CountsAfter(game.startCounts, game.firstMover == 0, moves);
}

std::string GameFen(const CGame& game)
{
    return WriteFen(game.browsedBoard, game.isRedToMoveBrowsed(), ShownCounts(game));
}

} // namespace marovin::model
