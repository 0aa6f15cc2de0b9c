#include "model/perft.h"

#include "model/move_generator.h"

namespace marovin::model {

namespace {

// Works on one scratch record throughout; each level keeps its own copy of its moves
// because the deeper levels reuse the generator's list.
std::uint64_t countLeaves(MoveGenerator& generator, int depth)
{
    if (!generator.generate())
        return 0;
    generator.filter();
    const int count = generator.count();
    if (depth == 1)
        return static_cast<std::uint64_t>(count);

    std::array<SquarePair, MoveGenerator::kMaxCandidates> moves;
    for (int i = 0; i < count; ++i)
        moves[i] = generator.candidate(i);
    std::uint64_t leaves = 0;
    for (int i = 0; i < count; ++i) {
        const PackedMove move = generator.make(moves[i].from, moves[i].to);
        generator.flipSide();
        leaves += countLeaves(generator, depth - 1);
        generator.flipSide();
        generator.unmake(move);
    }
    return leaves;
}

} // namespace

std::uint64_t Perft(const Board& board, bool redToMove, int depth)
{
    if (depth <= 0)
        return 1;
    MoveGenerator generator(board, redToMove);
    return countLeaves(generator, depth);
}

} // namespace marovin::model
