// The program over loopback against a scripted server that drops the connection: the
// client reconnects within its first wait, logs in and observes its games again (into the
// windows it had), showing the wait with Cancel on the status bar; the user's Disconnect
// never reconnects.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <string>
#include <vector>

#include "frame/alert_commands.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "frame/main_frame.h"
#include "session/reconnect.h"
#include "../terminal/test_options.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/loopback.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"

namespace marovin::shell {
namespace {

using testkit::waitFor;

constexpr char kObserveSeven[] =
    "observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 0 0 1\r\n(1) H2-E2\r\nOMRA% ";
constexpr char kObserveNine[] =
    "observe: Game 9 BotJiang vs tester2 added to your observation list. 10 min 600 590 5 0 0 1\r\nOMRA% ";

// A server that logs every connection in as "tester", answers "observe 7" and
// "observe 9", and keeps what each connection sent.
struct DroppingServer {
    DroppingServer()
    {
        EXPECT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&listener, &QTcpServer::newConnection, [this] {
            QTcpSocket* peer = listener.nextPendingConnection();
            peers.push_back(peer);
            received.emplace_back();
            const std::size_t index = received.size() - 1;
            peer->write("Login as tester\r\nOMRA% ");
            QObject::connect(peer, &QTcpSocket::readyRead, [this, peer, index] {
                const std::string bytes = peer->readAll().toStdString();
                received[index] += bytes;
                if (bytes.find("observe 7\r\n") != std::string::npos)
                    peer->write(kObserveSeven);
                if (bytes.find("observe 9\r\n") != std::string::npos)
                    peer->write(kObserveNine);
                if (bytes.find("quit\r\n") != std::string::npos)
                    peer->disconnectFromHost();
            });
        });
    }
    QTcpServer listener;
    std::vector<QTcpSocket*> peers;
    std::vector<std::string> received; // per connection
};

class ReconnectFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        server = std::make_unique<DroppingServer>(); // needs the application's event loop
        app = std::make_unique<CMarovinApp>(desktop, windows::testPlatform(), deriveSystemMetrics(16, 7),
                                            testkit::existingSettings(folder.file("config/Marovin.dat"),
                                                                      windows::testPlatform()));
        ASSERT_TRUE(app->initInstance());
        context().alerts.reconnect = true;
        app->clientSession()->connectTo({"127.0.0.1", server->listener.serverPort(), "tester", "pw"});
        ASSERT_TRUE(waitFor([&] { return session::isLoggedIn(context().session); }));
        // The server shows two games being observed.
        server->peers[0]->write(QByteArray(kObserveSeven) + kObserveNine);
        ASSERT_TRUE(waitFor([&] { return context().gameList.findLive(7) && context().gameList.findLive(9); }));
    }
    session::ClientContext& context() { return app->clientSession()->context(); }
    windows::AlertCommands& alerts() { return *app->clientSession()->alertCommands(); }

    testkit::FakeDesktop desktop;
    testkit::TempFolder folder;
    std::unique_ptr<DroppingServer> server;
    std::unique_ptr<CMarovinApp> app;
};

TEST_F(ReconnectFlow, ADroppedConnectionHealsWithEveryObservedGameBackInItsWindow)
{
    const model::CGame* seven = context().gameList.findLive(7);
    const model::CGame* nine = context().gameList.findLive(9);
    server->peers[0]->abort(); // the network is gone

    ASSERT_TRUE(waitFor([&] { return alerts().indicator()->isVisible(); }, 3000));
    const QString waiting = alerts().indicator()->findChild<QLabel*>()->text();
    EXPECT_TRUE(waiting.startsWith(QStringLiteral("Reconnecting in "))) << waiting.toStdString();
    EXPECT_TRUE(app->mainFrame()->findChild<QAction*>(QStringLiteral("actionStopReconnecting"))->isEnabled());

    // The first try comes after a second (the terminal's timer counts it), then the login.
    ASSERT_TRUE(waitFor([&] { return server->received.size() == 2 &&
                                     server->received[1].find("observe 9\r\n") != std::string::npos; },
                        5000));
    const std::string& again = server->received[1];
    EXPECT_LT(again.find("set client on\r\n"), again.find("observe 7\r\n"));
    EXPECT_NE(again.find("observe 7\r\n"), std::string::npos);
    ASSERT_TRUE(waitFor([&] {
        return context().gameList.findLive(7) == seven && context().gameList.findLive(9) == nine;
    }));
    EXPECT_EQ(context().gameList.size(), 2u) << "no window opened twice";
    EXPECT_FALSE(alerts().indicator()->isVisible());
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front();
}

TEST_F(ReconnectFlow, TheUsersDisconnectNeverReconnectsAndCancelStopsTheTries)
{
    app->mainFrame()->action(QStringLiteral("actionDisconnect"))->trigger();
    ASSERT_TRUE(waitFor([&] { return !context().connection.isConnected(); }, 5000));
    waitFor([] { return false; }, 2500); // longer than the first wait
    EXPECT_EQ(server->received.size(), 1u);
    EXPECT_FALSE(alerts().indicator()->isVisible());

    // Connected again by hand; this time the server goes away and the user cancels.
    app->clientSession()->connectTo({"127.0.0.1", server->listener.serverPort(), "tester", "pw"});
    ASSERT_TRUE(waitFor([&] { return session::isLoggedIn(context().session); }));
    server->listener.close(); // no more connections
    server->peers.back()->abort();
    ASSERT_TRUE(waitFor([&] { return alerts().indicator()->isVisible(); }, 3000));
    alerts().cancelButton()->click();
    EXPECT_FALSE(alerts().indicator()->isVisible());
    EXPECT_FALSE(session::reconnectStatus(context()).active);
}

} // namespace
} // namespace marovin::shell
