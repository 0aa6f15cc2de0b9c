// The game windows on real Qt widgets (offscreen): what they show as a game is followed,
// what closing them sends, and the quit-game question.

#include <QApplication>
#include <QMdiArea>
#include <QTimer>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "board/game_text_frame.h"
#include "board/qt_game_windows.h"
#include "board/quit_game_dialog.h"
#include "testkit/game_fakes.h"
#include "testkit/qt_application.h"

namespace marovin::board {
namespace {

// Runs the posted closes and deletions.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Answers the next quit-game question with its Quit (or Do not quit) button and records
// the reason line it showed.
void answerQuitQuestion(bool quit, QString* reason)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<CQuitGameDlg*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        *reason = dialog->reasonLine()->text();
        (quit ? dialog->quitButton() : dialog->stayButton())->click();
    });
}

struct Windows : ::testing::Test {
    Windows()
    {
        area.resize(1200, 800);
        area.show();
    }
    void observe()
    {
        rig.block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 1501 1502 4",
                   "(1) H2-E2"});
        rig.socket.sent.clear();
    }
    CGameTextFrame* frame() const
    {
        const auto frames = windows.frames();
        return frames.empty() ? nullptr : frames.front();
    }

    QApplication& application = testkit::qtApplication();
    testkit::GameRig rig;
    QMdiArea area;
    QtGameWindows windows{&area, *rig.context};
};

TEST_F(Windows, AnObservedGameShowsItsCaptionPlayersClocksAndMoves)
{
    observe();
    CGameTextFrame* shown = frame();
    ASSERT_TRUE(shown);
    EXPECT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(shown->windowTitle(), "Obse (7) BotMa vs BotPao: 4 observers");
    EXPECT_TRUE(shown->playersText().contains("BotMa (1501)"));
    EXPECT_TRUE(shown->playersText().contains(" 10:00"));
    EXPECT_TRUE(shown->playersText().contains(" 09:50"));
    EXPECT_EQ(shown->movesText(), "  1. H2-E2");
    EXPECT_EQ(shown->width(), 696) << "the looking size";

    rig.feed("\r\nGame 7 BotMa vs BotPao 2 H7-E7 500 480 5 1501 1502 6\r\nOMRA% ");
    EXPECT_EQ(shown->movesText(), "  1. H2-E2  H7-E7");
    EXPECT_EQ(shown->turnText(), "Move 3, Red to move");
    EXPECT_EQ(shown->windowTitle(), "Obse (7) BotMa vs BotPao: 6 observers");
    EXPECT_TRUE(shown->playersText().contains(" 08:20"));

    rig.games.tickClocks(rig.live(7)->lastUpdateTime + 75);
    EXPECT_TRUE(shown->playersText().contains(" 07:05")) << shown->playersText().toStdString();
    EXPECT_TRUE(shown->playersText().contains(" 08:00"));
}

TEST_F(Windows, ClosingALiveGameWaitsForTheServerUnlessTheProgramCloses)
{
    observe();
    rig.feed("\r\nGame 12 tester vs bob created. 20 min 1200 1200 10 0 0 0\r\nOMRA% ");
    ASSERT_EQ(windows.frames().size(), 2u);
    CGameTextFrame* played = windows.frameOf(rig.live(12));
    CGameTextFrame* watched = windows.frameOf(rig.live(7));
    ASSERT_TRUE(played && watched);
    EXPECT_EQ(played->width(), 450) << "the playing size";

    EXPECT_FALSE(watched->close());
    EXPECT_FALSE(played->close());
    EXPECT_EQ(rig.socket.sent, "observe 7\nadjourn 12\n");
    settle();
    EXPECT_EQ(windows.frames().size(), 2u) << "both stay until the server answers";

    rig.block({"observe: Game 7 BotMa vs BotPao removed from your observation list."});
    settle();
    EXPECT_EQ(windows.frames(), std::vector<CGameTextFrame*>{played});

    // Program exit does not wait for the server.
    rig.socket.sent.clear();
    EXPECT_TRUE(windows.closeAll());
    settle();
    EXPECT_EQ(rig.socket.sent, "adjourn 12\n");
    EXPECT_TRUE(windows.frames().empty());
    EXPECT_EQ(rig.list().size(), 0u);
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(Windows, AnEndedGameAsksTheQuitQuestionWithItsResult)
{
    rig.options->promptGameOver = 1;
    for (const bool quit : {false, true}) {
        observe();
        CGameTextFrame* shown = frame();
        QString reason;
        answerQuitQuestion(quit, &reason);
        rig.feed("\r\nGame 7 BotMa vs BotPao Black resigned. 1-0\r\nOMRA% ");
        settle();
        EXPECT_EQ(reason, "Black resigned. 1-0");
        if (!quit) {
            ASSERT_EQ(frame(), shown) << "Do not quit keeps the window";
            EXPECT_TRUE(shown->windowTitle().startsWith("BotMa.BotPao.7.")) << "no longer a live caption";
            // Not saved: closing it asks once more, this time without a reason.
            answerQuitQuestion(true, &reason);
            EXPECT_TRUE(shown->close());
            EXPECT_EQ(reason, "");
            settle();
        }
        EXPECT_TRUE(windows.frames().empty());
        EXPECT_EQ(rig.list().size(), 0u);
    }
    EXPECT_EQ(rig.socket.sent, "");
}

TEST_F(Windows, AnUnsavedLocalGameAsksBeforeItCloses)
{
    rig.block({"sendfile: GAME", "RED     alice; 1500", "BLACK   bob; 1490", "START", "H2-E2"});
    CGameTextFrame* shown = frame();
    ASSERT_TRUE(shown);
    ASSERT_TRUE(rig.list().games().front()->modified);
    EXPECT_EQ(shown->movesText(), "  1. H2-E2");
    QString reason = "unset";
    answerQuitQuestion(false, &reason);
    EXPECT_FALSE(shown->close());
    EXPECT_EQ(reason, "");
    answerQuitQuestion(true, &reason);
    EXPECT_TRUE(shown->close());
    settle();
    EXPECT_EQ(rig.list().size(), 0u);
    EXPECT_EQ(rig.socket.sent, "");
}

} // namespace
} // namespace marovin::board
