// Limits of the practice server that no client can talk it out of: numbers read in range,
// stored games kept within bounds per player.
#include <gtest/gtest.h>

#include <string>

#include "game_archive.h"
#include "server_driver.h"
#include "storage.h"

namespace marovin::server {
namespace {

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

TEST(ServerNumbers, TheOneParserChecksTheWholeValueBeforeNarrowing)
{
    const struct {
        const char* text;
        std::optional<int> value;
    } ints[] = {
        {"2147483647", 2147483647}, {"2147483648", std::nullopt}, {"-2147483648", -2147483647 - 1},
        {"-2147483649", std::nullopt}, {"4294967297", std::nullopt}, {"9223372036854775808", std::nullopt},
        {"0", 0}, {"007", 7}, {"", std::nullopt}, {"+1", std::nullopt}, {"1 ", std::nullopt}, {"1x", std::nullopt},
    };
    for (const auto& c : ints)
        EXPECT_EQ(parseNumber(c.text, -2147483647 - 1, 2147483647), c.value) << c.text;
    EXPECT_EQ(parseNumber("300", 0, 300), 300);
    EXPECT_EQ(parseNumber("301", 0, 300), std::nullopt);
    EXPECT_EQ(parseNumber("-1", 0u, 0xFFFFFFFFu), std::nullopt) << "no negative number becomes a large unsigned one";
    EXPECT_EQ(parseNumber("4294967295", 0u, 0xFFFFFFFFu), 4294967295u);
    EXPECT_EQ(parseNumber("4294967296", 0u, 0xFFFFFFFFu), std::nullopt);
}

TEST(ServerNumbers, NumbersAreCheckedInFullAndNeverWrapIntoRange)
{
    ServerDriver d;
    const ConnectionId alice = d.login("alice");
    const ConnectionId bob = d.login("bob");
    const ConnectionId carol = d.login("carol");
    struct Case {
        ConnectionId who;
        std::string command;
        std::string answer; // a part of the answer
    } cases[] = {
        // Match times: 0 to 300 each; past the end of int or of long long is refused alike.
        {alice, "match bob b 300 2147483648", "match: Times: 0 to 300"},
        {alice, "match bob 4294967296", "match: Times: 0 to 300"},
        {alice, "match bob 301", "match: Times: 0 to 300"},
        {alice, "match bob 1 99999999999999999999", "match: Times: 0 to 300"},
        {alice, "match bob 0 0", "match: Times: 0 to 300"},
        {alice, "match bob -u 300 300", "Challenge sent to bob: Unrated even game in 300 minutes (300 seconds"},
        {alice, "match bob -u 0 1", "Challenge sent to bob: Unrated even game in 0 minutes (1 seconds"},
        {bob, "match alice", "You accept the challenge of alice."}, // game 1
        // Game numbers: 4294967297 is 1 modulo 2^32.
        {carol, "observe 4294967297", "observe: There is no game 4294967297."},
        {carol, "observe 18446744073709551617", "observe: There is no game 18446744073709551617."},
        {carol, "moves 4294967297", "moves: No such game."},
        {carol, "kibitz 4294967297 hi", "kibitz: Usage: kibitz GAME TEXT (no such game)"},
        {carol, "timeleft 4294967297", "timeleft: Usage: timeleft GAME (no such game)"},
        {carol, "allobservers 4294967297", "allobservers: Usage"},
        {carol, "look 4294967297", "look: There is no game 4294967297."},
        {carol, "sendfile 4294967297", "sendfile: There is no game 4294967297."},
        {carol, "observe 0", "observe: There is no game 0."},
        {carol, "observe 1", "observe: Game 1 alice vs bob added"},
        {alice, "H2-E2 4294967297", "move: You are not playing game 4294967297."},
        {alice, "addtime 4294967297 1", "addtime: Usage"},
        {alice, "addtime 101 1", "addtime: Usage"},
        {alice, "addtime 0 1", "addtime: Usage"},
        {alice, "addtime 100 4294967297", "addtime: You are not playing game 4294967297."},
        {alice, "addtime 100 1", "addtime: bob has 100 more minutes in game 1."},
        {alice, "adjourn 4294967297", "adjourn: You are not playing game 4294967297."},
        {alice, "adjourn 1", "resume it with \"restart alice.bob.1\""},
        {carol, "look alice.bob.4294967297", "look: There is no game alice.bob.4294967297."},
        {carol, "look alice.bob.1", "look: Game:alice.bob. 1"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(contains(d.command(c.who, c.command), c.answer)) << c.command << " should answer " << c.answer;
}

StoredGame storedGame(const std::string& red, const std::string& black, char kind)
{
    StoredGame g;
    g.red = red;
    g.black = black;
    g.kind = kind;
    g.result = kind == 'A' ? "*" : "1-0";
    return g;
}

std::vector<int> idsOf(const std::vector<const StoredGame*>& games)
{
    std::vector<int> ids;
    for (const StoredGame* g : games)
        ids.push_back(g->id);
    return ids;
}

TEST(ServerArchive, APlayerKeepsFiftyGamesTheOldestFinishedMakingRoom)
{
    GameArchive archive;
    std::vector<int> finished;
    for (int i = 0; i < 10; ++i)
        archive.add(storedGame("alice", "BotJiang", 'A'), true, false);
    for (int i = 0; i < 45; ++i)
        finished.push_back(archive.add(storedGame(i % 2 ? "alice" : "BotJiang", i % 2 ? "BotJiang" : "alice", 'F'),
                                       i % 2, !(i % 2)));
    EXPECT_EQ(archive.adjournedCount("ALICE"), 10u) << "adjourned games are never dropped";
    const std::vector<int> kept(finished.rbegin(), finished.rbegin() + 40);
    EXPECT_EQ(idsOf(archive.gamesOf("alice", 'F')), kept) << "the newest 40 finished, newest first";
    EXPECT_EQ(archive.find(finished[4]), nullptr);
    EXPECT_EQ(idsOf(archive.gamesOf("alice", 'F', 3)), std::vector<int>(kept.begin(), kept.begin() + 3));

    // The bot is not limited: games of others against it stay.
    for (int i = 0; i < 60; ++i)
        archive.add(storedGame("bob" + std::to_string(i), "BotJiang", 'F'), true, false);
    EXPECT_EQ(archive.gamesOf("BotJiang", 'F').size(), 100u);
    EXPECT_EQ(archive.gamesOf("BotJiang", 'A').size(), 10u);

    // Of all finished games the newest 500 stay, whoever played them.
    for (int i = 0; i < 500; ++i)
        archive.add(storedGame("carol", "dave" + std::to_string(i), 'F'), false, true);
    EXPECT_TRUE(archive.gamesOf("alice", 'F').empty());
    EXPECT_EQ(archive.gamesOf("BotJiang", 'F').size(), 0u);
    EXPECT_EQ(archive.gamesOf("carol", 'F').size(), GameArchive::kMaxFinished);
    EXPECT_EQ(archive.adjournedCount("alice"), 10u);
}

TEST(ServerLimits, AFloodOfAdjournmentsEndsAtTheLimitWithAMessage)
{
    ServerConfig config = quietConfig();
    config.bots = true;
    ServerDriver d(config);
    const ConnectionId alice = d.login("alice");
    const std::size_t limit = GameArchive::kMaxPerPlayer;
    for (std::size_t i = 0; i < limit; ++i) {
        ASSERT_TRUE(contains(d.command(alice, "match -u BotJiang 1 0"), "BotJiang accepts")) << i;
        ASSERT_TRUE(contains(d.command(alice, "adjourn"), "adjourned. alice adjourned it")) << i;
    }
    EXPECT_TRUE(contains(d.command(alice, "match -u BotJiang 1 0"),
                         "match: You have 50 adjourned games: resume one of them (\"stored\" lists them)"));
    const ConnectionId bob = d.login("bob");
    EXPECT_TRUE(contains(d.command(bob, "match alice"),
                         "match: alice has 50 adjourned games and cannot start another."));
    const std::string stored = d.command(alice, "stored");
    std::size_t adjourned = 0;
    for (std::size_t at = 0; (at = stored.find("A alice.BotJiang.", at)) != std::string::npos; ++at)
        ++adjourned;
    EXPECT_EQ(adjourned, limit);

    // Resuming one makes room again.
    EXPECT_TRUE(contains(d.command(alice, "restart alice.BotJiang.7"), "Resuming alice.BotJiang.7."));
    EXPECT_TRUE(contains(d.command(alice, "resign"), "You resign game"));
    EXPECT_TRUE(contains(d.command(alice, "match -u BotJiang 1 0"), "BotJiang accepts"));
}

} // namespace
} // namespace marovin::server
