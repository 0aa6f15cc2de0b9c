// The Qt socket under the connection, against a scripted peer on loopback.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include "platform/qt_socket.h"
#include "session/server_socket.h"
#include "support/fixed_text.h"
#include "testkit/loopback.h"
#include "testkit/session_fakes.h"

namespace marovin::platform {
namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "test_qt_socket";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A client context on the real socket, and a peer that accepts one connection.
struct Loopback {
    Loopback() : rig(&driver)
    {
        application();
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection,
                         [this] { peer = server.nextPendingConnection(); });
    }
    int port() const { return server.serverPort(); }
    // Everything the peer has received so far.
    std::string received()
    {
        if (peer)
            bytes += peer->readAll().toStdString();
        return bytes;
    }

    QtSocketDriver driver;
    testkit::SessionRig rig;
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    std::string bytes;
};

TEST(QtSocket, ThePeerFirstReceivesTheNegotiationBlockThenTheLoginName)
{
    Loopback net;
    copyBounded(net.rig.context->session.storedLoginName, "tester");
    EXPECT_EQ(net.rig.context->connection.connectToServer("127.0.0.1", net.port()), 0);
    const std::string block =
        std::string(session::kNegotiationBlock, session::kNegotiationBlockSize) + "\r\n";
    ASSERT_TRUE(testkit::waitFor([&] { return net.received().size() >= block.size(); }));
    EXPECT_EQ(net.received(), block);
    EXPECT_TRUE(net.rig.context->connection.isConnected());

    net.peer->write("Welcome\r\nLogin: ");
    ASSERT_TRUE(testkit::waitFor([&] { return net.received().size() > block.size(); }));
    EXPECT_EQ(net.received(), block + "tester\r\n");
    EXPECT_TRUE(net.rig.desktop.boxes.empty());
}

// NUL bytes (telnet's CR NUL, or filler) around and inside the prompts do not hide them:
// both are answered, and no complaint about a missing prompt follows.
TEST(QtSocket, PromptsAmongNulBytesAreAnswered)
{
    Loopback net;
    copyBounded(net.rig.context->session.storedLoginName, "tester");
    copyBounded(net.rig.context->session.storedPassword, "secret");
    EXPECT_EQ(net.rig.context->connection.connectToServer("127.0.0.1", net.port()), 0);
    const std::string block =
        std::string(session::kNegotiationBlock, session::kNegotiationBlockSize) + "\r\n";
    ASSERT_TRUE(testkit::waitFor([&] { return net.received().size() >= block.size(); }));

    static const char kLogin[] = "Welcome\r\0\n\0\0\0Log\0in: ";
    net.peer->write(QByteArray(kLogin, sizeof kLogin - 1));
    ASSERT_TRUE(testkit::waitFor([&] { return net.received().size() > block.size(); }));
    EXPECT_EQ(net.received(), block + "tester\r\n");
    static const char kPassword[] = "\r\0\n\0Password:\0 ";
    net.peer->write(QByteArray(kPassword, sizeof kPassword - 1));
    ASSERT_TRUE(testkit::waitFor([&] { return net.received().size() > block.size() + 8; }));
    EXPECT_EQ(net.received(), block + "tester\r\nsecret\r\n");
    EXPECT_EQ(net.rig.context->session.loginState, session::login_state::kPasswordPromptSeen);
    EXPECT_FALSE(net.rig.terminal.contains("no login prompt came"));
}

TEST(QtSocket, ALongAnswerArrivesWholeAndAPeerCloseEndsTheSession)
{
    Loopback net;
    net.rig.context->connection.connectToServer("localhost", net.port());
    ASSERT_TRUE(testkit::waitFor([&] { return net.rig.context->connection.isConnected() && net.peer; }));
    net.rig.terminal.clear();
    std::string answer;
    for (int i = 0; i < 1000; ++i)
        answer += "line " + std::to_string(i) + " of an answer far longer than one read\r\n";
    net.peer->write(answer.data(), static_cast<qint64>(answer.size()));
    net.peer->disconnectFromHost(); // the close follows the data at once
    ASSERT_TRUE(testkit::waitFor([&] { return net.rig.games.sessionsEnded > 0; }));
    const auto texts = net.rig.terminal.texts();
    ASSERT_EQ(texts.size(), 1001u);
    EXPECT_EQ(texts[999], "line 999 of an answer far longer than one read");
    EXPECT_EQ(texts[1000], "<Connection was closed>");
    EXPECT_FALSE(net.rig.context->connection.isConnected());
    EXPECT_EQ(net.rig.games.sessionsEnded, 1);
}

