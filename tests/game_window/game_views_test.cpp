// Several windows on one game (real widgets, offscreen): every window shows the same board
// after moves made by the mouse in either, by the server, by browsing and by turning the
// board; notes and the file follow; closing a window that is not the game's last sends and
// asks nothing, and the last one closes the game as a single window does.

#include "mouse_gestures.h"
#include "offscreen_windows.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "testkit/game_fakes.h"
#include "testkit/qt_application.h"

namespace marovin::board {
namespace {

using testing::settle;
using testing::grabbed;

using testing::drag;

const SystemMetrics kMetrics = deriveSystemMetrics(16, 7);
constexpr int kRedCannonH2 = 70, kE2 = 67;
constexpr int kBlackHorseH9 = 7, kG7 = 24;

struct Views : ::testing::Test {
    Views()
    {
        area.resize(1200, 800);
        area.show();
        // Colours that tell the board, its lines and each side's pieces apart.
        Options& options = *rig.options;
        options.boardColour = 0x80C0E0;
        options.lineColour = 0x203040;
        options.redFaceColour = 0xC0E0FF;
        options.redTextColour = 0x0000C0;
        options.blackFaceColour = 0xE0E0E0;
        options.blackTextColour = 0x101010;
        windows.setInputLineLink({[] {}, {}});
    }
    ~Views() override { settle(); }

    void observe()
    {
        rig.block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 1501 1502 4",
                   "(1) H2-E2"});
        rig.socket.sent.clear();
        settle();
    }
    // A second window on the game of first, which must open.
    CGameFrame* secondOf(CGameFrame* first)
    {
        CGameFrame* second = windows.openView(*first);
        EXPECT_TRUE(second);
        settle();
        return second;
    }
    // Closes window from the event loop; any dialog that opens meanwhile is counted and
    // refused.
    bool closeCountingDialogs(CGameFrame* window, int* dialogs)
    {
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [dialogs] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++*dialogs;
                modal->close();
            }
        });
        guard.start(10);
        const bool closed = window->close();
        settle();
        return closed;
    }

    QApplication& application = testkit::qtApplication();
    testkit::GameRig rig;
    QMdiArea area;
    QtGameWindows windows{&area, *rig.context, kMetrics};
};

TEST_F(Views, BothWindowsShowTheSameBoardWhateverChangesIt)
{
    observe();
    CGameFrame* first = windows.frameOf(rig.live(7));
    ASSERT_TRUE(first);
    CGameFrame* second = secondOf(first);
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_EQ(second->game(), first->game());
    EXPECT_EQ(second->size(), first->size());
    EXPECT_EQ(windows.framesOf(first->game()), (std::vector<CGameFrame*>{first, second}));
    EXPECT_EQ(windows.activeFrame(), second) << "the new window is active";
    EXPECT_EQ(second->windowTitle(), first->windowTitle());

    model::CGame& game = *first->game();
    const struct Step {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"a move by the server", [&] { rig.feed("\r\nGame 7 BotMa vs BotPao 2 H9-G7 500 480 5 1501 1502 6\r\nOMRA% "); }},
        {"a move taken back in the first", [&] { game.Navigate(model::kStepBack); }},
        {"the board turned in the second", [&] { second->flipBoard(); }},
        {"back to the live end", [&] { game.Navigate(model::kStepForward); }},
    };
    QImage before = grabbed(first->view());
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        settle();
        const QImage shown = grabbed(first->view());
        EXPECT_FALSE(shown == before) << "the first window shows the change";
        EXPECT_TRUE(shown == grabbed(second->view())) << "both windows show the same";
        EXPECT_EQ(first->view()->moveScrollBar()->value(), second->view()->moveScrollBar()->value());
        before = shown;
    }
    EXPECT_EQ(second->view()->statusBar()->record().clockText2, first->view()->statusBar()->record().clockText2);
    rig.games.tickClocks(rig.live(7)->lastUpdateTime + 30);
    EXPECT_EQ(second->view()->statusBar()->record().clockText1, " 07:50") << "the clocks run in each window";
    EXPECT_EQ(first->view()->statusBar()->record().clockText1, " 07:50");
}

TEST_F(Views, AMoveDraggedInEitherWindowShowsInBothAndNotesAndTheFileFollow)
{
    CGameFrame* first = windows.newGame();
    ASSERT_TRUE(first);
    settle();
    CGameFrame* second = secondOf(first);
    ASSERT_TRUE(second);
    model::CGame& game = *first->game();

    const QImage start = grabbed(first->view());
    // Each window carries its own pieces: a piece picked in one is not picked in the other.
    const QPoint cannon = testing::squarePoint(*second->view(), kRedCannonH2);
    QTest::mousePress(second->view(), Qt::LeftButton, {}, cannon);
    EXPECT_EQ(second->view()->carry().carryState(), CarryState::Picked);
    EXPECT_EQ(first->view()->carry().carryState(), CarryState::Idle);
    QTest::mouseRelease(second->view(), Qt::LeftButton, {}, cannon);
    EXPECT_EQ(game.browsedPly(), 0) << "put back where it was picked";
    drag(*second->view(), kRedCannonH2, kE2);
    EXPECT_EQ(game.browsedPly(), 1) << "the move dragged in the second window";
    area.setActiveSubWindow(first); // the user brings the first window to the front
    drag(*first->view(), kBlackHorseH9, kG7);
    EXPECT_EQ(game.browsedPly(), 2) << "the answer dragged in the first";
    settle();
    const QImage shown = grabbed(first->view());
    EXPECT_FALSE(shown == start);
    EXPECT_TRUE(shown == grabbed(second->view()));
    EXPECT_EQ(second->view()->carry().carryState(), CarryState::Idle);

    // A note typed in one window shows in the other.
    CNoteField* typed = second->notePane()->field();
    typed->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(typed, "good");
    EXPECT_EQ(game.currentEntry().noteText(), "good");
    EXPECT_EQ(first->notePane()->field()->toPlainText(), "good");

    // The file is the game's: saving one window names both.
    first->setFilePath(QStringLiteral("/tmp/two views.txt"));
    EXPECT_EQ(second->filePath(), first->filePath());
    EXPECT_EQ(second->windowTitle(), "two views.txt");
    // A third window takes the document of the one it is opened from.
    CGameFrame* third = secondOf(second);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->filePath(), first->filePath());
}

