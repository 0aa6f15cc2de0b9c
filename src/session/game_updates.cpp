#include "session/game_updates.h"

#include <cstdlib>
#include <string>

#include "session/game_support.h"
#include "session/game_transfer.h"

namespace marovin::session {

using model::CGame;

// ---- shared steps ------------------------------------------------------------------

void applyGameNumbers(CGame& game, const GameNumbers& numbers)
{
    if (numbers.redClock)
        game.times[2] = *numbers.redClock;
    if (numbers.blackClock)
        game.times[3] = *numbers.blackClock;
    if (numbers.redClock || numbers.blackClock)
        game.clocksKnown = true;
    if (numbers.redRating)
        game.redRating = *numbers.redRating;
    if (numbers.blackRating)
        game.blackRating = *numbers.blackRating;
    if (numbers.observers)
        game.observers = *numbers.observers;
}

void resetGamePosition(ClientContext& context, CGame& game)
{
    game.ResetPosition();
    context.gameList.currentGame = &game;
}

void redrawGame(ClientContext& context, CGame& game)
{
    if (GameWindowsPort* windows = context.gameList.windows())
        windows->redraw(game);
}

void refreshStatus(ClientContext& context, CGame& game)
{
    if (GameWindowsPort* windows = context.gameList.windows())
        windows->refreshStatus(game);
}

void refreshClocks(ClientContext& context, CGame& game)
{
    if (GameWindowsPort* windows = context.gameList.windows())
        windows->refreshClocks(game);
}

bool isUserName(std::string_view name, std::string_view loginName)
{
    return !loginName.empty() && name == loginName.substr(0, model::kNameLength);
}

void SyncGameSettings(ClientContext& context)
{
    model::GameSettings& settings = context.gameSettings;
    if (settings.loginName != context.session.loggedInName)
        settings.loginName = context.session.loggedInName;
    settings.saveNewFormat = context.options.saveNewFormat == 1;
    settings.mergeAppendNotes = context.options.mergeAppendNotes != 0;
}

// ---- the session's part ------------------------------------------------------------

void FinishGameUpdates(ClientContext& context)
{
    for (CGame* game : context.gameList.games()) {
        if (game->mode == model::kModeBusy) {
            game->mode = model::kModeNormal;
            redrawGame(context, *game);
        }
    }
}

void EndSessionGames(ClientContext& context)
{
    for (CGame* game : context.gameList.games()) {
        if (!context.gameList.contains(game))
            continue; // closed by an earlier step
        if (game->participation >= model::kServerNotLive && game->mode == model::kModeNormal)
            continue;
        game->participation = model::kServerNotLive;
        refreshStatus(context, *game);
        switch (game->mode) {
        case model::kModeReceiving:
            // A transfer cannot go on without the session: the receiving window is left.
            context.gameList.close(*game);
            break;
        case model::kModeEditing:
            break;
        default:
            game->mode = model::kModeNormal;
            redrawGame(context, *game);
            break;
        }
    }
}

void AskGameOverQuestions(ClientContext& context)
{
    if (context.session.collectedLines >= 0)
        return; // command output is still being collected
    GameWindowsPort* windows = context.gameList.windows();
    if (!windows)
        return;
    // Each game asked about leaves mode 5 first, so searching again from the newest finds
    // the next one, however the list changed while the question was open.
    while (CGame* game = context.gameList.firstGameOver()) {
        game->mode = model::kModeNormal;
        const std::string reason = std::move(game->endOfGameText);
        game->endOfGameText.clear();
        const bool quit = windows->askQuitGame(*game, reason);
        if (!context.gameList.contains(game))
            continue;
        if (quit) {
            game->modified = false;
            context.gameList.close(*game);
            return;
        }
        redrawGame(context, *game);
    }
}

void TickGameClocks(ClientContext& context, std::int64_t nowSeconds)
{
    for (CGame* game : context.gameList.games()) {
        if (game->mode != model::kModeNormal || game->participation > model::kPlaying)
            continue;
        const std::int64_t elapsed = std::llabs(nowSeconds - game->lastUpdateTime);
        if (elapsed == 0)
            continue;
        // Clock 2 (Black) runs after an odd number of live moves, clock 1 (Red) otherwise.
        game->times[(game->gamePly() & 1) ? 3 : 2] -= elapsed;
        refreshClocks(context, *game);
        game->lastUpdateTime = nowSeconds;
    }
}

// ---- the port ----------------------------------------------------------------------

class GameUpdates::Entry {
public:
    explicit Entry(GameUpdates& updates) : m_updates(updates)
    {
        ++m_updates.m_depth;
        SyncGameSettings(*m_updates.m_context);
    }
    ~Entry()
    {
        if (--m_updates.m_depth == 0)
            m_updates.m_context->gameList.releaseClosed();
    }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

private:
    GameUpdates& m_updates;
};

void GameUpdates::parseGameNotice(std::string_view line)
{
    if (!m_context)
        return;
    const Entry entry(*this);
    ParseGameNotice(*m_context, line);
}

void GameUpdates::collectGameLine(Collector collector, std::string_view line, bool keywordLine)
{
    if (!m_context)
        return;
    const Entry entry(*this);
    CGame* game = keywordLine ? nullptr : m_context->gameList.firstWaiting();
    switch (collector) {
    case Collector::Observe:
        CollectObserve(*m_context, game, line);
        break;
    case Collector::MoveHistory:
        CollectMoveHistory(*m_context, game, line);
        break;
    case Collector::BoardDisplay:
        CollectBoardDisplay(*m_context, game, line);
        break;
    case Collector::GameFile:
        CollectGameFile(*m_context, game, line);
        break;
    case Collector::Generic:
    case Collector::None:
        break;
    }
}

bool GameUpdates::offerHandicapLine(std::string_view line)
{
    if (!m_context)
        return false;
    const Entry entry(*this);
    return OfferHandicapLine(*m_context, line);
}

void GameUpdates::clearCurrentGame()
{
    if (m_context)
        m_context->gameList.currentGame = nullptr;
}

void GameUpdates::finishUpdates()
{
    if (!m_context)
        return;
    const Entry entry(*this);
    FinishGameUpdates(*m_context);
}

void GameUpdates::endSessionGames()
{
    if (!m_context)
        return;
    const Entry entry(*this);
    EndSessionGames(*m_context);
}

void GameUpdates::askGameOverQuestions()
{
    if (!m_context)
        return;
    const Entry entry(*this);
    AskGameOverQuestions(*m_context);
}

void GameUpdates::tickClocks(std::int64_t nowSeconds)
{
    if (!m_context)
        return;
    const Entry entry(*this);
    TickGameClocks(*m_context, nowSeconds);
}

void GameUpdates::resetTransfers()
{
    if (!m_context)
        return;
    const Entry entry(*this);
    session::resetTransfers(*m_context);
}

bool GameUpdates::sendingGame()
{
    return m_context && m_context->session.transfer.sendSequence != 0;
}

void GameUpdates::sendNextGameLine()
{
    if (!m_context)
        return;
    const Entry entry(*this);
    session::sendNextGameLine(*m_context);
}

void GameUpdates::onTransferTell(std::string_view text, std::string_view sender)
{
    if (!m_context)
        return;
    const Entry entry(*this);
    session::onTransferTell(*m_context, text, sender);
}

} // namespace marovin::session
