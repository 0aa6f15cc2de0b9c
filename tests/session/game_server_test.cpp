// Following games on the practice server over loopback: the client's own scanner and game
// side on a real socket, watching the bots' game and playing one against a bot by typed
// move commands, with the records compared to the server's game files.

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/legality.h"
#include "server_harness.h"
#include "model/game_file.h"
#include "session/game_transfer.h"
#include "session/game_updates.h"
#include "session/server_scanner.h"
#include "support/fixed_text.h"
#include "testkit/game_fakes.h"
#include "testkit/live_client.h"
#include "testkit/loopback_socket.h"
#include "testkit/temp_folder.h"

namespace marovin::session {
namespace {

using model::CGame;

using testkit::LiveClient;

// The moves of the live line of a game, or of the main line of a local one.
std::vector<std::string> mainLine(const CGame& game)
{
    std::vector<std::string> moves;
    const model::BranchPoint* point = game.root().alternatives[0].continuation.get();
    while (point && !point->alternatives.empty()) {
        for (const model::MoveEntry& entry : point->alternatives[0].entries)
            if (entry.isMove())
                moves.push_back(model::FormatCoordinateMove(entry.move.from, entry.move.to));
        point = point->alternatives[0].continuation.get();
    }
    return moves;
}

class GameServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ServerProcessOptions options;
        options.bots = true;
        options.clockSpeed = 10;
        server = std::make_unique<testing::ServerProcess>(options);
        ASSERT_GT(server->port(), 0) << server->startError();
    }
    // Registers the name (a new name is registered at its first login) and logs in.
    std::unique_ptr<LiveClient> logIn(const std::string& name)
    {
        {
            testing::LineClient registration(server->port());
            EXPECT_TRUE(registration.login(name, "pw", false));
        }
        auto live = std::make_unique<LiveClient>(server->port(), name, "pw");
        EXPECT_TRUE(live->loggedIn()) << server->log();
        return live;
    }
    std::unique_ptr<testing::ServerProcess> server;
};

TEST_F(GameServer, ObservingTheBotsFollowsTwentyMovesWithTheirClocks)
{
    auto watcher = logIn("watcher");
    ASSERT_TRUE(watcher);
    CGame* game = nullptr;
    ASSERT_TRUE(watcher->command("observe BotMa", [&] {
        const auto games = watcher->context->gameList.games();
        game = games.empty() ? nullptr : games.front();
        return game != nullptr;
    }));
    EXPECT_EQ(watcher->windows.log.front(), "open:looking");
    EXPECT_EQ(game->participation, model::kObserving);
    const int number = game->gameNumber;
    // Twenty moves, the last of them (at least) reported by a notice with its clocks.
    ASSERT_TRUE(watcher->socket.runUntil(
        [&] { return game->gamePly() >= 20 && game->mode == model::kModeNormal && watcher->lastReport(number).has_value(); },
        30000))
        << "moves followed: " << game->gamePly();

    const auto report = watcher->lastReport(number);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->number, game->serverMoveCounter);
    EXPECT_EQ(report->move, mainLine(*game).back());
    EXPECT_EQ(game->times[2], report->red);
    EXPECT_EQ(game->times[3], report->black);
    EXPECT_EQ(game->observers, 1);
    EXPECT_EQ(game->browsedBoard, game->gameBoard);

    // Stop watching (the game stays readable), then fetch the server's record of it.
    ASSERT_TRUE(watcher->command("observe BotMa", [&] { return game->participation == model::kServerNotLive; }));
    EXPECT_EQ(watcher->windows.log.back(), "close:" + std::to_string(number));
    CGame* record = nullptr;
    ASSERT_TRUE(watcher->command("sendfile " + std::to_string(number), [&] { return (record = watcher->localGame()) != nullptr; }));
    const std::vector<std::string> followed = mainLine(*game);
    std::vector<std::string> recorded = mainLine(*record);
    ASSERT_GE(recorded.size(), followed.size());
    recorded.resize(followed.size()); // the bots played on after the observation ended
    EXPECT_EQ(recorded, followed);
    EXPECT_EQ(fieldText(record->redName), fieldText(game->redName));
    EXPECT_EQ(fieldText(record->blackName), fieldText(game->blackName));
}

