// The list windows in the whole program against the practice server: the who list after
// logging in, a finger answer in its window, a match by double click that starts a game
// played from the input line, and a game observed from the games list.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMdiArea>
#include <QTest>

#include "game_window/game_frame.h"
#include "server_harness.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "frame/command_windows.h"
#include "widgets/dialog_buttons.h"
#include "windows/finger_window.h"
#include "frame/main_frame.h"

namespace marovin::windows {
namespace {

constexpr int kNetworkWaitMs = 15000;

int rowOf(const QListWidget* list, const QString& word)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().contains(word))
            return i;
    return -1;
}

void doubleClick(QListWidget* list, int row)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

board::CGameFrame* gameWindow(QMdiArea* area, const QString& titleStart)
{
    for (auto* window : area->findChildren<board::CGameFrame*>())
        if (window->windowTitle().startsWith(titleStart))
            return window;
    return nullptr;
}

TEST(CommandWindowsFlow, MatchTheBotFromTheWhoWindowPlayAndObserveFromTheGamesList)
{
    testkit::qtApplication();
    testing::ServerProcessOptions serverOptions;
    serverOptions.bots = true;
    testing::ServerProcess server(serverOptions);
    ASSERT_GT(server.port(), 0) << server.startError();
    {
        testing::LineClient registration(server.port());
        ASSERT_TRUE(registration.login("walter", "pw", false));
    }
    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    shell::CMarovinApp app(desktop, testPlatform(), deriveSystemMetrics(16, 7),
                           testkit::existingSettings(folder.file("config/Marovin.dat"), testPlatform()));
    ASSERT_TRUE(app.initInstance());
    CMainFrame* frame = app.mainFrame();
    shell::ClientSession& session = *app.clientSession();
    session.connectTo({"127.0.0.1", server.port(), "walter", "pw"});

    // The start-up command "who -2" fills the who window and shows it.
    QTRY_VERIFY_WITH_TIMEOUT(frame->whoWindow() && frame->whoWindow()->isVisible() && frame->whoWindow()->whoCount() >= 4,
                             kNetworkWaitMs);
    CWhoDlg* who = frame->whoWindow();
    EXPECT_EQ(who->list()->currentItem()->text().mid(14, 6), "walter") << "the user's own line is selected";
    QTest::mouseClick(findButton(who, "Update"), Qt::LeftButton);
    who->list()->clear();
    QTRY_VERIFY_WITH_TIMEOUT(who->list()->count() >= 4, kNetworkWaitMs);
    EXPECT_TRUE(who->windowTitle().startsWith("Who Window(")) << who->windowTitle().toStdString();

    const int bot = rowOf(who->list(), "BotJiang");
    ASSERT_GE(bot, 0);
    who->list()->setCurrentRow(bot);
    QTest::mouseClick(findButton(who, "Finger"), Qt::LeftButton);
    CFingerDlg* finger = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((finger = frame->findChild<CFingerDlg*>()) != nullptr, kNetworkWaitMs);
    EXPECT_TRUE(finger->text()->toPlainText().startsWith("Finger of BotJiang:"));
    QTest::mouseClick(finger->okButton(), Qt::LeftButton);

    // A double click challenges the bot, which accepts: the game's window opens and the
    // user, playing red, moves from the input line.
    doubleClick(who->list(), bot);
    QMdiArea* area = frame->mdiArea();
    board::CGameFrame* game = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((game = gameWindow(area, "Play (")) != nullptr, kNetworkWaitMs);
    EXPECT_TRUE(game->windowTitle().contains("walter vs BotJiang")) << game->windowTitle().toStdString();
    QLineEdit* input = frame->inputBar()->inputLine();
    input->setFocus();
    QTest::keyClicks(input, QStringLiteral("H2-E2"));
    QTest::keyClick(input, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(game->game()->gamePly() >= 1, kNetworkWaitMs);
    const model::PackedMove first = game->game()->root().alternatives[0].continuation->alternatives[0].entries[0].move;
    EXPECT_EQ(model::FormatCoordinateMove(first.from, first.to), "H2-E2");
    // The bot answers; the status bar shows move 3 on Red's line.
    QTRY_COMPARE_WITH_TIMEOUT(game->view()->statusBar()->record().moveNumber, 3, kNetworkWaitMs);
    EXPECT_EQ(game->view()->statusBar()->record().redToMove, 1);

    // The games list shows both games; a double click observes the bots' game.
    frame->action(QStringLiteral("actionGames"))->trigger();
    CGamesDlg* games = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((games = session.commandWindows()->gamesWindow()) != nullptr, kNetworkWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(games->windowTitle(), QStringLiteral("2 Game(s): Double click to observe a game"),
                              kNetworkWaitMs);
    const int bots = rowOf(games->list(), "BotMa");
    ASSERT_GT(bots, 0);
    doubleClick(games->list(), bots);
    QTRY_VERIFY_WITH_TIMEOUT(gameWindow(area, "Obse (") != nullptr, kNetworkWaitMs);
    QTRY_VERIFY(session.commandWindows()->gamesWindow() == nullptr);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front();
}

} // namespace
} // namespace marovin::windows
