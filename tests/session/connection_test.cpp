// The connection: connecting, the send buffer, error reports and sendCommand.

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "session/client_context.h"
#include "session/server_socket.h"
#include "session/session_texts.h"
#include "support/big5.h"
#include "testkit/session_fakes.h"

namespace marovin::session {
namespace {

using testkit::SessionRig;

TEST(SessionTexts, ChineseTextsAreTheirBig5Encoding)
{
    const std::pair<const char*, const char*> cases[] = {
        {texts::kCannotConnect, "無法建立網路連線"}, {texts::kCannotReadNetwork, "無法讀取網路資料"},
        {texts::kCannotRead, "無法讀取資料"},        {texts::kCannotClose, "無法關閉網路連線"},
        {texts::kCannotSend, "無法傳送網路資料"},    {texts::kProgramError, "程式執行錯誤"},
    };
    for (const auto& [big5, utf8] : cases)
        EXPECT_EQ(big5, utf8ToBig5(utf8)) << utf8;
}

TEST(Connection, NegotiationBlockAndLineEndAreTheFirstBytesSent)
{
    SessionRig rig;
    EXPECT_EQ(rig.context->connection.connectToServer("example.org", 5001), 0); // pending
    EXPECT_TRUE(rig.terminal.contains("Connecting example.org  5001\nPlease wait ..."));
    EXPECT_FALSE(rig.context->connection.isConnected());
    rig.socket.sink->OnConnect(0);
    EXPECT_TRUE(rig.context->connection.isConnected());
    EXPECT_EQ(rig.socket.sent, std::string(kNegotiationBlock, kNegotiationBlockSize) + "\r\n");
}

TEST(Connection, EmptyHostIsReportedWithoutCreatingASocket)
{
    SessionRig rig;
    EXPECT_EQ(rig.context->connection.connectToServer("", 5555), 0);
    EXPECT_EQ(rig.socket.creates, 0);
    ASSERT_EQ(rig.desktop.boxes.size(), 1u);
    EXPECT_EQ(rig.desktop.boxes[0],
              "CAsyncSocket error: Program error: No IP address\nUnknown error code 0, " +
                  std::string(texts::kProgramError));
}

TEST(Connection, RefusedConnectIsReportedOnceWithAdviceAndResets)
{
    SessionRig rig;
    rig.context->connection.connectToServer("localhost", 6000);
    rig.socket.error = 0; // the event's code is named, not the driver's
    rig.socket.sink->OnConnect(kConnectionRefused);
    const std::string expected = "CAsyncSocket error: OnConnect to localhost 6000: \n"
                                 "The attempt to connect was forcefully rejected., " +
                                 std::string(texts::kCannotConnect) +
                                 "\nNo server could be reached at localhost port 6000: start the practice server "
                                 "(scripts/run.sh starts it, or run marovin-server --port 6000) and connect again.";
    ASSERT_EQ(rig.desktop.boxes.size(), 1u);
    EXPECT_EQ(rig.desktop.boxes[0], expected);
    EXPECT_EQ(rig.terminal.lines.back().text, expected);
    EXPECT_EQ(rig.terminal.lines.back().format, TextFormatId::Warning);
    EXPECT_FALSE(rig.context->connection.isConnected());
    EXPECT_EQ(rig.context->connection.port(), kDefaultPort);
    EXPECT_EQ(rig.context->connection.lastError(), kConnectionRefused);
    EXPECT_FALSE(rig.socket.open);
}

TEST(SendBuffer, RefusesWhatCannotFitAndKeepsNothingOfIt)
{
    SessionRig rig;
    rig.connectNow();
    EXPECT_EQ(rig.context->connection.Send(std::string(2999, 'a').data(), 2999), 2999);

    rig.connectNow();
    EXPECT_EQ(rig.context->connection.Send(std::string(3000, 'a').data(), 3000), -1);
    EXPECT_NE(rig.desktop.boxes.back().find("Send length too large"), std::string::npos);
    EXPECT_TRUE(rig.socket.sent.empty());
    EXPECT_FALSE(rig.context->connection.isConnected());

    rig.connectNow();
    rig.socket.sendError = kWouldBlock;
    EXPECT_EQ(rig.context->connection.Send(std::string(100, 'b').data(), 100), 100);
    EXPECT_EQ(rig.context->connection.sendPending(), 100);
    EXPECT_EQ(rig.context->connection.Send(std::string(2900, 'c').data(), 2900), -1);
    EXPECT_NE(rig.desktop.boxes.back().find("Send buffer has data not sent"), std::string::npos);

    EXPECT_EQ(rig.context->connection.Send("x", 0), 0);
    EXPECT_EQ(rig.desktop.boxes.back(), "Send length is ZERO");

    rig.connectNow();
    rig.socket.sendError = 10054;
    EXPECT_EQ(rig.context->connection.Send("abc", 3), -1);
    EXPECT_EQ(rig.desktop.boxes.back(), "CAsyncSocket error: OnSend: Send\nUnknown error code 10054, " +
                                            std::string(texts::kCannotSend));
    EXPECT_EQ(rig.context->connection.sendPending(), 0);
    EXPECT_FALSE(rig.context->connection.isConnected());
}

TEST(SendBuffer, PartialSendsGoOutInOrderOnTheNextWritableEvents)
{
    SessionRig rig;
    rig.connectNow();
    CServerSocket& connection = rig.context->connection;
    rig.socket.sendLimit = 2800;
    const std::string first(2900, 'a');
    EXPECT_EQ(connection.Send(first.data(), 2900), 2900);
    EXPECT_EQ(connection.sendOffset(), 2800);
    EXPECT_EQ(connection.sendPending(), 100);

    // 100 pending at offset 2800: 500 more bytes fit once the pending ones move to the start.
    rig.socket.sendError = kWouldBlock;
    const std::string second(500, 'b');
    EXPECT_EQ(connection.Send(second.data(), 500), 500);
    EXPECT_EQ(connection.sendOffset(), 0);
    EXPECT_EQ(connection.sendPending(), 600);
    EXPECT_TRUE(rig.desktop.boxes.empty()); // "would block" is never reported

    rig.socket.sendError = 0;
    rig.socket.sendLimit = 250;
    rig.socket.sink->OnSend(0);
    rig.socket.sink->OnSend(0);
    rig.socket.sink->OnSend(0);
    EXPECT_EQ(connection.sendPending(), 0);
    EXPECT_EQ(rig.socket.sent, first + second);
}

TEST(Connection, PeerCloseEndsTheSessionOnce)
{
    for (const bool closeEvent : {true, false}) {
        SessionRig rig;
        rig.context->alerts.reconnect = false; // what a reconnect says after it is its own test's
        rig.logIn();
        rig.clearRecords();
        if (closeEvent) {
            rig.socket.sink->OnClose(0);
        } else { // a read of zero bytes
            rig.socket.peerClosed = true;
            rig.socket.sink->OnReceive(0);
        }
        EXPECT_FALSE(rig.context->connection.isConnected()) << closeEvent;
        EXPECT_EQ(rig.games.sessionsEnded, 1) << closeEvent;
        EXPECT_EQ(rig.context->session.loginState, login_state::kNone) << closeEvent;
        EXPECT_EQ(rig.terminal.lines.back().text, "<Connection was closed>") << closeEvent;
        EXPECT_EQ(rig.terminal.lines.back().format, TextFormatId::Warning) << closeEvent;
        EXPECT_TRUE(rig.desktop.boxes.empty()) << closeEvent;
    }
}

// An error that resets a live connection ends the session once, as a close does, and
// before any box waits for the user; an error before connecting ends nothing.
TEST(Connection, ASocketErrorEndsALiveSessionOnce)
{
    const std::function<void(SessionRig&)> errors[] = {
        [](SessionRig& rig) { rig.socket.sink->OnReceive(10054); },
        [](SessionRig& rig) {
            rig.socket.sendError = 10054;
            rig.context->connection.Send("abc", 3);
        },
        [](SessionRig& rig) { // a server that stops reading
            rig.socket.sendError = kWouldBlock;
            for (int i = 0; i < 3 && rig.context->connection.isConnected(); ++i)
                rig.context->connection.Send(std::string(1400, 'x').data(), 1400);
        },
    };
    for (std::size_t i = 0; i < std::size(errors); ++i) {
        SessionRig rig;
        rig.logIn();
        rig.clearRecords();
        int endedBeforeBox = -1;
        rig.desktop.onBox = [&] { endedBeforeBox = rig.games.sessionsEnded; };
        errors[i](rig);
        EXPECT_FALSE(rig.context->connection.isConnected()) << i;
        EXPECT_EQ(rig.games.sessionsEnded, 1) << i;
        // While the reconnect is to follow no box opens; any box comes after the end.
        EXPECT_TRUE(rig.desktop.boxes.empty() || endedBeforeBox == 1) << i;
        EXPECT_EQ(rig.context->session.loginState, login_state::kNone) << i;
    }
    SessionRig refused;
    refused.context->connection.connectToServer("localhost", 6000);
    refused.socket.error = kConnectionRefused;
    refused.socket.sink->OnConnect(kConnectionRefused);
    EXPECT_EQ(refused.games.sessionsEnded, 0);
}

TEST(SendCommand, QueuesWhoKindsOnlyWhenConnectedAndEchoesByOption)
{
    SessionRig rig;
    SessionState& state = rig.context->session;
    sendCommand(*rig.context, "who\r\n", true, true);
    EXPECT_EQ(state.whoCount, 0);
    // Not connected: always echoed (one row per line), and the user is told how to connect.
    EXPECT_EQ(rig.terminal.texts(), (std::vector<std::string>{"who", kNotConnectedText}));
    EXPECT_EQ(rig.terminal.lines.back().format, TextFormatId::Warning);

    rig.connectNow();
    rig.terminal.clear();
    sendCommand(*rig.context, "who -f\r\n", true, true);
    sendCommand(*rig.context, "who", true, true);
    sendCommand(*rig.context, "whisper x", true, true);
    sendCommand(*rig.context, "who                                 -f", true, true); // 30 characters or more
    EXPECT_EQ(rig.socket.sent, "who -f\r\nwho\r\nwhisper x\r\nwho                                 -f\r\n");
    ASSERT_EQ(state.whoCount, 2);
    EXPECT_EQ(state.whoKinds[0], kWhoFull);
    EXPECT_EQ(state.whoKinds[1], kWhoPlain);
    EXPECT_TRUE(rig.terminal.lines.empty()); // echoTypedText off
    EXPECT_EQ(rig.client.labelColour, kLabelCommandSent);

    rig.options->echoTypedText = 1;
    sendCommand(*rig.context, "look\r\n", true, false);
    sendCommand(*rig.context, "secret\r\n", false, false);
    ASSERT_EQ(rig.terminal.lines.size(), 1u);
    EXPECT_EQ(rig.terminal.lines[0].format, TextFormatId::Typed);
    EXPECT_EQ(sendCommand(*rig.context, "", true, true), 0);

    rig.socket.sent.clear();
    sendBreak(*rig.context);
    EXPECT_EQ(rig.socket.sent, "\x03\r\n");
    EXPECT_EQ(rig.terminal.lines.size(), 1u);
}

TEST(SendCommand, TheWhoQueueKeepsItsLastSlotWhenFull)
{
    SessionRig rig;
    rig.connectNow();
    for (int i = 0; i < 25; ++i)
        sendCommand(*rig.context, i % 2 ? "who\r\n" : "who -f\r\n", false, false);
    EXPECT_EQ(rig.context->session.whoCount, kWhoQueueSlots - 1);
    EXPECT_EQ(rig.context->session.whoKinds[kWhoQueueSlots - 1], kWhoFull); // the 25th request
}

} // namespace
} // namespace marovin::session
