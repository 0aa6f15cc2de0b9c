#include "session/game_status_text.h"

#include <algorithm>
#include <cstdio>

#include "support/fixed_text.h"

namespace marovin::session {

namespace {

bool isLive(const model::CGame& game)
{
    return game.participation <= model::kPlaying;
}

// A game started from a set-up position that is not live shows who moves first instead
// of clocks, and no ratings.
bool showsFirstMover(const model::CGame& game)
{
    return !isLive(game) && game.customPosition;
}

} // namespace

std::string resultSuffix(const model::CGame& game)
{
    const std::string_view result = fieldText(game.result);
    if (game.participation != model::kServerNotLive || result.empty() || result == "Unknown")
        return {};
    return ": " + std::string(result);
}

std::string gameCaption(const model::CGame& game, std::string_view fileName)
{
    switch (game.mode) {
    case model::kModeBusy:
    case model::kModeReading:
        return "Reading game now. Please wait...";
    case model::kModeSending:
        return "Sending game now. Please wait...";
    case model::kModeReceiving:
        return "Receiving game now. Please wait...";
    case model::kModeEditing:
        return "Editing game (right/middle mouse to clear a piece)";
    default:
        break;
    }
    if (!fileName.empty())
        return std::string(fileName) + resultSuffix(game);
    if (game.participation == model::kServerNotLive)
        return std::string(fieldText(game.subject)) + " (not live)" + resultSuffix(game);
    if (game.participation == model::kLocalGame)
        return std::string(fieldText(game.subject)) + " (not saved)";
    const std::string red(fieldText(game.redName));
    const std::string black(fieldText(game.blackName));
    char text[128];
    std::snprintf(text, sizeof text, "%s (%d) %s vs %s: %d observers",
                  game.participation == model::kPlaying ? "Play" : "Obse", game.gameNumber, red.c_str(),
                  black.c_str(), game.observers);
    return text;
}

std::string clockText(std::int64_t seconds)
{
    char text[48];
    std::snprintf(text, sizeof text, " %02lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

bool branchHere(const model::CGame& game)
{
    const model::MoveLine& line = game.currentLine();
    if (game.indexInLine() != line.count() - 1)
        return false;
    return line.continuation && line.continuation->count() > 1;
}

bool refreshTurn(StatusRecord& record, const model::CGame& game)
{
    switch (game.mode) {
    case model::kModeNormal:
    case model::kModeSending:
    case model::kModeReceiving:
    case model::kModeGameOver:
        break;
    default:
        return false;
    }
    record.redToMove = game.isRedToMoveBrowsed() ? 1 : 0;
    const bool transfer = game.mode == model::kModeSending || game.mode == model::kModeReceiving;
    record.moveNumber = transfer ? kTransferMoveNumber + std::clamp(game.transferPercent, 0, 99)
                                 : game.browsedPly() + 1;
    record.browsingBack = isLive(game) && !game.isBrowsingLive() ? 1 : 0;
    record.branchHere = branchHere(game) ? 1 : 0;
    return true;
}

void refreshClocks(StatusRecord& record, const model::CGame& game)
{
    record.clocksRunning = isLive(game);
    if (showsFirstMover(game)) {
        record.clockText1 = game.firstMover != 0 ? " Black" : " RED";
        record.clockText2 = " First";
        return;
    }
    const bool shown = record.clocksRunning ? game.clocksKnown
                                            : game.clocksKnown || game.times[2] != 0 || game.times[3] != 0;
    record.clockText1 = shown ? clockText(game.times[2]) : std::string();
    record.clockText2 = shown ? clockText(game.times[3]) : std::string();
}

void refreshPlayers(StatusRecord& record, const model::CGame& game)
{
    record.name1 = fieldText(game.redName);
    record.name2 = fieldText(game.blackName);
    record.rating1 = showsFirstMover(game) ? 0 : game.redRating;
    record.rating2 = showsFirstMover(game) ? 0 : game.blackRating;
    refreshClocks(record, game);
}

std::string moveNumberText(int moveNumber)
{
    char text[24];
    std::snprintf(text, sizeof text, "%5d ", moveNumber);
    return text;
}

std::string transferText(int moveNumber)
{
    char text[24];
    std::snprintf(text, sizeof text, "%2d%%", moveNumber - kTransferMoveNumber);
    return text;
}

std::string playerText(std::string_view name, int rating)
{
    std::string text(name);
    if (rating != 0)
        text += " (" + std::to_string(rating) + ")";
    return text;
}

} // namespace marovin::session
