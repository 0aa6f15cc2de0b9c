#include "game_archive.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "accounts.h"
#include "storage.h"

namespace marovin::server {

std::string StoredGame::word() const { return red + "." + black + "." + std::to_string(id); }

GameArchive::GameArchive(std::string dataDirectory) : m_directory(std::move(dataDirectory)) {}

std::string GameArchive::load()
{
    if (m_directory.empty())
        return {};
    std::error_code ec;
    std::filesystem::create_directories(m_directory, ec);
    for (const std::string& line : readLines(m_directory + "/games.txt")) {
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
        m_nextId = std::max(m_nextId, g.id + 1);
        m_games[g.id] = std::move(g);
    }
    return {};
}

std::string GameArchive::saveIfChanged()
{
    if (!m_changed || m_directory.empty())
        return {};
    std::string content;
    for (const auto& [id, g] : m_games) {
        std::string moves;
        for (const std::string& m : g.moves)
            moves += (moves.empty() ? "" : " ") + m;
        content += joinRecord({std::to_string(g.id), std::string(1, g.kind), g.red, g.black,
                               g.terms.rated ? "1" : "0", std::to_string(static_cast<int>(g.terms.odds)),
                               std::to_string(g.terms.minutes), std::to_string(g.terms.increment),
                               std::to_string(g.redMs), std::to_string(g.blackMs), std::to_string(g.redRating),
                               std::to_string(g.blackRating), moves, g.result, g.reason, std::to_string(g.time)}) +
                   "\n";
    }
    std::string error = writeFileAtomically(m_directory + "/games.txt", content);
    if (error.empty())
        m_changed = false;
    return error;
}

int GameArchive::add(StoredGame game)
{
    game.id = m_nextId++;
    const int id = game.id;
    m_games[id] = std::move(game);
    std::size_t finished = 0;
    for (const auto& [key, g] : m_games)
        finished += g.kind == 'F';
    // Drop the oldest finished games beyond the bound; adjourned ones are never dropped.
    for (auto it = m_games.begin(); finished > kMaxFinished && it != m_games.end();) {
        if (it->second.kind == 'F') {
            it = m_games.erase(it);
            --finished;
        } else {
            ++it;
        }
    }
    m_changed = true;
    return id;
}

void GameArchive::remove(int id)
{
    if (m_games.erase(id))
        m_changed = true;
}

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

std::vector<const StoredGame*> GameArchive::gamesOf(std::string_view name) const
{
    std::vector<const StoredGame*> list;
    const std::string key = nameKey(name);
    for (auto it = m_games.rbegin(); it != m_games.rend(); ++it)
        if (nameKey(it->second.red) == key || nameKey(it->second.black) == key)
            list.push_back(&it->second);
    return list;
}

} // namespace marovin::server
