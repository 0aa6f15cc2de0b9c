// Decoding the server's game lines: what counts as a field, and where reading stops.

#include <string>

#include <gtest/gtest.h>

#include "session/game_lines.h"
#include "session/game_status_text.h"

namespace marovin::session {
namespace {

TEST(GameLines, NoticeHeadsNeedEveryFieldAndADigitNumber)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Game 12 alice vs bob 3 H2-E2 10", "12|alice|bob|3 H2-E2 10"},
        {"Game 7\tBotMa vs BotPao  added.", "7|BotMa|BotPao|added."},
        {"Game 12 alice vs bob", "12|alice|bob|"},
        {"Game 12 alice vs", ""},
        {"Game x12 alice vs bob 3", ""},
        {"Game 12a alice vs bob 3", ""},
        {"Game -12 alice vs bob 3", ""},
        {"Game 1234567890 alice vs bob 3", ""},
        {"Games 12 alice vs bob 3", ""},
    };
    for (const auto& [line, expected] : cases) {
        const auto head = decodeGameLineHead(line);
        const std::string got = head ? std::to_string(head->number) + "|" + std::string(head->red) + "|" +
                                           std::string(head->black) + "|" + std::string(head->rest)
                                     : std::string();
        EXPECT_EQ(got, expected) << line;
    }
}

TEST(GameLines, NumbersAndNumberedMovesStopAtTheFirstMissingField)
{
    const GameNumbers part = readTermsAndNumbers("20 min 1200 x 10");
    EXPECT_EQ(part.redClock, 1200);
    EXPECT_FALSE(part.blackClock || part.redRating || part.observers);
    EXPECT_FALSE(readTermsAndNumbers("min 1200 1100").redClock) << "the leading number is missing";
    const GameNumbers huge = readTermsAndNumbers("20 min 99999999999 -99999999999");
    EXPECT_EQ(huge.redClock, 2147483647);
    EXPECT_EQ(huge.blackClock, -2147483647 - 1);

    const std::pair<std::string, std::string> moves[] = {
        {"(3) H2-E2", "3 H2-E2"}, {"(12)H2-E2", "12 H2-E2"}, {"( 4) undo", "4 undo"}, {"(3)", ""},
        {"(x) H2-E2", ""},        {"(3 H2-E2", ""},          {"3) H2-E2", ""},
    };
    for (const auto& [line, expected] : moves) {
        const auto move = decodeNumberedMove(line);
        EXPECT_EQ(move ? std::to_string(move->number) + " " + std::string(move->text) : std::string(), expected)
            << line;
    }
}

TEST(GameLines, ClockTextsAreMinutesAndSecondsEvenWhenNegative)
{
    const std::pair<int, std::string> clocks[] = {{75, " 01:15"}, {0, " 00:00"}, {3600, " 60:00"}, {-5, " 00:-5"}};
    for (const auto& [seconds, text] : clocks)
        EXPECT_EQ(clockText(seconds), text) << seconds;
}

} // namespace
} // namespace marovin::session