TEST(QtSocket, NothingOfAClosedSocketArrivesAfterTheClose)
{
    Loopback net;
    net.rig.context->connection.connectToServer("127.0.0.1", net.port());
    ASSERT_TRUE(testkit::waitFor([&] { return net.rig.context->connection.isConnected() && net.peer; }));
    net.peer->write("first\r\n");
    ASSERT_TRUE(testkit::waitFor([&] { return net.rig.terminal.contains("first"); }));
    net.rig.context->connection.resetConnection();
    net.peer->write("second\r\n");
    testkit::waitFor([] { return false; }, 300);
    EXPECT_FALSE(net.rig.terminal.contains("second"));
    EXPECT_FALSE(net.rig.terminal.contains("<Connection was closed>"));
}

TEST(QtSocket, HeldInputWaitsInTheSocketWithoutRepeatedEventsAndTheCloseWaitsBehindIt)
{
    Loopback net;
    session::CServerSocket& connection = net.rig.context->connection;
    connection.connectToServer("127.0.0.1", net.port());
    ASSERT_TRUE(testkit::waitFor([&] { return connection.isConnected() && net.peer; }));
    // Counts the readable events on their way to the connection.
    struct Counting : session::SocketEventSink {
        explicit Counting(session::SocketEventSink& target) : target(target) {}
        void OnConnect(int code) override { target.OnConnect(code); }
        void OnReceive(int code) override
        {
            ++receives;
            target.OnReceive(code);
        }
        void OnSend(int code) override { target.OnSend(code); }
        void OnClose(int code) override { target.OnClose(code); }
        session::SocketEventSink& target;
        int receives = 0;
    } counting(connection);
    net.driver.setEventSink(&counting);
    net.rig.terminal.clear();

    connection.holdInput();
    net.peer->write("held line\r\n");
    net.peer->disconnectFromHost();
    testkit::waitFor([] { return false; }, 300);
    EXPECT_LE(counting.receives, 2) << "an unanswered event is not raised again and again";
    EXPECT_TRUE(net.rig.terminal.lines.empty());
    EXPECT_TRUE(connection.isConnected()) << "the close waits behind the bytes";

    connection.releaseInput();
    ASSERT_TRUE(testkit::waitFor([&] { return !connection.isConnected(); }));
    EXPECT_EQ(net.rig.terminal.texts(), (std::vector<std::string>{"held line", "<Connection was closed>"}));
}

TEST(QtSocket, ARefusedConnectionIsReportedOnceWithWhatToTry)
{
    application();
    quint16 freePort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        freePort = probe.serverPort();
    }
    QtSocketDriver driver;
    testkit::SessionRig rig(&driver);
    rig.context->connection.connectToServer("127.0.0.1", freePort);
    ASSERT_TRUE(testkit::waitFor([&] { return !rig.desktop.boxes.empty(); }));
    const std::string port = std::to_string(freePort);
    const std::string& box = rig.desktop.boxes[0];
    EXPECT_TRUE(box.starts_with("CAsyncSocket error: OnConnect to 127.0.0.1 " + port +
                                ": \nThe attempt to connect was forcefully rejected., "))
        << box;
    EXPECT_EQ(box.find("rejected."), box.rfind("rejected.")) << "the system's text once: " << box;
    EXPECT_TRUE(box.ends_with("\nNo server could be reached at 127.0.0.1 port " + port +
                              ": start the practice server (scripts/run.sh starts it, or run marovin-server --port " +
                              port + ") and connect again."))
        << box;
    EXPECT_EQ(rig.terminal.lines.back().text, box) << "the terminal says the same, once";
    EXPECT_FALSE(rig.context->connection.isConnected());
}

} // namespace
} // namespace marovin::platform
