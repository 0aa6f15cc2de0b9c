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
// warnings go to the error stream, marked with the place in the file being read when they
// arise while one is, the terminal's echo of the file is dropped, questions are answered
// No, and there are no windows.
class ToolPorts {
public:
    explicit ToolPorts(std::ostream& err);
    ~ToolPorts();
    model::GamePorts ports();
    // The settings the games of these ports read (merging notes, the stored form).
    model::GameSettings& settings();

    // Runs read, a reading of a game file through these ports that says whether it
    // succeeded, and makes sure a failure is explained on the error stream: when the
    // reader stopped without a message, says where it stopped.
    bool readExplained(const std::function<bool()>& read);

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// Reads the game file at path into game (whose ports are ports'). Returns false when it
// is missing, not a game file or not read whole; the reason is on the error stream.
bool ReadGameArgument(ToolPorts& ports, model::CGame& game, const std::string& path, bool* leftUnread = nullptr);

// The frame of a subcommand that takes exactly one game FILE: checks the arguments, reads
// the file and hands the game to use. Returns the exit status (bad input when the
// arguments or the file are wrong, otherwise what use returns).
int RunOnOneGame(std::string_view command, Arguments arguments, Streams& streams,
                 const std::function<int(model::CGame&)>& use);

// The moves of the main line (alternative 0 everywhere), start marker excluded, with the
// start marker first so that its note can be shown.
std::vector<const model::MoveEntry*> MainLine(const model::CGame& game);

} // namespace marovin::tool
