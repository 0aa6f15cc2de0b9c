#pragma once
// Game files for the file subcommands: ports that turn the record's boxes and warnings
// into lines on standard error, reading a file into a game, and its main line.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/game.h"
#include "tool.h"

namespace marovin::tool {

// The world as a game record sees it from a command-line program: message boxes and
// warnings go to the error stream, the terminal's echo of the file is dropped, questions
// are answered No, and there are no windows.
class ToolPorts {
public:
    explicit ToolPorts(std::ostream& err);
    ~ToolPorts();
    model::GamePorts ports();
    // The settings the games of these ports read (merging notes, the stored form).
    model::GameSettings& settings();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// Reads a game file into game. Returns false (the reason already written to the error
// stream by the reader) when it is missing or not a game file.
bool ReadGameArgument(model::CGame& game, const std::string& path);

// The frame of a subcommand that takes exactly one game FILE: checks the arguments, reads
// the file and hands the game to use. Returns the exit status (bad input when the
// arguments or the file are wrong, otherwise what use returns).
int RunOnOneGame(std::string_view command, Arguments arguments, Streams& streams,
                 const std::function<int(model::CGame&)>& use);

// The moves of the main line (alternative 0 everywhere), start marker excluded, with the
// start marker first so that its note can be shown.
std::vector<const model::MoveEntry*> MainLine(const model::CGame& game);

} // namespace marovin::tool
