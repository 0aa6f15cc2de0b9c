// marovin-tool analyse FILE [--movetime MS] [--engine PATH] [--graph OUT.png]: the engine's
// verdict on every move of a game's main line, one line per ply as it comes:
//
//   PLY MOVE SCORE BEST [MARK]
//   1 H2-E2 32 H2-E2
//   7 A0-A1 -912 B2-B9 ??
//
// MOVE and BEST in the coordinate text, SCORE the position after the move in centipawns
// from Red's side (#N / #-N: Red / Black mates in N), MARK ? for a mistake and ?? for a
// blunder. --graph also draws the scores over the plies as a PNG file.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "engine/analysis_runner.h"
#include "engine_argument.h"
#include "game_file_argument.h"
#include "score_graph_file.h"

namespace marovin::tool {

namespace {

constexpr int kDefaultMovetimeMs = 1000;

struct AnalyseRequest {
    std::string file;
    engine::AnalysisSettings settings;
    std::optional<std::string> enginePath;
    std::optional<std::string> graph;
};

std::optional<AnalyseRequest> readRequest(Arguments arguments, Streams& streams)
{
    AnalyseRequest request;
    request.settings.movetimeMs = kDefaultMovetimeMs;
    const auto fail = [&](const std::string& text) {
        Fail(streams, kExitBadInput, "analyse: " + text);
        return std::nullopt;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--movetime" || argument == "--engine" || argument == "--graph") {
            if (i + 1 >= arguments.size())
                return fail(std::string(argument) + " needs a value");
            const std::string_view value = arguments[++i];
            if (argument == "--engine") {
                request.enginePath = std::string(value);
            } else if (argument == "--graph") {
                request.graph = std::string(value);
            } else {
                const auto ms = ParseNumberIn(value, engine::kShortestAnalysisMs, engine::kLongestAnalysisMs);
                if (!ms)
                    return fail("the move time must be " + std::to_string(engine::kShortestAnalysisMs) + " to " +
                                std::to_string(engine::kLongestAnalysisMs) + " ms");
                request.settings.movetimeMs = *ms;
            }
        } else if (argument.starts_with("-") || !request.file.empty()) {
            return fail("unexpected argument '" + std::string(argument.substr(0, 40)) + "'");
        } else {
            request.file = std::string(argument);
        }
    }
    if (request.file.empty())
        return fail("the game FILE is missing");
    if (request.graph && !CanWriteScoreGraph())
        return fail("this build draws no graphs (it was built without Qt)");
    return request;
}

// Prints each move of the main line and keeps the graph's values.
class PrintedAnalysis : public engine::AnalysisPort {
public:
    PrintedAnalysis(std::ostream& out, std::size_t plies) : m_out(out)
    {
        graph.values.resize(plies + 1);
        graph.marks.resize(plies + 1);
    }
    void analysisProgress(int, int) override {}
    void moveAnalysed(const engine::AnalysedMove& move) override
    {
        const auto ply = static_cast<std::size_t>(move.ply());
        if (!move.mainLine || ply >= graph.values.size())
            return;
        m_out << move.ply() << ' ' << model::FormatCoordinateMove(move.move().from, move.move().to) << ' '
              << engine::CentipawnText(move.valueAfter) << ' '
              << (move.best ? model::FormatCoordinateMove(move.best->from, move.best->to) : std::string("-"));
        if (move.mark != model::MoveMark::None)
            m_out << ' ' << model::MarkText(move.mark);
        m_out << std::endl; // each line as soon as it is known
        graph.values[ply - 1] = move.valueBefore;
        graph.values[ply] = move.valueAfter;
        graph.marks[ply] = move.mark;
    }
    void analysisEnded(engine::AnalysisEnd, std::string_view) override {}

    ScoreGraphValues graph;

private:
    std::ostream& m_out;
};

} // namespace

int RunAnalyse(Arguments arguments, Streams& streams)
{
    const auto request = readRequest(arguments, streams);
    if (!request)
        return kExitBadInput;
    ToolPorts ports(streams.err);
    model::CGame game(ports.ports());
    if (!ReadGameArgument(ports, game, request->file))
        return kExitBadInput;
    const auto options = ChooseEngine(request->enginePath, streams);
    if (!options)
        return kExitBadInput;
    game.RecomputePathLength(true); // the main line
    PrintedAnalysis printed(streams.out, static_cast<std::size_t>(game.pathLength()));
    const engine::AnalysisRun run = engine::RunGameAnalysis(*options, game, request->settings, printed);
    if (run.end != engine::AnalysisEnd::Finished)
        return Fail(streams, kExitBadInput, "analyse: " + run.message);
    std::string error;
    if (request->graph && !WriteScoreGraph(*request->graph, printed.graph, error))
        return Fail(streams, kExitFailure, "analyse: " + error);
    return kExitOk;
}

} // namespace marovin::tool
