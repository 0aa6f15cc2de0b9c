#pragma once
// The optional FEN argument of the position subcommands.

#include <optional>

#include "model/fen.h"
#include "tool.h"

namespace marovin::tool {

// Reads the FEN given as the remaining arguments (one quoted argument, or its fields as
// separate arguments); none gives the opening position. A bad FEN is reported on the error
// stream and gives nothing.
std::optional<model::FenPosition> ReadPositionArgument(Arguments arguments, Streams& streams);

} // namespace marovin::tool
