#pragma once
// The program's command line. Read before the application object exists, so that
// --help and --version work without a display.

#include <string>
#include <vector>

namespace marovin::shell {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool quitAfterStart = false; // start up, show the main window, then end (for tests)
    std::string settingsFile;    // empty: the environment or the configuration folder
    std::string error;           // not empty: what was wrong with the arguments
    std::vector<std::string> files;             // game files to open, in order
    std::vector<std::string> platformArguments; // options for Qt (-platform NAME, …)
};

CommandLine parseCommandLine(int argc, const char* const* argv);
// The text --help prints.
std::string usageText(const std::string& program);

} // namespace marovin::shell
