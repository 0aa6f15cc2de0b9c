#include <gtest/gtest.h>

#include <string>

#include "diagram.h"
#include "game_fixture.h"
#include "model/chinese_notation.h"
#include "model/move_notation.h"
#include "model/text_record.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {
namespace {

using testing::Diagram;
using testing::GameEnvironment;
using testing::play;

std::string Utf8Record(const CGame& game)
{
    StringSink sink;
    EXPECT_TRUE(WriteTextRecord(game, sink));
    return big5ToUtf8(sink.text);
}

TEST(ChineseNotation, FixedTextsAreTheirCharactersInBig5)
{
    const struct {
        const char* const* table;
        const char* utf8[10];
    } tables[] = {
        {kChineseNumerals, {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"}},
        {kFullWidthDigits, {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"}},
        {kStems, {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"}},
    };
    for (const auto& t : tables)
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(big5ToUtf8(t.table[i]), t.utf8[i]) << t.utf8[i];
    const std::string words = std::string(kQualifierFront) + kQualifierRear + kQualifierMiddle + kDirectionForward +
                              kDirectionBack + kDirectionSideways;
    EXPECT_EQ(big5ToUtf8(words), "前後中進退平");
}

TEST(ChineseNotation, MovesReadAsPieceFileDirectionAndCount)
{
    const Board twoChariots = Diagram({"....k....", ".........", ".........", "R.......r", ".........",
                                       ".........", "R.......r", "P........", "P........", "P...K...."});
    const Board fourSoldiers = Diagram({"....k....", "P........", "P........", "P........", "P........",
                                        ".........", ".........", ".........", ".........", "...K....."});
    const Board twoFiles = Diagram({"....k....", ".........", ".........", ".........", "......P..",
                                    "..P...P..", "..P...P..", ".........", ".........", "....K...."});
    const struct {
        Board board;
        const char* move;
        const char* text;
    } cases[] = {
        {kStandardOpening, "H2-E2", "炮二平五"},
        {kStandardOpening, "H9-G7", "馬８進７"},
        {kStandardOpening, "G0-E2", "相三進五"},
        {kStandardOpening, "D9-E8", "士４進５"},
        {twoChariots, "A6-A7", "硨前進一"}, // Red's front piece is the one nearer row 0
        {twoChariots, "A3-D3", "硨後平六"},
        {twoChariots, "I3-I1", "車前進２"}, // Black's front piece is the one nearer row 9
        {twoChariots, "I6-I9", "車後退３"},
        {twoChariots, "A1-B1", "兵中平八"},
        // Four soldiers are counted, and soldiers doubled on two files are named by file:
        // "兵二" would be the soldier on file 2.
        {fourSoldiers, "A7-B7", "二兵平八"},
        {fourSoldiers, "A5-B5", "四兵平八"},
        {twoFiles, "C4-D4", "前七平六"},
        {twoFiles, "G4-F4", "中三平四"},
        {twoChariots, "E0-E1", "帥五進一"},
    };
    for (const auto& c : cases) {
        const auto squares = ParseCoordinateMove(c.move);
        EXPECT_EQ(big5ToUtf8(RecordMoveText(c.board, squares->from, squares->to)), c.text) << c.move;
    }
}

TEST(ChineseNotation, LabelsByDepthAndNumber)
{
    const struct {
        int depth, n;
        const char* label;
    } cases[] = {
        {1, 1, "【一】"},        {1, 10, "【一十】"},        {1, 12, "【一十二】"},
        {1, 20, "【二十】"},     {1, 100, "【一百】"},       {1, 105, "【一百零五】"},
        {1, 110, "【一百一十】"}, {1, 1234, "【一千二百三十四】"}, {1, 2005, "【二千零五】"},
        {2, 1, "   【甲】"},     {2, 10, "   【癸】"},       {2, 11, "    【2.11】"},
        {3, 1, "      【3.1】"}, {5, 2, "          【5.2】"}, {12, 3, "          【12.3】"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(big5ToUtf8(VariationLabel(c.depth, c.n)), c.label) << c.depth << "/" << c.n;
}

class TextRecordTest : public ::testing::Test {
protected:
    GameEnvironment env;
};

TEST_F(TextRecordTest, WritesHeaderPairsNotesAndVariations)
{
    auto game = env.newGame();
    copyBounded(game->subject, "Club final");
    copyBounded(game->redName, "alice");
    copyBounded(game->blackName, "bob");
    copyBounded(game->result, "1-0");
    copyBounded(game->date, "2024-03-05");
    copyBounded(game->place, "Taipei");
    game->times = {600, 10, 431, 389};
    game->SetNote("the start", false);
    for (const char* m : {"H2-E2", "H9-G7", "H0-G2"})
        play(*game, m);
    game->SetNote("horse\r\nline two", false); // on a Red move that has a continuation
    for (const char* m : {"I9-H9", "I0-H0", "B9-C7"})
        play(*game, m);
    game->Navigate(kGoToPly, 3);
    for (const char* m : {"B9-C7", "B0-C2", "A9-B9", "A0-B0", "A6-A5"}) // a side line of five moves
        play(*game, m);

    EXPECT_EQ(Utf8Record(*game), "    局名： Club final\r\n"
                                 "    紅方： alice\r\n"
                                 "    黑方： bob\r\n"
                                 "    結果： 1-0\r\n"
                                 "    用時： 600 10 431 389\r\n"
                                 "    日期： 2024-03-05\r\n"
                                 "    地點： Taipei\r\n"
                                 "\r\n"
                                 "    the start\r\n"
                                 "      1. 炮二平五   馬８進７        2. 傌二進三   ........\r\n"
                                 "    horse\r\n"
                                 "    line two\r\n"
                                 "\r\n"
                                 "    以下共有 2 種變化：\r\n"
                                 "      1.車９平８  2.馬２進３\r\n"
                                 "\r\n"
                                 "    【一】 車９平８\r\n"
                                 "\r\n"
                                 "      2. ........   車９平８        3. 硨一平二   馬２進３\r\n"
                                 "\r\n"
                                 "    【二】 馬２進３\r\n"
                                 "\r\n"
                                 "      2. ........   馬２進３        3. 傌八進七   車１平２        4. 硨九平八\r\n"
                                 "      4. ........   卒１進１\r\n");
}

TEST_F(TextRecordTest, ARecordThatBlackBeginsPairsItsFirstMoveWithDots)
{
    auto game = env.newGame();
    ASSERT_TRUE(game->SetStartPosition(kStandardOpening, 1));
    play(*game, "H7-E7");
    play(*game, "H2-E2");
    const std::string record = Utf8Record(*game);
    EXPECT_NE(record.find("    地點： \r\n\r\n    殘局：  黑方先行\r\n\r\n"), std::string::npos) << record;
    EXPECT_NE(record.find("\r\n\r\n      1. ........   包８平５        2. 炮二平五\r\n"), std::string::npos)
        << record;
    EXPECT_EQ(record.find("變化"), std::string::npos);
}

TEST_F(TextRecordTest, TheStartNoteOfARecordThatBlackBeginsHasNoDotsBeforeIt)
{
    auto game = env.newGame();
    ASSERT_TRUE(game->SetStartPosition(kStandardOpening, 1));
    game->SetNote("the start", false);
    play(*game, "H7-E7");
    const std::string record = Utf8Record(*game);
    EXPECT_NE(record.find("\r\n\r\n    the start\r\n      1. ........   包８平５\r\n"), std::string::npos) << record;
}

// Every alternative of the first move: A0-A1, A0-A2, ... then B0-A2, ... from every square
// of Red's back two rows to every other square, until count is reached.
void playAlternatives(CGame& game, int count)
{
    int played = 0;
    for (int from = 72; from < 90 && played < count; ++from)
        for (int to = 0; to < kSquareCount && played < count; ++to) {
            if (to == from)
                continue;
            game.Rewind();
            game.PlayMove(static_cast<Square>(from), static_cast<Square>(to), MoveKind::User);
            ++played;
        }
    game.Rewind();
}

TEST_F(TextRecordTest, ManyAlternativesGetAHeaderWithoutTheListAndChineseLabels)
{
    auto game = env.newGame();
    playAlternatives(*game, 105);
    const std::string record = Utf8Record(*game);
    EXPECT_NE(record.find("    以下共有 105 種變化：\r\n\r\n    【一】 "), std::string::npos);
    EXPECT_NE(record.find("\r\n    【一十二】 "), std::string::npos);
    EXPECT_NE(record.find("\r\n    【一百零五】 "), std::string::npos);
    // Every alternative is a first move of its own: Red's, numbered 1.
    std::size_t firstMoves = 0;
    for (std::size_t at = record.find("      1. "); at != std::string::npos; at = record.find("      1. ", at + 1))
        ++firstMoves;
    EXPECT_EQ(firstMoves, 105u);
}

TEST_F(TextRecordTest, NestedVariationsAreLabelledByDepthAndNumberedFromTheirPly)
{
    // Depth by depth: play a move, step back, play another (a side line), and go on in it.
    auto game = env.newGame();
    const char* const pairs[][2] = {{"H2-E2", "B2-E2"}, {"H9-G7", "B9-C7"}, {"H0-G2", "B0-C2"},
                                    {"I9-H9", "A9-B9"}, {"I0-H0", "A0-B0"}, {"H7-H3", "B7-B3"},
                                    {"H2-H6", "E2-E6"}, {"G6-G5", "C6-C5"}, {"C3-C4", "G3-G4"},
                                    {"A3-A4", "I3-I4"}, {"C0-E2", "G0-E2"}, {"C9-E7", "G9-E7"}};
    for (const auto& pair : pairs) {
        play(*game, pair[0]);
        game->Navigate(kStepBack);
        play(*game, pair[1]);
    }
    game->Rewind();
    const std::string record = Utf8Record(*game);
    EXPECT_NE(record.find("\r\n    【二】 炮八平五\r\n"), std::string::npos) << record;
    EXPECT_NE(record.find("\r\n       【乙】 馬２進３\r\n"), std::string::npos);
    EXPECT_NE(record.find("\r\n          【3.2】 傌八進七\r\n"), std::string::npos);
    EXPECT_NE(record.find("\r\n              【12.2】 象７進５\r\n"), std::string::npos);
    // The twelfth ply's side line is numbered as the sixth pair, Black's half.
    EXPECT_NE(record.find("【12.2】 象７進５\r\n\r\n      6. ........   象７進５\r\n"), std::string::npos);
    // After all the nesting the main line is numbered from its own ply again.
    EXPECT_NE(record.find("【一】 炮二平五\r\n\r\n      1. 炮二平五\r\n"), std::string::npos);
}

TEST_F(TextRecordTest, NotesWithLoneLineEndsStayIndentedAndEveryLineEndsWithCrLf)
{
    auto game = env.newGame();
    play(*game, "H2-E2");
    game->SetNote("one\rtwo\nthree\r\n\nfour\n", false);
    play(*game, "H9-G7");
    game->SetNote("\r", false);
    const std::string record = Utf8Record(*game);
    EXPECT_NE(record.find("      1. 炮二平五\r\n    one\r\n    two\r\n    three\r\n    \r\n    four\r\n"
                          "      1. ........   馬８進７\r\n    \r\n"),
              std::string::npos)
        << record;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (record[i] == '\r') {
            ASSERT_EQ(record[i + 1], '\n') << "lone CR at " << i;
        } else if (record[i] == '\n') {
            ASSERT_EQ(record[i - 1], '\r') << "lone LF at " << i;
        }
    }
}

TEST_F(TextRecordTest, ALongRecordReachesTheSinkInPieces)
{
    auto game = env.newGame();
    const char* cycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
    for (int i = 0; i < 4000; ++i) {
        play(*game, cycle[i % 4]);
        if (i % 20 == 0)
            game->SetNote(std::string(1000, 'n'), false);
    }
    StringSink sink;
    ASSERT_TRUE(WriteTextRecord(*game, sink));
    ASSERT_GT(sink.text.size(), 3 * kTextChunkLimit);
    EXPECT_GE(sink.writes, 3);
    EXPECT_LE(static_cast<std::size_t>(sink.writes), sink.text.size() / kTextChunkLimit + 1);
    EXPECT_NE(sink.text.find("1000. "), std::string::npos);
    EXPECT_EQ(sink.text.substr(sink.text.size() - 2), "\r\n");
}

} // namespace
} // namespace marovin::model
