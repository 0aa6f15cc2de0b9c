#include "session/game_status_text.h"

#include <cstdio>

#include "support/fixed_text.h"

namespace marovin::session {

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
    if (game.participation >= model::kServerNotLive)
        return std::string(fileName.empty() ? fieldText(game.subject) : fileName);
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

std::vector<std::string> mainLineRows(const model::CGame& game)
{
    std::vector<std::string> moves;
    if (game.firstMover != 0)
        moves.emplace_back("...  ");
    const model::BranchPoint* point = game.root().alternatives[0].continuation.get();
    while (point && !point->alternatives.empty()) {
        const model::MoveLine& line = point->alternatives[0];
        for (const model::MoveEntry& entry : line.entries)
            if (entry.isMove())
                moves.push_back(model::FormatCoordinateMove(entry.move.from, entry.move.to));
        point = line.continuation.get();
    }
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < moves.size(); i += 2) {
        char number[32];
        std::snprintf(number, sizeof number, "%3zu. ", i / 2 + 1);
        rows.push_back(number + moves[i] + (i + 1 < moves.size() ? "  " + moves[i + 1] : std::string()));
    }
    return rows;
}

} // namespace marovin::session
