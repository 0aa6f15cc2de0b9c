#include "model/move_generator.h"

namespace marovin::model {

namespace {

constexpr std::array<std::uint8_t, kSquareCount> makePalaceElephantMap()
{
    std::array<std::uint8_t, kSquareCount> map{};
    for (int row : {0, 4, 5, 9})
        for (int column : {2, 6})
            map[SquareOf(row, column)] = 2;
    for (int row : {2, 7})
        for (int column : {0, 8})
            map[SquareOf(row, column)] = 2;
    for (int row : {0, 1, 2, 7, 8, 9})
        for (int column : {3, 4, 5})
            map[SquareOf(row, column)] = 1;
    return map;
}

struct Jump {
    int step;
    int block; // the leg (horse) or eye (elephant) square, relative to the piece
};

constexpr Jump kHorseJumps[] = {{-7, 1}, {11, 1}, {-11, -1}, {7, -1}, {17, 9}, {19, 9}, {-17, -9}, {-19, -9}};
constexpr Jump kElephantJumps[] = {{-20, -10}, {-16, -8}, {16, 8}, {20, 10}};
constexpr int kOrthogonal[] = {1, -1, 9, -9};

constexpr Piece kRedGeneral = 17;
constexpr Piece kBlackGeneral = 1;

int abs(int value)
{
    return value < 0 ? -value : value;
}

// How many squares lie beyond a square in each orthogonal direction, in kOrthogonal order.
std::array<int, 4> stepsToEdges(int square)
{
    const int row = RowOf(static_cast<Square>(square));
    const int column = ColumnOf(static_cast<Square>(square));
    return {8 - column, column, 9 - row, row};
}

} // namespace

const std::array<std::uint8_t, kSquareCount> kPalaceElephantMap = makePalaceElephantMap();

MoveGenerator::MoveGenerator(const Board& board, bool redToMove) : m_board(board), m_redToMove(redToMove)
{
    m_list.fill(kOffBoard);
    for (int s = 0; s < kSquareCount; ++s) {
        const Piece piece = m_board[s];
        if (piece != 0 && piece <= 32)
            m_list[piece] = static_cast<Square>(s);
    }
}

void MoveGenerator::record(int from, int to)
{
    const Piece target = m_board[to];
    if (target != 0) {
        const int opponent = m_redToMove ? kBlack : kRed;
        if (SideOf(target) != opponent)
            return;
        if (target == kBlackGeneral || target == kRedGeneral)
            m_capturesGeneral = true;
    }
    if (!m_testOnly)
        m_candidates[m_count++] = SquarePair{static_cast<Square>(from), static_cast<Square>(to)};
}

// Chariot lines: every empty square, then the piece that stops the walk (the recording
// rule drops it when it is an own piece).
void MoveGenerator::walk(int from, int step, int steps)
{
    int to = from;
    for (int i = 0; i < steps; ++i) {
        to += step;
        record(from, to);
        if (m_board[to] != 0)
            return;
    }
}

// Cannon lines: the empty squares, then over exactly one screen to the first piece beyond.
void MoveGenerator::cannon(int from, int step, int steps)
{
    int to = from;
    int i = 0;
    for (; i < steps; ++i) {
        to += step;
        if (m_board[to] != 0)
            break;
        record(from, to);
    }
    for (++i; i < steps; ++i) {
        to += step;
        if (m_board[to] != 0) {
            record(from, to);
            return;
        }
    }
}

void MoveGenerator::generatePiece(int piece, int from)
{
    const int forward = m_redToMove ? -9 : 9;
    const int palaceCentre = m_redToMove ? 76 : 13;
    switch (KindOf(piece)) {
    case PieceKind::Advisor:
        if (from == palaceCentre) {
            for (const Jump& jump : kElephantJumps)
                record(from, from + jump.block);
        } else {
            record(from, palaceCentre);
        }
        break;
    case PieceKind::Elephant:
        for (const Jump& jump : kElephantJumps) {
            const int to = from + jump.step;
            if (to >= 0 && to < kSquareCount && kPalaceElephantMap[to] != 0 &&
                m_board[from + jump.block] == 0)
                record(from, to);
        }
        break;
    case PieceKind::Chariot: {
        const auto steps = stepsToEdges(from);
        for (int d = 0; d < 4; ++d)
            walk(from, kOrthogonal[d], steps[d]);
        break;
    }
    case PieceKind::Horse:
        for (const Jump& jump : kHorseJumps) {
            const int to = from + jump.step;
            if (to < 0 || to >= kSquareCount)
                continue;
            const int distance = abs(RowOf(static_cast<Square>(to)) - RowOf(static_cast<Square>(from))) +
                                 abs(ColumnOf(static_cast<Square>(to)) - ColumnOf(static_cast<Square>(from)));
            if (distance == 3 && m_board[from + jump.block] == 0)
                record(from, to);
        }
        break;
    case PieceKind::Cannon: {
        const auto steps = stepsToEdges(from);
        for (int d = 0; d < 4; ++d)
            cannon(from, kOrthogonal[d], steps[d]);
        break;
    }
    case PieceKind::Soldier: {
        const int ahead = from + forward;
        if (ahead >= 0 && ahead < kSquareCount)
            record(from, ahead);
        const bool inOwnHalf = (RowOf(static_cast<Square>(from)) >= 5) == m_redToMove;
        if (!inOwnHalf) {
            const int column = ColumnOf(static_cast<Square>(from));
            if (column != 8)
                record(from, from + 1);
            if (column != 0)
                record(from, from - 1);
        }
        break;
    }
    default:
        break;
    }
}

bool MoveGenerator::generateGeneral()
{
    const Piece own = m_redToMove ? kRedGeneral : kBlackGeneral;
    const int from = m_list[own];
    if (from >= kSquareCount)
        return false;
    const int enemy = m_list[own ^ 16];
    if (enemy < kSquareCount && ColumnOf(static_cast<Square>(enemy)) == ColumnOf(static_cast<Square>(from))) {
        const int forward = m_redToMove ? -9 : 9;
        int to = from + forward;
        while (to >= 0 && to < kSquareCount && m_board[to] == 0)
            to += forward;
        if (to == enemy)
            record(from, to);
    }
    for (int step : kOrthogonal) {
        const int to = from + step;
        if (to >= 0 && to < kSquareCount && kPalaceElephantMap[to] == 1)
            record(from, to);
    }
    return true;
}

bool MoveGenerator::isCandidate(Square from, Square to)
{
    m_count = 0;
    m_capturesGeneral = false;
    if (from >= kSquareCount || to >= kSquareCount)
        return false;
    const Piece piece = m_board[from];
    if (SideOf(piece) != (m_redToMove ? kRed : kBlack))
        return false;
    if (KindOf(piece) == PieceKind::General)
        generateGeneral();
    else
        generatePiece(piece, from);
    for (int i = 0; i < m_count; ++i)
        if (m_candidates[i] == SquarePair{from, to})
            return true;
    return false;
}

bool MoveGenerator::generate()
{
    if (!m_testOnly)
        m_count = 0;
    m_capturesGeneral = false;
    const int first = m_redToMove ? 18 : 2;
    for (int piece = first; piece < first + 15; ++piece) {
        const Square from = m_list[piece];
        if (from < kSquareCount)
            generatePiece(piece, from);
    }
    return generateGeneral();
}

PackedMove MoveGenerator::make(Square from, Square to)
{
    const PackedMove move = ApplyMove(m_board, from, to);
    if (move.captured != 0 && move.captured <= 32)
        m_list[move.captured] = kOffBoard;
    if (move.piece != 0 && move.piece <= 32)
        m_list[move.piece] = to;
    return move;
}

void MoveGenerator::unmake(const PackedMove& move)
{
    TakeBackMove(m_board, move);
    if (move.piece != 0 && move.piece <= 32)
        m_list[move.piece] = move.from;
    if (move.captured != 0 && move.captured <= 32)
        m_list[move.captured] = move.to;
}

bool MoveGenerator::filter()
{
    bool opponentGeneralFound = true;
    const bool wasTestOnly = m_testOnly;
    m_testOnly = true;
    const bool savedFlag = m_capturesGeneral;
    int kept = 0;
    for (int i = 0; i < m_count; ++i) {
        const SquarePair candidate = m_candidates[i];
        const PackedMove move = make(candidate.from, candidate.to);
        flipSide();
        opponentGeneralFound = generate() && opponentGeneralFound;
        const bool exposed = m_capturesGeneral;
        flipSide();
        unmake(move);
        if (!exposed)
            m_candidates[kept++] = candidate;
    }
    m_count = kept;
    m_capturesGeneral = savedFlag;
    m_testOnly = wasTestOnly;
    return opponentGeneralFound;
}

} // namespace marovin::model
