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
    if (!OnBoard(from) || !OnBoard(to) || SideOf(board[from]) != (redToMove ? kRed : kBlack))
        return false;
    MoveGenerator generator(board, redToMove);
    if (!generator.generate())
        return false;
    bool candidate = false;
    for (int i = 0; i < generator.count() && !candidate; ++i)
        candidate = generator.candidate(i) == SquarePair{Square(from), Square(to)};
    if (!candidate)
        return false;
    Board after = board;
    ApplyMove(after, Square(from), Square(to));
    return !IsInCheck(after, redToMove);
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
