#include "tool.h"

namespace marovin::tool {

namespace {

constexpr Subcommand kSubcommands[] = {
    {"moves", "[FEN]", "the legal moves of the side to move, sorted (the opening when FEN is omitted)",
     RunMoves},
    {"perft", "DEPTH [FEN]", "the number of leaf nodes of the legal-move tree, DEPTH 0..8", RunPerft},
    {"fen", "FILE", "the FEN of the position at the end of a game's main line", RunFen},
    {"show", "FILE", "a game's header fields and its main line in the numeric notation", RunShow},
    {"convert", "--to old|new FILE...", "rewrite game files in place in the chosen stored format",
     RunConvert},
    {"record", "FILE [--big5]", "a game's Chinese text record (UTF-8; --big5: the Big5 bytes)", RunRecord},
    {"diagram", "FILE [PLY]", "the text diagram after PLY moves of the main line (the end if omitted)",
     RunDiagram},
    {"merge", "OUT FILE... [--old] [--notes]", "merge game files into one tree of variations written to OUT",
     RunMerge},
#ifdef MAROVIN_TOOL_IMAGE
    {"image", "[FILE] [--fen FEN] [--ply N] [--size WxH] [--text-height N] [--flip] [--settings FILE] -o OUT.png",
     "the board as a game window of that size draws it, as a PNG file", RunImage},
#endif
};

void printUsage(std::ostream& stream)
{
    stream << "usage: marovin-tool SUBCOMMAND [ARGUMENTS]\n\n";
    for (const Subcommand& command : kSubcommands) {
        const std::string head = std::string(command.name) + " " + std::string(command.usage);
        stream << "  " << head << std::string(head.size() < 34 ? 34 - head.size() : 1, ' ') << command.summary
               << "\n";
    }
}

} // namespace

std::span<const Subcommand> Subcommands()
{
    return kSubcommands;
}

int RunTool(Arguments arguments, Streams& streams)
{
    if (arguments.empty()) {
        printUsage(streams.err);
        return kExitBadInput;
    }
    const std::string_view name = arguments[0];
    if (name == "help" || name == "--help" || name == "-h") {
        printUsage(streams.out);
        return kExitOk;
    }
    for (const Subcommand& command : kSubcommands)
        if (command.name == name)
            return command.run(arguments.subspan(1), streams);
    streams.err << "marovin-tool: unknown subcommand '" << name.substr(0, 40) << "'\n";
    printUsage(streams.err);
    return kExitBadInput;
}

} // namespace marovin::tool
