#include "game_window/game_navigation.h"

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

} // namespace

void goToStart(CGame& game)
{
    if (!normal(game))
        return;
    game.Rewind();
    game.updateMoveScroll();
    game.showCurrentNote();
    game.observer().redraw(game);
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
