// The answers of who, games and stored as their windows read them (answers recorded from
// the practice server in tests/data/session/answers/), and the challenge lines.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/games_listing.h"
#include "session/match_request.h"
#include "session/stored_list.h"
#include "session/who_list.h"
#include "support/fixed_text.h"

namespace marovin::session {

void PrintTo(const MatchTerms& t, std::ostream* out)
{
    *out << '{' << t.name << ' ' << t.minutes << ' ' << t.seconds << " colour " << t.colour << " rated " << t.rated
         << " odds " << t.odds << '}';
}

namespace {

std::string answer(const char* name)
{
    std::ifstream in(std::string(MAROVIN_TEST_DATA "/session/answers/") + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A player entry of the server's fixed layout ("%-3.3s%c %3.3s %3.3s %-15.15s %4.4s %4s").
std::string entry(const std::string& name, const std::string& rating, char open = '.')
{
    char text[64];
    std::snprintf(text, sizeof text, "Reg%c   -   - %-15.15s %4.4s   0s", open, name.c_str(), rating.c_str());
    return text;
}

struct WhoTable {
    WhoRecords records = allocateWhoRecords();
    int count = 0;
    std::vector<std::string> lines() const
    {
        std::vector<std::string> shown;
        for (int i = 0; i < count; ++i)
            shown.push_back(whoListLine(records[i]));
        return shown;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> shown;
        for (int i = 0; i < count; ++i)
            shown.emplace_back(fieldText(records[i].name));
        return shown;
    }
};

TEST(WhoList, ReadsEveryLayoutOfTheServer)
{
    struct Case {
        const char* file;
        bool slowList;
        const char* dave;  // dave's line as the window shows it: not open
        const char* frank; // frank's: observing game 1
    };
    const Case cases[] = {
        {"who.txt", true, "  X 1500/     dave            New    -   -   0s", "    1500/     frank           New    -   1   0s"},
        {"who_f.txt", false, "  X     /1500 dave            New    -   -   0s", "        /1500 frank           New    -   1   0s"},
        {"who_2.txt", true, "  X 1500/     dave            New    -   -   0s", "    1500/     frank           New    -   1   0s"},
        {"who_b.txt", true, "  X 1500/1500 dave            New    -   -   0s", "    1500/1500 frank           New    -   1   0s"},
    };
    for (const Case& c : cases) {
        WhoTable table;
        table.count = parseWhoList(answer(c.file), c.slowList, table.records.get());
        EXPECT_EQ(table.names(), (std::vector<std::string>{"BotJiang", "BotMa", "BotPao", "carol", "dave", "Erin7",
                                                           "frank"}))
            << c.file;
        EXPECT_EQ(table.lines()[4], c.dave) << c.file;
        EXPECT_EQ(table.lines()[6], c.frank) << c.file;
        EXPECT_EQ(std::string(fieldText(table.records[1].play)), "1") << c.file;
    }
}

TEST(WhoList, TakesOnlyLinesOfTheThreeLengthsAndAtMost249Players)
{
    const std::string one = entry("ann", "1500");
    ASSERT_EQ(one.size(), 38u);
    const std::string two = one + "  " + entry("bob", "1600") + " ";
    ASSERT_EQ(two.size(), 79u);
    WhoTable table;
    table.count = parseWhoList(two.substr(0, 78) + "\r\n" + two + "\r\n" + two + "x\r\n" + one + "e\r\n" +
                                   one.substr(0, 37) + "e\r\n",
                               true, table.records.get());
    EXPECT_EQ(table.names(), (std::vector<std::string>{"ann", "bob"})) << "only the 79-byte line holds players";

    std::string many;
    for (int i = 0; i < 300; ++i)
        many += entry("p" + std::to_string(i), "1500") + "\r\n";
    table.count = parseWhoList(many + "trailing text without a line end", true, table.records.get());
    EXPECT_EQ(table.count, kWhoCountLimit);
    EXPECT_EQ(table.names().back(), "p248");
    EXPECT_EQ(table.records[kWhoCountLimit].name[0], 0) << "the record after the last stays untouched";
}

TEST(WhoList, OverlongWordsAreCutToTheirFields)
{
    const std::string longWords = "ABCDEFG 12345678 98765 bbbbbb 123456 x";
    const std::string longName = "A B C " + std::string(24, 'n') + " 12345 z";
    ASSERT_EQ(longWords.size(), 38u);
    ASSERT_EQ(longName.size(), 38u);
    WhoTable table;
    table.count = parseWhoList(longWords + "\r\n" + longName + "\r\n", true, table.records.get());
    ASSERT_EQ(table.count, 2);
    const WhoRecord& r = table.records[0];
    EXPECT_EQ(fieldText(r.info), "ABC");
    EXPECT_EQ(r.openMark, ' ');
    EXPECT_EQ(fieldText(r.play), "1234");
    EXPECT_EQ(fieldText(r.obs), "9876");
    EXPECT_EQ(fieldText(r.name), "bbbbbb");
    EXPECT_EQ(fieldText(r.slowRating), "1234");
    EXPECT_EQ(fieldText(r.idle), "x");
    EXPECT_EQ(fieldText(table.records[1].name), std::string(20, 'n'));
    EXPECT_EQ(whoListLine(table.records[1]), "    1234/     " + std::string(20, 'n') + "   A    B   C    z");
}

TEST(WhoList, SortsByNameOrRatingWithTheUnopenedLastWhenAsked)
{
    std::string text;
    for (const auto& [name, rating, open] : {std::tuple{"zed", "1750", 'X'}, std::tuple{"amy", "1800", '.'},
                                             std::tuple{"Bob", "----", '.'}, std::tuple{"cy", "1900", 'X'}})
        text += entry(name, rating, open) + "\r\n";
    struct Case {
        WhoOrder order;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{0, false}, {"Bob", "amy", "cy", "zed"}},
        {{1, false}, {"cy", "amy", "zed", "Bob"}},
        {{2, false}, {"zed", "amy", "Bob", "cy"}}, // no fast ratings: all equal, arrival order kept
        {{0, true}, {"Bob", "amy", "cy", "zed"}},
        {{1, true}, {"amy", "Bob", "cy", "zed"}},
    };
    for (const Case& c : cases) {
        WhoTable table;
        table.count = parseWhoList(text, true, table.records.get());
        sortWhoRecords(table.records.get(), table.count, c.order);
        EXPECT_EQ(table.names(), c.names) << c.order.sortKey << " " << c.order.openFirst;
    }
}

TEST(WhoList, SelectionRulesAndCommandLines)
{
    WhoTable table;
    table.count = parseWhoList(entry("me", "1500") + "\r\n" + entry("shy", "1500", 'X') + "\r\n" +
                                   "Reg.  12   - P               1500   0s\r\n",
                               true, table.records.get());
    ASSERT_EQ(table.count, 3);
    const int imOpen = whoImOpen(table.records.get(), table.count, "me");
    EXPECT_EQ(imOpen, 1);
    EXPECT_FALSE(whoCanMatch(table.records[0], imOpen, "me")) << "not oneself";
    EXPECT_FALSE(whoCanMatch(table.records[1], imOpen, "me")) << "not a player who is not open";
    EXPECT_TRUE(whoCanMatch(table.records[2], imOpen, "me"));
    EXPECT_EQ(whoImOpen(table.records.get(), table.count, "shy"), 0);
    EXPECT_FALSE(whoCanMatch(table.records[2], 0, "shy")) << "a user who is not open matches nobody";
    EXPECT_FALSE(whoCanObserve(table.records[0]));
    EXPECT_TRUE(whoCanObserve(table.records[2]));
    EXPECT_EQ(findWhoRecord(table.records.get(), table.count, "P"), 2);
    EXPECT_EQ(findWhoRecord(table.records.get(), table.count, "p"), -1);
    EXPECT_EQ(whoCommandLine(WhoCommand::Observe, table.records[2]), "observe 12\r\n");
    EXPECT_EQ(whoCommandLine(WhoCommand::AliasList, table.records[2]), "alias -l P\r\n");
}

TEST(GamesList, KeepsTheLinesAndChoosesTheStrongestGame)
{
    const GamesListing recorded = parseGamesList(answer("games.txt"));
    ASSERT_EQ(recorded.lines.size(), 2u);
    EXPECT_EQ(recorded.lines[1], "   1] BotMa           (1500) BotPao          (1500)  10   5  ue    41   1");
    EXPECT_EQ(recorded.chosen, 1);

    const std::string heading = "   #] Red             Rating Black           Rating\r\n";
    EXPECT_EQ(parseGamesList(heading).chosen, 0) << "only the heading";
    const GamesListing ties = parseGamesList(heading + "  3] a (1700) b (1650)\r\n\r\n  12] c (1500) d (1700)\r\n" +
                                             " 140] e (----) f\r\nno game here\r\n");
    EXPECT_EQ(ties.lines.size(), 6u) << "the empty line is a line too";
    EXPECT_EQ(ties.chosen, 3) << "equal best ratings: the later line";
}

TEST(GamesList, ReadsTheGameNumberOfALine)
{
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"  12] alice (1500) bob (1500)", 12},
        {"   1] x", 1},
        {" 999]", 999},
        {"    12] from byte 4", 12},
        {"      12] too far right", std::nullopt},
        {"   #] Red", std::nullopt},
        {"  12 no bracket", std::nullopt},
        {"", std::nullopt},
        {" 99999999999] x", std::nullopt},
    };
    for (const auto& [line, number] : cases)
        EXPECT_EQ(gameNumberOfLine(line), number) << line;
    EXPECT_EQ(observeGameLine(12), "observe 12\r\n");
}

TEST(StoredList, ReadsUpToThreeItemsALine)
{
    EXPECT_EQ(parseStoredList(answer("stored.txt")),
              (std::vector<std::string>{"A  tester.alice.3", "F  tester.BotJiang.2"}));
    EXPECT_EQ(parseStoredList("A a.b.1  F c.d.2 P e.f.3 F g.h.4\r\nF\r\nP x.y.5 F\r\n A b.c.1\r\n"),
              (std::vector<std::string>{"A  a.b.1", "F  c.d.2", "P  e.f.3", "P  x.y.5"}));
}

TEST(StoredList, ChoosesRestartOrSendfile)
{
    struct Case {
        const char* entry;
        std::optional<std::string_view> command;
        bool setOpenFirst;
        const char* line;
        bool close;
    };
    const Case cases[] = {
        {"A  bob.me.12", std::nullopt, true, "restart   bob.me.12\r\n", true},
        {"A  bob.carol.12", std::nullopt, false, "sendfile   bob.carol.12\r\n", true},
        {"F  me.bob.7", std::nullopt, false, "sendfile   me.bob.7\r\n", false},
        {"A  me.bob.3", "sendfile", false, "sendfile   me.bob.3\r\n", true},
        {"A  meme", std::nullopt, false, "sendfile   meme\r\n", true},
    };
    for (const Case& c : cases) {
        const StoredChoice choice = chooseStoredGame(c.entry, c.command, "me");
        EXPECT_EQ(choice.setOpenFirst, c.setOpenFirst) << c.entry;
        EXPECT_EQ(choice.line, c.line) << c.entry;
        EXPECT_EQ(choice.closeWindow, c.close) << c.entry;
    }
    EXPECT_EQ(storedPlayers("A  a.b.c.d").second, "b");
    EXPECT_EQ(storedPlayers("A  lone").second, "");
}

TEST(Challenges, ComposeTheMatchLine)
{
    MatchTerms terms;
    terms.name = "P";
    EXPECT_EQ(composeMatchLine(terms), "match -re  P  r 20 10");
    terms = {"P", "5", "0", 1, 1, 1};
    EXPECT_EQ(composeMatchLine(terms), "match -un  P  b 5 0");
    terms.odds = 2;
    terms.rated = 7; // out of range counts as 0
    EXPECT_EQ(composeMatchLine(terms), "match -rN  P  b 5 0");
}

TEST(Challenges, ReadChallengeLinesFromTheChallengedSide)
{
    const std::string tail = " game in 5 minutes (0 seconds increment) requested with alice as ";
    struct Case {
        std::string line;
        std::optional<MatchTerms> terms;
    };
    const Case cases[] = {
        {"Rated even" + tail + "red.", MatchTerms{"alice", "5", "0", 1, 0, 0}},
        {"Unrated 1-knight" + tail + "black.", MatchTerms{"alice", "5", "0", 0, 1, 1}},
        {"Unrated 2-knights" + tail + "blue", MatchTerms{"alice", "5", "0", 0, 1, 2}},
        {"Rated odd" + tail + "red.", std::nullopt},
        {"Rated even game in 5 minutes (0 seconds increment) requested with alice", std::nullopt},
        {"Rated even game in five minutes (0 seconds increment) requested with alice as red.", std::nullopt},
        {"Rated even game in 5 minutes (1234 seconds increment) requested with alice as red.", std::nullopt},
        {"Rated even game in 5 minutes (0 seconds increment) requested with a234567890123456 as red.", std::nullopt},
        {"Rated even game in 5 minutes (0 seconds increment) requested with al\x03" "ce as red.", std::nullopt},
        {"Rated", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseChallenge(c.line), c.terms) << c.line;
}

TEST(Challenges, AtMostFiveDialogsAndNoSecondForARepeatedChallenge)
{
    const std::string challenge = "Rated even game in 5 minutes (0 seconds increment) requested with alice as red.";
    LastMatch last;
    const MatchOpening fromChallenge{MatchOpening::From::Challenge, challenge};
    EXPECT_TRUE(admitMatchDialog(last, fromChallenge, 0));
    EXPECT_EQ(last.terms, (MatchTerms{"alice", "5", "0", 1, 0, 0}));
    EXPECT_FALSE(admitMatchDialog(last, fromChallenge, 0)) << "the same challenge while its dialog is open";
    EXPECT_FALSE(admitMatchDialog(last, {MatchOpening::From::Challenge, "Rated even"}, 0));
    EXPECT_TRUE(admitMatchDialog(last, {MatchOpening::From::Name, "bob"}, 0));
    EXPECT_EQ(last.terms.name, "bob");
    EXPECT_TRUE(admitMatchDialog(last, fromChallenge, 0)) << "the values changed in between";
    EXPECT_TRUE(admitMatchDialog(last, {}, 1));
    EXPECT_EQ(last.terms.colour, 1) << "a dialog from the menu takes the preferred colour";
    EXPECT_TRUE(admitMatchDialog(last, {}, 0));
    EXPECT_EQ(last.openMatchDialogs, 5);
    EXPECT_FALSE(admitMatchDialog(last, {}, 0)) << "a sixth";
    for (int i = 0; i < 5; ++i)
        matchDialogClosed(last);
    EXPECT_TRUE(admitMatchDialog(last, fromChallenge, 0)) << "the repeated challenge once no dialog is open";
}

TEST(Challenges, TrimTheTypedName)
{
    EXPECT_EQ(trimmedPlayerName("  P \t"), "P");
    EXPECT_EQ(trimmedPlayerName(" \t "), std::nullopt);
    EXPECT_EQ(busyReplyLine("P"), "/ P: I'm busy now. Play later.\r\n");
}

} // namespace
} // namespace marovin::session
