#include "game_window/game_navigation.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace marovin::board {

namespace {

using model::CGame;

bool normal(const CGame& game)
{
    return game.mode == model::kModeNormal;
}

bool isServerGame(const CGame& game)
{
    return game.participation <= model::kPlaying;
}

// Ends a change made with per-move drawing suppressed: the path, the scroll bar, the note
// and the whole board are brought up to date once.
void finishQuietChange(CGame& game)
{
    game.mode = model::kModeNormal;
    game.RecomputePathLength(false);
    game.updateMoveScroll();
    game.showCurrentNote();
    game.observer().redraw(game);
}

int wrapped(int index, int count)
{
    return (index % count + count) % count;
}

using model::BranchPoint;
using model::MoveLine;

const MoveLine& lineOf(const MoveRef& ref)
{
    return ref.point->alternatives[static_cast<std::size_t>(ref.alternative)];
}

// The way from the root down to a move: each branch point and the alternative taken.
struct MovePath {
    std::vector<std::pair<const BranchPoint*, int>> steps; // the root first
    int ply = 0; // moves played when the move stands shown

    // Whether ref lies on the way, at or before its end.
    bool leadsThrough(const MoveRef& ref, const MoveRef& end) const
    {
        for (std::size_t k = 0; k < steps.size(); ++k)
            if (steps[k].first == ref.point && steps[k].second == ref.alternative)
                return k + 1 < steps.size() || ref.index <= end.index;
        return false;
    }
    // The alternative the way takes at point.
    int alternativeAt(const BranchPoint* point) const
    {
        for (const auto& [at, alternative] : steps)
            if (at == point)
                return alternative;
        return 0;
    }
};

std::optional<MovePath> pathTo(const CGame& game, const MoveRef& target)
{
    if (!target.point || target.alternative < 0 || target.alternative >= target.point->count() ||
        target.index < 0 || target.index >= lineOf(target).count())
        return std::nullopt;
    MovePath path;
    path.steps.emplace_back(target.point, target.alternative);
    for (const BranchPoint* point = target.point; point->parent; point = point->parent) {
        const int alternative = model::AlternativeHolding(*point);
        if (alternative < 0)
            return std::nullopt;
        path.steps.emplace_back(point->parent, alternative);
    }
    if (path.steps.back().first != &game.root())
        return std::nullopt;
    std::reverse(path.steps.begin(), path.steps.end());
    // The start line's marker is no move: plies count from the lines below it.
    if (target.point != &game.root()) {
        path.ply = target.index + 1;
        for (std::size_t k = 1; k + 1 < path.steps.size(); ++k)
            path.ply += path.steps[k].first->alternatives[static_cast<std::size_t>(path.steps[k].second)].count();
    }
    return path;
}

// Steps forward along path from the cursor, which stands on it, until the target ply.
void followPath(CGame& game, const MovePath& path)
{
    while (game.browsedPly() < path.ply) {
        const int before = game.browsedPly();
        const int left = game.currentLine().count() - 1 - game.indexInLine();
        if (left > 0) {
            game.Navigate(model::kGoToPly, std::min(path.ply, before + left));
        } else if (const BranchPoint* next = game.currentLine().continuation.get()) {
            game.FollowAlternative(path.alternativeAt(next));
            game.PlayMove(0, 0, model::MoveKind::Replay);
        }
        if (game.browsedPly() <= before)
            return; // the record did not go on as the path says
    }
}

} // namespace

MoveRef CurrentMoveRef(const CGame& game)
{
    const BranchPoint& point = game.currentBranchPoint();
    return MoveRef{&point, point.followed, game.indexInLine()};
}

MoveRef StartMoveRef(const CGame& game)
{
    return MoveRef{&game.root(), 0, 0};
}

