// Games sent between two clients through tells: the sender's lines, paced one per prompt,
// fed to a receiving client as the server would tell them, and every way a transfer stops
// or is refused.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/game_file.h"
#include "session/game_transfer.h"
#include "testkit/game_fakes.h"
#include "testkit/temp_folder.h"

namespace marovin::session {
namespace {

using model::CGame;

const std::string kGame = "GAME\r\nTIME    600\t0\t0\t0\r\nSUBJECT A friendly game\r\nRESULT  1-0\r\n"
                          "RED     alice; 1600\r\nBLACK   bob; 1500\r\nDATE    2026-12-01\r\nPLACE   Taipei\r\n"
                          "START\r\n#the start\r\n#two lines\r\nBB\r\nH2-E2\r\nH9-G7\r\n#a reply\r\nBB\r\nH0-G2\r\n"
                          "BE\r\nBB\r\nB0-C2\r\nI9-H9\r\nBE\r\nBE\r\nBB\r\nC3-C4\r\nBE\r\n";

class GameTransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
        game = sender.list().open(true);
        ASSERT_NE(game, nullptr);
        model::StringSource source(kGame);
        ASSERT_EQ(model::ReadGame(*game, source, "game", false), 1);
        sender.clearRecords();
    }

    bool start(const char* peer = "bob")
    {
        return startSendGame(*sender.context, *game, [peer] { return std::optional<std::string>(peer); });
    }
    // The tells the sender sent since the last call, each as its text after "tell bob ".
    std::vector<std::string> takeTells()
    {
        std::vector<std::string> tells;
        const std::string prefix = "tell bob ";
        std::string& sent = sender.socket.sent;
        for (std::size_t at = sent.find(prefix); at != std::string::npos; at = sent.find(prefix, at)) {
            const std::size_t end = sent.find('\n', at);
            tells.push_back(sent.substr(at + prefix.size(), end - at - prefix.size() + 1));
            at = end;
        }
        sent.clear();
        return tells;
    }
    // The receiver is told text by player.
    void tellReceiver(const std::string& text, const std::string& player = "alice")
    {
        std::string line = "#" + player + ">: " + text;
        if (!line.ends_with("\n"))
            line += "\r\n";
        receiver.feed(line);
    }
    CGame* received() const { return receiver.list().newest(); }

    testkit::TempFolder folder;
    testkit::GameRig sender;
    testkit::GameRig receiver;
    CGame* game = nullptr;
};

TEST_F(GameTransferTest, AGameGoesOverLineByLineWithProgressAndPacing)
{
    ASSERT_TRUE(start());
    EXPECT_EQ(game->mode, model::kModeSending);
    int lines = 0;
    int lastPercent = -1;
    for (int prompt = 0; prompt < 100; ++prompt) {
        const auto tells = takeTells();
        ASSERT_EQ(tells.size(), 1u) << "one tell per ready prompt";
        const std::string& tell = tells[0];
        if (tell == "\x01sendO\r\n")
            break;
        ++lines;
        int sequence = 0, percent = 0;
        ASSERT_EQ(std::sscanf(tell.c_str(), "\x01send%d %d", &sequence, &percent), 2) << tell;
        EXPECT_EQ(sequence, lines);
        EXPECT_GE(percent, lastPercent);
        EXPECT_EQ(game->transferPercent, percent);
        lastPercent = percent;
        tellReceiver(tell);
        EXPECT_EQ(received()->mode, model::kModeReceiving);
        EXPECT_EQ(received()->transferPercent, percent);
        sender.feed("OMRA% ");
    }
    EXPECT_EQ(lastPercent, 100);
    EXPECT_EQ(game->mode, model::kModeNormal);
    tellReceiver("\x01sendO\r\n");
    ASSERT_NE(received(), nullptr);
    EXPECT_EQ(received()->mode, model::kModeNormal);
    EXPECT_TRUE(receiver.terminal.contains("Sender is alice."));
    EXPECT_EQ(model::GameFileText(*received(), model::GameFileForm::Old),
              model::GameFileText(*game, model::GameFileForm::Old))
        << "headers, notes and every branch arrive";

    // Short tells wait 150 ms; once more than 250 bytes went out, 2000 ms; 600 ms before the end.
    const std::vector<int>& pauses = sender.clock.pauses;
    ASSERT_EQ(static_cast<int>(pauses.size()), lines + 1);
    EXPECT_EQ(pauses.front(), 150);
    EXPECT_NE(std::find(pauses.begin(), pauses.end(), 2000), pauses.end());
    EXPECT_EQ(pauses.back(), 600);
}

