// The printed record: the text record's own lines with diagrams put where they belong, and
// the cut into pages.

#include <gtest/gtest.h>

#include <string>

#include "game_fixture.h"
#include "model/print_layout.h"
#include "model/text_record.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {
namespace {

using testing::GameEnvironment;
using testing::play;

// The entry of the move that leads to the shown position after ply moves of the path.
const MoveEntry* entryAt(CGame& game, int ply)
{
    game.Navigate(kGoToPly, ply);
    return &game.currentEntry();
}

Board after(std::initializer_list<const char*> moves)
{
    Board board = kStandardOpening;
    for (const char* text : moves) {
        const auto squares = ParseCoordinateMove(text);
        ApplyMove(board, squares->from, squares->to);
    }
    return board;
}

std::string utf8(const std::string& big5)
{
    return big5ToUtf8(big5);
}

struct PrintDocumentTest : ::testing::Test {
    void SetUp() override
    {
        game = env.newGame();
        copyBounded(game->redName, "alice");
        copyBounded(game->blackName, "bob");
        // Main line H2-E2 H7-E7 B0-C2 B9-C7; a side line H9-G7 for Black's second move.
        for (const char* move : {"H2-E2", "H7-E7", "B0-C2", "B9-C7"})
            play(*game, move);
        game->Navigate(kStepBack);
        play(*game, "H9-G7");
        game->Rewind();
        game->RecomputePathLength(true); // browse the main line

    }
    // The index of the item whose line holds text (UTF-8), or -1.
    int lineWith(const PrintDocument& document, const std::string& text) const
    {
        for (std::size_t i = 0; i < document.items.size(); ++i)
            if (document.items[i].diagram < 0 && utf8(document.items[i].text).find(text) != std::string::npos)
                return static_cast<int>(i);
        return -1;
    }

