#include "frame/board_clearance.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "frame/main_frame.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "model/game.h"

namespace marovin::windows {

namespace {

QPoint clampedInto(QPoint place, const QSize& size, const QRect& area)
{
    place.setX(std::clamp(place.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    place.setY(std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    return place;
}

long long coveredArea(const QRect& window, const std::vector<QRect>& boards)
{
    long long covered = 0;
    for (const QRect& board : boards) {
        const QRect overlap = window.intersected(board);
        covered += static_cast<long long>(overlap.width()) * overlap.height();
    }
    return covered;
}

// What a window covers: its frame once shown, else the place it will take.
QRect frameRectOf(const QWidget& window)
{
    return window.isVisible() ? window.frameGeometry() : window.geometry();
}

} // namespace

std::pair<QPoint, long long> leastCoveringPlace(const QSize& size, const QRect& area, const std::vector<QRect>& boards,
                                                std::optional<QPoint> from)
{
    std::vector<QPoint> places;
    if (from)
        places.push_back(*from);
    places.insert(places.end(), {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()});
    for (const QRect& board : boards) {
        const QPoint near = from.value_or(board.topLeft());
        places.emplace_back(board.right() + 1, near.y());
        places.emplace_back(board.left() - size.width(), near.y());
        places.emplace_back(near.x(), board.bottom() + 1);
        places.emplace_back(near.x(), board.top() - size.height());
    }
    const auto distance = [&](const QPoint& place) { return from ? (place - *from).manhattanLength() : 0; };
    std::pair<QPoint, long long> best{area.topLeft(), -1};
    for (const QPoint& candidate : places) {
        const QPoint place = clampedInto(candidate, size, area);
        const long long covered = coveredArea(QRect(place, size), boards);
        if (best.second < 0 || covered < best.second ||
            (covered == best.second && distance(place) < distance(best.first)))
            best = {place, covered};
    }
    return best;
}

std::vector<QRect> boardRects(const board::QtGameWindows& windows, bool playedOnly)
{
    std::vector<QRect> boards;
    for (board::CGameFrame* game : windows.frames()) {
        if (!game->isVisible() || (playedOnly && (!game->game() || game->game()->participation != model::kPlaying)))
            continue;
        boards.emplace_back(game->view()->mapToGlobal(QPoint(0, 0)), game->view()->size());
    }
    return boards;
}

bool placeClearOfBoards(QWidget& window, const CMainFrame& frame, const std::vector<QRect>& boards, bool stayWhenClear)
{
    // A top-level window's position is that of its frame, decorations included.
    const QRect now = frameRectOf(window);
    if (stayWhenClear && coveredArea(now, boards) == 0)
        return true;
    const std::optional<QPoint> from = stayWhenClear ? std::optional(now.topLeft()) : std::nullopt;
    const QWidget* area = frame.mdiArea();
    const auto inside =
        leastCoveringPlace(now.size(), QRect(area->mapToGlobal(QPoint(0, 0)), area->size()), boards, from);
    const QRect screen = frame.screen() ? frame.screen()->availableGeometry() : frame.geometry();
    const auto anywhere = leastCoveringPlace(now.size(), screen, boards, from);
    const auto& best = inside.second <= anywhere.second ? inside : anywhere;
    if (best.first != now.topLeft())
        window.move(best.first);
    return best.second == 0;
}

void clearBoardOfWindows(const CMainFrame& frame, const QRect& board)
{
    const std::vector<QRect> boards{board};
    for (QWidget* child : frame.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // Floating tool bars and docks belong to the frame; a modal dialog waits for an answer.
        const Qt::WindowType type = child->windowType();
        if ((type != Qt::Window && type != Qt::Dialog) || !child->isVisible() || child->isModal())
            continue;
        if (!frameRectOf(*child).intersects(board))
            continue;
        if (!placeClearOfBoards(*child, frame, boards, true))
            child->hide();
    }
}

} // namespace marovin::windows
