// The program following games on the practice server: a game observed from the input line
// opens a game window that follows the bots' moves with running clocks, and closing it
// leaves the game through the server; a whole game against a bot played by dragging the
// pieces in the game window ends with the server's record.

#include "../game_window/mouse_gestures.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QTimer>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "game_window/game_frame.h"
#include "game_window/quit_game_dialog.h"
#include "model/game_file.h"
#include "model/legality.h"
#include "server_harness.h"
#include "session/server_scanner.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "../terminal/test_options.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "frame/main_frame.h"

namespace marovin::shell {
namespace {

constexpr int kNetworkWaitMs = 15000;

// The program logged in to a practice server with bots, as a newly registered player.
class ProgramGames : public ::testing::Test {
protected:
    // The clocks run five times as fast, and so do the bots.
    void startLoggedIn(const std::string& name)
    {
        testkit::qtApplication();
        testing::ServerProcessOptions options;
        options.bots = true;
        options.clockSpeed = 5;
        server = std::make_unique<testing::ServerProcess>(options);
        ASSERT_GT(server->port(), 0) << server->startError();
        {
            testing::LineClient registration(server->port());
            ASSERT_TRUE(registration.login(name, "pw", false));
        }
        program = std::make_unique<CMarovinApp>(
            desktop, testPlatform(), deriveSystemMetrics(16, 7),
            testkit::existingSettings(folder.file("config/Marovin.dat"), testPlatform()));
        ASSERT_TRUE(program->initInstance());
        program->clientSession()->connectTo({"127.0.0.1", server->port(), name, "pw"});
        QTRY_VERIFY_WITH_TIMEOUT(session::isLoggedIn(program->clientSession()->context().session), kNetworkWaitMs);
    }

    std::unique_ptr<testing::ServerProcess> server;
    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::unique_ptr<CMarovinApp> program;
};

TEST_F(ProgramGames, AnObservedGameOpensAWindowThatFollowsItWithClocksUntilItIsLeft)
{
    ASSERT_NO_FATAL_FAILURE(startLoggedIn("dora"));
    CMarovinApp& app = *program;
    ClientSession& session = *app.clientSession();

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

// The coordinate moves of a game file's text, in order.
std::vector<std::string> movesOf(const std::string& text)
{
    std::vector<std::string> moves;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (model::ParseCoordinateMove(line))
            moves.push_back(line);
        at = end + 1;
    }
    return moves;
}

TEST_F(ProgramGames, AWholeGameAgainstABotPlayedWithTheMouseKeepsTheServersRecord)
{
    ASSERT_NO_FATAL_FAILURE(startLoggedIn("pat"));
    windows::CMainFrame& frame = *program->mainFrame();
    frame.resize(1000, 800);
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    program->clientSession()->context().options.promptGameOver = 1;

    QLineEdit* input = frame.inputBar()->inputLine();
    QTest::keyClicks(input, QStringLiteral("match BotJiang r 10 0"));
    QTest::keyClick(input, Qt::Key_Return);
    board::CGameFrame* window = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((window = frame.mdiArea()->findChild<board::CGameFrame*>()) != nullptr, kNetworkWaitMs);
    model::CGame& game = *window->game();
    QTRY_VERIFY_WITH_TIMEOUT(game.participation == model::kPlaying && game.mode == model::kModeNormal,
                             kNetworkWaitMs);
    ASSERT_EQ(game.userSide, model::kRed);
    window->setGeometry(0, 0, 420, 520);
    board::CGameView& view = *window->view();
    ASSERT_TRUE(frame.mdiArea()->viewport()->rect().contains(QRect(view.mapTo(frame.mdiArea()->viewport(), QPoint()),
                                                                    view.size())))
        << "the whole board can be reached";

    // The game's end asks whether to quit its window: it stays, with the record.
    QTimer stay;
    QObject::connect(&stay, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<board::CQuitGameDlg*>(QApplication::activeModalWidget()))
            dialog->stayButton()->click();
    });
    stay.start(20);

