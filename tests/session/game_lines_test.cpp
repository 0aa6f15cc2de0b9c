// Decoding the server's game lines, field by field.

#include <string>

#include <gtest/gtest.h>

#include "model/game.h"
#include "session/game_lines.h"
#include "session/game_status_text.h"
#include "support/fixed_text.h"
#include "testkit/game_fakes.h"

namespace marovin::session {
namespace {

TEST(GameLines, NoticeHeadsNeedEveryFieldAndADigitNumber)
{
    struct Case {
        std::string line;
        bool ok;
        int number;
        std::string red, black, rest;
    };
    const Case cases[] = {
        {"Game 12 alice vs bob 3 H2-E2 10 20", true, 12, "alice", "bob", "3 H2-E2 10 20"},
        {"Game 7\tBotMa vs BotPao  added to list.", true, 7, "BotMa", "BotPao", "added to list."},
        {"Game 12 alice vs bob", true, 12, "alice", "bob", ""},
        {"Game 12 alice vs", false, 0, "", "", ""},
        {"Game x12 alice vs bob 3 H2-E2", false, 0, "", "", ""},
        {"Game 12a alice vs bob 3 H2-E2", false, 0, "", "", ""},
        {"Game -12 alice vs bob 3 H2-E2", false, 0, "", "", ""},
        {"Game 1234567890 alice vs bob 3", false, 0, "", "", ""},
        {"Games 12 alice vs bob 3", false, 0, "", "", ""},
        {"", false, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        const auto head = decodeGameLineHead(c.line);
        ASSERT_EQ(head.has_value(), c.ok) << c.line;
        if (!c.ok)
            continue;
        EXPECT_EQ(head->number, c.number) << c.line;
        EXPECT_EQ(head->red, c.red) << c.line;
        EXPECT_EQ(head->black, c.black) << c.line;
        EXPECT_EQ(head->rest, c.rest) << c.line;
    }
}

TEST(GameLines, StatusSkipsTheSideWordsOfAnEnding)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Black has been checkmated. 1-0", "checkmated."},
        {"Red has run out of time. 0-1", "run"},
        {"Red resigned. 0-1", "resigned."},
        {"14 H2-E2 1 2", "14"},
        {"has been", ""},
    };
    for (const auto& [rest, word] : cases) {
        const auto status = noticeStatus(rest);
        EXPECT_EQ(status ? std::string(status->word) : std::string(), word) << rest;
    }
}

TEST(GameLines, NumbersStopAtTheFirstMissingField)
{
    const GameNumbers all = readTermsAndNumbers("20 min 1200 1100 10 1532 1480 3 rated even");
    EXPECT_EQ(all.redClock, 1200);
    EXPECT_EQ(all.blackClock, 1100);
    EXPECT_EQ(all.redRating, 1532);
    EXPECT_EQ(all.blackRating, 1480);
    EXPECT_EQ(all.observers, 3);

    const GameNumbers part = readTermsAndNumbers("20 min 1200 x 10");
    EXPECT_EQ(part.redClock, 1200);
    EXPECT_FALSE(part.blackClock || part.redRating || part.observers);

    EXPECT_FALSE(readTermsAndNumbers("min 1200 1100").redClock); // the leading number is missing
    EXPECT_EQ(readTermsAndNumbers("20 min 99999999999 -99999999999").redClock, 2147483647);
    EXPECT_EQ(readTermsAndNumbers("20 min 99999999999 -99999999999").blackClock, -2147483647 - 1);
}

TEST(GameLines, NumberedMovesNeedBothParts)
{
    const std::pair<std::string, std::string> cases[] = {
        {"(3) H2-E2", "3 H2-E2"}, {"(12)H2-E2", "12 H2-E2"}, {"( 4) undo", "4 undo"},
        {"(3)", ""},              {"(x) H2-E2", ""},         {"(3 H2-E2", ""},
        {"3) H2-E2", ""},
    };
    for (const auto& [line, expected] : cases) {
        const auto move = decodeNumberedMove(line);
        EXPECT_EQ(move ? std::to_string(move->number) + " " + std::string(move->text) : std::string(), expected)
            << line;
    }
}

TEST(GameLines, BoardDisplayHeadAndDateLine)
{
    const auto head = decodeBoardDisplayHead("Game: alice.bob.12 extra");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->red, "alice");
    EXPECT_EQ(head->black, "bob");
    EXPECT_EQ(head->number, 12);
    EXPECT_FALSE(decodeBoardDisplayHead("Game: alice.bob.x12"));
    EXPECT_FALSE(decodeBoardDisplayHead("Game: alice-bob"));
    EXPECT_FALSE(decodeBoardDisplayHead("Games: a.b.1"));

    const DateLine date = decodeDateLine("Date: 2024-03-05   1-0 Black resigned");
    EXPECT_EQ(date.date, "2024-03-05");
    EXPECT_EQ(date.result, "1-0 Black resigned");
    EXPECT_EQ(decodeDateLine("Date:").date, "");
}

TEST(GameStatusText, CaptionByModeAndClockTexts)
{
    testkit::GameRig rig;
    model::CGame* game = rig.list().open(true);
    ASSERT_TRUE(game);
    copyBounded(game->redName, "alice");
    copyBounded(game->blackName, "bob");
    game->gameNumber = 12;
    game->observers = 3;
    game->participation = model::kObserving;
    EXPECT_EQ(gameCaption(*game), "Obse (12) alice vs bob: 3 observers");
    game->participation = model::kPlaying;
    game->mode = model::kModeGameOver;
    EXPECT_EQ(gameCaption(*game), "Play (12) alice vs bob: 3 observers");
    game->mode = model::kModeBusy;
    EXPECT_EQ(gameCaption(*game), "Reading game now. Please wait...");
    game->mode = model::kModeNormal;
    game->participation = model::kLocalGame;
    EXPECT_EQ(gameCaption(*game, "/tmp/a.gam"), "/tmp/a.gam");
    EXPECT_EQ(gameCaption(*game), fieldText(game->subject));

    const std::pair<int, std::string> clocks[] = {{75, " 01:15"}, {0, " 00:00"}, {3600, " 60:00"}, {-5, " 00:-5"}};
    for (const auto& [seconds, text] : clocks)
        EXPECT_EQ(clockText(seconds), text) << seconds;
}

} // namespace
} // namespace marovin::session
