// Reconnecting after a lost connection: when the client tries again (the waits grow, the
// user's own disconnect and a switched-off option never try), and what it takes up again
// after the login (observed games into their windows, adjourned games offered for resuming).
// The server is the fake socket here; reconnect_server_test.cpp uses the practice server.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/command_script.h"
#include "session/reconnect.h"
#include "session/server_scanner.h"
#include "testkit/game_fakes.h"

namespace marovin::session {
namespace {

using model::CGame;
using testkit::GameRig;

struct Rig : GameRig {
    Rig() { context->alerts.reconnect = true; }
    // Turns the terminal's one-second timer for the given time.
    void runSeconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.advance(1000);
            terminalTimerTick(*context);
        }
    }
};

// Connects that fail at once (refused), with the second of each one kept.
std::vector<std::int64_t> runRefused(Rig& rig, int seconds)
{
    rig.socket.connectError = kConnectionRefused;
    std::vector<std::int64_t> times;
    std::size_t seen = rig.socket.connects.size();
    for (int i = 0; i < seconds; ++i) {
        rig.runSeconds(1);
        for (; seen < rig.socket.connects.size(); ++seen)
            times.push_back(rig.clock.nowMilliseconds() / 1000);
    }
    return times;
}

TEST(Reconnect, TriesAgainOnlyWhenTheConnectionWasLostWithoutTheUserAsking)
{
    struct Case {
        const char* name;
        void (*end)(Rig&);
        std::vector<std::int64_t> tries; // seconds after the loss
    };
    const std::vector<std::int64_t> all = {1, 3, 7, 15, 31, 63, 123, 183, 243};
    const Case cases[] = {
        {"the server closes", [](Rig& rig) { rig.context->connection.OnClose(0); }, all},
        {"a socket error", [](Rig& rig) { rig.context->connection.OnClose(kNetworkUnreachable); }, all},
        {"the user's Disconnect",
         [](Rig& rig) {
             sendCommand(*rig.context, "\x04\r\nquit\r\n", true, true);
             rig.context->connection.OnClose(0);
         },
         {}},
        {"a typed quit", [](Rig& rig) {
             sendCommand(*rig.context, "quit\r\n", true, false);
             rig.feed("quit: Goodbye, tester.\r\n");
             rig.context->connection.OnClose(0);
         }, {}},
        {"the option off",
         [](Rig& rig) {
             rig.context->alerts.reconnect = false;
             rig.context->connection.OnClose(0);
         },
         {}},
        {"Cancel after the second try",
         [](Rig& rig) {
             rig.context->connection.OnClose(0);
             rig.socket.connectError = kConnectionRefused;
             rig.runSeconds(3);
             cancelReconnect(*rig.context);
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.clearRecords();
        c.end(rig);
        EXPECT_EQ(runRefused(rig, 300), c.tries);
        EXPECT_TRUE(rig.desktop.boxes.empty()) << rig.desktop.boxes.front();
        EXPECT_FALSE(reconnectStatus(*rig.context).active);
    }
}

TEST(Reconnect, EachTryIsOneTerminalLineAndTheLastGivesUp)
{
    Rig rig;
    rig.clearRecords();
    rig.context->connection.OnClose(0);
    EXPECT_TRUE(rig.terminal.contains("Reconnecting to localhost 5555 in 1 s (try 1 of 9; Cancel on the status bar stops it)."));
    const ReconnectStatus waiting = reconnectStatus(*rig.context);
    EXPECT_TRUE(waiting.active);
    EXPECT_EQ(waiting.tryNumber, 1);
    EXPECT_EQ(waiting.secondsLeft, 1);
    runRefused(rig, 300);
    EXPECT_TRUE(rig.terminal.contains("Reconnecting to localhost 5555 in 60 s (try 9 of 9; Cancel on the status bar stops it)."));
    EXPECT_TRUE(rig.terminal.contains("Reconnecting failed 9 times: press Connect to try again."));
}

TEST(Reconnect, ALostConnectionNeverLoggedInIsNotTriedAgain)
{
    testkit::SessionRig rig;
    rig.context->alerts.reconnect = true;
    rig.connectNow();
    rig.context->connection.OnClose(0);
    rig.clock.advance(10'000);
    terminalTimerTick(*rig.context);
    EXPECT_EQ(rig.socket.connects.size(), 1u);
}

// A rig observing game 7 and playing game 12 (as Red against rival) when the connection
// is lost, then reconnected and logged in again.
struct Rejoined : Rig {
    Rejoined()
    {
        block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 0 0 1",
               "(1) H2-E2", "(2) H9-G7"});
        feed("\r\nGame 12 tester vs rival created. 10 min 600 600 0 1500 1500 0\r\n(1) B2-E2\r\nOMRA% ");
        observed = live(7);
        played = live(12);
        context->connection.OnClose(0);
        clearRecords();
        runSeconds(1);
        socket.sink->OnConnect(0);
        socket.sent.clear();
        feed("Login as tester\r\n");
    }
    CGame* observed = nullptr;
    CGame* played = nullptr;
};

TEST(Reconnect, AfterTheLoginTheObservedGamesComeBackIntoTheirWindows)
{
    Rejoined rig;
    ASSERT_EQ(rig.socket.connects.size(), 2u);
    EXPECT_EQ(rig.socket.connects.back(), (std::pair<std::string, int>("localhost", 5555)));
    EXPECT_EQ(rig.socket.sent, "set client on\r\nobserve 7\r\nstored\r\n");
    EXPECT_TRUE(rig.terminal.contains("Reconnected to localhost 5555: observing 1 game again."));
    ASSERT_EQ(rig.observed->participation, model::kServerNotLive);

    // The bots moved on meanwhile: the window follows from the start again.
    rig.block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 580 570 5 0 0 1",
               "(1) H2-E2", "(2) H9-G7", "(3) H0-G2"});
    EXPECT_EQ(rig.live(7), rig.observed);
    EXPECT_EQ(rig.observed->participation, model::kObserving);
    EXPECT_EQ(rig.observed->gamePly(), 3);
    EXPECT_EQ(rig.windows.count("open:"), 0);
}

