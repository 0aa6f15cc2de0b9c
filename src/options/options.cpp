#include "options/options.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "model/position.h"
#include "support/fixed_text.h"
#include "support/guarded_file.h"
#include "support/paths.h"

namespace marovin {
namespace {

constexpr std::uint32_t kAllFormatFields = kMaskBold | kMaskItalic | kMaskSize | kMaskColour | kMaskFace | kMaskCharSet;

TextFormat fixedPitchFormat(const PlatformDefaults& platform, Colour colour)
{
    TextFormat format{};
    format.cbSize = sizeof(TextFormat);
    format.mask = kAllFormatFields;
    format.height = 240; // 12 points
    format.textColour = colour;
    format.charSet = platform.fixedFontCharSet;
    format.pitchAndFamily = platform.fixedFontPitchAndFamily;
    copyBounded(format.faceName, platform.fixedFontFace);
    return format;
}

WindowPlacement normalPlacement()
{
    WindowPlacement placement{};
    placement.length = sizeof(WindowPlacement);
    placement.showCommand = 1;
    return placement;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

void setDefaultTextFormats(Options& options, const PlatformDefaults& platform)
{
    options.inputTextFormat = fixedPitchFormat(platform, 0x000000);
    options.outputTextFormat = fixedPitchFormat(platform, 0x000000);
    options.warningTextFormat = fixedPitchFormat(platform, 0x0000FF);
    options.normalClientTextFormat = fixedPitchFormat(platform, 0x000000);
    options.typedTextFormat = fixedPitchFormat(platform, 0x000000);
    const Colour specialColours[3] = {0x008000, 0xFF0000, 0x0000FF};
    for (int i = 0; i < 10; ++i)
        options.specialLineFormat[i] = fixedPitchFormat(platform, i < 3 ? specialColours[i] : 0x000000);
    copyBounded(options.specialLineLead[0], "!");
    copyBounded(options.specialLineLead[1], "#");
    copyBounded(options.specialLineLead[2], "{tovalk");
}

void setDefaultBoardLook(Options& options, const PlatformDefaults& platform)
{
    options.redFaceColour = 0xFFFFFF;
    options.redTextColour = 0x0000FF;
    options.blackFaceColour = 0x000000;
    options.blackTextColour = 0xFFFFFF;
    options.pieceCursorColour = 0xFF0000;
    options.boardColour = platform.paletteDisplay ? 0xFFFF00 : 0x00CCFF;
    options.lineColour = 0;
    options.customFont = platform.systemFont;
    static_assert(sizeof options.pieceText == sizeof model::kPieceNames);
    std::memcpy(options.pieceText, model::kPieceNames, sizeof options.pieceText);
    copyBounded(options.boardBitmapPath, platform.programDirectory + "paper.bmp");
}

void setDefaultWindows(Options& options, const PlatformDefaults& platform)
{
    options.mainPlacement = normalPlacement();
    options.terminalPlacement = normalPlacement();
    options.commandWindowPlacement = normalPlacement();
    const bool large = platform.screenWidth >= kLargeScreenWidth;
    options.playingSize = builtInWindowSize(large ? 2 : 1);
    options.lookingSize = builtInWindowSize(large ? 4 : 3);
    options.showAliasWindow = 1;
    options.showFingerWindow = 1;
    options.showGamesWindow = 1;
    options.showMatchWindow = 1;
    options.showWhoWindow = 1;
}

void setDefaultSession(Options& options)
{
    copyBounded(options.servers[0].host, kPracticeServerHost);
    for (auto& server : options.servers)
        server.port = kDefaultServerPort;
    options.promptGameOver = 1;
    options.echoTypedText = 1;
    options.handCursorOnPick = 1;
    copyBounded(options.startupCommands, "who -2\r\n");
    copyBounded(options.autoCommands, "/ hi all\r\n# who -2\r\n");
    copyBounded(options.thanksText, "Thanks!");
    copyBounded(options.seekText, "Game any one???");
    options.saveNewFormat = 1;
}

} // namespace

WindowSizeRecord builtInWindowSize(int index)
{
    struct Size {
        int width, height, boardPane, notePane;
    };
    static constexpr Size kSizes[5] = {
        {300, 364, 283, 0}, {372, 445, 355, 0}, {450, 530, 432, 0}, {597, 445, 360, 220}, {696, 530, 432, 240}};
    const Size& size = kSizes[std::clamp(index, 0, 4)];
    WindowSizeRecord record{};
    record.placement = normalPlacement();
    record.placement.normalRect = {0, 0, size.width, size.height};
    record.boardPaneIdeal = size.boardPane;
    record.boardPaneMinimum = 101;
    record.notePaneIdeal = size.notePane;
    record.notePaneMinimum = 101;
    return record;
}

void setDefaultOptions(Options& options, const PlatformDefaults& platform)
{
    std::memset(&options, 0, sizeof options);
    options.chineseLocale = equalsIgnoringCase(platform.languageCode, "cht") ? 1 : 0;
    options.inputBackColour = 0xFFFFFF;
    options.outputBackColour = 0xFFFFFF;
    setDefaultTextFormats(options, platform);
    setDefaultBoardLook(options, platform);
    setDefaultWindows(options, platform);
    setDefaultSession(options);
}

void loadOptions(Options& options, const PlatformDefaults& platform, const std::string& path, DesktopPort& desktop)
{
    setDefaultOptions(options, platform);
    if (fileExists(path)) {
        GuardedFile file(desktop);
        if (file.openForReading(path)) {
            // An older or newer layout is read over this one byte by byte.
            const auto count = static_cast<std::size_t>(std::clamp<std::int64_t>(file.length(), 0, kOptionsSize));
            if (count > 0)
                file.readBytes(&options, count);
            file.closeFile();
        }
    } else {
        saveOptions(options, path, desktop);
    }
    if (options.resetOptionsAtStart != 0)
        setDefaultOptions(options, platform);
}

bool saveOptions(const Options& options, const std::string& path, DesktopPort& desktop)
{
    ensureFolder(folderOf(path)); // a folder that cannot be made shows up as the open failure
    GuardedFile file(desktop);
    if (!file.openForWriting(path, FileAccess::OwnerOnly))
        return false;
    const bool written = file.writeBytes(&options, sizeof options);
    return file.closeFile() && written;
}

bool optionsDiffer(const Options& a, const Options& b)
{
    return std::memcmp(&a, &b, sizeof(Options)) != 0;
}

bool SettingsFile::commit(Options& live, const Options& edited) const
{
    if (!optionsDiffer(live, edited))
        return false;
    if (&live != &edited)
        std::memcpy(&live, &edited, sizeof live);
    save(live);
    return true;
}

std::optional<ListFontSpec> listFontSpec(const TextFormat& format)
{
    const std::string_view face = fieldText(format.faceName);
    if (face.empty())
        return std::nullopt;
    ListFontSpec fontSpec;
    fontSpec.faceName.assign(face);
    const std::int64_t pixels = (static_cast<std::int64_t>(format.height) + 6) / 12;
    fontSpec.pixelHeight = static_cast<int>(std::clamp<std::int64_t>(pixels, 1, kMaxListFontPixels));
    fontSpec.weight = (format.effects & kEffectBold) ? 700 : 400;
    fontSpec.italic = (format.effects & kEffectItalic) != 0;
    fontSpec.charSet = format.charSet;
    fontSpec.pitchAndFamily = format.pitchAndFamily;
    return fontSpec;
}

void showProgramMessage(DesktopPort& desktop, const char* pattern, ...)
{
    char text[2000];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    desktop.captionedBox(text, "Program message...");
}

} // namespace marovin
