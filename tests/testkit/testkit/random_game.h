#pragma once
// Random legal games with variations and notes, for the database's tests and benchmarks.

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "model/game.h"
#include "model/legality.h"
#include "model/move_generator.h"

namespace marovin::testkit {

// A random legal move (each as likely as the others), or none: candidates are drawn in
// random order until one leaves the mover's general safe, which is much quicker than
// generating every legal move first.
inline std::optional<model::SquarePair> RandomLegalMove(const model::Board& board, bool redToMove, std::mt19937& random)
{
    model::MoveGenerator generator(board, redToMove);
    if (!generator.generate())
        return std::nullopt;
    std::vector<model::SquarePair> candidates;
    for (int i = 0; i < generator.count(); ++i)
        candidates.push_back(generator.candidate(i));
    while (!candidates.empty()) {
        const std::size_t pick = random() % candidates.size();
        const model::SquarePair move = candidates[pick];
        model::Board after = board;
        model::ApplyMove(after, move.from, move.to);
        if (!model::IsGeneralAttacked(after, redToMove))
            return move;
        candidates[pick] = candidates.back();
        candidates.pop_back();
    }
    return std::nullopt;
}

// Plays up to count random legal moves at the browsed position of game.
inline int PlayRandomMoves(model::CGame& game, std::mt19937& random, int count)
{
    int played = 0;
    for (; played < count; ++played) {
        const auto move = RandomLegalMove(game.browsedBoard, game.isRedToMoveBrowsed(), random);
        if (!move)
            break;
        game.PlayMove(move->from, move->to, model::MoveKind::User);
    }
    return played;
}

struct RandomGameShape {
    int minPlies = 60, maxPlies = 120; // of the main line
    int variations = 2;                // side lines of 2..8 moves, from random points of the main line
    int notePercent = 0;               // chance of a note on a move of the main line
};

// Fills game (a fresh record) with a random game of that shape; returns its main line's length.
inline int MakeRandomGame(model::CGame& game, std::mt19937& random, const RandomGameShape& shape)
{
    const int plies = PlayRandomMoves(
        game, random, shape.minPlies + static_cast<int>(random() % unsigned(shape.maxPlies - shape.minPlies + 1)));
    if (shape.notePercent > 0) {
        game.Rewind();
        game.RecomputePathLength(true);
        for (int ply = 1; ply <= plies; ++ply) {
            game.Navigate(model::kGoToPly, ply);
            if (static_cast<int>(random() % 100) < shape.notePercent)
                game.SetNote("note " + std::to_string(ply) + "\r\nsecond line", false);
        }
    }
    for (int v = 0; v < shape.variations && plies > 2; ++v) {
        game.Rewind();
        game.RecomputePathLength(true);
        game.Navigate(model::kGoToPly, 1 + static_cast<int>(random() % unsigned(plies - 1)));
        PlayRandomMoves(game, random, 2 + static_cast<int>(random() % 7));
    }
    game.Rewind();
    game.RecomputePathLength(true);
    return plies;
}

} // namespace marovin::testkit
