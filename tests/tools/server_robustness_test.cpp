// Hostile and broken clients: none of them crashes the server or costs another client
// a byte.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <memory>
#include <random>
#include <string_view>
#include <thread>

#include "server_harness.h"

namespace marovin::testing {
namespace {

TEST(ServerRobustness, BadClientsNeitherCrashTheServerNorDisturbOthers)
{
    ServerProcess server;
    ASSERT_GT(server.port(), 0) << server.startError();
    LineClient alice(server.port()), bob(server.port());
    ASSERT_TRUE(alice.login("alice", "pw"));
    ASSERT_TRUE(bob.login("bob", "pw"));

    {   // gone in the middle of a line, before and after logging in
        LineClient early(server.port());
        early.send("half a na");
        LineClient late(server.port());
        ASSERT_TRUE(late.login("late", "pw"));
        late.send("tell alice unfinish");
    }
    LineClient flood(server.port());
    ASSERT_TRUE(flood.login("flood", "pw"));
    flood.send(std::string(100 * 1024, 'x'));
    flood.send("\r\n");
    EXPECT_NE(flood.readUntilText("OMRA% ").find("Line too long"), std::string::npos);
    EXPECT_EQ(flood.command("tell bob still here"), "tell: (told bob)\r\nOMRA% ") << "the session goes on";
    EXPECT_EQ(bob.readUntilText("OMRA% "), "\r\n#flood>: still here\r\nOMRA% ");

    LineClient noise(server.port());
    noise.send(std::string("\0\0\0\r\n\xFF\xFF\xFF\xFA\x01\x02", 12));
    std::mt19937 rng(7);
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage += static_cast<char>(rng());
    noise.send(garbage);
    LineClient loggedNoise(server.port());
    ASSERT_TRUE(loggedNoise.login("noisy", "pw"));
    loggedNoise.send(garbage + "\r\n" + std::string("who\0\0\r\n", 7));
    EXPECT_TRUE(loggedNoise.readUntil("who: ").ok) << "NUL bytes inside a command are dropped";

    // A reader that never reads while others keep talking.
    LineClient sleeper(server.port());
    ASSERT_TRUE(sleeper.login("sleeper", "pw"));
    for (int i = 0; i < 300; ++i)
        alice.send("/ " + std::string(200, 'a' + i % 26) + "\r\n");
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(alice.readUntil("OMRA% ").ok) << i;

    // The others were not touched: a tell arrives whole, and the server still answers.
    alice.drain(100);
    bob.drain(100);
    const std::string text = "\x01send1 0 HGAME \xB1\x4E";
    EXPECT_EQ(alice.command("tell bob " + text), "tell: (told bob)\r\nOMRA% ");
    EXPECT_EQ(bob.readUntilText("OMRA% "), "\r\n#alice>: " + text + "\r\nOMRA% ");
    LineClient fresh(server.port());
    EXPECT_TRUE(fresh.login("fresh", "pw"));
    EXPECT_EQ(server.stop(), 0) << server.log();
}

TEST(ServerRobustness, ListensOnlyWhereItIsToldAndStopsCleanly)
{
    ServerProcessOptions options;
    options.extraArgs = {"--bind", "127.0.0.1"};
    ServerProcess server(options);
    ASSERT_GT(server.port(), 0) << server.startError();
    LineClient c(server.port());
    EXPECT_TRUE(c.readUntil("Login: ").ok);
    EXPECT_EQ(server.stop(), 0);
    EXPECT_TRUE(c.waitClosed());
    const std::string log = server.log();
    EXPECT_NE(log.find("connect 1 from 127.0.0.1:"), std::string::npos) << log;
    EXPECT_NE(log.find("stopping"), std::string::npos) << log;
}

// Starts a server again on the data folder of a stopped one, asks it a command as alice
// and returns the answer; the folder is removed afterwards.
std::string aliceAsksAfterRestart(const ServerProcess& stopped, const std::string& command)
{
    ServerProcessOptions again;
    again.dataDirectory = stopped.dataDirectory();
    std::string answer = "(alice cannot log in)";
    {
        ServerProcess restarted(again);
        LineClient alice(restarted.port());
        if (alice.login("alice", "pw"))
            answer = alice.command(command);
    }
    std::filesystem::remove_all(stopped.dataDirectory());
    return answer;
}

TEST(ServerRobustness, UnderALowDescriptorLimitTheServerTurnsAwayTheRestAndKeepsItsData)
{
    ServerProcessOptions options;
    options.descriptorLimit = 48;
    ServerProcess server(options);
    ASSERT_GT(server.port(), 0) << server.startError();
    server.keepDataDirectory();
    LineClient alice(server.port());
    ASSERT_TRUE(alice.login("alice", "pw"));
    std::vector<std::unique_ptr<LineClient>> crowd;
    int turnedAway = 0;
    for (int i = 0; i < 60; ++i) {
        crowd.push_back(std::make_unique<LineClient>(server.port()));
        const ReadResult r = crowd.back()->readUntil("Login: ", 2000);
        turnedAway += !r.ok && r.text == "The server is full: try again later.\r\n";
    }
    EXPECT_EQ(turnedAway, 60 - (48 - 16 - 1)) << "room for 31 connections besides alice's";
    EXPECT_EQ(alice.command("plan still here"), "plan: Plan line 1 set.\r\nOMRA% ");
    crowd.clear();
    bool roomAgain = false; // once the server has seen the crowd go
    for (int attempt = 0; attempt < 100 && !roomAgain; ++attempt) {
        LineClient late(server.port());
        roomAgain = late.readUntil("Login: ", 2000).ok;
        if (!roomAgain)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(roomAgain);
    EXPECT_EQ(server.stop(), 0) << server.log();
    EXPECT_NE(aliceAsksAfterRestart(server, "plan").find("1: still here"), std::string::npos);
}

// Waits (at most 10 s) until the server's log holds the text.
bool logShows(const ServerProcess& server, std::string_view text)
{
    for (int i = 0; i < 1000 && server.log().find(text) == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return server.log().find(text) != std::string::npos;
}

TEST(ServerRobustness, ASaveStuckOnTheDiskHoldsNobodyUpAndIsDoneLater)
{
    ServerProcess server;
    ASSERT_GT(server.port(), 0) << server.startError();
    server.keepDataDirectory();
    // A journal that is a pipe without a reader: writing to it waits for as long as the
    // test likes, as a very slow disk would.
    const std::string journal = server.dataDirectory() + "/accounts.txt.journal";
    ASSERT_EQ(mkfifo(journal.c_str(), 0600), 0);
    LineClient alice(server.port());
    ASSERT_TRUE(alice.login("alice", "pw")); // a new account: the next save writes it
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(alice.command("plan -nline " + std::to_string(i)),
                  "plan: Plan line " + std::to_string(i + 1) + " set.\r\nOMRA% ")
            << "the server answers while its save waits";

    // Let the save through the pipe (where it cannot be synced, so it fails), then take
    // the pipe away: the retry writes a real journal.
    const int reader = open(journal.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    std::string written;
    for (int i = 0; i < 500 && written.find("\nC\n") == std::string::npos; ++i) {
        char buffer[4096];
        const ssize_t n = read(reader, buffer, sizeof buffer);
        if (n > 0)
            written.append(buffer, static_cast<std::size_t>(n));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_NE(written.find("K\talice\nL\talice\t"), std::string::npos) << written;
    unlink(journal.c_str());
    close(reader);
    EXPECT_TRUE(logShows(server, "cannot save accounts.txt: cannot write " + journal)) << server.log();
    EXPECT_TRUE(logShows(server, "saved accounts.txt again after ")) << server.log();
    EXPECT_EQ(server.stop(), 0) << server.log();
    EXPECT_NE(aliceAsksAfterRestart(server, "plan").find("20: line 19"), std::string::npos);
}

TEST(ServerRobustness, AFinalSaveThatFailsEndsTheServerWithAnError)
{
    ServerProcess server;
    ASSERT_GT(server.port(), 0) << server.startError();
    std::filesystem::create_directory(server.dataDirectory() + "/accounts.txt.journal");
    LineClient alice(server.port());
    ASSERT_TRUE(alice.login("alice", "pw"));
    EXPECT_EQ(server.stop(), 1);
    const std::string log = server.log();
    EXPECT_NE(log.find("cannot save accounts.txt"), std::string::npos) << log;
    EXPECT_NE(log.find("the final save failed"), std::string::npos) << log;
}

TEST(ServerRobustness, EveryStopSignalAdjournsTheGamesAndSaves)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        ServerProcess server;
        ASSERT_GT(server.port(), 0) << server.startError();
        server.keepDataDirectory();
        {
            LineClient alice(server.port()), bob(server.port());
            ASSERT_TRUE(alice.login("alice", "pw"));
            ASSERT_TRUE(bob.login("bob", "pw"));
            alice.command("match bob -u 10 0");
            bob.readUntil("OMRA% ");
            bob.command("match alice");
            alice.readUntil("created.");
            EXPECT_EQ(server.stop(signal), 0) << "signal " << signal << server.log();
            EXPECT_TRUE(alice.readUntil("adjourned. The server is shutting down").ok) << "signal " << signal;
        }
        EXPECT_NE(aliceAsksAfterRestart(server, "stored").find("A alice.bob.1"), std::string::npos)
            << "signal " << signal;
    }
}

} // namespace
} // namespace marovin::testing
