#include "game_window/game_command_rules.h"

#include "game_window/game_navigation.h"
#include "support/fixed_text.h"

namespace marovin::board {

namespace {

constexpr std::string_view kResignItem = "Resign(\xBB{\xBF\xE9)"; // 認輸

std::string gameTitle(const model::CGame& game)
{
    return "[" + std::to_string(game.gameNumber) + "] " + std::string(fieldText(game.redName)) + " vs " +
           std::string(fieldText(game.blackName));
}

} // namespace

bool gameCommandEnabled(GameCommand command, const model::CGame& game)
{
    const bool playing = game.participation == model::kPlaying;
    const bool live = game.participation <= model::kPlaying;
    switch (command) {
    case GameCommand::Adjourn:
    case GameCommand::Pass:
    case GameCommand::Resign:
    case GameCommand::Undo:
    case GameCommand::AddTime:
        return playing;
    case GameCommand::AllObservers:
    case GameCommand::TimeLeft:
    case GameCommand::Kibitz:
        return live;
    case GameCommand::RefreshGame:
        return canRefreshGame(game);
    case GameCommand::Header:
        return !live;
    case GameCommand::DeleteMoves:
        return !live && game.pathLength() > 0 && game.mode == model::kModeNormal;
    case GameCommand::SendGame:
        return !live && (game.pathLength() > 0 || game.customPosition) && game.mode == model::kModeNormal;
    case GameCommand::StopSend:
        return game.mode == model::kModeSending;
    case GameCommand::StopReceive:
        return game.mode == model::kModeReceiving;
    case GameCommand::Merge:
        return !live && !game.customPosition && game.mode == model::kModeNormal;
    case GameCommand::SetupPosition:
        return !live && game.mode == model::kModeNormal;
    case GameCommand::PromoteVariation:
        return !live && game.mode == model::kModeNormal && !game.isBrowsingMainLine();
    }
    return false;
}

std::string gameCommandLine(GameCommand command, int number)
{
    const char* verb = nullptr;
    switch (command) {
    case GameCommand::Adjourn: verb = "adjourn"; break;
    case GameCommand::Pass: verb = "pass"; break;
    case GameCommand::Resign: verb = "resign"; break;
    case GameCommand::Undo: verb = "undo"; break;
    case GameCommand::AllObservers: verb = "allobservers"; break;
    case GameCommand::TimeLeft: verb = "timeleft"; break;
    default: return {};
    }
    return std::string(verb) + " " + std::to_string(number) + "\r\n";
}

std::string resignMenuText(const model::CGame* game)
{
    if (!game || game->participation != model::kPlaying)
        return "Resign";
    return std::string(kResignItem) + " " + gameTitle(*game);
}

std::string resignQuestion(const model::CGame& game)
{
    return "resign " + gameTitle(game);
}

} // namespace marovin::board
