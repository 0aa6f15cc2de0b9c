// marovin-tool db import DB FILE_OR_FOLDER...   pour games into a game database
// marovin-tool db explore DB [FEN]              the moves played from a position, with scores
// marovin-tool db search DB [--fen FEN] [--player NAME] [--event NAME] [--from DATE] [--to DATE]
//                        [--result 1-0|0-1|1/2-1/2] [--limit N]   the games that match
// marovin-tool db export DB OUT.pgn [--notation iccs|wxf|chinese]  every game as PGN
#include <charconv>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "database/game_import.h"
#include "database/game_search.h"
#include "game_file_argument.h"
#include "model/fen.h"
#include "model/pgn.h"
#include "position_argument.h"
#include "support/big5.h"

namespace marovin::tool {

namespace {

constexpr std::string_view kUsage =
    "usage: db import DB FILE_OR_FOLDER... | db explore DB [FEN] | db search DB [--fen FEN] [--player NAME] "
    "[--event NAME] [--from DATE] [--to DATE] [--result 1-0|0-1|1/2-1/2] [--limit N] | db export DB OUT.pgn "
    "[--notation iccs|wxf|chinese]";

std::unique_ptr<database::GameDatabase> openDatabase(std::string_view path, Streams& streams)
{
    std::string error;
    auto db = database::GameDatabase::open(std::string(path), error);
    if (!db)
        Report(streams.err, error);
    return db;
}

// Progress on one line of the error stream, rewritten in place; bad games on lines of their own.
class ToolImportPort : public database::ImportPort {
public:
    explicit ToolImportPort(Streams& streams) : m_streams(streams) {}
    void progress(const database::ImportProgress& p) override
    {
        m_streams.err << "\rfile " << p.filesDone << " of " << p.filesTotal << ": " << p.added << " added, "
                      << p.duplicates + p.bad << " skipped" << std::flush;
        m_open = true;
    }
    void badGame(const database::BadGame& bad) override
    {
        endLine();
        const std::string game = bad.game > 0 ? "game " + std::to_string(bad.game) + ": " : "";
        Report(m_streams.err, game + bad.reason, {bad.file, bad.line});
    }
    void endLine()
    {
        if (m_open)
            m_streams.err << "\n";
        m_open = false;
    }

private:
    Streams& m_streams;
    bool m_open = false;
};

int runImport(Arguments arguments, Streams& streams)
{
    if (arguments.size() < 2)
        return Fail(streams, kExitBadInput, kUsage);
    auto db = openDatabase(arguments[0], streams);
    if (!db)
        return kExitFailure;
    std::vector<std::string> paths(arguments.begin() + 1, arguments.end());
    ToolImportPort port(streams);
    const database::ImportResult result = database::ImportGames(*db, paths, port);
    port.endLine();
    if (!result.error.empty())
        return Fail(streams, kExitFailure, "nothing was added: " + result.error, {arguments[0]});
    streams.out << "added " << result.added << ", skipped " << result.duplicates + result.bad << " ("
                << result.duplicates << " already stored, " << result.bad << " bad)\n";
    return result.bad > 0 ? kExitBadInput : kExitOk;
}

int runExplore(Arguments arguments, Streams& streams)
{
    if (arguments.empty())
        return Fail(streams, kExitBadInput, kUsage);
    const auto position = ReadPositionArgument(arguments.subspan(1), streams);
    if (!position)
        return kExitBadInput;
    auto db = openDatabase(arguments[0], streams);
    if (!db)
        return kExitFailure;
    for (const database::ExplorerMove& m : database::ExploreMoves(*db, position->board, position->redToMove))
        streams.out << model::FormatCoordinateMove(m.move.from, m.move.to) << ' ' << m.games << ' ' << m.redWins
                    << ' ' << m.draws << ' ' << m.blackWins << '\n';
    return kExitOk;
}

// Options of the form --name VALUE; false on an unknown option or a missing value.
bool readOptions(Arguments arguments, std::map<std::string_view, std::string_view>& options)
{
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        if (!arguments[i].starts_with("--") || i + 1 >= arguments.size())
            return false;
        options[arguments[i]] = arguments[i + 1];
    }
    return true;
}

std::optional<database::SearchQuery> readQuery(const std::map<std::string_view, std::string_view>& options,
                                               Streams& streams)
{
    database::SearchQuery query;
    for (const auto& [name, value] : options) {
        if (name == "--fen") {
            std::string error;
            const auto fen = model::ReadFen(value, error);
            if (!fen) {
                Report(streams.err, "invalid FEN: " + error);
                return std::nullopt;
            }
            query.position = std::pair(fen->board, fen->redToMove);
        } else if (name == "--player" || name == "--event") {
            (name == "--player" ? query.player : query.event) = utf8ToBig5(value);
        } else if (name == "--from" || name == "--to") {
            const auto date = database::ParseDateArgument(value);
            if (!date)
                return std::nullopt;
            (name == "--from" ? query.dateFrom : query.dateTo) = date;
        } else if (name == "--result") {
            const database::Outcome outcome = database::OutcomeOf(value);
            if (outcome == database::Outcome::Unknown)
                return std::nullopt;
            query.outcome = outcome;
        } else if (name == "--limit") {
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), query.limit);
            if (error != std::errc() || end != value.data() + value.size() || query.limit == 0)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return query;
}

int runSearch(Arguments arguments, Streams& streams)
{
    std::map<std::string_view, std::string_view> options;
    if (arguments.empty() || !readOptions(arguments.subspan(1), options))
        return Fail(streams, kExitBadInput, kUsage);
    const auto query = readQuery(options, streams);
    if (!query)
        return Fail(streams, kExitBadInput, kUsage);
    auto db = openDatabase(arguments[0], streams);
    if (!db)
        return kExitFailure;
    for (const database::GameSummary& g : database::SearchGames(*db, *query))
        streams.out << g.id << '\t' << g.date << '\t' << big5ToUtf8(g.red) << '\t' << big5ToUtf8(g.black) << '\t'
                    << big5ToUtf8(g.result) << '\t' << big5ToUtf8(g.event) << '\n';
    return kExitOk;
}

int runExport(Arguments arguments, Streams& streams)
{
    std::map<std::string_view, std::string_view> options;
    if (arguments.size() < 2 || !readOptions(arguments.subspan(2), options) ||
        (options.size() == 1 && !options.contains("--notation")) || options.size() > 1)
        return Fail(streams, kExitBadInput, kUsage);
    const auto notation =
        options.empty() ? model::MoveNotation::Iccs : model::NotationFromName(options.begin()->second);
    if (!notation)
        return Fail(streams, kExitBadInput, kUsage);
    auto db = openDatabase(arguments[0], streams);
    if (!db)
        return kExitFailure;
    const std::string out(arguments[1]);
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    if (!file)
        return Fail(streams, kExitFailure, "cannot be written", {out});
    ToolPorts ports(streams.err);
    std::int64_t written = 0;
    std::string text;
    for (std::int64_t after = 0;;) {
        const std::vector<std::int64_t> ids = db->gameIds(after, 1000);
        if (ids.empty())
            break;
        for (std::int64_t id : ids) {
            model::CGame game(ports.ports());
            std::string error;
            if (!db->loadGame(id, game, error))
                return Fail(streams, kExitFailure, error, {arguments[0]});
            text.clear();
            model::WritePgn(game, *notation, text);
            file << text;
            ++written;
        }
        after = ids.back();
    }
    if (!file.flush())
        return Fail(streams, kExitFailure, "cannot be written", {out});
    streams.out << "exported " << written << " games\n";
    return kExitOk;
}

} // namespace

int RunDatabase(Arguments arguments, Streams& streams)
{
    if (arguments.empty())
        return Fail(streams, kExitBadInput, kUsage);
    const std::string_view action = arguments[0];
    const Arguments rest = arguments.subspan(1);
    if (action == "import")
        return runImport(rest, streams);
    if (action == "explore")
        return runExplore(rest, streams);
    if (action == "search")
        return runSearch(rest, streams);
    if (action == "export")
        return runExport(rest, streams);
    return Fail(streams, kExitBadInput, kUsage);
}

} // namespace marovin::tool