TEST_F(GameServer, PlayingABotByTypedMovesToTheEndKeepsTheServersRecord)
{
    auto player = logIn("player");
    ASSERT_TRUE(player);
    player->options->promptGameOver = 1;
    CGame* game = nullptr;
    ASSERT_TRUE(player->command("match BotJiang r 10 0", [&] {
        for (CGame* g : player->context->gameList.games())
            if (g->participation == model::kPlaying && g->mode == model::kModeNormal)
                game = g;
        return game != nullptr;
    }));
    EXPECT_EQ(player->windows.log.front(), "open:playing");
    EXPECT_EQ(game->userSide, model::kRed);
    const int number = game->gameNumber;
    const std::string suffix = " " + std::to_string(number);

    std::mt19937 rng(7);
    for (int turn = 0; turn < 12 && game->participation == model::kPlaying; ++turn) {
        const auto moves = model::GenerateLegalMoves(game->gameBoard, game->isRedToMoveLive());
        ASSERT_FALSE(moves.empty());
        const model::SquarePair move = moves[rng() % moves.size()];
        const int before = game->gamePly();
        ASSERT_TRUE(player->command(model::FormatCoordinateMove(move.from, move.to) + suffix, [&] {
            // The bot's answer, or the end of the game.
            return game->participation != model::kPlaying ||
                   (game->gamePly() >= before + 2 && game->isRedToMoveLive() && game->mode == model::kModeNormal);
        })) << "turn " << turn;
    }
    player->windows.quitAnswers = {true};
    if (game->participation == model::kPlaying)
        ASSERT_TRUE(player->command("resign" + suffix, [&] { return !player->windows.quitReasons.empty(); }));
    else
        ASSERT_TRUE(player->socket.runUntil([&] { return !player->windows.quitReasons.empty(); }));
    EXPECT_EQ(game->participation, model::kServerNotLive);
    EXPECT_FALSE(game->modified);
    EXPECT_EQ(player->windows.log.back(), "close:" + std::to_string(number));
    const std::string reason = player->windows.quitReasons.front();
    EXPECT_TRUE(reason.find("0-1") != std::string::npos || reason.find("1-0") != std::string::npos) << reason;

    // The stored record of the finished game, fetched by its word from the stored list.
    ASSERT_TRUE(player->command("stored", [&] { return !player->client.storedWindows.empty(); }));
    const std::string& stored = player->client.storedWindows.front();
    const std::size_t at = stored.find("player.BotJiang.");
    ASSERT_NE(at, std::string::npos) << stored;
    const std::string word = stored.substr(at, stored.find_first_of(" \r", at) - at);
    CGame* record = nullptr;
    ASSERT_TRUE(player->command("sendfile " + word, [&] { return (record = player->localGame()) != nullptr; }));
    EXPECT_EQ(mainLine(*record), mainLine(*game));
    EXPECT_GE(game->gamePly(), 2);
    EXPECT_EQ(fieldText(record->redName), "player");
    EXPECT_EQ(fieldText(record->blackName), "BotJiang");

    // The same game shown on request: not live, numbered negatively, with its result.
    CGame* shown = nullptr;
    ASSERT_TRUE(player->command("look " + word, [&] {
        for (CGame* g : player->context->gameList.games())
            if (g->participation == model::kServerNotLive && g->gameNumber < 0 && g->mode == model::kModeNormal)
                shown = g;
        return shown != nullptr;
    }));
    EXPECT_EQ(shown->participation, model::kServerNotLive);
    EXPECT_EQ(-shown->gameNumber, std::stoi(word.substr(word.rfind('.') + 1)));
    EXPECT_EQ(mainLine(*shown), mainLine(*game));
    EXPECT_EQ(fieldText(shown->result).substr(0, 3), fieldText(record->result).substr(0, 3));
}

// A note of 10000 bytes on one line goes whole: the line is sent in parts, each in a tell
// of its own, that the receiver joins again.
TEST_F(GameServer, AGameWithBranchesAndNotesIsSentToAnotherPlayer)
{
    testkit::TempFolder folder;
    ::setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
    auto alice = logIn("alice");
    auto bob = logIn("bob");
    ASSERT_TRUE(alice && bob);
    CGame* game = alice->context->gameList.open(true);
    ASSERT_NE(game, nullptr);
    std::string text = "GAME\r\nSUBJECT Sent over\r\nRED     alice; 1500\r\nBLACK   bob; 1400\r\nSTART\r\n#start\r\n";
    for (const char* move : {"H2-E2", "H9-G7", "H0-G2", "I9-H9", "I0-H0", "B9-C7"})
        text += std::string(move) + "\r\n";
    text += "BB\r\nC6-C5\r\n#\xA4\x5D\r\nBE\r\nBB\r\nG6-G5\r\nBE\r\n";
    model::StringSource source(text);
    ASSERT_EQ(model::ReadGame(*game, source, "game", false), 1);
    std::string note;
    for (int i = 0;; ++i) {
        const std::string piece = "\xA6\x6E\xB4\xD1 move " + std::to_string(i) + " \xA4\x5D "; // 好棋, 也 ("]")
        if (note.size() + piece.size() > 9994)
            break;
        note += piece;
    }
    note.resize(9994, 'x');
    note += "\r\nend.";
    ASSERT_EQ(note.size(), 10000u);
    game->Navigate(model::kGoToPly, 3);
    game->SetNote(note, false);

    ASSERT_TRUE(startSendGame(*alice->context, *game, [] { return std::optional<std::string>("bob"); }));
    const auto done = [&] { return bob->terminal.contains("Sender is alice."); };
    for (int round = 0; round < 4000 && !done(); ++round) {
        alice->socket.pump(5);
        bob->socket.pump(5);
    }
    ASSERT_TRUE(done()) << server->log();
    EXPECT_FALSE(alice->games.sendingGame());
    CGame* received = bob->context->gameList.newest();
    ASSERT_NE(received, nullptr);
    EXPECT_EQ(received->mode, model::kModeNormal);
    EXPECT_EQ(model::GameFileText(*received, model::GameFileForm::Old),
              model::GameFileText(*game, model::GameFileForm::Old));
    received->Navigate(model::kGoToPly, 3);
    EXPECT_EQ(received->currentEntry().noteText(), note);
    EXPECT_FALSE(bob->terminal.contains("Send order error"));
}

} // namespace
} // namespace marovin::session