TEST_F(Views, EditingAPositionNeedsTheGameInOneWindow)
{
    CGameFrame* first = windows.newGame();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->commandEnabled(GameCommand::SetupPosition)) << "a single window may edit";
    CGameFrame* second = secondOf(first);
    ASSERT_TRUE(second);
    for (CGameFrame* window : {first, second}) {
        EXPECT_FALSE(window->commandEnabled(GameCommand::SetupPosition));
        window->runCommand(GameCommand::SetupPosition);
        EXPECT_EQ(+first->game()->mode, +model::kModeNormal) << "not entered";
    }
    ASSERT_TRUE(second->close());
    settle();
    ASSERT_TRUE(first->commandEnabled(GameCommand::SetupPosition));
    first->runCommand(GameCommand::SetupPosition);
    EXPECT_EQ(+first->game()->mode, +model::kModeEditing);
    EXPECT_FALSE(first->canOpenView());
    EXPECT_EQ(windows.openView(*first), nullptr) << "no second window while a position is edited";
    EXPECT_EQ(windows.framesOf(first->game()).size(), 1u);
}

TEST_F(Views, ClosingAViewLeavesTheGameAndOnlyTheLastWindowLeavesIt)
{
    // Another window made before the game's (as the terminal is).
    QMdiSubWindow* other = area.addSubWindow(new QWidget);
    other->resize(1100, 700);
    other->show();
    // An observed game: closing a view sends nothing and the game goes on in the other.
    observe();
    CGameFrame* first = windows.frameOf(rig.live(7));
    ASSERT_TRUE(first);
    CGameFrame* second = secondOf(first);
    ASSERT_EQ(windows.activeFrame(), second);
    int dialogs = 0;
    EXPECT_TRUE(closeCountingDialogs(second, &dialogs));
    EXPECT_EQ(rig.socket.sent, "") << "no leave line for a view";
    EXPECT_EQ(windows.frames(), std::vector<CGameFrame*>{first});
    EXPECT_EQ(windows.activeFrame(), first) << "the game's other window comes to the front";
    ASSERT_TRUE(rig.live(7));
    rig.feed("\r\nGame 7 BotMa vs BotPao 2 H9-G7 500 480 5 1501 1502 6\r\nOMRA% ");
    EXPECT_EQ(first->view()->statusBar()->record().moveNumber, 3) << "the other window follows the game";
    EXPECT_FALSE(closeCountingDialogs(first, &dialogs)) << "the last window waits for the server";
    EXPECT_EQ(rig.socket.sent, "observe 7\n");
    rig.block({"observe: Game 7 BotMa vs BotPao removed from your observation list."});
    settle();
    EXPECT_TRUE(windows.frames().empty());
    EXPECT_EQ(rig.list().size(), 0u);

    // A changed local game: closing a view asks nothing, the last window asks.
    CGameFrame* local = windows.newGame();
    ASSERT_TRUE(local);
    local->game()->PlayMove(kRedCannonH2, kE2, model::MoveKind::User);
    ASSERT_TRUE(local->game()->modified);
    CGameFrame* view = secondOf(local);
    EXPECT_TRUE(closeCountingDialogs(view, &dialogs));
    EXPECT_EQ(dialogs, 0) << "no question for a view";
    EXPECT_FALSE(closeCountingDialogs(local, &dialogs)) << "the question refused";
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(rig.list().size(), 1u);
    EXPECT_EQ(rig.socket.sent, "observe 7\n") << "nothing more sent";
}

TEST_F(Views, TheServerEndingAGameClosesAllItsWindowsWithoutALeaveLine)
{
    observe();
    CGameFrame* first = windows.frameOf(rig.live(7));
    ASSERT_TRUE(first);
    secondOf(first);
    secondOf(first);
    EXPECT_EQ(windows.frames().size(), 3u);
    rig.block({"observe: Game 7 BotMa vs BotPao removed from your observation list."});
    settle();
    EXPECT_TRUE(windows.frames().empty());
    EXPECT_TRUE(area.subWindowList().isEmpty());
    EXPECT_EQ(rig.list().size(), 0u);
    EXPECT_EQ(rig.socket.sent, "");
}

} // namespace
} // namespace marovin::board
