// The program following games on the practice server: a game observed from the input line
// opens a game window that follows the bots' moves with running clocks, and closing it
// leaves the game through the server.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMdiArea>
#include <QTest>

#include <string>

#include "board/game_frame.h"
#include "server_harness.h"
#include "session/server_scanner.h"
#include "shell/application.h"
#include "shell/client_session.h"
#include "test_options.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "windows/main_frame.h"

namespace marovin::shell {
namespace {

constexpr int kNetworkWaitMs = 15000;

testing::ServerProcessOptions withBots()
{
    testing::ServerProcessOptions options;
    options.bots = true;
    options.clockSpeed = 5;
    return options;
}

TEST(ProgramGames, AnObservedGameOpensAWindowThatFollowsItWithClocksUntilItIsLeft)
{
    testkit::qtApplication();
    testing::ServerProcess server(withBots());
    ASSERT_GT(server.port(), 0) << server.startError();
    {
        testing::LineClient registration(server.port());
        ASSERT_TRUE(registration.login("dora", "pw", false));
    }
    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    CMarovinApp app(desktop, testPlatform(), deriveSystemMetrics(16, 7),
                    testkit::existingSettings(folder.file("config/Marovin.dat"), testPlatform()));
    ASSERT_TRUE(app.initInstance());
    ClientSession& session = *app.clientSession();
    session.connectTo({"127.0.0.1", server.port(), "dora", "pw"});
    QTRY_VERIFY_WITH_TIMEOUT(session::isLoggedIn(session.context().session), kNetworkWaitMs);

    QLineEdit* input = app.mainFrame()->inputBar()->inputLine();
    input->setFocus();
    QTest::keyClicks(input, QStringLiteral("observe BotMa"));
    QTest::keyClick(input, Qt::Key_Return);
    QMdiArea* area = app.mainFrame()->mdiArea();
    board::CGameFrame* window = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((window = area->findChild<board::CGameFrame*>()) != nullptr, kNetworkWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(window->windowTitle().startsWith(QStringLiteral("Obse (")), kNetworkWaitMs);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" BotMa vs BotPao: 1 observers")))
        << window->windowTitle().toStdString();
    // The new window leaves the keyboard with the input line.
    QTRY_COMPARE_WITH_TIMEOUT(app.mainFrame()->focusWidget(), static_cast<QWidget*>(input), 2000);

    // The bots move on and the clock of the side to move runs.
    const auto& status = window->view()->statusBar()->record();
    const int moves = window->game()->gamePly();
    QTRY_VERIFY_WITH_TIMEOUT(window->game()->gamePly() >= moves + 2, kNetworkWaitMs);
    EXPECT_TRUE(status.clocksRunning);
    EXPECT_EQ(status.clockText1.size(), 6u) << status.clockText1;
    const std::string clocks = status.clockText1 + status.clockText2;
    QTRY_VERIFY_WITH_TIMEOUT(status.clockText1 + status.clockText2 != clocks, kNetworkWaitMs);
    EXPECT_EQ(window->game()->browsedPly(), window->game()->gamePly()) << "the view follows the live end";

    const QPointer<board::CGameFrame> watched(window);
    EXPECT_FALSE(window->close()) << "the window waits for the server";
    QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), kNetworkWaitMs);
    EXPECT_EQ(session.context().gameList.size(), 0u);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front();
}

} // namespace
} // namespace marovin::shell