TEST_F(GameTransferTest, BlankLinesAreSkippedAndPairsBecomeMoves)
{
    EXPECT_EQ(transferPairText('!', 'z'), "A9-I0");
    EXPECT_EQ(transferPairText('!', '+'), "A9-B8");
    EXPECT_FALSE(transferPairText(' ', '!'));
    EXPECT_FALSE(transferPairText('!', '{'));

    // A file of three lines with blank ones between: sequences 1, 2, 3, then "sendO".
    ASSERT_TRUE(start());
    takeTells();
    auto& transfer = sender.context->session.transfer;
    transfer.sendFile = "HGAME\r\n\r\n\r\nHSTART\n\nM!+\r\n";
    transfer.sendBytesRead = 0;
    transfer.sendSequence = 1;
    std::vector<std::string> all;
    for (int i = 0; i < 4; ++i) {
        sender.context->games.sendNextGameLine();
        for (const std::string& tell : takeTells())
            all.push_back(tell);
    }
    EXPECT_EQ(all, (std::vector<std::string>{"\x01send1 29 HGAME\r\n", "\x01send2 75 HSTART\r\n",
                                             "\x01send3 100 M!+\r\n", "\x01sendO\r\n"}));
}

TEST_F(GameTransferTest, BadLinesAreRefusedAndLeaveTheGameAsItWas)
{
    tellReceiver("\x01send1 5 HGAME");
    tellReceiver("\x01send2 9 HSTART");
    tellReceiver("\x01send3 20 M\x48\x4C"); // H2-E2
    ASSERT_NE(received(), nullptr);
    const std::string before = model::GameFileText(*received(), model::GameFileForm::Old);
    receiver.clearRecords();
    const struct {
        std::string text;
        std::string player;
    } refused[] = {
        {"\x01send5 30 M\x48\x4C", "alice"},       // out of order
        {"\x01send4 30 M\x48\x4C", "mallory"},     // not the sender
        {"\x01send 30 M\x48\x4C", "alice"},        // no sequence
        {"\x01send4", "alice"},                    // no percent, no line
        {"\x01send-4 30 M\x48\x4C", "alice"},      // negative
        {"\x01send4 30 M\x48", "alice"},           // half a pair
        {"\x01send4 30 M\x48\x7B", "alice"},       // a character past the last square
        {"\x01send4 30 M\x48\x20", "alice"},       // a character before the first
        {"\x01send4 30 ", "alice"},                // no line
    };
    for (const auto& c : refused) {
        receiver.socket.sent.clear();
        tellReceiver(c.text, c.player);
        EXPECT_EQ(receiver.socket.sent, "tell " + c.player + " \x01sendR\r\n") << c.text;
        EXPECT_EQ(model::GameFileText(*received(), model::GameFileForm::Old), before) << c.text;
        EXPECT_EQ(received()->mode, model::kModeReceiving) << c.text;
    }
    const std::vector<std::string> texts = receiver.terminal.texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Send order error"), static_cast<long>(std::size(refused)));

    // A percentage over 100 is shown as 100; an empty header line is taken; the line goes on.
    tellReceiver("\x01send4 250 H");
    EXPECT_EQ(received()->transferPercent, 100);
    tellReceiver("\x01send5 100 M\x3B\x3F"); // H9-G7
    tellReceiver("\x01sendO");
    EXPECT_EQ(received()->pathLength(), 2);

    // Idle: only a first line starts a transfer; cancels from nobody are ignored.
    receiver.socket.sent.clear();
    tellReceiver("\x01send2 10 HGAME");
    EXPECT_EQ(receiver.socket.sent, "tell alice \x01sendR\r\n");
    tellReceiver("\x01sendC\n");
    tellReceiver("\x01sendR");
    EXPECT_FALSE(receiver.terminal.contains("Sender canceled the game"));
    EXPECT_FALSE(receiver.terminal.contains("Receiver cancels the game"));
}

// A tell is counted whole for the pacing: one of 250 bytes gets the short pause, one of 251
// the long one.
TEST_F(GameTransferTest, TheLongPauseComesOnceTheWholeTellsPassTwoHundredFiftyBytes)
{
    ASSERT_TRUE(start());
    takeTells();
    auto& transfer = sender.context->session.transfer;
    for (const std::size_t tellSize : {250u, 251u}) {
        // "tell bob " 01 "send1 100 " LINE CR LF: 22 bytes around the line.
        transfer.sendFile = "H" + std::string(tellSize - 23, 'x') + "\r\n";
        transfer.sendBytesRead = 0;
        transfer.bytesSincePause = 0;
        transfer.sendSequence = 1;
        sender.clock.pauses.clear();
        sender.context->games.sendNextGameLine();
        const auto tells = takeTells();
        ASSERT_EQ(tells.size(), 1u);
        EXPECT_EQ(tells[0].size() + std::string("tell bob ").size(), tellSize);
        EXPECT_EQ(sender.clock.pauses, std::vector<int>{tellSize > 250 ? 2000 : 150}) << tellSize;
    }
}

