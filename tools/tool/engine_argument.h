#pragma once
// What the engine subcommands share: numbers within bounds, and the engine to run (the
// one of the engine settings, unless --engine names another).

#include <optional>
#include <string>
#include <string_view>

#include "engine/engine_client.h"
#include "tool.h"

namespace marovin::tool {

// A decimal number without sign within [low, high]; nothing otherwise.
std::optional<int> ParseNumberIn(std::string_view text, int low, int high);

// The engine's options for the configured engine, or path when given; nothing (reported
// on the error stream) when no such engine is found.
std::optional<engine::EngineOptions> ChooseEngine(const std::optional<std::string>& path, Streams& streams);

} // namespace marovin::tool
