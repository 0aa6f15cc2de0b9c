// marovin-tool print FILE -o OUT.pdf [--diagram PLY]...: a game's printed pages as a PDF
// file, the same pages the program prints: the header, the Chinese record with its notes
// and variations, and diagrams of the start, of the main line's end and of the position
// after PLY moves of the main line for each --diagram.
#include <charconv>
#include <string>
#include <vector>

#include "game_file_argument.h"
#include "gui_application.h"
#include "model/print_layout.h"
#include "printing/record_printer.h"

namespace marovin::tool {

namespace {

struct PrintRequest {
    std::vector<std::string_view> files;
    std::string output;
    std::vector<int> diagrams;
};

std::optional<PrintRequest> readRequest(Arguments arguments, Streams& streams)
{
    PrintRequest request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "-o" || argument == "--diagram") {
            if (i + 1 == arguments.size()) {
                Fail(streams, kExitBadInput, "print: " + std::string(argument) + " needs a value");
                return std::nullopt;
            }
            const std::string_view value = arguments[++i];
            if (argument == "-o") {
                request.output = std::string(value);
                continue;
            }
            int ply = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), ply);
            if (value.empty() || error != std::errc() || end != value.data() + value.size() || ply < 0) {
                Fail(streams, kExitBadInput, "print: --diagram takes a number of moves, 0 or more");
                return std::nullopt;
            }
            request.diagrams.push_back(ply);
        } else if (argument.starts_with("-")) {
            Fail(streams, kExitBadInput, "print: unknown option '" + std::string(argument.substr(0, 40)) + "'");
            return std::nullopt;
        } else {
            request.files.push_back(argument);
        }
    }
    if (request.output.empty()) {
        Fail(streams, kExitBadInput, "print: the output file is missing (-o OUT.pdf)");
        return std::nullopt;
    }
    return request;
}

} // namespace

int RunPrint(Arguments arguments, Streams& streams)
{
    const std::optional<PrintRequest> request = readRequest(arguments, streams);
    if (!request)
        return kExitBadInput;
    const auto application = guiApplication();
    return RunOnOneGame("print", request->files, streams, [&](model::CGame& game) {
        // MainLine holds the start marker first, so index n is the entry of move n.
        const std::vector<const model::MoveEntry*> line = MainLine(game);
        std::vector<const model::MoveEntry*> marked;
        for (const int ply : request->diagrams) {
            if (static_cast<std::size_t>(ply) >= line.size())
                return Fail(streams, kExitBadInput,
                            "print: the main line has only " + std::to_string(line.size() - 1) + " moves",
                            Place{request->files.front()});
            if (ply > 0)
                marked.push_back(line[static_cast<std::size_t>(ply)]);
        }
        // A reader of a file who plays neither side sees it from Red's side.
        game.bottomSide = model::kRed;
        const model::PrintDocument document = model::BuildPrintDocument(game, marked);
        if (!printing::WriteRecordPdf(document, QString::fromStdString(request->output)))
            return Fail(streams, kExitFailure, "print: cannot write " + request->output);
        return kExitOk;
    });
}

} // namespace marovin::tool
