// marovin-tool image: a board view drawn as a PNG file, exactly as a game window of that
// client size draws it (the status bar's strip shows the background; there are no
// controls).
//
//   image [FILE] [--fen FEN] [--ply N] [--size WxH | --grow WxH] [--text-height N] [--flip]
//         [--settings FILE] -o OUT.png
//
// --grow draws the board as a window that lets it grow does: as large as the size holds,
// with antialiased pieces.
//
// FILE: the position after N moves of its main line (its end without --ply), with the
// last move highlighted. FEN: that position, no highlight. Neither: the opening.
#include <QFile>
#include <QImage>

#include <charconv>
#include <memory>
#include <optional>
#include <string>

#include "board/board_bitmap.h"
#include "board/board_painter.h"
#include "board/glyph_sets.h"
#include "game_file_argument.h"
#include "gui_application.h"
#include "model/fen.h"
#include "platform/platform_defaults.h"
#include "support/guarded_file.h"

namespace marovin::tool {
namespace {

constexpr int kDefaultWidth = 440; // the board pane of a new game window
constexpr int kDefaultHeight = 560;
constexpr int kMaxImageSide = 10000;
constexpr int kMaxTextHeight = 200;

struct ImageRequest {
    std::string file;
    std::optional<std::string> fen;
    std::optional<int> ply;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    std::optional<int> textHeight;
    bool flip = false;
    bool grow = false;
    std::optional<std::string> settings;
    std::string output;
};

std::optional<int> number(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// "WxH" with both sides 1..kMaxImageSide.
bool readSize(std::string_view text, ImageRequest& request)
{
    const auto x = text.find('x');
    if (x == std::string_view::npos)
        return false;
    const auto width = number(text.substr(0, x)), height = number(text.substr(x + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > kMaxImageSide || *height > kMaxImageSide)
        return false;
    request.width = *width;
    request.height = *height;
    return true;
}

// Reads the arguments; a mistake is reported and gives nothing.
std::optional<ImageRequest> readRequest(Arguments arguments, std::ostream& err)
{
    ImageRequest request;
    const auto fail = [&](const std::string& text) {
        Report(err, "image: " + text);
        return std::nullopt;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        const auto value = [&] { return std::string(arguments[++i]); };
        if (argument == "--flip") {
            request.flip = true;
        } else if (argument == "--fen" || argument == "--ply" || argument == "--size" || argument == "--grow" ||
                   argument == "--text-height" ||
                   argument == "--settings" || argument == "-o") {
            if (!hasValue)
                return fail(std::string(argument) + " needs a value");
            const std::string text = value();
            if (argument == "--fen") {
                request.fen = text;
            } else if (argument == "--ply") {
                request.ply = number(text);
                if (!request.ply || *request.ply < 0)
                    return fail("--ply must be a number of moves, 0 or more");
            } else if (argument == "--size" || argument == "--grow") {
                if (!readSize(text, request))
                    return fail(std::string(argument) + " must be WxH, each from 1 to " +
                                std::to_string(kMaxImageSide));
                request.grow = request.grow || argument == "--grow";
            } else if (argument == "--text-height") {
                request.textHeight = number(text);
                if (!request.textHeight || *request.textHeight < 1 || *request.textHeight > kMaxTextHeight)
                    return fail("--text-height must be a number from 1 to " + std::to_string(kMaxTextHeight));
            } else if (argument == "--settings") {
                request.settings = text;
            } else {
                request.output = text;
            }
        } else if (argument.starts_with("-") || !request.file.empty()) {
            return fail("unexpected argument '" + std::string(argument.substr(0, 40)) + "'");
        } else {
            request.file = std::string(argument);
        }
    }
    if (request.output.empty())
        return fail("the output file is missing (-o OUT.png)");
    if (!request.file.empty() && request.fen)
        return fail("give a game FILE or --fen, not both");
    if (request.ply && request.file.empty())
        return fail("--ply needs a game FILE");
    return request;
}

// The position to draw: the game's main line after the asked moves, a FEN, or the opening.
std::optional<board::BoardScene> readScene(const ImageRequest& request, ToolPorts& ports, std::ostream& err)
{
    board::BoardScene scene;
    if (request.fen) {
        std::string error;
        const auto position = model::ReadFen(*request.fen, error);
        if (!position) {
            Report(err, "image: invalid FEN: " + error);
            return std::nullopt;
        }
        scene.board = position->board;
    } else if (!request.file.empty()) {
        model::CGame game(ports.ports());
        if (!ReadGameArgument(ports, game, request.file))
            return std::nullopt;
        game.RecomputePathLength(true); // the main line: alternative 0 everywhere
        const int moves = game.pathLength();
        if (request.ply && *request.ply > moves) {
            Report(err, "image: the main line has only " + std::to_string(moves) + " moves", Place{request.file});
            return std::nullopt;
        }
        game.Navigate(model::kGoToPly, request.ply.value_or(moves));
        scene = board::sceneOf(game);
    } else {
        scene.board = model::kStandardOpening;
    }
    scene.mode = model::kModeNormal;
    scene.normalOrientation = !request.flip;
    return scene;
}

// The options the drawing reads: the defaults, or those of a settings file.
bool readOptions(const ImageRequest& request, Options& options, DesktopPort& desktop, std::ostream& err)
{
    PlatformDefaults platform = platform::measurePlatformDefaults();
    platform.paletteDisplay = false;
    if (!request.settings) {
        setDefaultOptions(options, platform);
        return true;
    }
    if (!fileExists(*request.settings)) {
        Report(err, "image: no settings file " + *request.settings);
        return false;
    }
    loadOptions(options, platform, *request.settings, desktop);
    return true;
}

} // namespace

int RunImage(Arguments arguments, Streams& streams)
{
    const auto request = readRequest(arguments, streams.err);
    if (!request)
        return kExitBadInput;
    const auto application = guiApplication();
    ToolPorts ports(streams.err);
    const auto scene = readScene(*request, ports, streams.err);
    if (!scene)
        return kExitBadInput;
    auto options = std::make_unique<Options>();
    if (!readOptions(*request, *options, ports.ports().desktop, streams.err))
        return kExitBadInput;

    board::BoardBitmap bitmap;
    board::loadBoardBitmap(*options, ports.ports().desktop, bitmap); // a failure falls back to the board colour
    const board::GlyphSets& glyphs = board::GlyphSets::forProcess();
    if (!options->useCustomFont && !glyphs.missing().empty())
        return Fail(streams, kExitFailure, "image: missing piece image " + glyphs.missing().front().toStdString());

    const int textHeight = request->textHeight.value_or(platform::measureSystemMetrics().textHeight);
    board::BoardPainter painter(*options, bitmap, glyphs, textHeight);
    painter.setGrows(request->grow);
    if (!painter.layoutBoard(request->width, request->height))
        return Fail(streams, kExitBadInput,
                    "image: " + std::to_string(request->width) + "x" + std::to_string(request->height) +
                        " is too small for a board (at least 121x" + std::to_string(2 * textHeight + 132) + ")");
    QImage screen;
    painter.fullRepaint(screen, *scene);
    if (!screen.save(QFile::decodeName(QByteArray::fromStdString(request->output)), "PNG"))
        return Fail(streams, kExitBadInput, "image: cannot write " + request->output);
    return kExitOk;
}

} // namespace marovin::tool