    std::mt19937 rng(11);
    const auto over = [&] { return game.participation != model::kPlaying; };
    int played = 0;
    for (int turn = 0; turn < 150 && !over(); ++turn) {
        QTRY_VERIFY_WITH_TIMEOUT(over() || (game.isRedToMoveLive() && game.mode == model::kModeNormal &&
                                            game.isBrowsingLive()),
                                 kNetworkWaitMs);
        if (over())
            break;
        const auto moves = model::GenerateLegalMoves(game.gameBoard, true);
        ASSERT_FALSE(moves.empty());
        const model::SquarePair move = moves[rng() % moves.size()];
        const int before = game.gamePly();
        board::testing::drag(view, move.from, move.to);
        ASSERT_EQ(game.gamePly(), before + 1) << "turn " << turn << ": the dragged move is played at once";
        ++played;
    }
    if (!over()) {
        QTest::keyClicks(input, QStringLiteral("resign %1").arg(game.gameNumber));
        QTest::keyClick(input, Qt::Key_Return);
    }
    QTRY_VERIFY_WITH_TIMEOUT(over() && game.mode == model::kModeNormal, kNetworkWaitMs);
    EXPECT_GE(played, 2);
    ASSERT_EQ(window, frame.mdiArea()->findChild<board::CGameFrame*>()) << "the window stayed";

    // The server's record of the finished game.
    testing::LineClient reader(server->port());
    ASSERT_TRUE(reader.login("reader", "pw"));
    const std::string stored = reader.command("stored pat");
    const std::size_t at = stored.find("pat.BotJiang.");
    ASSERT_NE(at, std::string::npos) << stored;
    const std::string word = stored.substr(at, stored.find_first_of(" \r\n", at) - at);
    const std::vector<std::string> recorded = movesOf(reader.command("sendfile " + word));
    const std::vector<std::string> shown = movesOf(model::GameFileText(game, model::GameFileForm::Old));
    EXPECT_EQ(shown, recorded);
    EXPECT_GE(recorded.size(), 2u * static_cast<std::size_t>(played) - 1);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front();
}

} // namespace
} // namespace marovin::shell

namespace marovin::shell {
namespace {

// A game the user plays comes up in front: a floating window that stood where its board
// opens moves off it, the who window (too big to go beside it on this screen) hides until
// asked for again, and the tell window asked for during the game opens beside the board.
TEST_F(ProgramGames, ANewGameOfTheUserIsCoveredByNoFloatingWindow)
{
    ASSERT_NO_FATAL_FAILURE(startLoggedIn("quinn"));
    program->clientSession()->context().options.promptGameOver = 0;
    windows::CMainFrame& frame = *program->mainFrame();
    frame.setGeometry(0, 0, 800, 760);
    frame.showWhoWindow();
    windows::CWhoDlg& who = *frame.whoWindow();
    QDialog small(&frame);
    small.setGeometry(QRect(frame.mdiArea()->mapToGlobal(QPoint(0, 0)) + QPoint(300, 100), QSize(300, 300)));
    small.show();
    const QRect smallBefore = small.frameGeometry();

    QLineEdit* input = frame.inputBar()->inputLine();
    QTest::keyClicks(input, QStringLiteral("match BotJiang r 10 0"));
    QTest::keyClick(input, Qt::Key_Return);
    board::CGameFrame* window = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((window = frame.mdiArea()->findChild<board::CGameFrame*>()) != nullptr, kNetworkWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(window->game()->participation == model::kPlaying, kNetworkWaitMs);
    const auto board = [window] { return QRect(window->view()->mapToGlobal(QPoint()), window->view()->size()); };
    ASSERT_TRUE(smallBefore.intersects(board())) << "the window stood where the board opened";
    QTRY_VERIFY_WITH_TIMEOUT(!who.isVisible(), 2000);
    EXPECT_TRUE(small.isVisible());
    EXPECT_FALSE(small.frameGeometry().intersects(board()));
    EXPECT_EQ(frame.mdiArea()->activeSubWindow(), window);
    EXPECT_EQ(frame.mdiArea()->subWindowList(QMdiArea::StackingOrder).back(), window);
    frame.showWhoWindow();
    EXPECT_TRUE(who.isVisible()) << "asked for again, it comes back";
    who.hide();

    // With room beside the board, the tell window opens there.
    window->setGeometry(0, 0, 360, 480);
    frame.showTellWindow();
    EXPECT_TRUE(frame.tellWindow()->isVisible());
    EXPECT_FALSE(frame.tellWindow()->frameGeometry().intersects(board()));

    // Resigned, the game ends (its window may close with it: the game-over question is off).
    const QPointer<board::CGameFrame> played(window);
    QTest::keyClicks(input, QStringLiteral("resign %1").arg(window->game()->gameNumber));
    QTest::keyClick(input, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!played || !played->game() || played->game()->participation != model::kPlaying,
                             kNetworkWaitMs);
}

} // namespace
} // namespace marovin::shell
