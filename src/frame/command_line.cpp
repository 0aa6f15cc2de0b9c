#include "frame/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace marovin::shell {

namespace {

// Qt's options that take the next argument as their value.
constexpr std::array<std::string_view, 14> kQtOptionsWithValue = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin",       "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",   "-style",         "-stylesheet",    "-session",
    "-display",     "-geometry",       "-title",         "-qmljsdebugger"};

bool takesValue(std::string_view option)
{
    return std::find(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(), option) != kQtOptionsWithValue.end();
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--version" || argument == "-v") {
            line.version = true;
        } else if (argument == "--quit-after-start") {
            line.quitAfterStart = true;
        } else if (argument == "--settings") {
            if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
                line.error = "--settings needs a file name";
                return line;
            }
            line.settingsFile = argv[++i];
        } else if (argument.substr(0, 11) == "--settings=") {
            line.settingsFile = argument.substr(11);
            if (line.settingsFile.empty()) {
                line.error = "--settings needs a file name";
                return line;
            }
        } else if (argument == "--") {
            for (++i; i < argc; ++i)
                line.files.emplace_back(argv[i]);
        } else if (argument.empty() || argument.front() != '-') {
            line.files.emplace_back(argument);
        } else {
            line.platformArguments.emplace_back(argument);
            if (takesValue(argument) && i + 1 < argc)
                line.platformArguments.emplace_back(argv[++i]);
        }
    }
    return line;
}

std::string usageText(const std::string& program)
{
    return "Usage: " + program + " [options] [GAME-FILE...]\n"
           "A client for the OMRA Chinese-chess server and an offline game-record editor.\n"
           "Each GAME-FILE opens in a game window.\n\n"
           "Options:\n"
           "  --settings FILE      keep the settings in FILE (default: $MAROVIN_SETTINGS, else\n"
           "                       $XDG_CONFIG_HOME/marovin/Marovin.dat)\n"
           "  --quit-after-start   start up, show the main window, then end without saving\n"
           "                       (for tests and scripts)\n"
           "  --version, -v        print the version and end\n"
           "  --help, -h           print this text and end\n\n"
           "Qt's own options (-platform NAME, -style NAME, ...) are accepted as well.\n";
}

} // namespace marovin::shell