std::optional<MoveRef> previousMove(const MoveRef& ref)
{
    if (ref.index > 0)
        return MoveRef{ref.point, ref.alternative, ref.index - 1};
    const int holder = model::AlternativeHolding(*ref.point);
    if (holder < 0)
        return std::nullopt; // the start position
    const MoveLine& line = ref.point->parent->alternatives[static_cast<std::size_t>(holder)];
    return MoveRef{ref.point->parent, holder, line.count() - 1};
}

std::optional<MoveRef> nextMove(const MoveRef& ref)
{
    const MoveLine& line = lineOf(ref);
    if (ref.index + 1 < line.count())
        return MoveRef{ref.point, ref.alternative, ref.index + 1};
    const BranchPoint* x = line.continuation.get();
    if (!x || x->alternatives.empty() || x->alternatives[0].count() == 0)
        return std::nullopt;
    return MoveRef{x, 0, 0};
}

bool goToMove(CGame& game, const MoveRef& target)
{
    if (!normal(game))
        return false;
    const std::optional<MovePath> path = pathTo(game, target);
    const MoveRef shown = CurrentMoveRef(game);
    if (!path || shown == target)
        return false;
    // Back to where the shown path meets target's; the rest is forward.
    int back = 0;
    for (MoveRef at = shown; !path->leadsThrough(at, target); ++back) {
        const std::optional<MoveRef> before = previousMove(at);
        if (!before)
            return false;
        at = *before;
    }
    const int forward = path->ply - (game.browsedPly() - back);
    const bool quiet = back + forward > 1;
    if (quiet)
        game.mode = model::kModeBusy;
    for (int i = 0; i < back; ++i)
        game.TakeBack(model::TakeBackKind::User, !quiet);
    followPath(game, *path);
    if (quiet)
        finishQuietChange(game);
    return true;
}

void goToStart(CGame& game)
{
    if (!normal(game))
        return;
    game.Rewind();
    game.updateMoveScroll();
    game.showCurrentNote();
    game.observer().redraw(game);
}

void showMainLinePly(CGame& game, int ply)
{
    if (!normal(game))
        return;
    game.mode = model::kModeBusy;
    game.Rewind();
    game.RecomputePathLength(true);
    game.Navigate(model::kGoToPly, ply);
    finishQuietChange(game);
}

void stepMove(CGame& game, int delta)
{
    if (normal(game))
        game.Navigate(delta < 0 ? model::kStepBack : model::kStepForward);
}

bool canRefreshGame(const CGame& game)
{
    if (game.pathLength() == 0 || !normal(game))
        return false;
    if (isServerGame(game))
        return !game.isBrowsingLive();
    return game.browsedPly() < game.pathLength();
}

void refreshGame(CGame& game)
{
    if (canRefreshGame(game))
        game.GoToLive();
}

bool switchAlternative(CGame& game, int delta)
{
    if (!normal(game))
        return false;
    const int step = delta >= 0 ? 1 : -1;
    const model::MoveLine& line = game.currentLine();
    const model::BranchPoint* following =
        game.indexInLine() == line.count() - 1 ? line.continuation.get() : nullptr;
    const model::BranchPoint& own = game.currentBranchPoint();
    const bool cycleOwn = game.browsedPly() > 0 && game.indexInLine() == 0 && own.count() > 1;
    if (following && following->count() > 1) {
        game.mode = model::kModeReading;
        game.FollowAlternative(wrapped(following->followed + step, following->count()));
    } else if (cycleOwn) {
        const int next = wrapped(own.followed + step, own.count());
        game.mode = model::kModeReading;
        game.TakeBack(model::TakeBackKind::User);
        game.FollowAlternative(next);
    } else {
        game.ports().terminal.writeClientText("No Branch", true);
        game.ports().desktop.messageBox("No Branch!");
        return false;
    }
    game.PlayMove(0, 0, model::MoveKind::Replay);
    finishQuietChange(game);
    return true;
}

void scrollMoves(CGame& game, int command, int ply)
{
    if (normal(game))
        game.Navigate(command, ply);
}

} // namespace marovin::board
