#include "options/options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstring>

#include "default_image.h"
#include "support/fixed_text.h"
#include "support/guarded_file.h"
#include "testkit/fakes.h"
#include "testkit/temp_folder.h"

// Fields of the packed options record are compared by value (unary +): a reference to
// one may be misaligned.

namespace marovin {
namespace {

using testkit::FakeDesktop;
using testkit::ProgramExit;
using testkit::TempFolder;

PlatformDefaults testPlatform(int screenWidth = 1024)
{
    PlatformDefaults platform;
    platform.fixedFontFace = "DejaVu Sans Mono";
    platform.systemFont.height = -13;
    platform.systemFont.weight = 400;
    platform.systemFont.pitchAndFamily = kVariablePitchSwiss;
    copyBounded(platform.systemFont.faceName, "DejaVu Sans");
    platform.screenWidth = screenWidth;
    platform.programDirectory = "/opt/marovin/";
    return platform;
}

std::string imageOf(const Options& options)
{
    return std::string(reinterpret_cast<const char*>(&options), sizeof options);
}

void expectDefaultsAtTheirOffsets(const std::string& image, bool largeScreen)
{
    ASSERT_EQ(image.size(), 15258u);
    for (const auto& field : testkit::defaultImageFields(largeScreen))
        EXPECT_EQ(image.substr(field.offset, field.bytes.size()), field.bytes) << field.name << " at " << field.offset;
}

TEST(OptionDefaults, SitAtTheirOffsetsForBothScreenSizes)
{
    for (const int width : {800, 949, 950, 1024}) {
        Options options;
        setDefaultOptions(options, testPlatform(width));
        SCOPED_TRACE("screen width " + std::to_string(width));
        expectDefaultsAtTheirOffsets(imageOf(options), width >= 950);
    }
}

TEST(OptionDefaults, TakeThePlatformsFontsFolderAndDisplay)
{
    PlatformDefaults platform = testPlatform();
    platform.paletteDisplay = true;
    Options options;
    setDefaultOptions(options, platform);
    for (const TextFormat* format : {&options.inputTextFormat, &options.typedTextFormat, &options.specialLineFormat[9]}) {
        EXPECT_EQ(fieldText(format->faceName), "DejaVu Sans Mono");
        EXPECT_EQ(format->charSet, kCharSetBig5);
        EXPECT_EQ(format->pitchAndFamily, kFixedPitchModern);
    }
    EXPECT_EQ(std::memcmp(&options.customFont, &platform.systemFont, sizeof(FontDescription)), 0);
    EXPECT_EQ(fieldText(options.boardBitmapPath), "/opt/marovin/paper.bmp");
    EXPECT_EQ(+options.boardColour, 0xFFFF00u);
    EXPECT_EQ(+options.chineseLocale, 0);
}

TEST(OptionDefaults, ChineseLocaleIsTraditionalChineseInAnyCase)
{
    const std::pair<const char*, int> cases[] = {{"cht", 1}, {"CHT", 1}, {"ChT", 1}, {"chs", 0}, {"", 0}, {"chtx", 0}};
    for (const auto& [code, expected] : cases) {
        PlatformDefaults platform = testPlatform();
        platform.languageCode = code;
        Options options;
        setDefaultOptions(options, platform);
        EXPECT_EQ(+options.chineseLocale, expected) << "language \"" << code << "\"";
    }
}

TEST(OptionsFile, AMissingFileGivesDefaultsAndANewOwnerOnlyFile)
{
    TempFolder folder;
    FakeDesktop desktop;
    const std::string path = folder.file("new/folder/Marovin.dat");
    Options options;
    loadOptions(options, testPlatform(800), path, desktop);
    Options defaults;
    setDefaultOptions(defaults, testPlatform(800));
    EXPECT_FALSE(optionsDiffer(options, defaults));

    const std::string written = TempFolder::read(path);
    expectDefaultsAtTheirOffsets(written, false);
    EXPECT_EQ(written, imageOf(defaults));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(desktop.fatalTexts.empty());
}

TEST(OptionsFile, AShortFileChangesOnlyItsBytesAndALongOneIsCut)
{
    TempFolder folder;
    FakeDesktop desktop;
    Options defaults;
    setDefaultOptions(defaults, testPlatform());
    for (const std::size_t length : {std::size_t{1}, std::size_t{100}, std::size_t{15257}, std::size_t{15258},
                                     std::size_t{40000}}) {
        std::string bytes(length, '\x5A');
        for (std::size_t at = 1450; at < 1454 && at < length; ++at)
            bytes[at] = 0; // resetOptionsAtStart stays off
        Options options;
        loadOptions(options, testPlatform(), folder.write("Marovin.dat", bytes), desktop);
        const std::string image = imageOf(options);
        const std::size_t read = std::min<std::size_t>(length, 15258);
        EXPECT_TRUE(image.substr(0, read) == bytes.substr(0, read)) << length << "-byte file: its bytes";
        EXPECT_TRUE(image.substr(read) == imageOf(defaults).substr(read)) << length << "-byte file: the rest";
        EXPECT_TRUE(TempFolder::read(folder.file("Marovin.dat")) == bytes) << "loading never rewrites the file";
    }
    EXPECT_TRUE(desktop.fatalTexts.empty());
}

TEST(OptionsFile, AnEmptyFileIsReplacedByTheDefaults)
{
    TempFolder folder;
    FakeDesktop desktop;
    Options options;
    const std::string path = folder.write("Marovin.dat", "");
    loadOptions(options, testPlatform(), path, desktop);
    EXPECT_EQ(TempFolder::read(path), imageOf(options));
}

TEST(OptionsFile, ResetAtStartFallsBackToDefaults)
{
    TempFolder folder;
    FakeDesktop desktop;
    Options saved;
    setDefaultOptions(saved, testPlatform());
    copyBounded(saved.thanksText, "xie xie");
    saved.resetOptionsAtStart = 1;
    ASSERT_TRUE(saveOptions(saved, folder.file("Marovin.dat"), desktop));

    Options loaded;
    loadOptions(loaded, testPlatform(), folder.file("Marovin.dat"), desktop);
    EXPECT_EQ(fieldText(loaded.thanksText), "Thanks!");
    EXPECT_EQ(+loaded.resetOptionsAtStart, 0);

    saved.resetOptionsAtStart = 0;
    saveOptions(saved, folder.file("Marovin.dat"), desktop);
    loadOptions(loaded, testPlatform(), folder.file("Marovin.dat"), desktop);
    EXPECT_EQ(fieldText(loaded.thanksText), "xie xie");
}

TEST(OptionsFile, AnUnwritableFolderShowsTheFileErrorBox)
{
    TempFolder folder;
    FakeDesktop desktop;
    const std::string path = folder.write("plain-file", "x") + "/Marovin.dat";
    Options options;
    try {
        loadOptions(options, testPlatform(), path, desktop);
        FAIL() << "the error box's way out ends the program";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, 1);
    }
    ASSERT_EQ(desktop.fatalTexts.size(), 1u);
    EXPECT_EQ(desktop.fatalTexts[0], path + "\nAll or part of the path is invalid.\nCan not open file!");
    EXPECT_EQ(desktop.fatalCaptions[0], "File operation error!");
}

TEST(OptionsFile, CommitWritesOnlyWhenAByteDiffers)
{
    TempFolder folder;
    FakeDesktop desktop;
    const SettingsFile settings(folder.file("Marovin.dat"), desktop);
    Options live;
    settings.load(live, testPlatform());
    std::remove(settings.path().c_str());

    Options copy = live;
    EXPECT_FALSE(settings.commit(live, copy));
    EXPECT_FALSE(fileExists(settings.path())) << "an unchanged record is not written";

    copy.showWhoWindow = 0;
    EXPECT_TRUE(settings.commit(live, copy));
    EXPECT_EQ(live.showWhoWindow, 0);
    EXPECT_EQ(TempFolder::read(settings.path()), imageOf(live));
}

TEST(ListFont, FollowsTheOutputFormat)
{
    Options options;
    setDefaultOptions(options, testPlatform());
    TextFormat format = options.outputTextFormat;
    auto fontSpec = listFontSpec(format);
    ASSERT_TRUE(fontSpec);
    EXPECT_EQ(fontSpec->faceName, "DejaVu Sans Mono");
    EXPECT_EQ(fontSpec->pixelHeight, 20); // (240 + 6) / 12
    EXPECT_EQ(fontSpec->weight, 400);
    EXPECT_FALSE(fontSpec->italic);

    format.effects = kEffectBold | kEffectItalic;
    format.height = 200;
    fontSpec = listFontSpec(format);
    EXPECT_EQ(fontSpec->pixelHeight, 17);
    EXPECT_EQ(fontSpec->weight, 700);
    EXPECT_TRUE(fontSpec->italic);

    format.height = INT_MAX; // a hostile file: no overflow, a usable size
    EXPECT_EQ(listFontSpec(format)->pixelHeight, kMaxListFontPixels);
    format.height = INT_MIN;
    EXPECT_EQ(listFontSpec(format)->pixelHeight, 1);

    std::memset(format.faceName, 'F', sizeof format.faceName); // no NUL in the field
    EXPECT_EQ(listFontSpec(format)->faceName, std::string(32, 'F'));
    format.faceName[0] = 0;
    EXPECT_FALSE(listFontSpec(format)) << "an empty face leaves the list font alone";
}

TEST(ProgramMessage, IsCaptionedAndBounded)
{
    FakeDesktop desktop;
    showProgramMessage(desktop, "Can not open %s (%d)", "paper.bmp", 2);
    const std::string longText(5000, 'x');
    showProgramMessage(desktop, "%s", longText.c_str());
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0], "Can not open paper.bmp (2)");
    EXPECT_EQ(desktop.boxCaptions[0], "Program message...");
    EXPECT_EQ(desktop.boxes[1].size(), 1999u);
}

TEST(WindowSizes, BuiltInSizesHaveTheirWindowAndPaneWidths)
{
    const int expected[5][4] = {{300, 364, 283, 0}, {372, 445, 355, 0}, {450, 530, 432, 0}, {597, 445, 360, 220},
                                {696, 530, 432, 240}};
    for (int i = 0; i < 5; ++i) {
        const WindowSizeRecord size = builtInWindowSize(i);
        EXPECT_EQ(+size.placement.normalRect.right, expected[i][0]) << "size " << i;
        EXPECT_EQ(+size.placement.normalRect.bottom, expected[i][1]) << "size " << i;
        EXPECT_EQ(+size.boardPaneIdeal, expected[i][2]) << "size " << i;
        EXPECT_EQ(+size.notePaneIdeal, expected[i][3]) << "size " << i;
    }
}

} // namespace
} // namespace marovin
