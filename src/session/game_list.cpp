#include "session/game_list.h"

#include <algorithm>
#include <string>
#include <utility>

namespace marovin::session {

GameList::GameList(TerminalPort& terminal, DesktopPort& desktop, ClockPort& clock,
                   const model::GameSettings& settings)
    : m_terminal(terminal), m_desktop(desktop), m_clock(clock), m_settings(settings)
{
}

model::CGame* GameList::create(bool looking)
{
    if (!m_windows)
        return nullptr;
    const model::GamePorts ports{m_terminal, m_desktop, m_clock, *this, m_settings};
    m_games.insert(m_games.begin(), std::make_unique<model::CGame>(ports));
    model::CGame* game = m_games.front().get();
    if (!m_windows->openWindow(*game, looking)) {
        remove(game);
        return nullptr;
    }
    return game;
}

bool GameList::roomForWindow()
{
    if (m_games.size() < kGameWindowLimit) {
        m_fullReported = false;
        return true;
    }
    m_terminal.writeClientText("No window for this game: " + std::to_string(kGameWindowLimit) +
                                   " game windows are open. Close some to follow more games.",
                               false);
    return false;
}

model::CGame* GameList::openGameWindow()
{
    return roomForWindow() ? create(true) : nullptr;
}

model::CGame* GameList::open(bool looking)
{
    if (roomForWindow()) {
        if (model::CGame* game = create(looking))
            return game;
    } else if (std::exchange(m_fullReported, true)) {
        return nullptr; // a full list says so once, not at every notice the server sends
    }
    reportCannotCreate();
    return nullptr;
}

model::CGame* GameList::openForUser(bool looking)
{
    if (model::CGame* game = create(looking))
        return game;
    reportCannotCreate();
    return nullptr;
}

void GameList::reportCannotCreate()
{
    m_terminal.writeClientText("Cannot create GAME!", false);
    m_desktop.messageBox("Cannot create GAME!");
}

std::optional<int> GameList::chooseBranch(model::CGame& game, const std::vector<model::BranchRow>& rows)
{
    if (!m_windows)
        return std::nullopt;
    return m_windows->chooseBranch(game, rows);
}

void GameList::close(model::CGame& game)
{
    if (m_windows)
        m_windows->closeWindow(game);
    else
        remove(&game);
}

void GameList::remove(const model::CGame* game)
{
    const auto it = std::find_if(m_games.begin(), m_games.end(), [&](const auto& g) { return g.get() == game; });
    if (it == m_games.end())
        return;
    if (currentGame == game)
        currentGame = nullptr;
    (*it)->setObserver(nullptr); // its window is going or gone
    m_closed.push_back(std::move(*it));
    m_games.erase(it);
}

bool GameList::contains(const model::CGame* game) const
{
    return game && std::any_of(m_games.begin(), m_games.end(), [&](const auto& g) { return g.get() == game; });
}

model::CGame* GameList::findLive(int number) const
{
    for (const auto& game : m_games)
        if (game->participation <= model::kPlaying && game->gameNumber == number)
            return game.get();
    return nullptr;
}

model::CGame* GameList::firstWaiting() const
{
    for (const auto& game : m_games)
        if (game->mode == model::kModeBusy)
            return game.get();
    return nullptr;
}

model::CGame* GameList::firstGameOver() const
{
    for (const auto& game : m_games)
        if (game->mode == model::kModeGameOver)
            return game.get();
    return nullptr;
}

std::vector<model::CGame*> GameList::games() const
{
    std::vector<model::CGame*> list;
    list.reserve(m_games.size());
    for (const auto& game : m_games)
        list.push_back(game.get());
    return list;
}

} // namespace marovin::session
