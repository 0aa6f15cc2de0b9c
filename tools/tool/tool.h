#pragma once
// marovin-tool: a command-line program for users and tests, one subcommand per job.
//
//   marovin-tool SUBCOMMAND ARGUMENTS...
//
// Output is UTF-8 text on standard output; errors go to standard error. Exit status 0 on
// success, 2 for bad input (arguments, FEN, depth, files that are not game files), 1 when
// a file could not be written.

#include <ostream>
#include <span>
#include <string_view>

namespace marovin::tool {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadInput = 2;

using Arguments = std::span<const std::string_view>;

// Where a subcommand writes.
struct Streams {
    std::ostream& out;
    std::ostream& err;
};

struct Subcommand {
    std::string_view name;
    std::string_view usage;   // the arguments, for the usage text
    std::string_view summary; // one line
    int (*run)(Arguments arguments, Streams& streams);
};

// Every subcommand, in the order the usage text lists them.
std::span<const Subcommand> Subcommands();

// Runs the program on its arguments (without the program name) and returns the exit status.
int RunTool(Arguments arguments, Streams& streams);

// The subcommands, each in its own file.
int RunMoves(Arguments arguments, Streams& streams);
int RunPerft(Arguments arguments, Streams& streams);
int RunFen(Arguments arguments, Streams& streams);
int RunShow(Arguments arguments, Streams& streams);
int RunConvert(Arguments arguments, Streams& streams);
int RunRecord(Arguments arguments, Streams& streams);
int RunDiagram(Arguments arguments, Streams& streams);
int RunMerge(Arguments arguments, Streams& streams);
int RunImage(Arguments arguments, Streams& streams); // only in builds with the GUI

} // namespace marovin::tool
