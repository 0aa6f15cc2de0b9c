// marovin-tool merge OUT FILE... [--old] [--notes]: merges game files into one tree of
// variations (an opening book) and writes it to OUT, in the new stored form (the old one
// with --old). Mirror-image openings are turned to one side; --notes brings the files'
// notes along, each once.
#include <string>
#include <vector>

#include "game_file_argument.h"
#include "model/game_file.h"
#include "model/merge.h"

namespace marovin::tool {

int RunMerge(Arguments arguments, Streams& streams)
{
    bool old = false;
    bool notes = false;
    std::vector<std::string> paths; // OUT first
    for (std::string_view argument : arguments) {
        if (argument == "--old") {
            old = true;
        } else if (argument == "--notes") {
            notes = true;
        } else if (argument.starts_with("--")) {
            return Fail(streams, kExitBadInput,
                        "merge: unknown option '" + std::string(argument.substr(0, 40)) + "'");
        } else {
            paths.emplace_back(argument);
        }
    }
    if (paths.size() < 2)
        return Fail(streams, kExitBadInput, "usage: merge OUT FILE... [--old] [--notes]");
    ToolPorts ports(streams.err);
    ports.settings().mergeAppendNotes = notes;
    model::CGame game(ports.ports());
    const std::span<const std::string> files(paths.begin() + 1, paths.end());
    int merged = 0;
    for (std::size_t i = 0; i < files.size(); ++i)
        merged +=
            ports.readExplained([&] { return model::MergeFilesIntoGame(game, files.subspan(i, 1)) == 1; });
    if (merged == 0)
        return Fail(streams, kExitBadInput,
                    "merge: no file could be merged; " + paths[0] + " is not written");
    if (!model::WriteGameFile(game, paths[0], old ? model::GameFileForm::Old : model::GameFileForm::New))
        return kExitFailure;
    game.RecomputePathLength(true);
    streams.out << paths[0] << ": " << merged << " of " << files.size() << " files merged, main line of "
                << game.pathLength() << " moves\n";
    return merged == static_cast<int>(files.size()) ? kExitOk : kExitBadInput;
}

} // namespace marovin::tool
