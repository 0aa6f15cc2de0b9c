// Hostile and broken clients: none of them crashes the server or costs another client
// a byte.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
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

    ServerProcessOptions again;
    again.dataDirectory = server.dataDirectory();
    ServerProcess restarted(again);
    LineClient back(restarted.port());
    ASSERT_TRUE(back.login("alice", "pw"));
    EXPECT_NE(back.command("plan").find("1: still here"), std::string::npos);
    restarted.stop();
    std::filesystem::remove_all(server.dataDirectory());
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
        ServerProcessOptions again;
        again.dataDirectory = server.dataDirectory();
        ServerProcess restarted(again);
        ASSERT_GT(restarted.port(), 0) << restarted.startError();
        LineClient alice(restarted.port());
        ASSERT_TRUE(alice.login("alice", "pw")) << "the account was saved; signal " << signal;
        EXPECT_NE(alice.command("stored").find("A alice.bob.1"), std::string::npos) << "signal " << signal;
        restarted.stop();
        std::filesystem::remove_all(server.dataDirectory());
    }
}

} // namespace
} // namespace marovin::testing
