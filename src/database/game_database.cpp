#include "database/game_database.h"

namespace marovin::database {

namespace {

// "MRVN": marks the file as a game database of this program; user_version is its layout.
constexpr std::int64_t kApplicationId = 0x4d52564e;
constexpr std::int64_t kLayoutVersion = 1;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS players(id INTEGER PRIMARY KEY, name BLOB NOT NULL UNIQUE);"
    "CREATE TABLE IF NOT EXISTS events(id INTEGER PRIMARY KEY, name BLOB NOT NULL UNIQUE);"
    "CREATE TABLE IF NOT EXISTS games(id INTEGER PRIMARY KEY, red INTEGER NOT NULL, black INTEGER NOT NULL, "
    "event INTEGER NOT NULL, date NOT NULL, result INTEGER NOT NULL, data BLOB NOT NULL);"
    "CREATE INDEX IF NOT EXISTS games_red ON games(red);"
    "CREATE INDEX IF NOT EXISTS games_black ON games(black);"
    "CREATE INDEX IF NOT EXISTS games_event ON games(event);"
    "CREATE INDEX IF NOT EXISTS games_date ON games(date);"
    "CREATE TABLE IF NOT EXISTS game_hash(hash INTEGER PRIMARY KEY, game INTEGER NOT NULL);";

constexpr const char* kSelectGame =
    "SELECT r.name, b.name, e.name, g.date, g.result, g.data FROM games g JOIN players r ON r.id = g.red "
    "JOIN players b ON b.id = g.black JOIN events e ON e.id = g.event WHERE g.id = ?1";

std::int64_t single(Connection& connection, const char* sql)
{
    Statement statement(connection, sql);
    return statement.step() ? statement.integer(0) : 0;
}

std::string dateOf(const Statement& row, int column)
{
    return row.isInteger(column) ? DateText(row.integer(column)) : std::string(row.blob(column));
}

} // namespace

struct GameDatabase::Statements {
    explicit Statements(Connection& c)
        : findPlayer(c, "SELECT id FROM players WHERE name = ?1"),
          insertPlayer(c, "INSERT INTO players(name) VALUES(?1)"),
          findEvent(c, "SELECT id FROM events WHERE name = ?1"),
          insertEvent(c, "INSERT INTO events(name) VALUES(?1)"),
          insertGame(c, "INSERT INTO games(red, black, event, date, result, data) VALUES(?1, ?2, ?3, ?4, ?5, ?6)"),
          findHash(c, "SELECT game FROM game_hash WHERE hash = ?1"),
          insertHash(c, "INSERT INTO game_hash(hash, game) VALUES(?1, ?2)"),
          selectGame(c, kSelectGame),
          countGames(c, "SELECT count(*) FROM games"),
          listGames(c, "SELECT id FROM games WHERE id > ?1 ORDER BY id LIMIT ?2")
    {
    }
    Statement findPlayer, insertPlayer, findEvent, insertEvent, insertGame, findHash, insertHash, selectGame,
        countGames, listGames;
};

std::unique_ptr<GameDatabase> GameDatabase::open(const std::string& path, std::string& error)
{
    std::unique_ptr<GameDatabase> db(new GameDatabase);
    try {
        db->m_connection = std::make_unique<Connection>(path);
        Connection& c = *db->m_connection;
        c.execute("PRAGMA busy_timeout = 5000");
        const std::int64_t application = single(c, "PRAGMA application_id");
        const std::int64_t tables = single(c, "SELECT count(*) FROM sqlite_schema");
        if (application != kApplicationId && tables != 0) {
            error = path + ": not a game database of this program";
            return nullptr;
        }
        if (application == kApplicationId && single(c, "PRAGMA user_version") > kLayoutVersion) {
            error = path + ": made by a newer version of this program";
            return nullptr;
        }
        // Larger pages leave less room unused at their ends: a game row takes about 100 bytes.
        if (tables == 0)
            c.execute("PRAGMA page_size = 16384");
        c.execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA temp_store = MEMORY;"
                  "PRAGMA cache_size = -65536");
        if (tables == 0) {
            Transaction create(c);
            c.execute(kSchema);
            PositionIndex::createSchema(c);
            c.execute("PRAGMA application_id = " + std::to_string(kApplicationId) +
                      "; PRAGMA user_version = " + std::to_string(kLayoutVersion));
            create.commit();
        }
        db->m_statements = std::make_unique<Statements>(c);
        db->m_index = std::make_unique<PositionIndex>(c);
    } catch (const SqliteError& e) {
        error = e.what();
        return nullptr;
    }
    return db;
}

GameDatabase::~GameDatabase()
{
    rollbackBatch();
}

bool GameDatabase::beginBatch(std::string& error)
{
    try {
        m_transaction = std::make_unique<Transaction>(*m_connection);
        return true;
    } catch (const SqliteError& e) {
        error = e.what();
        return false;
    }
}

bool GameDatabase::commitBatch(std::string& error)
{
    if (!m_transaction)
        return true;
    try {
        m_index->flush();
        m_transaction->commit();
        m_transaction.reset();
        return true;
    } catch (const SqliteError& e) {
        error = e.what();
        rollbackBatch();
        return false;
    }
}

