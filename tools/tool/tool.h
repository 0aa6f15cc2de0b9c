#pragma once
// marovin-tool: a command-line program for users and tests, one subcommand per job.
//
//   marovin-tool SUBCOMMAND ARGUMENTS...
//
// Output is UTF-8 text on standard output; errors go to standard error. Exit status 0 on
// success, 2 for bad input (arguments, FEN, depth, files that are not game files), 1 when
// a file could not be written. Every status but 0 comes with a line on standard error that
// says what went wrong and where (the file, and the line when known).

#include <cstddef>
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

// A place in the input that a message is about: a file, and in it a text line (from 1) or
// the offset of a byte of a compact game body, when known (0 when not).
struct Place {
    std::string_view file;
    int line = 0;
    std::size_t byte = 0;
};

// The one way the program reports a problem: writes the line
// "marovin-tool: FILE:LINE: TEXT" (or "FILE: offset N: ", "FILE: ", nothing, as much of the
// place as is known) on err.
void Report(std::ostream& err, std::string_view text, const Place& place = {});

// Reports text as the failure of a subcommand and returns its exit status.
int Fail(Streams& streams, int status, std::string_view text, const Place& place = {});

// Every subcommand, in the order the usage text lists them.
std::span<const Subcommand> Subcommands();

// Runs one subcommand. A failure that it did not explain on the error stream gets a line
// that says which subcommand failed, so that no failure goes without a word.
int RunSubcommand(const Subcommand& command, Arguments arguments, Streams& streams);

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
int RunBestMove(Arguments arguments, Streams& streams);
int RunAnalyse(Arguments arguments, Streams& streams);
int RunPgn(Arguments arguments, Streams& streams);
int RunImport(Arguments arguments, Streams& streams);
int RunDatabase(Arguments arguments, Streams& streams);
int RunImage(Arguments arguments, Streams& streams); // only in builds with the GUI
int RunPrint(Arguments arguments, Streams& streams); // only in builds with the GUI

} // namespace marovin::tool
