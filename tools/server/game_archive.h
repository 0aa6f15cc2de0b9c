#pragma once
// Adjourned and finished games, kept in the data folder (games.txt, one record a line).
//
// Adjourned games stay until they are resumed; of the finished games the newest
// kMaxFinished are kept. Each has an id that never repeats, so that the word
// "red.black.id" the stored-games list shows names one game for good.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "live_game.h"

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

    explicit GameArchive(std::string dataDirectory);
    std::string load();
    std::string saveIfChanged();

    // Stores a game under a new id and returns the id.
    int add(StoredGame game);
    void remove(int id);
    const StoredGame* find(int id) const;
    // Finds the game a list word ("red.black.id", or just the id) names.
    const StoredGame* findByWord(std::string_view word) const;
    // The games a player took part in, newest first.
    std::vector<const StoredGame*> gamesOf(std::string_view name) const;

private:
    std::string m_directory;
    std::map<int, StoredGame> m_games;
    int m_nextId = 1;
    bool m_changed = false;
};

} // namespace marovin::server