void GameDatabase::rollbackBatch()
{
    m_transaction.reset();
    if (m_index)
        m_index->discard();
    // Names added in the batch are gone with it.
    m_players.clear();
    m_events.clear();
}

std::int64_t GameDatabase::nameId(std::unordered_map<std::string, std::int64_t>& cache, Statement& find,
                                  Statement& insert, const std::string& name)
{
    if (const auto it = cache.find(name); it != cache.end())
        return it->second;
    std::int64_t id = 0;
    find.bindBlob(1, name);
    if (find.step()) {
        id = find.integer(0);
    } else {
        insert.bindBlob(1, name).run();
        id = m_connection->lastInsertId();
    }
    find.reset();
    cache.emplace(name, id);
    return id;
}

bool GameDatabase::storedEqual(std::int64_t id, const EncodedGame& game)
{
    Statement& row = m_statements->selectGame;
    row.bind(1, id);
    bool equal = false;
    if (row.step())
        equal = row.blob(0) == game.red && row.blob(1) == game.black && row.blob(2) == game.event &&
                dateOf(row, 3) == game.date && row.integer(4) == ResultColumn(game) &&
                row.blob(5) == game.data;
    row.reset();
    return equal;
}

GameDatabase::AddResult GameDatabase::addGame(const EncodedGame& game, std::string& error)
{
    if (!m_transaction) {
        error = "no batch is open";
        return AddResult::Failed;
    }
    try {
        Statements& s = *m_statements;
        // Encoding worked the hash out (on the reading threads); a game made otherwise gets it here.
        const auto hash = static_cast<std::int64_t>(game.hash ? game.hash : IdentityHash(game));
        s.findHash.bind(1, hash);
        const std::optional<std::int64_t> same = s.findHash.step() ? std::optional(s.findHash.integer(0)) : std::nullopt;
        s.findHash.reset();
        if (same && storedEqual(*same, game))
            return AddResult::Duplicate;
        s.insertGame.bind(1, nameId(m_players, s.findPlayer, s.insertPlayer, game.red))
            .bind(2, nameId(m_players, s.findPlayer, s.insertPlayer, game.black))
            .bind(3, nameId(m_events, s.findEvent, s.insertEvent, game.event));
        if (const auto number = DateNumber(game.date))
            s.insertGame.bind(4, *number);
        else
            s.insertGame.bindBlob(4, game.date);
        s.insertGame.bind(5, ResultColumn(game)).bindBlob(6, game.data).run();
        const std::int64_t id = m_connection->lastInsertId();
        if (!same) // a different game with the same hash keeps the hash; this one goes without
            s.insertHash.bind(1, hash).bind(2, id).run();
        m_index->add(id, game.outcome, game.positions);
        return AddResult::Added;
    } catch (const SqliteError& e) {
        error = e.what();
        return AddResult::Failed;
    }
}

bool GameDatabase::loadGame(std::int64_t id, model::CGame& game, std::string& error)
{
    try {
        Statement& row = m_statements->selectGame;
        row.bind(1, id);
        if (!row.step()) {
            row.reset();
            error = "no game " + std::to_string(id) + " in the database";
            return false;
        }
        const std::string date = dateOf(row, 3);
        const bool ok = DecodeGame(row.blob(0), row.blob(1), row.blob(2), date, row.integer(4), row.blob(5), game, error);
        row.reset();
        if (!ok)
            error = "game " + std::to_string(id) + ": " + error;
        return ok;
    } catch (const SqliteError& e) {
        error = e.what();
        return false;
    }
}

std::optional<GameSummary> GameDatabase::summary(std::int64_t id)
{
    try {
        Statement& row = m_statements->selectGame;
        row.bind(1, id);
        std::optional<GameSummary> found;
        StoredHeader header;
        if (row.step()) {
            const Outcome outcome = OutcomeOfColumn(row.integer(4));
            if (DecodeHeader(row.integer(4), row.blob(5), header))
                found = GameSummary{id,
                                    std::string(row.blob(0)),
                                    std::string(row.blob(1)),
                                    std::string(row.blob(2)),
                                    dateOf(row, 3),
                                    header.result,
                                    header.place,
                                    header.redRating,
                                    header.blackRating,
                                    outcome};
        }
        row.reset();
        return found;
    } catch (const SqliteError&) {
        return std::nullopt;
    }
}

std::int64_t GameDatabase::gameCount()
{
    try {
        Statement& count = m_statements->countGames;
        const std::int64_t n = count.step() ? count.integer(0) : 0;
        count.reset();
        return n;
    } catch (const SqliteError&) {
        return 0;
    }
}

std::vector<std::int64_t> GameDatabase::gameIds(std::int64_t after, std::size_t limit)
{
    std::vector<std::int64_t> ids;
    try {
        Statement& list = m_statements->listGames;
        list.bind(1, after).bind(2, static_cast<std::int64_t>(limit));
        while (list.step())
            ids.push_back(list.integer(0));
        list.reset();
    } catch (const SqliteError&) {
    }
    return ids;
}

bool GameDatabase::optimize(std::string& error)
{
    try {
        Transaction merge(*m_connection);
        m_index->mergeAll();
        merge.commit();
        return true;
    } catch (const SqliteError& e) {
        error = e.what();
        return false;
    }
}

} // namespace marovin::database
