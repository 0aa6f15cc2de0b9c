// The whole login road against the practice server, through a relay that records the bytes
// the server receives: a newcomer registers from the login window and is logged in with the
// start-up commands sent; a second visit logs in without any typing.

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include "platform/qt_socket.h"
#include "server_harness.h"
#include "session/login_window_model.h"
#include "session/server_socket.h"
#include "support/fixed_text.h"
#include "testkit/session_fakes.h"

namespace marovin::platform {
namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "test_qt_socket_server";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

bool waitFor(const std::function<bool()>& done, int milliseconds = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Forwards one connection to the server and keeps what the client sent.
class RecordingRelay {
public:
    explicit RecordingRelay(int serverPort)
    {
        EXPECT_TRUE(m_listener.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&m_listener, &QTcpServer::newConnection, [this, serverPort] {
            m_client = m_listener.nextPendingConnection();
            m_upstream.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(serverPort));
            EXPECT_TRUE(m_upstream.waitForConnected(5000));
            QObject::connect(m_client, &QTcpSocket::readyRead, [this] {
                const QByteArray bytes = m_client->readAll();
                received += bytes.toStdString();
                m_upstream.write(bytes);
            });
            QObject::connect(&m_upstream, &QTcpSocket::readyRead,
                             [this] { m_client->write(m_upstream.readAll()); });
        });
    }
    int port() const { return m_listener.serverPort(); }

    std::string received; // every byte the server was sent

private:
    QTcpServer m_listener;
    QTcpSocket* m_client = nullptr;
    QTcpSocket m_upstream;
};

struct Client {
    Client() : rig(&driver) {}
    bool shows(std::string_view text) const
    {
        for (const auto& line : rig.terminal.lines)
            if (line.text.find(text) != std::string::npos)
                return true;
        return false;
    }
    QtSocketDriver driver;
    testkit::SessionRig rig;
};

TEST(PracticeServer, ANewcomerRegistersAndIsLoggedInWithTheStartupCommands)
{
    application();
    testing::ServerProcess server;
    ASSERT_GT(server.port(), 0) << server.startError();
    RecordingRelay relay(server.port());

    Client client;
    session::LoginWindowModel window(*client.rig.context, [] {});
    window.setHost("127.0.0.1");
    window.setPort(relay.port());
    window.setLoginName("newbie");
    window.setPassword("pw123");
    window.connect(false);

    // The name and the password go out by themselves; the request to repeat the password
    // is for the user, who answers with "Send Password".
    const session::SessionState& state = client.rig.context->session;
    ASSERT_TRUE(waitFor([&] { return client.rig.client.labelText == "Password"; })) << server.log();
    EXPECT_EQ(state.loginState, session::login_state::kPasswordPromptSeen);
    window.sendPassword();

    ASSERT_TRUE(waitFor([&] { return !client.rig.client.whoLists.empty(); })) << server.log();
    const std::string block(session::kNegotiationBlock, session::kNegotiationBlockSize);
    EXPECT_EQ(relay.received, block + "\r\nnewbie\r\npw123\r\npw123\r\nset client on\r\nwho -2\r\n");
    EXPECT_EQ(state.loggedInName, "newbie");
    EXPECT_EQ(client.rig.client.titles.back(), "Terminal window - newbie");
    EXPECT_NE(client.rig.client.whoLists[0].output.find("newbie"), std::string::npos);
    EXPECT_FALSE(client.shows("pw123"));

    Client again; // the account exists now: nothing to type
    copyBounded(again.rig.context->session.storedLoginName, "newbie");
    copyBounded(again.rig.context->session.storedPassword, "pw123");
    again.rig.context->connection.connectToServer("127.0.0.1", server.port());
    ASSERT_TRUE(waitFor([&] { return !again.rig.client.whoLists.empty(); })) << server.log();
    EXPECT_EQ(again.rig.context->session.loggedInName, "newbie");
    EXPECT_TRUE(again.shows("<Password has been sent>"));
    EXPECT_FALSE(again.shows("pw123"));
}

} // namespace
} // namespace marovin::platform
