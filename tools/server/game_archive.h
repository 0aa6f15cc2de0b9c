#pragma once
// Adjourned and finished games. On disk they are one table (games.txt, one record a line,
// its key the id); the archive reads its records and says which changed.
//
// Adjourned games stay until they are resumed; of the finished games the newest
// kMaxFinished are kept, and a player keeps at most kMaxPerPlayer stored games of both
// kinds (the oldest finished ones make room first). Each game has an id that never
// repeats, so that the word "red.black.id" the stored-games list shows names one game for
// good. Adding, finding and listing a player's games take time by the size of that
// player's list, never by the size of the archive.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "live_game.h"
#include "record_file.h"

namespace marovin::server {

struct StoredGame {
    int id = 0;
    char kind = 'F'; // 'A' adjourned, 'F' finished
    std::string red;
    std::string black;
    GameTerms terms;
    std::int64_t redMs = 0;
    std::int64_t blackMs = 0;
    int redRating = 0;
    int blackRating = 0;
    std::vector<std::string> moves; // coordinate texts
    std::string result;             // "1-0", "0-1", "1/2-1/2" or "*" (adjourned)
    std::string reason;             // how it ended, in words
    std::int64_t time = 0;          // seconds since the epoch

    // "red.black.id": the word of the stored-games list.
    std::string word() const;
};

class GameArchive {
public:
    static constexpr std::size_t kMaxFinished = 500;
    static constexpr std::size_t kMaxPerPlayer = 50;

    // Takes the records of the table; damaged ones are skipped.
    void load(const std::vector<std::string>& records);
    // The records changed since they were last taken, of at most limit games (the others
    // stay for the next call).
    RecordChanges takeChanges(std::size_t limit);

    // Stores a game under a new id and returns the id. The players named limited (the
    // bots are not: they play everybody) keep at most kMaxPerPlayer stored games: their
    // oldest finished games are dropped to make room. Adjourned games are never dropped;
    // the server starts no game for a player whose list is full of them.
    int add(StoredGame game, bool limitRed, bool limitBlack);
    void remove(int id);
    const StoredGame* find(int id) const;
    // Finds the game a list word ("red.black.id", or just the id) names.
    const StoredGame* findByWord(std::string_view word) const;
    // A player's games of one kind ('A' or 'F'), newest first, at most limit of them.
    std::vector<const StoredGame*> gamesOf(std::string_view name, char kind,
                                           std::size_t limit = static_cast<std::size_t>(-1)) const;
    std::size_t adjournedCount(std::string_view name) const;

private:
    struct PlayerGames {
        std::set<int> adjourned; // ids, oldest first
        std::set<int> finished;
        bool empty() const { return adjourned.empty() && finished.empty(); }
        std::size_t size() const { return adjourned.size() + finished.size(); }
    };
    void insert(StoredGame game);
    void erase(int id);
    PlayerGames* playerGames(std::string_view name);
    const PlayerGames* playerGames(std::string_view name) const;

    std::map<int, StoredGame> m_games;
    std::set<int> m_finished; // ids of all finished games, oldest first
    std::map<std::string, PlayerGames> m_players; // by name key
    int m_nextId = 1;
    std::set<int> m_changed; // ids
};

} // namespace marovin::server