TEST(Reconnect, AWindowWithTheUsersNotesKeepsThemAndTheGameOpensAnew)
{
    Rig rig;
    rig.block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 0 0 1", "(1) H2-E2"});
    CGame* old = rig.live(7);
    old->SetNote("a plan", false);
    rig.context->connection.OnClose(0);
    rig.runSeconds(1);
    rig.socket.sink->OnConnect(0);
    rig.feed("Login as tester\r\n");
    rig.block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 0 0 1", "(1) H2-E2"});
    ASSERT_NE(rig.live(7), nullptr);
    EXPECT_NE(rig.live(7), old);
    EXPECT_EQ(old->currentEntry().noteText(), "a plan");
    EXPECT_EQ(old->gamePly(), 1);
}

TEST(Reconnect, AnAdjournedGameIsOfferedAndResumesInItsWindow)
{
    Rejoined rig;
    rig.block({"observe: There is no game 7."});
    rig.socket.sent.clear();
    rig.desktop.yesNoAnswers = {true};
    rig.block({"stored: ", "A tester.rival.9  A tester.rival.13  F rival.tester.11", "A BotMa.tester.2"});
    ASSERT_EQ(rig.desktop.questions.size(), 1u);
    EXPECT_EQ(rig.desktop.questions[0],
              "Your game 12 with rival was adjourned when the connection was lost.\n\nResume it now?");
    EXPECT_EQ(rig.socket.sent, "set open on\r\nrestart   tester.rival.13\r\n");
    EXPECT_TRUE(rig.client.storedWindows.empty());

    rig.feed("\r\nGame 14 tester vs rival created. 10 min 590 580 0 1500 1500 0\r\n(1) B2-E2\r\n(2) H9-G7\r\nOMRA% ");
    EXPECT_EQ(rig.live(14), rig.played);
    EXPECT_EQ(rig.played->participation, model::kPlaying);
    EXPECT_EQ(rig.played->gamePly(), 2);

    // The user's own "stored" afterwards opens the window as ever.
    rig.block({"stored: ", "A tester.rival.9"});
    EXPECT_EQ(rig.client.storedWindows.size(), 1u);
}

TEST(Reconnect, NoAnswersKeepTheGameAdjourned)
{
    Rejoined rig;
    rig.socket.sent.clear();
    rig.desktop.yesNoAnswers = {false};
    rig.block({"stored: ", "A tester.rival.13"});
    EXPECT_EQ(rig.desktop.questions.size(), 1u);
    EXPECT_EQ(rig.socket.sent, "");
    EXPECT_TRUE(rig.terminal.contains("The game stays adjourned: Game > My Stored Games resumes it later."));
}

} // namespace
} // namespace marovin::session
