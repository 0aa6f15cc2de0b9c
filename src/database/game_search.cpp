#include "database/game_search.h"

#include <algorithm>
#include <cctype>

#include "model/legality.h"

namespace marovin::database {

namespace {

// A LIKE pattern that matches text anywhere, its own wildcards taken as plain characters.
std::string containsPattern(std::string_view text)
{
    std::string pattern = "%";
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern + "%";
}

// The SQL of a query is put together from fixed pieces; every value is bound.
struct Filter {
    std::string sql;
    std::vector<std::string> texts;
    std::vector<std::int64_t> numbers;
};

Filter buildFilter(const SearchQuery& query)
{
    Filter f;
    f.sql = "SELECT g.id FROM games g WHERE g.id > ?1";
    int next = 2;
    const auto placeholder = [&] { return "?" + std::to_string(next++); };
    if (!query.player.empty()) {
        const std::string p = placeholder();
        f.sql += " AND (g.red IN (SELECT id FROM players WHERE CAST(name AS TEXT) LIKE " + p +
                 " ESCAPE '\\') OR g.black IN (SELECT id FROM players WHERE CAST(name AS TEXT) LIKE " + p + " ESCAPE '\\'))";
        f.texts.push_back(containsPattern(query.player));
    }
    if (!query.event.empty()) {
        f.sql += " AND g.event IN (SELECT id FROM events WHERE CAST(name AS TEXT) LIKE " + placeholder() + " ESCAPE '\\')";
        f.texts.push_back(containsPattern(query.event));
    }
    if (query.dateFrom) {
        f.sql += " AND g.date >= " + placeholder() + " AND typeof(g.date) = 'integer'";
        f.numbers.push_back(*query.dateFrom);
    }
    if (query.dateTo) {
        f.sql += " AND g.date <= " + placeholder() + " AND typeof(g.date) = 'integer'";
        f.numbers.push_back(*query.dateTo);
    }
    if (query.outcome) {
        f.sql += " AND (g.result & 3) = " + placeholder();
        f.numbers.push_back(static_cast<int>(*query.outcome));
    }
    return f;
}

void bindFilter(Statement& statement, const Filter& filter)
{
    int index = 2;
    for (const std::string& text : filter.texts)
        statement.bindText(index++, text);
    for (std::int64_t number : filter.numbers)
        statement.bind(index++, number);
}

} // namespace

std::vector<ExplorerMove> ExploreMoves(GameDatabase& database, const model::Board& board, bool redToMove)
{
    std::vector<ExplorerMove> moves;
    try {
        for (const MoveStatistics& m : database.index().moves(ZobristKey(board, redToMove))) {
            const auto from = static_cast<model::Square>(m.move & 0xff);
            const auto to = static_cast<model::Square>(m.move >> 8);
            // Two positions may share a key, however rarely: keep only moves that fit this one.
            if (model::IsMoveLegal(board, redToMove, from, to))
                moves.push_back({{from, to}, m.games, m.redWins, m.draws, m.blackWins});
        }
    } catch (const SqliteError&) {
        return {};
    }
    std::sort(moves.begin(), moves.end(), [](const ExplorerMove& a, const ExplorerMove& b) {
        if (a.games != b.games)
            return a.games > b.games;
        return model::FormatCoordinateMove(a.move.from, a.move.to) < model::FormatCoordinateMove(b.move.from, b.move.to);
    });
    return moves;
}

std::vector<GameSummary> SearchGames(GameDatabase& database, const SearchQuery& query)
{
    std::vector<GameSummary> found;
    try {
        const Filter filter = buildFilter(query);
        const bool filtered = filter.sql.find(" AND ") != std::string::npos;
        if (query.position) {
            const auto& [board, redToMove] = *query.position;
            const PositionKey key = ZobristKey(board, redToMove);
            // Without other conditions the index alone answers; with them each game is checked.
            Statement check(database.connection(), filter.sql + " AND g.id = ?" + std::to_string(
                                                                   filter.texts.size() + filter.numbers.size() + 2));
            std::size_t want = filtered ? std::size_t(-1) : query.limit;
            for (std::int64_t id : database.index().games(key, want)) {
                if (found.size() >= query.limit)
                    break;
                if (filtered) {
                    check.bind(1, 0);
                    bindFilter(check, filter);
                    check.bind(static_cast<int>(filter.texts.size() + filter.numbers.size() + 2), id);
                    const bool match = check.step();
                    check.reset();
                    if (!match)
                        continue;
                }
                if (auto summary = database.summary(id))
                    found.push_back(std::move(*summary));
            }
            return found;
        }
        Statement list(database.connection(), filter.sql + " ORDER BY g.id LIMIT " + std::to_string(query.limit));
        list.bind(1, 0);
        bindFilter(list, filter);
        while (list.step())
            if (auto summary = database.summary(list.integer(0)))
                found.push_back(std::move(*summary));
    } catch (const SqliteError&) {
    }
    return found;
}

std::optional<std::int64_t> ParseDateArgument(std::string_view text)
{
    std::string digits;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
        else if (c != '-' && c != '.' && c != '/')
            return std::nullopt;
    }
    if (digits.size() != 8)
        return std::nullopt;
    const int year = std::stoi(digits.substr(0, 4)), month = std::stoi(digits.substr(4, 2)),
              day = std::stoi(digits.substr(6, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    return DayNumber(year, month, day);
}

} // namespace marovin::database
