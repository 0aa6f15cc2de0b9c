// Reconnecting to the practice server: the connection of a user who observes the bots and
// plays BotJiang is lost; the server adjourns the played game, the client comes back by
// itself, observes the bots again in the same window and, asked, resumes the adjourned
// game where it stood.

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "model/legality.h"
#include "server_harness.h"
#include "session/command_script.h"
#include "session/reconnect.h"
#include "testkit/live_client.h"

namespace marovin::session {
namespace {

using model::CGame;

TEST(ReconnectToPracticeServer, ObservedGamesComeBackAndTheAdjournedGameResumes)
{
    testing::ServerProcessOptions options;
    options.bots = true;
    options.clockSpeed = 5;
    testing::ServerProcess server(options);
    ASSERT_GT(server.port(), 0) << server.startError();
    {
        testing::LineClient registration(server.port());
        ASSERT_TRUE(registration.login("alice", "pw", false));
    }
    testkit::LiveClient alice(server.port(), "alice", "pw");
    ASSERT_TRUE(alice.loggedIn()) << server.log();
    ClientContext& context = *alice.context;
    context.alerts.reconnect = true;

    CGame* watched = nullptr;
    ASSERT_TRUE(alice.command("observe BotMa", [&] {
        watched = context.gameList.newest();
        return watched && watched->participation == model::kObserving && watched->mode == model::kModeNormal;
    }));
    CGame* played = nullptr;
    ASSERT_TRUE(alice.command("match BotJiang r 10 0", [&] {
        for (CGame* game : context.gameList.games())
            if (game->participation == model::kPlaying && game->mode == model::kModeNormal)
                played = game;
        return played != nullptr;
    }));
    const auto moves = model::GenerateLegalMoves(played->gameBoard, true);
    ASSERT_TRUE(alice.command(model::FormatCoordinateMove(moves[0].from, moves[0].to) + " " +
                                  std::to_string(played->gameNumber),
                              [&] { return played->gamePly() >= 2 && played->mode == model::kModeNormal; }));
    const int plies = played->gamePly();

    // The connection drops as if the network went: the client's socket closes.
    context.connection.OnClose(0);
    ASSERT_EQ(played->participation, model::kServerNotLive);
    ASSERT_TRUE(reconnectStatus(context).active);
    alice.desktop.yesNoAnswers = {true}; // resume the adjourned game
    const auto tick = [&] {
        alice.clock.advance(1000);
        terminalTimerTick(context);
        return false;
    };
    tick();
    ASSERT_TRUE(alice.socket.runUntil([&] {
        return played->participation == model::kPlaying && played->mode == model::kModeNormal &&
               watched->participation == model::kObserving && watched->mode == model::kModeNormal;
    }, 20000)) << server.log();

    ASSERT_EQ(alice.desktop.questions.size(), 1u);
    EXPECT_EQ(alice.desktop.questions[0].substr(0, 10), "Your game ");
    EXPECT_GE(played->gamePly(), plies) << "the resumed game stands where it was";
    EXPECT_EQ(context.gameList.size(), 2u) << "both games came back into their windows";
    EXPECT_TRUE(alice.desktop.boxes.empty());
}

} // namespace
} // namespace marovin::session
