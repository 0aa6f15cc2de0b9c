#pragma once
// The two questions users ask of a game database: which moves were played from this
// position and how they scored (the explorer), and which games match (the search).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/game_database.h"

namespace marovin::database {

struct ExplorerMove {
    model::SquarePair move;
    std::int64_t games = 0, redWins = 0, draws = 0, blackWins = 0;
};

// The moves played from the position in the stored games (main lines and variations), most
// played first (ties in the order of their coordinate texts). Each game counts once per move.
std::vector<ExplorerMove> ExploreMoves(GameDatabase& database, const model::Board& board, bool redToMove);

struct SearchQuery {
    std::optional<std::pair<model::Board, bool>> position; // board, Red to move: games reaching it
    std::string player;                                    // part of either player's name (Big5)
    std::string event;                                     // part of the event's name (Big5)
    std::optional<std::int64_t> dateFrom, dateTo;          // day numbers (DayNumber), both ends included
    std::optional<Outcome> outcome;
    std::size_t limit = 1000;
};

// Games matching every part of the query that is given, oldest first, at most limit.
std::vector<GameSummary> SearchGames(GameDatabase& database, const SearchQuery& query);

// "2024-03-05", "2024.03.05" or "20240305" as a day number.
std::optional<std::int64_t> ParseDateArgument(std::string_view text);

} // namespace marovin::database
