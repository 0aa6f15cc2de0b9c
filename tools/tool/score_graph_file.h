#pragma once
// The score graph of `analyse --graph` as a PNG file, drawn by the game window's graph
// painter (in builds with Qt).

#include <optional>
#include <string>
#include <vector>

#include "model/analysis_note.h"

namespace marovin::tool {

struct ScoreGraphValues {
    std::vector<std::optional<int>> values; // by ply, from Red's side
    std::vector<model::MoveMark> marks;     // by ply
};

constexpr int kScoreGraphWidth = 640;
constexpr int kScoreGraphHeight = 200;

bool CanWriteScoreGraph();
// Writes the graph to path; false, with error, when the file cannot be written.
bool WriteScoreGraph(const std::string& path, const ScoreGraphValues& graph, std::string& error);

} // namespace marovin::tool
