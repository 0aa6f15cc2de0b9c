// marovin-tool pgn FILE [--notation iccs|wxf|chinese]: a game file as PGN on standard output.
// marovin-tool import PGN OUT [--game N | --all]: games of a PGN file as game files in the
// new stored form.
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "game_file_argument.h"
#include "model/game_file.h"
#include "model/pgn.h"

namespace marovin::tool {

namespace {

// The value of an option that takes one ("--notation wxf"), consumed from arguments.
std::optional<std::string_view> takeOption(std::vector<std::string_view>& arguments, std::string_view name,
                                           bool& missingValue)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != name)
            continue;
        if (i + 1 >= arguments.size()) {
            missingValue = true;
            return std::nullopt;
        }
        const std::string_view value = arguments[i + 1];
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                        arguments.begin() + static_cast<std::ptrdiff_t>(i + 2));
        return value;
    }
    return std::nullopt;
}

// OUT for game n of several: "games.gam" -> "games-3.gam".
std::string numberedPath(std::string_view out, int n)
{
    const std::size_t slash = out.rfind('/');
    std::size_t dot = out.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash) || dot == 0)
        dot = out.size();
    return std::string(out.substr(0, dot)) + "-" + std::to_string(n) + std::string(out.substr(dot));
}

} // namespace

int RunPgn(Arguments arguments, Streams& streams)
{
    std::vector<std::string_view> rest(arguments.begin(), arguments.end());
    bool missing = false;
    const auto name = takeOption(rest, "--notation", missing);
    const auto notation = name ? model::NotationFromName(*name) : model::MoveNotation::Iccs;
    if (missing || !notation)
        return Fail(streams, kExitBadInput, "usage: pgn FILE [--notation iccs|wxf|chinese]");
    return RunOnOneGame("pgn", rest, streams, [&](model::CGame& game) {
        streams.out << model::PgnText(game, *notation);
        return kExitOk;
    });
}

int RunImport(Arguments arguments, Streams& streams)
{
    std::vector<std::string_view> rest(arguments.begin(), arguments.end());
    bool missing = false;
    const auto gameOption = takeOption(rest, "--game", missing);
    const auto allAt = std::find(rest.begin(), rest.end(), "--all");
    const bool all = allAt != rest.end();
    if (all)
        rest.erase(allAt);
    int wanted = 1;
    if (gameOption) {
        const auto [end, error] = std::from_chars(gameOption->data(), gameOption->data() + gameOption->size(), wanted);
        if (error != std::errc() || end != gameOption->data() + gameOption->size() || wanted < 1)
            missing = true;
    }
    if (missing || rest.size() != 2 || (all && gameOption))
        return Fail(streams, kExitBadInput, "usage: import PGN OUT [--game N | --all]");
    const std::string path(rest[0]);
    std::string text, error;
    if (!model::ReadPgnFile(path, text, error))
        return Fail(streams, kExitBadInput, "the PGN file " + error, {path});

    model::PgnReader reader(text);
    model::PgnGameText game;
    int number = 0;
    int status = kExitOk;
    while (reader.next(game)) {
        if (++number != wanted && !all)
            continue;
        ToolPorts ports(streams.err);
        model::CGame record(ports.ports());
        std::string warning;
        const std::string out = all ? numberedPath(rest[1], number) : std::string(rest[1]);
        const bool whole = model::BuildPgnGame(game, record, error, warning);
        const Place place{path, whole ? game.line : 0};
        if (!warning.empty())
            Report(streams.err, "warning: game " + std::to_string(number) + ": " + warning, place);
        if (!whole) {
            Report(streams.err, "game " + std::to_string(number) + ": " + error + "; " + out +
                                    " holds the moves before it", {path});
            status = kExitBadInput;
        }
        if (!model::WriteGameFile(record, out, model::GameFileForm::New))
            return kExitFailure;
        if (!all)
            return status;
    }
    if (number == 0)
        return Fail(streams, kExitBadInput, "the PGN file holds no game", {path});
    if (!all)
        return Fail(streams, kExitBadInput,
                    "the PGN file holds " + std::to_string(number) + " game" + (number == 1 ? "" : "s") +
                        ", not " + std::to_string(wanted),
                    {path});
    return status;
}

} // namespace marovin::tool