// A first line that is no game header opens nothing; it must not leave the receiver
// waiting for that sender's next line, refusing everyone else's transfers meanwhile.
TEST_F(GameTransferTest, AFirstLineThatOpensNoGameLeavesTheReceiverIdle)
{
    for (const char* bad : {"\x01send1 0 Hnot a game header", "\x01send1 0 M\x48\x4C"}) {
        receiver.socket.sent.clear();
        tellReceiver(bad, "mallory");
        EXPECT_EQ(receiver.socket.sent, "tell mallory \x01sendR\r\n") << bad;
        EXPECT_EQ(received(), nullptr) << bad;
        EXPECT_EQ(receiver.context->session.transfer.receiveSequence, 0) << bad;
    }
    // alice's game now arrives whole.
    ASSERT_TRUE(start());
    for (int prompt = 0; prompt < 100 && sender.games.sendingGame(); ++prompt) {
        for (const std::string& tell : takeTells())
            tellReceiver(tell);
        sender.feed("OMRA% ");
    }
    for (const std::string& tell : takeTells())
        tellReceiver(tell);
    ASSERT_NE(received(), nullptr);
    EXPECT_TRUE(receiver.terminal.contains("Sender is alice."));
    EXPECT_EQ(model::GameFileText(*received(), model::GameFileForm::Old),
              model::GameFileText(*game, model::GameFileForm::Old));
}

TEST_F(GameTransferTest, EitherSideStopsAndALostConnectionEndsBoth)
{
    // The receiver stops: the sender is told, the partial game's window is left.
    ASSERT_TRUE(start());
    tellReceiver(takeTells().at(0));
    CGame* partial = received();
    ASSERT_NE(partial, nullptr);
    receiver.socket.sent.clear();
    stopTransfer(*receiver.context, *partial);
    EXPECT_EQ(receiver.socket.sent, "tell alice \x01sendR\n");
    EXPECT_TRUE(receiver.terminal.contains("Stop receiving game"));
    EXPECT_FALSE(receiver.list().contains(partial));
    sender.feed("#bob>: \x01sendR\n");
    EXPECT_TRUE(sender.terminal.contains("Receiver cancels the game"));
    EXPECT_EQ(game->mode, model::kModeNormal);
    EXPECT_FALSE(sender.games.sendingGame());

    // The sender stops: the receiver is told and leaves its window.
    ASSERT_TRUE(start());
    tellReceiver(takeTells().at(0));
    partial = received();
    stopTransfer(*sender.context, *game);
    EXPECT_EQ(takeTells(), std::vector<std::string>{"\x01sendC\n"});
    EXPECT_TRUE(sender.terminal.contains("Stop sending game"));
    EXPECT_EQ(game->mode, model::kModeNormal);
    tellReceiver("\x01sendC\n");
    EXPECT_TRUE(receiver.terminal.contains("Sender canceled the game"));
    EXPECT_FALSE(receiver.list().contains(partial));

    // The connection drops: the send is abandoned, what arrived stays in its window.
    ASSERT_TRUE(start());
    tellReceiver(takeTells().at(0));
    partial = received();
    sender.socket.sink->OnClose(0);
    EXPECT_FALSE(sender.games.sendingGame());
    EXPECT_EQ(game->mode, model::kModeNormal);
    receiver.socket.sink->OnClose(0);
    ASSERT_TRUE(receiver.list().contains(partial)) << "what arrived is kept";
    EXPECT_EQ(partial->mode, model::kModeNormal);
    EXPECT_EQ(receiver.context->session.transfer.receiveSequence, 0);
}

TEST_F(GameTransferTest, LiveGamesAndEmptyNamesAreNotSent)
{
    game->participation = model::kObserving;
    EXPECT_FALSE(start());
    EXPECT_EQ(sender.desktop.boxes.back(), "Cannot send playing games.");
    game->participation = model::kLocalGame;
    EXPECT_FALSE(start("   "));
    EXPECT_FALSE(startSendGame(*sender.context, *game, [] { return std::nullopt; }));
    EXPECT_EQ(game->mode, model::kModeNormal);
    EXPECT_TRUE(sender.socket.sent.empty());
    ASSERT_TRUE(start("bob trailing words"));
    EXPECT_EQ(takeTells().size(), 1u) << "the first word is the player";
}

} // namespace
} // namespace marovin::session
