#include "model/setup.h"

#include "model/move_generator.h"

namespace marovin::model {

namespace {

constexpr int kTypeFirst[7] = {1, 2, 4, 6, 8, 10, 12};

constexpr Piece kBlackGeneral = 1;
constexpr Piece kRedGeneral = 17;
constexpr int kFirstLowerSquare = 45; // rows 5..9

bool upperHalf(int square)
{
    return square < kFirstLowerSquare;
}

// Whether one piece stands where its kind may, given the half that is its own.
bool pieceInPlace(Piece piece, int square, bool ownHalfIsUpper)
{
    const PieceKind kind = KindOf(piece);
    const bool inOwnHalf = upperHalf(square) == ownHalfIsUpper;
    const int row = RowOf(static_cast<Square>(square));
    switch (kind) {
    case PieceKind::Soldier:
        if (!inOwnHalf)
            return true;
        return (ownHalfIsUpper ? row >= 3 : row <= 6) && ColumnOf(static_cast<Square>(square)) % 2 == 0;
    case PieceKind::Elephant:
        return inOwnHalf && (kPalaceElephantMap[square] == 2 || square == 22 || square == 67);
    case PieceKind::Advisor:
        return inOwnHalf && kPalaceElephantMap[square] == 1 && (square % 2 == 1) == ownHalfIsUpper;
    case PieceKind::General:
        return inOwnHalf && kPalaceElephantMap[square] == 1;
    default:
        return true;
    }
}

} // namespace

int PieceTypeLimit(int type)
{
    const int kind = type % 7;
    return kind == 0 ? 1 : kind == 6 ? 5 : 2;
}

int FirstPieceOfType(int type)
{
    return kTypeFirst[type % 7] + (type >= 7 ? 16 : 0);
}

std::string_view SetupMessage(SetupError error)
{
    switch (error) {
    case SetupError::TooManyPieces:
        return "Too many pieces";
    case SetupError::KingNotFound:
        return "King not found";
    case SetupError::PiecePositionError:
        return "Piece position error";
    case SetupError::None:
        break;
    }
    return {};
}

SetupCheck RenumberPieces(Board& board, std::array<Square, 33>& pieceList)
{
    pieceList.fill(kOffBoard);
    int counters[kPieceTypeCount] = {};
    for (int s = 0; s < kSquareCount; ++s) {
        const Piece piece = board[s];
        if (piece == 0)
            continue;
        if (piece > 32) {
            board[s] = 0;
            continue;
        }
        const int type = TypeOf(piece);
        if (counters[type] >= PieceTypeLimit(type))
            return {SetupError::TooManyPieces, s};
        const Piece renumbered = static_cast<Piece>(FirstPieceOfType(type) + counters[type]++);
        board[s] = renumbered;
        pieceList[renumbered] = static_cast<Square>(s);
    }
    return {};
}

SetupCheck ValidateArrangement(const Board& board, const std::array<Square, 33>& pieceList)
{
    const int black = pieceList[kBlackGeneral];
    const int red = pieceList[kRedGeneral];
    if (black >= kSquareCount || red >= kSquareCount)
        return {SetupError::KingNotFound, -1};
    if (upperHalf(black) == upperHalf(red))
        return {SetupError::PiecePositionError, black};
    for (int piece = 1; piece <= 32; ++piece) {
        const int square = pieceList[piece];
        if (square >= kSquareCount || board[square] != piece)
            continue;
        const bool ownHalfIsUpper = upperHalf(SideOf(piece) == kRed ? red : black);
        if (!pieceInPlace(static_cast<Piece>(piece), square, ownHalfIsUpper))
            return {SetupError::PiecePositionError, square};
    }
    return {};
}

bool TurnIfUpsideDown(Board& board, std::array<Square, 33>& pieceList)
{
    const int red = pieceList[kRedGeneral];
    if (red >= kSquareCount || !upperHalf(red))
        return false;
    for (int s = 0; s < kSquareCount / 2; ++s)
        std::swap(board[s], board[89 - s]);
    for (int piece = 1; piece <= 32; ++piece)
        if (pieceList[piece] < kSquareCount)
            pieceList[piece] = static_cast<Square>(89 - pieceList[piece]);
    return true;
}

SetupCheck FinishSetup(Board& board, std::array<Square, 33>& pieceList, std::uint8_t& bottomSide)
{
    SetupCheck check = RenumberPieces(board, pieceList);
    if (check.ok())
        check = ValidateArrangement(board, pieceList);
    if (!check.ok())
        return check;
    if (TurnIfUpsideDown(board, pieceList))
        bottomSide = bottomSide == kRed ? kBlack : kRed;
    return {};
}

} // namespace marovin::model
