#pragma once
// The scratch record behind every legality question: a copy of a board, a piece list built
// from it, the side to move, and the candidate moves of that side.
//
// Candidates are generated with the rules of Chinese chess but without looking at the
// mover's own general: a candidate may leave it capturable. Filtering does that second
// step by making each candidate and generating the opponent's replies. Nothing persists
// between questions; each one builds its own MoveGenerator from a board.

#include <array>
#include <cstdint>

#include "model/position.h"

namespace marovin::model {

class MoveGenerator {
public:
    // Every candidate of one side fits: two chariots and two cannons 17 each, two horses
    // 8 each, advisors 8, elephants 8, five soldiers 3 each and the general 5 make 120.
    static constexpr int kMaxCandidates = 128;

    // Copies the board and builds the piece list (piece numbers above 32 are not listed;
    // they only block). redToMove picks the side whose candidates generate() makes.
    MoveGenerator(const Board& board, bool redToMove);

    // Generates the candidates of the side to move in the fixed order (the fifteen pieces
    // after the general in number order, then the general). Clears the list and the
    // captures-general flag first (in test-only mode the list is left alone). Returns false, after the
    // fifteen pieces, when the side's own general is not on the board (the general's moves are then missing).
    bool generate();

    // Removes every candidate after which the opponent could capture the mover's general
    // (including by facing generals on an open file). The order of the rest is kept.
    // Returns false when the opponent's general was missing while its replies were made
    // (its other pieces still count).
    bool filter();

    // Whether from -> to is a candidate of the side to move: the piece on from is its own
    // and the rules let it go there (its general may be left capturable). Generates the
    // moves of that one piece only; the candidate list then holds them.
    bool isCandidate(Square from, Square to);

    // Makes a move on the scratch board and piece list; returns the record to unmake it.
    PackedMove make(Square from, Square to);
    void unmake(const PackedMove& move);
    void flipSide() { m_redToMove = !m_redToMove; }

    // In test-only mode candidates are not recorded; only the captures-general flag moves.
    void setTestOnly(bool testOnly) { m_testOnly = testOnly; }

    int count() const { return m_count; }
    SquarePair candidate(int index) const { return m_candidates[index]; }
    // True when a generated candidate lands on a general.
    bool capturesGeneral() const { return m_capturesGeneral; }
    bool redToMove() const { return m_redToMove; }
    const Board& board() const { return m_board; }
    // The square of a piece, kOffBoard when it is not on the board.
    Square squareOf(int piece) const { return m_list[piece]; }

private:
    void record(int from, int to);
    void walk(int from, int step, int steps);
    void cannon(int from, int step, int steps);
    void generatePiece(int piece, int from);
    bool generateGeneral();

    Board m_board;
    std::array<Square, 33> m_list;
    bool m_redToMove;
    bool m_capturesGeneral = false;
    bool m_testOnly = false;
    int m_count = 0;
    std::array<SquarePair, kMaxCandidates> m_candidates;
};

// The palace-and-elephant map: 1 on the palace squares, 2 on the elephant points outside
// the palaces, 0 elsewhere.
extern const std::array<std::uint8_t, kSquareCount> kPalaceElephantMap;

} // namespace marovin::model
