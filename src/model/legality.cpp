#include "model/legality.h"

#include "model/game.h"
#include "model/move_generator.h"

namespace marovin::model {

namespace {

constexpr const char* kBugText = "Bug in Legal.c";
constexpr const char* kCheckmatedText = "Checkmated";

// The board window's form of the question: candidates, then the filter only from two
// candidates on. Returns false (after telling the user) when the position cannot be
// examined; the remaining candidates are then left in the generator.
bool answerQuestion(MoveGenerator& generator, DesktopPort& desktop)
{
    if (!generator.generate()) {
        desktop.messageBox(kBugText);
        return false;
    }
    if (generator.count() < 2)
        return true;
    if (generator.capturesGeneral()) {
        desktop.messageBox(kCheckmatedText);
        return false;
    }
    // A missing enemy general is reported once, not once per candidate; the replies of
    // its other pieces still decide the answer.
    if (!generator.filter())
        desktop.messageBox(kBugText);
    return true;
}

} // namespace

bool IsLegalMove(const Board& board, bool redToMove, int from, int to, DesktopPort& desktop)
{
    if (!OnBoard(from))
        return false;
    const bool anyTarget = to == kAnyTarget || to == 255;
    if (!anyTarget && !OnBoard(to))
        return false;
    MoveGenerator generator(board, redToMove);
    if (!answerQuestion(generator, desktop))
        return false;
    for (int i = 0; i < generator.count(); ++i) {
        const SquarePair candidate = generator.candidate(i);
        if (candidate.from == from && (anyTarget || candidate.to == to))
            return true;
    }
    return false;
}

bool FindOnlyMove(const Board& board, bool redToMove, PackedMove& move, DesktopPort& desktop)
{
    MoveGenerator generator(board, redToMove);
    if (!answerQuestion(generator, desktop) || generator.count() != 1)
        return false;
    const SquarePair only = generator.candidate(0);
    move = PackedMove{board[only.from], only.from, board[only.to], only.to};
    return true;
}

bool IsLegalMove(const CGame& game, int from, int to)
{
    return IsLegalMove(game.browsedBoard, game.isRedToMoveBrowsed(), from, to, game.ports().desktop);
}

bool FindOnlyMove(const CGame& game, PackedMove& move)
{
    return FindOnlyMove(game.gameBoard, game.isRedToMoveLive(), move, game.ports().desktop);
}

std::vector<SquarePair> GenerateLegalMoves(const Board& board, bool redToMove)
{
    MoveGenerator generator(board, redToMove);
    if (!generator.generate())
        return {};
    generator.filter();
    std::vector<SquarePair> moves;
    moves.reserve(static_cast<std::size_t>(generator.count()));
    for (int i = 0; i < generator.count(); ++i)
        moves.push_back(generator.candidate(i));
    return moves;
}

bool IsMoveLegal(const Board& board, bool redToMove, int from, int to)
{
    if (!OnBoard(from) || !OnBoard(to))
        return false;
    MoveGenerator generator(board, redToMove);
    if (!generator.isCandidate(Square(from), Square(to)))
        return false;
    Board after = board;
    ApplyMove(after, Square(from), Square(to));
    return !IsGeneralAttacked(after, redToMove);
}

bool IsGeneralAttacked(const Board& board, bool redSide)
{
    const Piece own = redSide ? 17 : 1; // the generals' piece numbers
    int general = 0;
    while (general < kSquareCount && board[general] != own)
        ++general;
    return general == kSquareCount || IsGeneralAttacked(board, redSide, Square(general));
}

bool IsGeneralAttacked(const Board& board, bool redSide, Square general)
{
    if (general >= kSquareCount)
        return true;
    const int enemy = redSide ? kBlack : kRed;
    const auto enemyKind = [&](int square, PieceKind kind) {
        return SideOf(board[square]) == enemy && KindOf(board[square]) == kind;
    };
    const int row = RowOf(Square(general));
    const int column = ColumnOf(Square(general));
    // Lines: the first piece met may be a chariot (or, along the file, the facing
    // general); the second a cannon.
    const int rowSteps[4] = {-1, 1, 0, 0};
    const int columnSteps[4] = {0, 0, -1, 1};
    for (int d = 0; d < 4; ++d) {
        int seen = 0;
        for (int r = row + rowSteps[d], c = column + columnSteps[d]; r >= 0 && r <= 9 && c >= 0 && c <= 8;
             r += rowSteps[d], c += columnSteps[d]) {
            const int square = SquareOf(r, c);
            if (board[square] == 0)
                continue;
            if (seen == 0 && (enemyKind(square, PieceKind::Chariot) ||
                              (columnSteps[d] == 0 && enemyKind(square, PieceKind::General))))
                return true;
            if (seen == 1) {
                if (enemyKind(square, PieceKind::Cannon))
                    return true;
                break;
            }
            ++seen;
        }
    }
    // Horses: two rows and one column away (or the reverse), their leg free.
    const int horseRows[8] = {-2, -2, 2, 2, -1, 1, -1, 1};
    const int horseColumns[8] = {-1, 1, -1, 1, -2, -2, 2, 2};
    for (int i = 0; i < 8; ++i) {
        const int r = row + horseRows[i];
        const int c = column + horseColumns[i];
        if (r < 0 || r > 9 || c < 0 || c > 8 || !enemyKind(SquareOf(r, c), PieceKind::Horse))
            continue;
        const int legRow = horseRows[i] == 2 || horseRows[i] == -2 ? r - horseRows[i] / 2 : r;
        const int legColumn = horseRows[i] == 2 || horseRows[i] == -2 ? c : c - horseColumns[i] / 2;
        if (board[SquareOf(legRow, legColumn)] == 0)
            return true;
    }
    // Soldiers: one step ahead of the general as they advance, or beside it once across the river.
    const int behind = redSide ? -1 : 1; // the side from which an enemy soldier advances onto it
    const auto soldier = [&](int r, int c) {
        return r >= 0 && r <= 9 && c >= 0 && c <= 8 && enemyKind(SquareOf(r, c), PieceKind::Soldier);
    };
    const auto crossed = [&](int r) { return redSide ? r >= 5 : r <= 4; }; // in the general's half
    if (soldier(row + behind, column))
        return true;
    for (int c : {column - 1, column + 1})
        if (soldier(row, c) && crossed(row))
            return true;
    return false;
}

bool IsInCheck(const Board& board, bool redSide)
{
    MoveGenerator opponent(board, !redSide);
    if (opponent.squareOf(redSide ? 17 : 1) >= kSquareCount)
        return true;
    opponent.setTestOnly(true);
    opponent.generate();
    return opponent.capturesGeneral();
}

GameStatus EvaluatePosition(const Board& board, bool redToMove)
{
    if (!GenerateLegalMoves(board, redToMove).empty())
        return GameStatus::Playing;
    return IsInCheck(board, redToMove) ? GameStatus::Checkmate : GameStatus::Stalemate;
}

} // namespace marovin::model
