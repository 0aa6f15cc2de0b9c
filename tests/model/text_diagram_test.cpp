#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game_fixture.h"
#include "model/text_diagram.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {
namespace {

using testing::GameEnvironment;
using testing::play;

// The rows in UTF-8 without their trailing blanks, after checking that each is exactly
// as wide as a diagram row and free of control bytes and broken characters.
std::vector<std::string> Shown(const TextDiagramRows& rows)
{
    std::vector<std::string> shown;
    for (const std::string& row : rows) {
        EXPECT_EQ(row.size(), kDiagramWidth) << row;
        for (const char c : row)
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << row;
        std::string utf8 = big5ToUtf8(row);
        EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos) << utf8;
        utf8.erase(utf8.find_last_not_of(' ') + 1);
        shown.push_back(utf8);
    }
    return shown;
}

class TextDiagramTest : public ::testing::Test {
protected:
    GameEnvironment env;
    std::unique_ptr<CGame> game = env.newGame();
};

TEST_F(TextDiagramTest, OpeningWithRedBelowAndRedToMove)
{
    copyBounded(game->redName, "alice");
    copyBounded(game->blackName, "bob");
    const std::vector<std::string> expected = {
        "             黑方  bob",
        "１  ２  ３  ４  ５  ６  ７  ８  ９",
        "車─馬─象─士─將─士─象─馬─車",
        "│  │  │  │＼│／│  │  │  │",
        "├─┼─┼─┼─┼─┼─┼─┼─┤",
        "│  │  │  │／│＼│  │  │  │",
        "├─包─┼─┼─┼─┼─┼─包─┤",
        "│  │  │  │  │  │  │  │  │",
        "卒─┼─卒─┼─卒─┼─卒─┼─卒",
        "│  │  │  │  │  │  │  │  │",
        "├─┴─┴─┴─┴─┴─┴─┴─┤",
        "│                              │",
        "├─┬─┬─┬─┬─┬─┬─┬─┤",
        "│  │  │  │  │  │  │  │  │",
        "兵─┼─兵─┼─兵─┼─兵─┼─兵",
        "│  │  │  │  │  │  │  │  │",
        "├─炮─┼─┼─┼─┼─┼─炮─┤",
        "│  │  │  │＼│／│  │  │  │",
        "├─┼─┼─┼─┼─┼─┼─┼─┤",
        "│  │  │  │／│＼│  │  │  │",
        "硨─傌─相─仕─帥─仕─相─傌─硨",
        "九  八  七  六  五  四  三  二  一",
        "         紅方  alice （起）",
        "",
        "",
    };
    EXPECT_EQ(Shown(TextDiagram(*game)), expected);
}

TEST_F(TextDiagramTest, BlackBelowTurnsTheBoardAndTheFileNumbers)
{
    copyBounded(game->redName, "");
    copyBounded(game->blackName, "bob");
    play(*game, "H2-E2");
    game->bottomSide = kBlack;
    const std::vector<std::string> shown = Shown(TextDiagram(*game));
    EXPECT_EQ(shown[0], "                紅方");
    EXPECT_EQ(shown[1], "一  二  三  四  五  六  七  八  九");
    EXPECT_EQ(shown[2], "硨─傌─相─仕─帥─仕─相─傌─硨");
    EXPECT_EQ(shown[6], "├─┼─┼─┼─炮─┼─┼─炮─┤") << "the cannon that moved, seen from Black";
    EXPECT_EQ(shown[21], "９  ８  ７  ６  ５  ４  ３  ２  １");
    EXPECT_EQ(shown[22], "          黑方  bob （起）");
}

TEST_F(TextDiagramTest, BrokenNamesNeverBreakARow)
{
    copyBounded(game->redName, "abcdefghijklmn\xB1\x4E"); // cut inside its last character
    copyBounded(game->blackName, "a\rb\nc\x01\xFF\xB1");
    const std::vector<std::string> shown = Shown(TextDiagram(*game));
    EXPECT_EQ(shown[0], "           黑方  a?b?c??");
    EXPECT_EQ(shown[22], "    紅方  abcdefghijklmn （起）");
}

// Rows that are easy to follow: "<r>" padded to four bytes.
TextDiagramRows SmallRows()
{
    TextDiagramRows rows;
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r] = "<" + std::string(1, static_cast<char>('A' + r)) + "> ";
    return rows;
}

TEST(InsertDiagram, PushingRightKeepsEveryLineAndItsEnd)
{
    const std::string text = "line0\r\nab\xB1\x4E\xB1\x4E" "cd\nxy\rz";
    const std::string result = InsertDiagram(text, 1, 3, SmallRows(), DiagramInsertion::PushTextRight);
    std::string expected = "line0\r\n"
                           "ab " "<A> " "\xB1\x4E\xB1\x4E" "cd\n" // the column splits a character
                           "xy " "<B> " "\r"                      // padded up to the column
                           "z  " "<C> " "\r\n";
    for (char r = 'D'; r <= 'Y'; ++r)
        expected += std::string("   <") + r + "> " + (r < 'Y' ? "\r\n" : "");
    EXPECT_EQ(result, expected);
}

TEST(InsertDiagram, MovingTextDownPutsTheDiagramAsABlock)
{
    const std::string text = "1. first\r\n2. second\r\n";
    const std::string result = InsertDiagram(text, 0, 2, SmallRows(), DiagramInsertion::MoveTextToNextLine);
    std::string expected = "1.<A> \r\n";
    for (char r = 'B'; r <= 'Y'; ++r)
        expected += std::string("  <") + r + "> \r\n";
    expected += "     first\r\n2. second\r\n";
    EXPECT_EQ(result, expected);

    // At the end of the text nothing follows the cursor: no line of blanks is left behind.
    const std::string atEnd = InsertDiagram("abc", 0, 3, SmallRows(), DiagramInsertion::MoveTextToNextLine);
    EXPECT_EQ(atEnd.substr(0, 12), "abc<A> \r\n   ");
    EXPECT_EQ(atEnd.substr(atEnd.size() - 9), "\r\n   <Y> ");
}

TEST(InsertDiagram, ACursorBeyondTheTextStaysAtItsEnd)
{
    const std::string result = InsertDiagram("ab\r\n", 40, 99, SmallRows(), DiagramInsertion::PushTextRight);
    EXPECT_EQ(result.substr(0, 10), "ab\r\n<A> \r\n");
    EXPECT_EQ(std::count(result.begin(), result.end(), '\n'), 25);
}

} // namespace
} // namespace marovin::model
