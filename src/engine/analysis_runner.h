#pragma once
// A whole-game analysis run to its end in a program without an event loop (the
// command-line tool, benchmarks): an engine of its own, started for the run and let go
// after it. Results reach the port as they come.

#include <string>

#include "engine/game_analysis.h"

namespace marovin::engine {

struct AnalysisRun {
    AnalysisEnd end = AnalysisEnd::Failed;
    std::string message; // why it failed
};

// Analyses the positions of game chosen by settings with the engine of options.
AnalysisRun RunGameAnalysis(const EngineOptions& options, const model::CGame& game, const AnalysisSettings& settings,
                            AnalysisPort& port);

} // namespace marovin::engine
