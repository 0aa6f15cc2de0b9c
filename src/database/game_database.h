#pragma once
// The game database: one SQLite file holding games, their players and events, and the
// position index. docs/database.md describes the tables.
//
// Games are added in batches: beginBatch() opens one transaction, commitBatch() writes the
// position index gathered meanwhile and commits, and anything else (rollbackBatch(), an
// error, the object going away, the program dying) leaves the file as it was before the
// batch. Every function reports failures through its result; none throws.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/game_codec.h"
#include "database/position_index.h"
#include "database/sqlite.h"

namespace marovin::database {

// What a search result shows of a game.
struct GameSummary {
    std::int64_t id = 0;
    std::string red, black, event, date, result, place; // Big5 bytes
    int redRating = 0, blackRating = 0;
    Outcome outcome = Outcome::Unknown;
};

class GameDatabase {
public:
    // Opens the database at path, creating it when it does not exist. Nothing, with error
    // saying why, when the file cannot be opened or is not a game database.
    static std::unique_ptr<GameDatabase> open(const std::string& path, std::string& error);
    ~GameDatabase();

    bool beginBatch(std::string& error);
    bool commitBatch(std::string& error);
    void rollbackBatch();
    bool inBatch() const { return m_transaction != nullptr; }

    enum class AddResult { Added, Duplicate, Failed };
    // Adds an encoded game inside a batch, unless the same game (header and moves) is stored.
    AddResult addGame(const EncodedGame& game, std::string& error);

    // Reads game id into game (a fresh record).
    bool loadGame(std::int64_t id, model::CGame& game, std::string& error);
    std::optional<GameSummary> summary(std::int64_t id);
    std::int64_t gameCount();
    // Every game id in order, at most limit, from after.
    std::vector<std::int64_t> gameIds(std::int64_t after, std::size_t limit);

    // Merges the position index into one run (lookups then ask one place).
    bool optimize(std::string& error);

    Connection& connection() { return *m_connection; }
    PositionIndex& index() { return *m_index; }

private:
    GameDatabase() = default;
    struct Statements;
    std::int64_t nameId(std::unordered_map<std::string, std::int64_t>& cache, Statement& find, Statement& insert,
                        const std::string& name);
    bool storedEqual(std::int64_t id, const EncodedGame& game);

    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<Statements> m_statements;
    std::unique_ptr<PositionIndex> m_index;
    std::unique_ptr<Transaction> m_transaction;
    std::unordered_map<std::string, std::int64_t> m_players, m_events;
};

} // namespace marovin::database
