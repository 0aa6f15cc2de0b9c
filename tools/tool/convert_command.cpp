// marovin-tool convert --to old|new FILE...: rewrites game files in place in the chosen
// stored form, keeping their headers, notes and set-up positions.
#include "game_file_argument.h"
#include "model/game_file.h"

namespace marovin::tool {

int RunConvert(Arguments arguments, Streams& streams)
{
    if (arguments.size() < 3 || arguments[0] != "--to" || (arguments[1] != "old" && arguments[1] != "new"))
        return Fail(streams, kExitBadInput, "usage: convert --to old|new FILE...");
    const bool toNew = arguments[1] == "new";
    int status = kExitOk;
    for (std::string_view argument : arguments.subspan(2)) {
        const std::string path(argument);
        ToolPorts ports(streams.err);
        model::CGame game(ports.ports());
        bool leftUnread = false;
        if (!ReadGameArgument(ports, game, path, &leftUnread)) {
            status = kExitBadInput;
            continue;
        }
        if (leftUnread) { // rewriting the file would lose the text at its end
            Report(streams.err, "not converted: the text at its end was not read and would be lost", {path});
            status = kExitBadInput;
            continue;
        }
        if (!model::WriteGameFile(game, path, toNew ? model::GameFileForm::New : model::GameFileForm::Old)) {
            if (status == kExitOk)
                status = kExitFailure;
            continue;
        }
        streams.out << path << ": " << (toNew ? "new" : "old") << " format\n";
    }
    return status;
}

} // namespace marovin::tool
