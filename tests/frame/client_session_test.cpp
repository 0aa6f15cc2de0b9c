// The program's session against the practice server over loopback: the application
// connects, logs in, and the whole session shows in the terminal; typed commands go out;
// the server closing the connection is survived.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <string>

#include "server_harness.h"
#include "session/server_scanner.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "terminal/output_view.h"
#include "../terminal/terminal_rows.h"
#include "../terminal/test_options.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "windows/finger_window.h"
#include "frame/main_frame.h"

namespace marovin::shell {
namespace {

constexpr int kNetworkWaitMs = 10000;

class LiveSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        ASSERT_GT(server.port(), 0) << server.startError();
        app = std::make_unique<CMarovinApp>(desktop, testPlatform(), deriveSystemMetrics(16, 7),
                                            testkit::existingSettings(folder.file("config/Marovin.dat"), testPlatform()));
        ASSERT_TRUE(app->initInstance());
        session = app->clientSession();
        view = app->mainFrame()->terminal()->view();
        input = app->mainFrame()->inputBar()->inputLine();
    }

    // Every row of the terminal, oldest first, joined by line feeds.
    std::string terminalText() const { return TerminalText(*view); }
    bool waitForText(const std::string& needle, int timeoutMs = kNetworkWaitMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (terminalText().find(needle) == std::string::npos && timer.elapsed() < timeoutMs)
            QTest::qWait(20);
        return terminalText().find(needle) != std::string::npos;
    }
    void type(const QString& line)
    {
        input->setFocus();
        QTest::keyClicks(input, line);
        QTest::keyClick(input, Qt::Key_Return);
    }
    bool loggedIn() { return session::isLoggedIn(session->context().session); }

    testing::ServerProcess server;
    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::unique_ptr<CMarovinApp> app;
    ClientSession* session = nullptr;
    COutputView* view = nullptr;
    QLineEdit* input = nullptr;
};

TEST_F(LiveSession, LogsInShowsTheSessionAndDisconnects)
{
    {
        testing::LineClient registration(server.port());
        ASSERT_TRUE(registration.login("alice", "secret1", false));
    }
    session->connectTo({"127.0.0.1", server.port(), "alice", "secret1"});
    ASSERT_TRUE(waitForText("Connecting 127.0.0.1  " + std::to_string(server.port()) + "\nPlease wait ..."));
    QTRY_VERIFY_WITH_TIMEOUT(loggedIn(), kNetworkWaitMs);
    ASSERT_TRUE(waitForText("OMRA% ")) << terminalText();
    EXPECT_TRUE(waitForText("Login: alice\n")) << terminalText();
    EXPECT_TRUE(waitForText("<Password has been sent>")) << terminalText();
    EXPECT_TRUE(waitForText("set client on\n")) << "the echo of what was sent";
    EXPECT_EQ(terminalText().find("secret1"), std::string::npos) << "no password in the terminal";
    EXPECT_EQ(app->mainFrame()->terminal()->windowTitle(), QStringLiteral("Terminal window - alice"));
    EXPECT_TRUE(app->mainFrame()->action(QStringLiteral("actionConnect"))->isChecked());

    type(QStringLiteral("finger alice"));
    EXPECT_TRUE(waitForText("finger alice\n"));
    EXPECT_TRUE(waitForText("Finger of alice:")) << terminalText();
    QTRY_VERIFY_WITH_TIMEOUT(app->mainFrame()->findChild<windows::CFingerDlg*>() != nullptr, kNetworkWaitMs);

    app->mainFrame()->action(QStringLiteral("actionDisconnect"))->trigger();
    EXPECT_TRUE(waitForText("<Connection was closed>")) << terminalText();
    EXPECT_FALSE(session->context().connection.isConnected());
    QTRY_VERIFY(!app->mainFrame()->action(QStringLiteral("actionConnect"))->isChecked());
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front();
}

TEST_F(LiveSession, ANewPlayerTypesNameAndPasswordWhichIsNeverShown)
{
    session->connectTo({"127.0.0.1", server.port(), "", ""});
    ASSERT_TRUE(waitForText("Login: ")) << terminalText();
    QTRY_COMPARE_WITH_TIMEOUT(app->mainFrame()->inputBar()->stateLabel()->text(), QStringLiteral(" Login name"),
                              kNetworkWaitMs);
    type(QStringLiteral("bob"));
    QTRY_COMPARE_WITH_TIMEOUT(app->mainFrame()->inputBar()->stateLabel()->text(), QStringLiteral(" Password"),
                              kNetworkWaitMs);
    type(QStringLiteral("hidden7"));
    ASSERT_TRUE(waitForText("Enter your password again to verify: ")) << terminalText();
    type(QStringLiteral("hidden7"));
    QTRY_VERIFY_WITH_TIMEOUT(loggedIn(), kNetworkWaitMs);
    EXPECT_EQ(terminalText().find("hidden7"), std::string::npos) << terminalText();
}

TEST_F(LiveSession, PasswordsThatDoNotMatchOpenTheLoginWindowAgain)
{
    int loginWindows = 0;
    session->setLoginWindowOpener([&loginWindows] { ++loginWindows; });
    session->connectTo({"127.0.0.1", server.port(), "", ""});
    ASSERT_TRUE(waitForText("Login: ")) << terminalText();
    type(QStringLiteral("dave"));
    ASSERT_TRUE(waitForText("Password: ")) << terminalText();
    type(QStringLiteral("first1"));
    ASSERT_TRUE(waitForText("Enter your password again to verify: ")) << terminalText();
    type(QStringLiteral("other2"));
    ASSERT_TRUE(waitForText("Passwords do not match")) << terminalText();
    QTRY_COMPARE_WITH_TIMEOUT(loginWindows, 1, kNetworkWaitMs);
}

TEST_F(LiveSession, SurvivesTheServerGoingAway)
{
    {
        testing::LineClient registration(server.port());
        ASSERT_TRUE(registration.login("carol", "secret2", false));
    }
    session->connectTo({"127.0.0.1", server.port(), "carol", "secret2"});
    QTRY_VERIFY_WITH_TIMEOUT(loggedIn(), kNetworkWaitMs);
    server.stop();
    EXPECT_TRUE(waitForText("<Connection was closed>")) << terminalText();
    EXPECT_FALSE(session->context().connection.isConnected());
    type(QStringLiteral("who"));
    EXPECT_TRUE(waitForText("who\n")) << "typed while not connected: shown, not sent";
}

} // namespace
} // namespace marovin::shell
