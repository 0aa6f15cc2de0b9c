#include "game_archive.h"

#include <algorithm>
#include <limits>

#include "accounts.h"
#include "storage.h"

namespace marovin::server {

std::string StoredGame::word() const { return red + "." + black + "." + std::to_string(id); }

namespace {
std::string gameRecord(const StoredGame& g)
{
    std::string moves;
    for (const std::string& m : g.moves)
        moves += (moves.empty() ? "" : " ") + m;
    return joinRecord({std::to_string(g.id), std::string(1, g.kind), g.red, g.black, g.terms.rated ? "1" : "0",
                       std::to_string(static_cast<int>(g.terms.odds)), std::to_string(g.terms.minutes),
                       std::to_string(g.terms.increment), std::to_string(g.redMs), std::to_string(g.blackMs),
                       std::to_string(g.redRating), std::to_string(g.blackRating), moves, g.result, g.reason,
                       std::to_string(g.time)});
}
} // namespace

void GameArchive::load(const std::vector<std::string>& records)
{
    for (const std::string& line : records) {
        const std::vector<std::string> f = splitRecord(line);
        if (f.size() < 16)
            continue;
        StoredGame g;
        const auto rating = [](const std::string& field) {
            return parseNumber(field, 0, kRatingCeiling).value_or(0);
        };
        const auto clock = [](const std::string& field) {
            return parseNumber<std::int64_t>(field, 0, kMaxClockMs).value_or(0);
        };
        // The last id is kept free so that the next one never overflows.
        g.id = parseNumber(f[0], 1, std::numeric_limits<int>::max() - 1).value_or(0);
        g.kind = f[1] == "A" ? 'A' : 'F';
        g.red = f[2];
        g.black = f[3];
        g.terms.rated = f[4] == "1";
        g.terms.odds = static_cast<Odds>(parseNumber(f[5], 0, 2).value_or(0));
        g.terms.minutes = parseNumber(f[6], 0, kMaxMatchTime).value_or(20);
        g.terms.increment = parseNumber(f[7], 0, kMaxMatchTime).value_or(0);
        g.redMs = clock(f[8]);
        g.blackMs = clock(f[9]);
        g.redRating = rating(f[10]);
        g.blackRating = rating(f[11]);
        for (std::size_t start = 0; start + 5 <= f[12].size(); start += 6)
            g.moves.push_back(f[12].substr(start, 5));
        g.result = f[13];
        g.reason = f[14];
        g.time = toInteger(f[15]);
        if (g.id <= 0 || !isValidName(g.red) || !isValidName(g.black))
            continue;
        if (m_games.count(g.id))
            continue;
        m_nextId = std::max(m_nextId, g.id + 1);
        insert(std::move(g));
    }
}

RecordChanges GameArchive::takeChanges(std::size_t limit)
{
    return marovin::server::takeChanges(m_changed, limit, [this](int id) {
        const StoredGame* g = find(id);
        return g ? std::vector<std::string>{gameRecord(*g)} : std::vector<std::string>{};
    });
}

void GameArchive::insert(StoredGame game)
{
    const int id = game.id;
    for (const std::string* name : {&game.red, &game.black}) {
        PlayerGames& list = m_players[nameKey(*name)];
        (game.kind == 'A' ? list.adjourned : list.finished).insert(id);
    }
    if (game.kind != 'A')
        m_finished.insert(id);
    m_games[id] = std::move(game);
}

void GameArchive::erase(int id)
{
    const auto it = m_games.find(id);
    if (it == m_games.end())
        return;
    for (const std::string* name : {&it->second.red, &it->second.black}) {
        const auto player = m_players.find(nameKey(*name));
        if (player == m_players.end())
            continue;
        player->second.adjourned.erase(id);
        player->second.finished.erase(id);
        if (player->second.empty())
            m_players.erase(player);
    }
    m_finished.erase(id);
    m_games.erase(it);
    m_changed.insert(id);
}

GameArchive::PlayerGames* GameArchive::playerGames(std::string_view name)
{
    const auto it = m_players.find(nameKey(name));
    return it == m_players.end() ? nullptr : &it->second;
}

const GameArchive::PlayerGames* GameArchive::playerGames(std::string_view name) const
{
    const auto it = m_players.find(nameKey(name));
    return it == m_players.end() ? nullptr : &it->second;
}

int GameArchive::add(StoredGame game, bool limitRed, bool limitBlack)
{
    game.id = m_nextId++;
    const int id = game.id;
    const std::string red = game.red;
    const std::string black = game.black;
    insert(std::move(game));
    m_changed.insert(id);
    while (m_finished.size() > kMaxFinished)
        erase(*m_finished.begin());
    for (const auto& [name, limited] : {std::pair{&red, limitRed}, std::pair{&black, limitBlack}}) {
        for (PlayerGames* list = playerGames(*name);
             limited && list && list->size() > kMaxPerPlayer && !list->finished.empty(); list = playerGames(*name))
            erase(*list->finished.begin());
    }
    return id;
}

void GameArchive::remove(int id) { erase(id); }

const StoredGame* GameArchive::find(int id) const
{
    const auto it = m_games.find(id);
    return it == m_games.end() ? nullptr : &it->second;
}

const StoredGame* GameArchive::findByWord(std::string_view word) const
{
    const std::size_t dot = word.rfind('.');
    const std::string_view idText = dot == std::string_view::npos ? word : word.substr(dot + 1);
    const std::optional<int> id = parseNumber(idText, 1, std::numeric_limits<int>::max());
    const StoredGame* game = id ? find(*id) : nullptr;
    if (!game || dot == std::string_view::npos)
        return game;
    // The names in the word must be those of the game, so a stale list cannot pick another.
    return nameKey(word.substr(0, dot)) == nameKey(game->red + "." + game->black) ? game : nullptr;
}

std::vector<const StoredGame*> GameArchive::gamesOf(std::string_view name, char kind, std::size_t limit) const
{
    std::vector<const StoredGame*> list;
    if (const PlayerGames* games = playerGames(name)) {
        const std::set<int>& ids = kind == 'A' ? games->adjourned : games->finished;
        for (auto it = ids.rbegin(); it != ids.rend() && list.size() < limit; ++it)
            list.push_back(&m_games.at(*it));
    }
    return list;
}

std::size_t GameArchive::adjournedCount(std::string_view name) const
{
    const PlayerGames* games = playerGames(name);
    return games ? games->adjourned.size() : 0;
}

} // namespace marovin::server
