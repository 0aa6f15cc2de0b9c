// Games on the practice server over loopback: a match between two scripted clients with
// an observer, take-backs, adjournment and resumption, endings, clocks, the bots, and
// what survives a restart of the server.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>

#include "server_harness.h"

namespace marovin::testing {
namespace {

// The "Game ..." line of an answer.
std::string gameLine(const std::string& text)
{
    const std::size_t at = text.find("Game ");
    return at == std::string::npos ? std::string() : text.substr(at, text.find("\r\n", at) - at);
}

// Reads one move report and returns its number and move text.
std::pair<int, std::string> readReport(LineClient& c, const std::string& prefix)
{
    const std::string line = gameLine(c.readUntilText("OMRA% "));
    int number = 0;
    char move[16] = "";
    if (line.rfind(prefix, 0) != 0 || std::sscanf(line.c_str() + prefix.size(), "%d %15s", &number, move) != 2)
        return {-1, line};
    return {number, move};
}

class ServerGames : public ::testing::Test {
protected:
    void start(ServerProcessOptions options = {})
    {
        server = std::make_unique<ServerProcess>(options);
        ASSERT_GT(server->port(), 0) << server->startError();
    }
    std::unique_ptr<LineClient> client(const std::string& name)
    {
        auto c = std::make_unique<LineClient>(server->port());
        EXPECT_TRUE(c->login(name, "pw")) << name;
        return c;
    }
    // alice (Red) and bob (Black) start a game; returns its number.
    int startGame(LineClient& alice, LineClient& bob, const std::string& terms = "20 10")
    {
        const std::string sent = alice.command("match -re  bob  r " + terms);
        EXPECT_NE(sent.find("Challenge sent to bob"), std::string::npos) << sent;
        const std::string request = bob.readUntilText("requested with alice as red.");
        EXPECT_NE(request.find("\r\nRated even game in " + terms.substr(0, terms.find(' ')) + " minutes"),
                  std::string::npos)
            << request;
        bob.readUntil("OMRA% ");
        bob.sendLine("match -re  alice  b " + terms);
        EXPECT_EQ(bob.readUntilText("OMRA% "), "match: You accept the challenge of alice.\r\nOMRA% ");
        const std::string created = gameLine(alice.readUntilText("OMRA% "));
        EXPECT_EQ(gameLine(bob.readUntilText("OMRA% ")), created);
        int number = 0;
        EXPECT_EQ(std::sscanf(created.c_str(), "Game %d alice vs bob created.", &number), 1) << created;
        return number;
    }
    std::unique_ptr<ServerProcess> server;
};

TEST_F(ServerGames, AFullGameWithAnObserverTakeBackAdjournmentAndRestart)
{
    start();
    auto alice = client("alice");
    auto bob = client("bob");
    auto carol = client("carol");
    const int n = startGame(*alice, *bob);
    ASSERT_GT(n, 0);
    const std::string prefix = "Game " + std::to_string(n) + " alice vs bob ";

    const std::string games = carol->command("games");
    EXPECT_NE(games.find(" alice           (1500) bob             (1500)"), std::string::npos) << games;
    alice->sendLine("H2-E2 " + std::to_string(n));
    EXPECT_EQ(readReport(*alice, prefix), std::make_pair(1, std::string("H2-E2")));
    EXPECT_EQ(readReport(*bob, prefix), std::make_pair(1, std::string("H2-E2")));

    const std::string observe = carol->command("observe " + std::to_string(n));
    EXPECT_EQ(observe.rfind("observe: " + prefix + "added to your observation list. 20 min ", 0), 0u) << observe;
    EXPECT_NE(observe.find("\r\n(1) H2-E2\r\nOMRA% "), std::string::npos) << observe;

    EXPECT_NE(alice->command("H8-H9").find("It is not your move"), std::string::npos);
    bob->sendLine("H7-E7 " + std::to_string(n));
    for (LineClient* c : {alice.get(), bob.get(), carol.get()})
        EXPECT_EQ(readReport(*c, prefix), std::make_pair(2, std::string("H7-E7")));

    // alice asks to take back; bob agrees: her move and bob's answer go, in two events.
    EXPECT_NE(alice->command("undo " + std::to_string(n)).find("You ask bob"), std::string::npos);
    EXPECT_NE(bob->readUntilText("OMRA% ").find("alice asks to take back a move"), std::string::npos);
    EXPECT_EQ(bob->command("undo " + std::to_string(n)), "undo: Taking back.\r\nOMRA% ");
    for (LineClient* c : {alice.get(), bob.get(), carol.get()}) {
        EXPECT_EQ(readReport(*c, prefix), std::make_pair(3, std::string("undo")));
        EXPECT_EQ(readReport(*c, prefix), std::make_pair(4, std::string("undo"))) << "back to alice's turn";
    }
    alice->sendLine("B0-C2 " + std::to_string(n));
    for (LineClient* c : {alice.get(), bob.get(), carol.get()})
        EXPECT_EQ(readReport(*c, prefix), std::make_pair(5, std::string("B0-C2")));

    const std::string moves = carol->command("moves " + std::to_string(n));
    EXPECT_NE(moves.find("(1) H2-E2\r\n(2) H7-E7\r\n(3) undo\r\n(4) undo\r\n(5) B0-C2\r\n"), std::string::npos)
        << moves;

    // Adjourned: everybody is told; the game is stored for both.
    EXPECT_NE(bob->command("adjourn " + std::to_string(n)).find("adjourn: "), std::string::npos);
    const std::string adjourned = gameLine(alice->readUntilText("OMRA% "));
    EXPECT_EQ(adjourned.rfind(prefix + "adjourned.", 0), 0u) << adjourned;
    EXPECT_EQ(gameLine(carol->readUntilText("OMRA% ")), adjourned);
    const std::string stored = alice->command("stored");
    std::smatch word;
    ASSERT_TRUE(std::regex_search(stored, word, std::regex("\r\nA (alice\\.bob\\.[0-9]+)"))) << stored;
    EXPECT_EQ(stored.rfind("stored: \r\n", 0), 0u) << stored;
    // The adjourned game as a game file: header lines, then one move a line.
    const std::string file = carol->command("sendfile   " + word[1].str());
    EXPECT_EQ(file.rfind("sendfile: GAME\r\n", 0), 0u) << file;
    EXPECT_NE(file.find("\r\nRED     alice; 1500\r\nBLACK   bob; 1500\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\r\nSTART\r\nB0-C2\r\nOMRA% "), std::string::npos) << file;
    EXPECT_EQ(carol->command("sendfile nobody.else.99"), "sendfile: There is no game nobody.else.99.\r\nOMRA% ");
    const std::string id = word[1].str().substr(word[1].str().rfind('.') + 1);
    EXPECT_EQ(carol->command("look " + word[1].str()).rfind("look: Game:alice.bob. " + id + "\r\n(1) B0-C2\r\nDate: ", 0), 0u);

    // Both ask to restart; the game comes back with its moves, under a game number.
    EXPECT_NE(alice->command("restart   " + word[1].str()).find("You ask bob"), std::string::npos);
    EXPECT_TRUE(bob->readUntil("would like to resume").ok);
    bob->readUntil("OMRA% ");
    EXPECT_EQ(bob->command("restart " + word[1].str()), "restart: Resuming " + word[1].str() + ".\r\nOMRA% ");
    EXPECT_NE(bob->readUntilText("OMRA% ").find("(1) B0-C2"), std::string::npos);
    const std::string resumed = alice->readUntilText("OMRA% ");
    int again = 0;
    ASSERT_EQ(std::sscanf(gameLine(resumed).c_str(), "Game %d alice vs bob created.", &again), 1) << resumed;
    EXPECT_NE(resumed.find("\r\n(1) B0-C2\r\nOMRA% "), std::string::npos) << "the moves on the board, in order";
    EXPECT_EQ(alice->command("stored").find("A alice.bob."), std::string::npos) << "no longer adjourned";

    // Red resigns: the ending reaches both; the result is in the history.
    const std::string againPrefix = "Game " + std::to_string(again) + " alice vs bob ";
    bob->sendLine("H9-G7 " + std::to_string(again));
    for (LineClient* c : {alice.get(), bob.get()})
        EXPECT_EQ(readReport(*c, againPrefix), std::make_pair(2, std::string("H9-G7")));
    alice->command("resign " + std::to_string(again));
    EXPECT_EQ(gameLine(bob->readUntilText("OMRA% ")), againPrefix + "Red resigned. 0-1");
    EXPECT_NE(bob->command("history").find("+ black alice"), std::string::npos);
    EXPECT_NE(bob->command("finger bob").find("Slow rating: 1516"), std::string::npos) << "rated game";
}

TEST_F(ServerGames, DrawOfferOddsAndGameCommands)
{
    start();
    auto alice = client("alice");
    auto bob = client("bob");
    alice->command("match bob -un 5 0 r");
    const std::string request = bob->readUntilText("OMRA% ");
    EXPECT_NE(request.find("Unrated 1-knight game in 5 minutes (0 seconds increment) requested with alice as red."),
              std::string::npos)
        << request;
    bob->command("match alice");
    const std::string created = alice->readUntilText("OMRA% ");
    EXPECT_NE(created.find("created. 5 min 300 300 0 1500 1500 0 unrated 1-knight\r\nODDS KNIGHT\r\n"),
              std::string::npos)
        << created;
    bob->readUntil("OMRA% ");
    int n = 0;
    std::sscanf(gameLine(created).c_str(), "Game %d", &n);
    const std::string number = std::to_string(n);

    EXPECT_NE(alice->command("B0-C2").find("Illegal move: B0-C2"), std::string::npos) << "no horse on B0";
    EXPECT_EQ(alice->command("timeleft " + number), "timeleft: Game " + number +
                                                         ": Red alice 5:00, Black bob 5:00, Red to move.\r\nOMRA% ");
    EXPECT_NE(alice->command("addtime 5 " + number).find("bob has 5 more minutes"), std::string::npos);
    EXPECT_NE(bob->readUntilText("OMRA% ").find("alice gives you 5 more minutes"), std::string::npos);
    EXPECT_NE(alice->command("timeleft " + number).find("Black bob 10:00"), std::string::npos);
    EXPECT_EQ(alice->command("allobservers " + number), "allobservers: Observers of game " + number + ": none\r\nOMRA% ");

    alice->command("kibitz " + number + " nice game");
    bob->readUntil("Kibitz ");
    EXPECT_EQ(bob->readUntilText("OMRA% "), "alice [" + number + "]: nice game\r\nOMRA% ");

    alice->command("pass " + number);
    EXPECT_NE(bob->readUntilText("OMRA% ").find("alice offers a draw"), std::string::npos);
    bob->sendLine("pass " + number);
    EXPECT_EQ(gameLine(alice->readUntilText("OMRA% ")), "Game " + number + " alice vs bob draw. Agreed by both players. 1/2-1/2");
}

TEST_F(ServerGames, ClocksRunOutAtTheClockSpeed)
{
    ServerProcessOptions options;
    options.clockSpeed = 300; // a minute passes in 0.2 s
    start(options);
    auto alice = client("alice");
    auto bob = client("bob");
    const int n = startGame(*alice, *bob, "1 0");
    ASSERT_GT(n, 0);
    const ReadResult end = alice->readUntil("run out of time.", 5000);
    ASSERT_TRUE(end.ok) << end.text;
    EXPECT_EQ(gameLine(end.text), "Game " + std::to_string(n) + " alice vs bob Red has run out of time.");
}

TEST_F(ServerGames, BotsAcceptMatchesAnswerMovesAndPlayEachOther)
{
    ServerProcessOptions options;
    options.bots = true;
    options.clockSpeed = 50;
    start(options);
    auto alice = client("alice");
    const std::string who = alice->command("who");
    for (const char* bot : {"BotJiang", "BotMa", "BotPao"})
        EXPECT_NE(who.find(bot), std::string::npos) << bot;
    EXPECT_NE(alice->command("games").find("BotMa"), std::string::npos) << "the bots' own game";

    alice->command("match BotJiang r 10 0");
    const std::string created = alice->readUntilText("OMRA% ");
    int n = 0;
    ASSERT_EQ(std::sscanf(gameLine(created).c_str(), "Game %d alice vs BotJiang created.", &n), 1) << created;
    alice->sendLine("H2-E2");
    const std::string prefix = "Game " + std::to_string(n) + " alice vs BotJiang ";
    EXPECT_EQ(readReport(*alice, prefix).first, 1);
    const auto answer = readReport(*alice, prefix);
    EXPECT_EQ(answer.first, 2) << answer.second;
    EXPECT_NE(alice->command("pass").find("declines the draw"), std::string::npos);
    alice->command("undo");
    EXPECT_EQ(readReport(*alice, prefix), std::make_pair(3, std::string("undo")));
    EXPECT_EQ(readReport(*alice, prefix), std::make_pair(4, std::string("undo")));
}

TEST_F(ServerGames, StoredDataSurvivesARestart)
{
    char pattern[] = "/tmp/marovin-server-restart-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    ServerProcessOptions options;
    options.dataDirectory = pattern;
    start(options);
    {
        auto alice = client("alice");
        auto bob = client("bob");
        alice->command("plan kept across restarts");
        alice->command("message bob hello after the restart");
        startGame(*alice, *bob);
        alice->sendLine("H2-E2");
        alice->readUntil("OMRA% ");
    }
    EXPECT_EQ(server->stop(), 0) << server->log();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(pattern)) {
        ++files;
        EXPECT_EQ(entry.status().permissions() & (std::filesystem::perms::others_read | std::filesystem::perms::group_read),
                  std::filesystem::perms::none)
            << entry.path() << ": passwords inside";
    }
    EXPECT_GT(files, 0);
    start(options);
    auto bob = client("bob");
    EXPECT_NE(bob->command("finger alice").find("1: kept across restarts"), std::string::npos);
    EXPECT_NE(bob->command("message").find("hello after the restart"), std::string::npos);
    const std::string stored = bob->command("stored");
    EXPECT_NE(stored.find("A alice.bob."), std::string::npos) << "the game was adjourned when alice left: " << stored;
    server.reset();
    std::filesystem::remove_all(pattern);
}

} // namespace
} // namespace marovin::testing
