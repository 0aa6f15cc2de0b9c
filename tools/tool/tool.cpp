#include "tool.h"

#include <streambuf>
#include <string>

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
    {"bestmove", "[FEN] [--movetime MS] [--depth N] [--engine PATH]",
     "the engine's best move (fairy-stockfish unless the engine settings or PATH say otherwise)",
     RunBestMove},
    {"analyse", "FILE [--movetime MS] [--engine PATH] [--graph OUT.png]",
     "the engine's score and best move for every move of the main line, ? and ?? where a move lost",
     RunAnalyse},
    {"pgn", "FILE [--notation iccs|wxf|chinese]", "a game file as PGN (UTF-8) in the chosen move notation",
     RunPgn},
    {"import", "PGN OUT [--game N | --all]",
     "game N (the first by default) of a PGN file as a game file OUT; --all: every game, OUT-1, OUT-2...",
     RunImport},
    {"db", "import|explore|search|export DB ...",
     "a game database: import files and folders, explore a position's moves, search games, export as PGN",
     RunDatabase},
#ifdef MAROVIN_TOOL_IMAGE
    {"image", "[FILE] [--fen FEN] [--ply N] [--size WxH | --grow WxH] [--text-height N] [--flip] [--settings FILE] -o OUT.png",
     "the board as a game window of that size draws it, as a PNG file", RunImage},
    {"print", "FILE -o OUT.pdf [--diagram PLY]...",
     "a game's printed pages (record, notes, variations, diagrams of the start, the end and each PLY) as PDF",
     RunPrint},
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

// Passes everything on to another stream buffer and counts what it passed.
class CountingBuffer : public std::streambuf {
public:
    explicit CountingBuffer(std::streambuf* target) : m_target(target) {}
    std::size_t count() const { return m_count; }

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        ++m_count;
        return m_target ? m_target->sputc(traits_type::to_char_type(c)) : c;
    }
    std::streamsize xsputn(const char* text, std::streamsize size) override
    {
        m_count += static_cast<std::size_t>(size);
        return m_target ? m_target->sputn(text, size) : size;
    }
    int sync() override { return m_target ? m_target->pubsync() : 0; }

private:
    std::streambuf* m_target;
    std::size_t m_count = 0;
};

} // namespace

void Report(std::ostream& err, std::string_view text, const Place& place)
{
    std::string where;
    if (!place.file.empty()) {
        where.append(place.file);
        if (place.byte != 0)
            where.append(": offset ").append(std::to_string(place.byte));
        else if (place.line > 0)
            where.append(":").append(std::to_string(place.line));
        where.append(": ");
    }
    err << "marovin-tool: " << where << text << "\n";
}

int Fail(Streams& streams, int status, std::string_view text, const Place& place)
{
    Report(streams.err, text, place);
    return status;
}

std::span<const Subcommand> Subcommands()
{
    return kSubcommands;
}

int RunSubcommand(const Subcommand& command, Arguments arguments, Streams& streams)
{
    CountingBuffer counted(streams.err.rdbuf());
    std::ostream err(&counted);
    Streams watched{streams.out, err};
    const int status = command.run(arguments, watched);
    if (status != kExitOk && counted.count() == 0)
        Report(err, std::string(command.name) + " failed (exit status " + std::to_string(status) + ")");
    return status;
}

int RunTool(Arguments arguments, Streams& streams)
{
    if (arguments.empty()) {
        Report(streams.err, "no subcommand given");
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
            return RunSubcommand(command, arguments.subspan(1), streams);
    Report(streams.err, "unknown subcommand '" + std::string(name.substr(0, 40)) + "'");
    printUsage(streams.err);
    return kExitBadInput;
}

} // namespace marovin::tool
