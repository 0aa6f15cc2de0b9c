#include "game_window/move_list_keys.h"

#include <limits>

namespace marovin::board {

using model::BranchPoint;
using model::MoveLine;

namespace {

const MoveLine& lineOf(const MoveRef& ref)
{
    return ref.point->alternatives[static_cast<std::size_t>(ref.alternative)];
}

std::optional<MoveRef> steps(MoveRef ref, int count, std::optional<MoveRef> (*step)(const MoveRef&))
{
    bool moved = false;
    for (int i = 0; i < count; ++i) {
        const std::optional<MoveRef> next = step(ref);
        if (!next)
            break;
        ref = *next;
        moved = true;
    }
    return moved ? std::optional<MoveRef>(ref) : std::nullopt;
}

std::optional<MoveRef> intoVariation(const MoveRef& ref)
{
    const BranchPoint& point = *ref.point;
    if (ref.index == 0 && point.parent && ref.alternative + 1 < point.count())
        return MoveRef{&point, ref.alternative + 1, 0};
    const MoveLine& line = lineOf(ref);
    const BranchPoint* x = line.continuation.get();
    if (ref.index == line.count() - 1 && x && x->count() > 1 && x->alternatives[1].count() > 0)
        return MoveRef{x, 1, 0};
    return std::nullopt;
}

std::optional<MoveRef> outOfVariation(const MoveRef& ref)
{
    // Up the record to the branch point where the shown move's line of the list began.
    const BranchPoint* point = ref.point;
    int alternative = ref.alternative;
    while (point) {
        if (alternative != 0 && point->count() > 1 && point->alternatives[0].count() > 0)
            return MoveRef{point, 0, 0};
        alternative = model::AlternativeHolding(*point);
        point = alternative >= 0 ? point->parent : nullptr;
    }
    return std::nullopt;
}

} // namespace

std::optional<MoveRef> moveListKeyTarget(const model::CGame& game, MoveListKey key)
{
    const MoveRef shown = CurrentMoveRef(game);
    switch (key) {
    case MoveListKey::Up: return previousMove(shown);
    case MoveListKey::Down: return nextMove(shown);
    case MoveListKey::PageUp: return steps(shown, kMoveListPageSteps, previousMove);
    case MoveListKey::PageDown: return steps(shown, kMoveListPageSteps, nextMove);
    case MoveListKey::Home: return shown == StartMoveRef(game) ? std::nullopt : std::optional(StartMoveRef(game));
    case MoveListKey::End: return steps(shown, std::numeric_limits<int>::max(), nextMove);
    case MoveListKey::Left: return outOfVariation(shown);
    case MoveListKey::Right: return intoVariation(shown);
    }
    return std::nullopt;
}

} // namespace marovin::board
