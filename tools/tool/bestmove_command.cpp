// marovin-tool bestmove [FEN] [--movetime MS] [--depth N] [--engine PATH]: the engine's best
// move in the coordinate text ("H2-E2"). The engine is the one of the engine settings
// unless --engine names another; without limits it thinks for one second.
#include <string>
#include <vector>

#include "engine/posix_engine_process.h"
#include "engine_argument.h"
#include "model/legality.h"
#include "position_argument.h"

namespace marovin::tool {

namespace {

constexpr int kDefaultMovetimeMs = 1000;
constexpr int kLongestMovetimeMs = 3600 * 1000;
constexpr int kDeepestDepth = 100;

std::string noMoveText(model::GameStatus status, bool redToMove)
{
    const std::string side = redToMove ? "Red" : "Black";
    return "no legal move: " + side + (status == model::GameStatus::Checkmate ? " is checkmated" : " is stalemated");
}

} // namespace

int RunBestMove(Arguments arguments, Streams& streams)
{
    engine::SearchLimits limits;
    std::optional<std::string> enginePath;
    std::vector<std::string_view> fenFields;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool takesValue = argument == "--movetime" || argument == "--depth" || argument == "--engine";
        if (!takesValue) {
            if (argument.starts_with("--"))
                return Fail(streams, kExitBadInput, "unknown option '" + std::string(argument.substr(0, 40)) + "'");
            fenFields.push_back(argument);
            continue;
        }
        if (i + 1 >= arguments.size())
            return Fail(streams, kExitBadInput, std::string(argument) + " needs a value");
        const std::string_view value = arguments[++i];
        if (argument == "--engine") {
            enginePath = std::string(value);
            continue;
        }
        const bool movetime = argument == "--movetime";
        const auto number = movetime ? ParseNumberIn(value, 1, kLongestMovetimeMs) : ParseNumberIn(value, 1, kDeepestDepth);
        if (!number)
            return Fail(streams, kExitBadInput,
                        movetime ? "the move time must be 1 to " + std::to_string(kLongestMovetimeMs) + " ms"
                                 : "the depth must be 1 to " + std::to_string(kDeepestDepth));
        (movetime ? limits.movetimeMs : limits.depth) = *number;
    }
    if (limits.movetimeMs == 0 && limits.depth == 0)
        limits.movetimeMs = kDefaultMovetimeMs;

    const auto position = ReadPositionArgument(fenFields, streams);
    if (!position)
        return kExitBadInput;
    const model::GameStatus status = model::EvaluatePosition(position->board, position->redToMove);
    if (status != model::GameStatus::Playing)
        return Fail(streams, kExitBadInput, noMoveText(status, position->redToMove));

    const auto options = ChooseEngine(enginePath, streams);
    if (!options)
        return kExitBadInput;

    engine::EnginePosition request;
    request.start = position->board;
    request.redToMove = position->redToMove;
    request.counts = position->counts;
    const engine::BestMoveResult result = engine::SearchBestMove(*options, request, limits);
    if (!result.move)
        return Fail(streams, kExitBadInput, result.error);
    streams.out << model::FormatCoordinateMove(result.move->from, result.move->to) << "\n";
    return kExitOk;
}

} // namespace marovin::tool