    GameEnvironment env;
    std::unique_ptr<CGame> game;
};

TEST_F(PrintDocumentTest, LinesAreTheTextRecordsWithTheStartAfterTheHeaderAndTheEndLast)
{
    const PrintDocument document = BuildPrintDocument(*game, {});
    StringSink record;
    ASSERT_TRUE(WriteTextRecord(*game, record));
    std::string lines;
    for (const PrintItem& item : document.items)
        if (item.diagram < 0)
            lines += item.text + "\r\n";
    EXPECT_EQ(lines, record.text);

    ASSERT_EQ(document.diagrams.size(), 2u);
    // Seven header fields and a blank line, then the start.
    ASSERT_GT(document.items.size(), 8u);
    EXPECT_EQ(document.items[8].diagram, 0);
    EXPECT_EQ(utf8(document.diagrams[0].caption), "起始局面");
    EXPECT_EQ(document.diagrams[0].board, kStandardOpening);
    EXPECT_EQ(utf8(document.diagrams[0].bottomLabel), "紅方  alice （起）");
    EXPECT_EQ(utf8(document.diagrams[0].topLabel), "黑方  bob");
    // The end is that of the main line, not of the side line written after it.
    EXPECT_EQ(document.items.back().diagram, 1);
    EXPECT_EQ(document.diagrams[1].board, after({"H2-E2", "H7-E7", "B0-C2", "B9-C7"}));
    EXPECT_EQ(utf8(document.diagrams[1].caption), "2. ... 馬２進３");
    EXPECT_EQ(utf8(document.diagrams[1].bottomLabel), "紅方  alice （起）");
}

TEST_F(PrintDocumentTest, AMarkedMoveGetsItsDiagramAfterItsLineInMainLineOrSideLine)
{
    const MoveEntry* second = entryAt(*game, 2);
    game->Navigate(kGoToPly, 3);
    game->FollowAlternative(1);
    game->Navigate(kStepForward);
    const MoveEntry* side = &game->currentEntry();
    ASSERT_EQ(testing::moveText(*side), "H9-G7");

    const MoveEntry* marks[] = {second, side};
    const PrintDocument document = BuildPrintDocument(*game, marks);
    ASSERT_EQ(document.diagrams.size(), 4u);
    const struct {
        const char* line;
        const char* caption;
        Board board;
        const char* top; // the side to move is Red: （起） goes below
    } cases[] = {
        {"1. 炮二平五   包８平５", "1. ... 包８平５", after({"H2-E2", "H7-E7"}), "黑方  bob"},
        {"........   馬８進７", "2. ... 馬８進７", after({"H2-E2", "H7-E7", "B0-C2", "H9-G7"}), "黑方  bob"},
    };
    for (const auto& c : cases) {
        const int line = lineWith(document, c.line);
        ASSERT_GE(line, 0) << c.line;
        ASSERT_LT(line + 1, static_cast<int>(document.items.size()));
        const int diagram = document.items[static_cast<std::size_t>(line) + 1].diagram;
        ASSERT_GE(diagram, 0) << "no diagram after " << c.line;
        EXPECT_EQ(utf8(document.diagrams[static_cast<std::size_t>(diagram)].caption), c.caption);
        EXPECT_EQ(document.diagrams[static_cast<std::size_t>(diagram)].board, c.board) << c.caption;
        EXPECT_EQ(utf8(document.diagrams[static_cast<std::size_t>(diagram)].topLabel), c.top);
    }
}

TEST_F(PrintDocumentTest, APositionGetsOneDiagramHoweverOftenItIsMarked)
{
    const MoveEntry* second = entryAt(*game, 2);
    const MoveEntry* end = entryAt(*game, 4);
    const MoveEntry* marks[] = {second, nullptr, second, end, end};
    const PrintDocument document = BuildPrintDocument(*game, marks);
    EXPECT_EQ(document.diagrams.size(), 3u); // start, the second move, the end
    EXPECT_EQ(document.items.back().diagram, 2);

    // A record without moves shows its start once.
    auto empty = env.newGame();
    const PrintDocument start = BuildPrintDocument(*empty, {});
    ASSERT_EQ(start.diagrams.size(), 1u);
    EXPECT_EQ(utf8(start.diagrams[0].bottomLabel).rfind("紅方", 0), 0u);
}

TEST_F(PrintDocumentTest, TheBlackSideAtTheBottomTurnsTheLabels)
{
    game->bottomSide = kBlack;
    const PrintDocument document = BuildPrintDocument(*game, {});
    EXPECT_FALSE(document.diagrams[0].redAtBottom);
    EXPECT_EQ(utf8(document.diagrams[0].topLabel), "紅方  alice （起）");
    EXPECT_EQ(utf8(document.diagrams[0].bottomLabel), "黑方  bob");
}

PrintDocument documentOf(std::initializer_list<PrintItem> items, int diagrams = 0)
{
    PrintDocument document;
    document.items = items;
    document.diagrams.resize(static_cast<std::size_t>(diagrams));
    return document;
}

// The pages as text: one string per page, lines by their text, diagrams as "#n", each
// with its y: "a@0 #0@10".
std::vector<std::string> shape(const std::vector<PrintPage>& pages)
{
    std::vector<std::string> shown;
    for (const PrintPage& page : pages) {
        std::string text;
        for (const PlacedItem& item : page.items)
            text += (text.empty() ? "" : " ") +
                    (item.diagram >= 0 ? "#" + std::to_string(item.diagram) : "[" + item.text + "]") + "@" +
                    std::to_string(item.y);
        shown.push_back(text);
    }
    return shown;
}

TEST(PrintPages, LinesFlowDiagramsStayWholeAndBlankLinesDoNotOpenAPage)
{
    const PageMetrics metrics{100, 10, 50, 20};
    const struct {
        const char* name;
        PrintDocument document;
        std::vector<std::string> pages;
    } cases[] = {
        {"empty", documentOf({}), {""}},
        {"lines fill a page, then the next", documentOf({{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}, {"g"}, {"h"},
                                                         {"i"}, {"j"}, {"k"}}),
         {"[a]@0 [b]@10 [c]@20 [d]@30 [e]@40 [f]@50 [g]@60 [h]@70 [i]@80 [j]@90", "[k]@0"}},
        {"a diagram that does not fit goes over whole",
         documentOf({{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}, {"", 0}, {"g"}}, 1),
         {"[a]@0 [b]@10 [c]@20 [d]@30 [e]@40 [f]@50", "#0@0 [g]@50"}},
        {"a diagram that just fits stays", documentOf({{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"", 0}}, 1),
         {"[a]@0 [b]@10 [c]@20 [d]@30 [e]@40 #0@50"}},
        {"a diagram that fits stays", documentOf({{"a"}, {"", 0}, {"", 1}}, 2), {"[a]@0 #0@10", "#1@0"}},
        {"blank lines at a page's top are left out",
         documentOf({{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}, {"g"}, {"h"}, {"i"}, {"j"}, {"  "}, {""}, {"k"}}),
         {"[a]@0 [b]@10 [c]@20 [d]@30 [e]@40 [f]@50 [g]@60 [h]@70 [i]@80 [j]@90", "[k]@0"}},
        {"a long line goes on indented",
         documentOf({{"0123456789abcdefghijKLMNOPQRSTUVWXYZ1234"}}),
         {"[0123456789abcdefghij]@0 [    KLMNOPQRSTUVWXYZ]@10 [    1234]@20"}},
        {"words stay whole where a blank allows",
         documentOf({{"one two three four five six seven"}}),
         {"[one two three four ]@0 [    five six seven]@10"}},
        {"a blank too early does not cut", documentOf({{"a bcdefghijklmnopqrstuvwxyz"}}),
         {"[a bcdefghijklmnopqrs]@0 [    tuvwxyz]@10"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shape(LayOutPages(c.document, metrics)), c.pages) << c.name;
}

TEST(PrintPages, WrappingKeepsChineseCharactersWholeAndATallDiagramGetsItsOwnPage)
{
    // 19 bytes fit: the tenth character would be cut, so it goes on the next line.
    const std::string chinese = utf8ToBig5("炮二平五馬８進７傌八進七");
    const PageMetrics narrow{100, 10, 50, 19};
    const auto pages = LayOutPages(documentOf({{chinese}}), narrow);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].items.size(), 2u);
    EXPECT_EQ(big5ToUtf8(pages[0].items[0].text), "炮二平五馬８進７傌");
    EXPECT_EQ(big5ToUtf8(pages[0].items[1].text), "    八進七");

    const PageMetrics low{100, 10, 250, 40};
    EXPECT_EQ(shape(LayOutPages(documentOf({{"a"}, {"", 0}, {"b"}}, 1), low)),
              (std::vector<std::string>{"[a]@0", "#0@0", "[b]@0"}));
    EXPECT_EQ(PageNumberText(2, 5), "2 / 5");
}

} // namespace
} // namespace marovin::model
