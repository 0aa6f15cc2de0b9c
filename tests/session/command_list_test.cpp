// The command window's list of texts and its file shout.txt.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/command_list.h"
#include "testkit/fakes.h"
#include "testkit/temp_folder.h"

namespace marovin::session {
namespace {

using testkit::FakeDesktop;
using testkit::TempFolder;

std::string lines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}

TEST(CommandList, LinesEndAtCrLfOrLfAndALoneCrStays)
{
    EXPECT_TRUE(parseCommandList("").empty());
    EXPECT_EQ(parseCommandList("who\r\n\r\n/ hi"), (std::vector<std::string>{"who", "", "/ hi"}));
    EXPECT_EQ(parseCommandList("a\nb\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(parseCommandList("a\rb\r\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_EQ(formatCommandList({"who", ""}), "who\r\n\r\n");
}

TEST(CommandList, IsPaddedTo30AndWrittenWhole)
{
    TempFolder folder;
    FakeDesktop desktop;
    const std::string path = folder.write("shout.txt", lines(3));
    CommandList list;
    list.load(readCommandFile(path, desktop));
    ASSERT_EQ(list.entries().size(), 30u);
    EXPECT_EQ(list.entries()[2], "line 2");
    EXPECT_EQ(list.entries()[3], "");
    EXPECT_TRUE(list.save(path, desktop)) << "nothing to save";
    EXPECT_EQ(TempFolder::read(path), lines(3)) << "an unchanged list is not written";
    list.select(1);
    list.setSelectedText("who -2");
    EXPECT_TRUE(list.save(path, desktop));
    std::string expected = "line 0\r\nwho -2\r\nline 2\r\n";
    for (int i = 3; i < 30; ++i)
        expected += "\r\n";
    EXPECT_EQ(TempFolder::read(path), expected) << "30 lines, the padding too";
    EXPECT_FALSE(list.modified());

    list.load(readCommandFile(folder.write("forty.txt", lines(40)), desktop));
    EXPECT_EQ(list.entries().size(), 40u) << "no padding beyond 30";
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST(CommandList, DeletingKeepsTheCountAndAsksOnlyForText)
{
    FakeDesktop desktop;
    CommandList list;
    list.load({{"who", "", "games"}, true});
    list.select(1);
    EXPECT_TRUE(list.deleteSelected(desktop));
    EXPECT_TRUE(desktop.questions.empty()) << "an empty entry goes without a question";
    EXPECT_EQ(list.entries()[1], "games");
    EXPECT_EQ(list.entries().size(), 30u);
    EXPECT_EQ(list.selected(), 1);

    desktop.yesNoAnswers = {false};
    list.select(0);
    EXPECT_FALSE(list.deleteSelected(desktop));
    EXPECT_EQ(desktop.questions, std::vector<std::string>{"Delete the following text?\n\nwho"});
    EXPECT_EQ(list.entries()[0], "who");

    list.insertNew();
    EXPECT_EQ(list.entries()[0], "");
    EXPECT_EQ(list.entries()[1], "who");
    EXPECT_EQ(list.entries().size(), 31u);
    EXPECT_TRUE(list.modified());
}

TEST(CommandList, AFileThatCannotBeReadIsNeverWrittenOver)
{
    TempFolder folder;
    FakeDesktop desktop;
    const std::string directory = folder.file("shout.txt");
    std::filesystem::create_directory(directory);
    CommandList list;
    list.load(readCommandFile(directory, desktop));
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_NE(desktop.boxes[0].find("Cannot read the command texts"), std::string::npos) << desktop.boxes[0];
    EXPECT_EQ(list.entries().size(), 30u);
    list.setSelectedText("who");
    EXPECT_FALSE(list.save(directory, desktop));
    EXPECT_FALSE(list.save(directory, desktop));
    EXPECT_EQ(desktop.boxes.size(), 2u) << "the refusal is said once";
    EXPECT_TRUE(list.modified());

    // A folder that cannot exist: the write fails with a message, the list stays modified.
    const std::string blocked = folder.write("plain", "x") + "/shout.txt";
    CommandList other;
    other.load({{"a"}, true});
    other.setSelectedText("b");
    EXPECT_FALSE(other.save(blocked, desktop));
    EXPECT_NE(desktop.boxes.back().find("Cannot write"), std::string::npos);
    EXPECT_TRUE(other.modified());
}

// Whether a file was read whole is decided by its entries, whatever its line ends; a list
// read in part is never written back over its file.
TEST(CommandList, AFileWithMoreEntriesThanAreReadIsNeverWrittenOver)
{
    struct Case {
        int entries;
        const char* lineEnd;
        bool lastLineEnded;
        bool whole;
    } cases[] = {
        {10000, "\r\n", true, true},   {10000, "\n", true, true},    {10000, "\n", false, true},
        {10001, "\r\n", true, false},  {10001, "\n", true, false},   {10001, "\n", false, false},
        {12000, "\n", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.entries) + " entries ending in " + (c.lineEnd[1] ? "CR LF" : "LF"));
        TempFolder folder;
        FakeDesktop desktop;
        std::string text;
        for (int i = 0; i < c.entries; ++i)
            text += "e" + std::to_string(i) + (i + 1 < c.entries || c.lastLineEnded ? c.lineEnd : "");
        const std::string path = folder.write("shout.txt", text);
        const CommandFile file = readCommandFile(path, desktop);
        EXPECT_EQ(file.whole, c.whole);
        EXPECT_EQ(file.entries.size(), std::min<std::size_t>(c.entries, kCommandEntryLimit));
        CommandList list;
        list.load(file);
        list.setSelectedText("edited");
        EXPECT_EQ(list.save(path, desktop), c.whole);
        if (!c.whole) {
            EXPECT_EQ(TempFolder::read(path), text) << "the file keeps every entry";
        }
    }
}

} // namespace
} // namespace marovin::session
