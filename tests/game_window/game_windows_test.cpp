// The game windows on real Qt widgets (offscreen), driven by the session's real game code:
// the board pane against the board drawing, the status bar's values and colours, the
// controls, the note pane, the lines each command puts on a loopback socket, and closing
// (the server's leave lines, the quit-game questions, a close that waits for a dialog).

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "offscreen_windows.h"

#include "board/board_scene.h"
#include "game_window/choose_branch_dialog.h"
#include "game_window/game_command_dialog.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "game_window/quit_game_dialog.h"
#include "model/note_text.h"
#include "testkit/game_fakes.h"
#include "testkit/loopback_socket.h"
#include "testkit/qt_application.h"

namespace marovin::board {
namespace {

using testing::settle;
using testing::grabbed;

const SystemMetrics kMetrics = deriveSystemMetrics(16, 7);
const QRgb kGreen = qRgb(0x00, 0xFF, 0x00);
const QRgb kYellow = qRgb(0xFF, 0xFF, 0x00);

// Acts on the next modal dialog once it is open.
template <class Dialog>
void whenOpen(std::function<void(Dialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog) << "no dialog of the expected kind is open";
        act(*dialog);
    });
}

// Answers the next quit-game question and records its title and reason line.
void answerQuitQuestion(bool quit, QString* reason, QString* title = nullptr)
{
    whenOpen<CQuitGameDlg>([=](CQuitGameDlg& dialog) {
        *reason = dialog.reasonLine()->text();
        if (title)
            *title = dialog.windowTitle();
        EXPECT_EQ(dialog.focusWidget(), dialog.stayButton()) << "Do not quit has the focus";
        (quit ? dialog.quitButton() : dialog.stayButton())->click();
    });
}

struct Windows : ::testing::Test {
    Windows()
    {
        area.resize(780, 580); // within the offscreen screen, so that flush right is the area's edge
        area.show();
        windows.setInputLineLink({[this] { input.setFocus(); }, {}});
    }
    void observe(int number = 7)
    {
        rig.block({"observe: Game " + std::to_string(number) +
                       " BotMa vs BotPao added to your observation list. 10 min 600 590 5 1501 1502 4",
                   "(1) H2-E2"});
        rig.socket.sent.clear();
    }
    CGameFrame* frame() const
    {
        const auto frames = windows.frames();
        return frames.empty() ? nullptr : frames.front();
    }
    const session::StatusRecord& status(CGameFrame* window) const
    {
        return window->view()->statusBar()->record();
    }

    QApplication& application = testkit::qtApplication();
    testkit::GameRig rig;
    QMdiArea area;
    QLineEdit input;
    QtGameWindows windows{&area, *rig.context, kMetrics};
};

TEST_F(Windows, AnObservedGameFollowsTheServerWithItsStatusAndRunningClocks)
{
    observe();
    CGameFrame* shown = frame();
    ASSERT_TRUE(shown);
    EXPECT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(shown->windowTitle(), "Obse (7) BotMa vs BotPao: 4 observers");
    EXPECT_EQ(shown->size(), QSize(696, 530)) << "the looking size";
    EXPECT_EQ(shown->pos().y(), 0);
    EXPECT_EQ(shown->pos().x() + shown->width(), area.viewport()->width()) << "flush right";
    session::StatusRecord expected;
    expected.redToMove = 0;
    expected.moveNumber = 2;
    expected.name1 = "BotMa";
    expected.name2 = "BotPao";
    expected.rating1 = 1501;
    expected.rating2 = 1502;
    expected.clockText1 = " 10:00";
    expected.clockText2 = " 09:50";
    expected.clocksRunning = true;
    EXPECT_TRUE(status(shown) == expected);

    rig.feed("\r\nGame 7 BotMa vs BotPao 2 H7-E7 500 480 5 1501 1502 6\r\nOMRA% ");
    EXPECT_EQ(status(shown).moveNumber, 3);
    EXPECT_EQ(status(shown).redToMove, 1);
    EXPECT_EQ(status(shown).clockText1, " 08:20");
    EXPECT_EQ(shown->windowTitle(), "Obse (7) BotMa vs BotPao: 6 observers");

    // Red's clock runs by wall-clock seconds; two ticks in one second take one second off.
    const std::int64_t last = rig.live(7)->lastUpdateTime;
    rig.games.tickClocks(last + 75);
    EXPECT_EQ(status(shown).clockText1, " 07:05");
    rig.games.tickClocks(last + 75);
    EXPECT_EQ(status(shown).clockText1, " 07:05");
    rig.games.tickClocks(last + 76);
    EXPECT_EQ(status(shown).clockText1, " 07:04");
    EXPECT_EQ(status(shown).clockText2, " 08:00") << "Black's clock waits";
}

TEST_F(Windows, TheBoardPaneShowsTheBoardDrawingOfItsPosition)
{
    observe();
    rig.feed("\r\nGame 7 BotMa vs BotPao 2 H9-G7 500 480 5 1501 1502 6\r\nOMRA% ");
    rig.feed("\r\nGame 7 BotMa vs BotPao 3 H0-G2 500 480 5 1501 1502 6\r\nOMRA% ");
    CGameView* view = frame()->view();
    const BoardBitmap noBitmap;
    BoardPainter painter(*rig.options, noBitmap, GlyphSets::forProcess(), kMetrics.textHeight);
    const auto compare = [&](const char* what) {
        ASSERT_TRUE(painter.layoutBoard(view->width(), view->height()));
        QImage expected;
        painter.fullRepaint(expected, sceneOf(*view->game()));
        expected = expected.convertToFormat(QImage::Format_RGB32);
        const QImage shown = grabbed(view);
        ASSERT_EQ(shown.size(), expected.size());
        // Below the status bar and left of the controls the pane is the drawing itself.
        const int right = view->width() - 31;
        for (int y = kMetrics.statusBarHeight; y < shown.height(); ++y)
            for (int x = 0; x < right; ++x)
                ASSERT_EQ(shown.pixel(x, y), expected.pixel(x, y)) << what << " at " << x << "," << y;
    };
    compare("three moves drawn one by one");
    QTest::mouseClick(view->moveStepper()->backButton(), Qt::LeftButton);
    QTest::mouseClick(view->moveStepper()->backButton(), Qt::LeftButton);
    EXPECT_EQ(view->game()->browsedPly(), 1);
    compare("two moves taken back");
    frame()->flipBoard();
    compare("the board turned");
    QTest::mouseClick(view->startButton(), Qt::LeftButton);
    EXPECT_EQ(view->game()->browsedPly(), 0);
    compare("the start");
}

TEST_F(Windows, BrowsingBackTurnsTheMoveNumberGreenAndAClickOnItReturnsToTheLiveEnd)
{
    observe();
    rig.feed("\r\nGame 7 BotMa vs BotPao 2 H7-E7 500 480 5 1501 1502 6\r\nOMRA% ");
    CGameFrame* shown = frame();
    CGameStatusBar* bar = shown->view()->statusBar();
    EXPECT_NE(grabbed(bar).pixel(5, 29), kGreen) << "at the live end";

    QTest::mouseClick(shown->view()->moveStepper()->backButton(), Qt::LeftButton);
    EXPECT_EQ(status(shown).browsingBack, 1);
    EXPECT_EQ(grabbed(bar).pixel(5, 29), kGreen);
    // A live move does not pull the view along while the user looks back.
    rig.feed("\r\nGame 7 BotMa vs BotPao 3 B0-C2 500 480 5 1501 1502 6\r\nOMRA% ");
    EXPECT_EQ(shown->game()->browsedPly(), 1);
    EXPECT_EQ(shown->game()->gamePly(), 3);
    EXPECT_EQ(shown->view()->moveScrollBar()->maximum(), 3);
    EXPECT_EQ(shown->view()->moveScrollBar()->value(), 1);

    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(shown->game()->browsedPly(), 3);
    EXPECT_EQ(status(shown).browsingBack, 0);
    EXPECT_NE(grabbed(bar).pixel(5, 29), kGreen);
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(shown->game()->browsedPly(), 0) << "a right click goes to the start";
    // The scroll bar's requests navigate too.
    shown->view()->moveScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(shown->game()->browsedPly(), 3);
    EXPECT_EQ(shown->view()->moveScrollBar()->value(), 3);
}

TEST_F(Windows, ABranchShowsItsNumberOnYellowAndATransferItsPercent)
{
    CGameFrame* window = windows.newGame();
    ASSERT_TRUE(window);
    model::CGame& game = *window->game();
    for (const auto& [from, to] : {std::pair{70, 67}, {64, 67}}) { // two first moves: H2-E2, B2-E2
        game.PlayMove(static_cast<model::Square>(from), static_cast<model::Square>(to), model::MoveKind::User);
        game.Navigate(model::kStepBack);
    }
    EXPECT_EQ(status(window).branchHere, 1);
    CGameStatusBar* bar = window->view()->statusBar();
    EXPECT_EQ(grabbed(bar).pixel(5, 5), kYellow) << "behind the move number";

    game.mode = model::kModeSending;
    game.transferPercent = 45;
    window->refreshStatus();
    EXPECT_EQ(window->windowTitle(), "Sending game now. Please wait...");
    const QImage part1 = grabbed(bar).copy(0, 0, kMetrics.statusPart1Right, kMetrics.statusBarHeight);
    bool greenText = false, yellow = false;
    for (int y = 0; y < part1.height(); ++y)
        for (int x = 0; x < part1.width(); ++x) {
            const QColor c(part1.pixel(x, y));
            greenText = greenText || (c.green() > 150 && c.red() < 100 && c.blue() < 100);
            yellow = yellow || part1.pixel(x, y) == kYellow;
        }
    EXPECT_TRUE(greenText) << "45% in green";
    EXPECT_FALSE(yellow) << "no move number during a transfer";
}

TEST_F(Windows, TheLeftRightControlAndTheBranchChooserFollowAlternatives)
{
    CGameFrame* window = windows.newGame();
    model::CGame& game = *window->game();
    for (const auto& [from, to] : {std::pair{70, 67}, {64, 67}}) {
        game.PlayMove(static_cast<model::Square>(from), static_cast<model::Square>(to), model::MoveKind::User);
        game.Navigate(model::kStepBack);
    }
    QStringList rows;
    whenOpen<CChooseBranchDlg>([&](CChooseBranchDlg& dialog) {
        for (int i = 0; i < dialog.list()->count(); ++i)
            rows << dialog.list()->item(i)->text();
        EXPECT_EQ(dialog.list()->currentRow(), 0);
        dialog.list()->setCurrentRow(1);
        dialog.okButton()->click();
    });
    QTest::mouseClick(window->view()->moveStepper()->forwardButton(), Qt::LeftButton);
    EXPECT_EQ(rows, (QStringList{"2=5", "8=5"}));
    const auto firstMove = [&] { return game.currentEntry().move.from; };
    EXPECT_EQ(firstMove(), 64) << "the second row's move";
    QTest::mouseClick(window->view()->branchStepper()->forwardButton(), Qt::LeftButton);
    EXPECT_EQ(firstMove(), 70) << "the next alternative, round again";
    EXPECT_EQ(game.browsedPly(), 1);
}

TEST_F(Windows, TheNotePaneWritesEveryChangeAndRefusesOutsideTheNormalMode)
{
    CGameFrame* window = windows.newGame();
    model::CGame& game = *window->game();
    game.PlayMove(64, 67, model::MoveKind::User);
    CNoteField* field = window->notePane()->field();
    EXPECT_EQ(field->toPlainText(), "");
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(field, "abc");
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClicks(field, "d");
    EXPECT_EQ(game.currentEntry().noteText(), "abc\r\nd");
    EXPECT_TRUE(game.modified);
    game.Navigate(model::kStepBack);
    EXPECT_EQ(field->toPlainText(), "") << "the start has no note";
    game.Navigate(model::kStepForward);
    EXPECT_EQ(field->toPlainText(), "abc\nd");

    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_TRUE(game.currentEntry().hasNote());
    EXPECT_EQ(game.currentEntry().noteText(), "") << "an emptied field stores an empty note";

    game.mode = model::kModeReceiving;
    QTest::keyClicks(field, "xy");
    EXPECT_EQ(rig.desktop.boxes, (std::vector<std::string>{"Please input notes later.", "Please input notes later."}));
    EXPECT_EQ(game.currentEntry().noteText(), "");
    EXPECT_EQ(field->toPlainText(), "") << "the field shows what the record holds";
}

// What the record cannot keep is never taken silently: characters that Big5 lacks are
// refused with a message naming them, the record and the field keep the note as it was;
// a paste past the note limit is cut there, with a message.
TEST_F(Windows, TheNotePaneRefusesWhatANoteCannotKeepAndSaysSo)
{
    CGameFrame* window = windows.newGame();
    model::CGame& game = *window->game();
    game.PlayMove(64, 67, model::MoveKind::User);
    CNoteField* field = window->notePane()->field();
    field->setFocus(Qt::MouseFocusReason);
    field->insertPlainText(QStringLiteral("好棋"));
    EXPECT_EQ(game.currentEntry().noteText(), "\xA6\x6E\xB4\xD1");

    const std::pair<QString, std::string> refusals[] = {{QStringLiteral("这"), "U+8FD9"},
                                                         {QStringLiteral("😀"), "U+1F600"}};
    for (const auto& [refused, name] : refusals) {
        rig.desktop.boxes.clear();
        field->insertPlainText(refused);
        ASSERT_EQ(rig.desktop.boxes.size(), 1u);
        EXPECT_NE(rig.desktop.boxes[0].find(name), std::string::npos) << rig.desktop.boxes[0];
        EXPECT_EQ(game.currentEntry().noteText(), "\xA6\x6E\xB4\xD1") << "the note is kept as it was";
        EXPECT_EQ(field->toPlainText(), QStringLiteral("好棋"));
        EXPECT_EQ(field->textCursor().position(), 2) << "the caret stays where the text went in";
    }

    rig.desktop.boxes.clear();
    field->selectAll();
    field->insertPlainText(QString(60000, QLatin1Char('a')) + QLatin1Char('\n') + QString(30000, QLatin1Char('b')));
    ASSERT_EQ(rig.desktop.boxes.size(), 1u);
    EXPECT_EQ(rig.desktop.boxes[0], "A note holds at most 90000 bytes (a Chinese character or a line end takes two): "
                                    "the text past that was cut.");
    const std::string& note = game.currentEntry().noteText();
    EXPECT_EQ(note.size(), model::kNoteLimit);
    EXPECT_EQ(note, std::string(60000, 'a') + "\r\n" + std::string(29998, 'b'));
    EXPECT_EQ(field->toPlainText().size(), 60000 + 1 + 29998) << "the field shows what the record keeps";
}

TEST_F(Windows, ClosingALiveGameWaitsForTheServerUnlessTheProgramCloses)
{
    observe();
    rig.feed("\r\nGame 12 tester vs bob created. 20 min 1200 1200 10 0 0 0\r\nOMRA% ");
    ASSERT_EQ(windows.frames().size(), 2u);
    CGameFrame* played = windows.frameOf(rig.live(12));
    CGameFrame* watched = windows.frameOf(rig.live(7));
    ASSERT_TRUE(played && watched);
    EXPECT_EQ(played->size(), QSize(450, 530)) << "the playing size";
    EXPECT_NE(played->pos(), watched->pos()) << "not exactly over the other window";

    EXPECT_FALSE(watched->close());
    EXPECT_FALSE(played->close());
    EXPECT_EQ(rig.socket.sent, "observe 7\nadjourn 12\n");
    settle();
    EXPECT_EQ(windows.frames().size(), 2u) << "both stay until the server answers";

    rig.block({"observe: Game 7 BotMa vs BotPao removed from your observation list."});
    settle();
    EXPECT_EQ(windows.frames(), std::vector<CGameFrame*>{played});
    // A late line for the closed game finds no window.
    rig.feed("\r\nGame 7 BotMa vs BotPao 2 H7-E7 500 480 5 1501 1502 6\r\nOMRA% ");
    EXPECT_TRUE(rig.terminal.contains("Game not found: please type 'set client on'"));

    rig.socket.sent.clear();
    EXPECT_TRUE(windows.closeAll());
    settle();
    EXPECT_EQ(rig.socket.sent, "adjourn 12\n");
    EXPECT_TRUE(windows.frames().empty());
    EXPECT_EQ(rig.list().size(), 0u);
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(Windows, GamesThatEndTogetherAreAskedAboutOneAfterTheOther)
{
    rig.options->promptGameOver = 1;
    observe(7);
    observe(8);
    EXPECT_NE(windows.frameOf(rig.live(7))->pos(), windows.frameOf(rig.live(8))->pos())
        << "a window of the same size does not open exactly over the other";
    QString reason, title;
    answerQuitQuestion(true, &reason, &title);
    rig.feed("\r\nGame 7 BotMa vs BotPao Black resigned. 1-0\r\nGame 8 BotMa vs BotPao draw. 1/2\r\nOMRA% ");
    settle();
    EXPECT_EQ(reason, "draw. 1/2") << "the newest first";
    EXPECT_TRUE(title.startsWith("BotMa.BotPao.8.")) << title.toStdString();
    ASSERT_EQ(windows.frames().size(), 1u) << "Quit closed it; the other waits for the next output";

    answerQuitQuestion(false, &reason);
    rig.feed("OMRA% ");
    settle();
    EXPECT_EQ(reason, "Black resigned. 1-0");
    ASSERT_EQ(windows.frames().size(), 1u) << "Do not quit keeps it";
    CGameFrame* kept = frame();
    EXPECT_TRUE(kept->windowTitle().startsWith("BotMa.BotPao.7.")) << kept->windowTitle().toStdString();
    EXPECT_TRUE(kept->windowTitle().endsWith(" (not live): Black resigned. 1-0")) << "with how it ended";
    EXPECT_FALSE(status(kept).clocksRunning);
    answerQuitQuestion(true, &reason);
    EXPECT_TRUE(kept->close()) << "not saved: asked once more, without a reason";
    EXPECT_EQ(reason, "");
    settle();
    EXPECT_TRUE(windows.frames().empty());
    EXPECT_EQ(rig.socket.sent, "");
}

TEST_F(Windows, AServerCloseWaitsForTheWindowsDialogAndAGameOverQuestionComesOnTop)
{
    rig.options->promptGameOver = 1;
    observe();
    CGameFrame* shown = frame();
    const QPointer<CGameFrame> guard(shown);
    bool dialogWasOpen = false;
    whenOpen<CGameCommandDlg>([&](CGameCommandDlg&) {
        dialogWasOpen = true;
        QString reason;
        answerQuitQuestion(true, &reason);
        // The game ends while the dialog is open; the question opens over it.
        rig.feed("\r\nGame 7 BotMa vs BotPao Black resigned. 1-0\r\nOMRA% ");
        EXPECT_EQ(reason, "Black resigned. 1-0");
        EXPECT_TRUE(guard) << "the window waits for its dialog";
    });
    shown->openGameCommands(false);
    EXPECT_TRUE(dialogWasOpen);
    settle();
    EXPECT_TRUE(guard.isNull()) << "closed once its dialog was";
    EXPECT_TRUE(windows.frames().empty());
}

// A played game on a real loopback connection: the bytes each command puts on the wire.
struct OnLoopback : ::testing::Test {
    void SetUp() override
    {
        area.resize(1200, 800);
        area.show();
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        rig.context->connection.connectToServer("127.0.0.1", listener.serverPort());
        ASSERT_TRUE(socket.runUntil([&] { return rig.context->connection.isConnected(); }));
        ASSERT_TRUE(listener.waitForNewConnection(5000));
        peer = listener.nextPendingConnection();
        rig.feed("Login as tester\r\nOMRA% ");
        EXPECT_TRUE(sent("set client on\r\n").ends_with("set client on\r\n"));
        rig.feed("\r\nGame 12 tester vs bob created. 20 min 1200 1200 10 0 0 0\r\nOMRA% ");
        window = windows.frameOf(rig.live(12));
        ASSERT_TRUE(window);
    }
    // What the peer received since the last call, waiting until expected has arrived (the
    // event loop of a dialog may have taken some of it in already).
    std::string sent(std::string_view expected)
    {
        QElapsedTimer timer;
        timer.start();
        received += peer->readAll().toStdString();
        while (received.size() < expected.size() && timer.elapsed() < 2000) {
            peer->waitForReadyRead(50);
            received += peer->readAll().toStdString();
        }
        if (peer->waitForReadyRead(30))
            received += peer->readAll().toStdString();
        return std::exchange(received, {});
    }

    QApplication& application = testkit::qtApplication();
    QTcpServer listener;
    testkit::LoopbackSocket socket;
    testkit::GameRig rig{&socket};
    QMdiArea area;
    QtGameWindows windows{&area, *rig.context, kMetrics};
    QTcpSocket* peer = nullptr;
    CGameFrame* window = nullptr;
    std::string received;
};

TEST_F(OnLoopback, EachGameCommandSendsItsLine)
{
    const std::pair<GameCommand, std::string> commands[] = {
        {GameCommand::Adjourn, "adjourn 12\r\n"},           {GameCommand::Pass, "pass 12\r\n"},
        {GameCommand::Undo, "undo 12\r\n"},                 {GameCommand::AllObservers, "allobservers 12\r\n"},
        {GameCommand::TimeLeft, "timeleft 12\r\n"},
    };
    for (const auto& [command, line] : commands) {
        window->runCommand(command);
        EXPECT_EQ(sent(line), line);
    }
    rig.desktop.yesNoAnswers = {false, true};
    window->runCommand(GameCommand::Resign);
    window->runCommand(GameCommand::Resign);
    EXPECT_EQ(sent("resign 12\r\n"), "resign 12\r\n") << "only the Yes";
    EXPECT_EQ(rig.desktop.questions, (std::vector<std::string>{"resign [12] tester vs bob", "resign [12] tester vs bob"}));

    // The game command dialog: Addtime with its default minutes closes it.
    whenOpen<CGameCommandDlg>([](CGameCommandDlg& dialog) {
        EXPECT_EQ(dialog.minutes()->currentText(), "5");
        dialog.button("Addtime")->click();
    });
    window->runCommand(GameCommand::AddTime);
    EXPECT_EQ(sent("addtime 5 12\r\n"), "addtime 5 12\r\n");

    // Kibitz: Enter sends and the window stays for the next line; so does Time Left.
    bool stillOpen = false;
    whenOpen<CGameCommandDlg>([&](CGameCommandDlg& dialog) {
        EXPECT_EQ(dialog.focusWidget(), dialog.kibitzField());

        for (const char* text : {"nice move", "again"}) {
            QTest::keyClicks(dialog.kibitzField(), text);
            QTest::keyClick(dialog.kibitzField(), Qt::Key_Return);
        }
        dialog.button("Time Left")->click();
        settle(); // the window's command runs after the click
        stillOpen = dialog.isVisible();
        dialog.button("Exit")->click();
    });
    window->runCommand(GameCommand::Kibitz);
    EXPECT_TRUE(stillOpen);
    const std::string lines = "kibitz 12 nice move\r\nkibitz 12 again\r\ntimeleft 12\r\n";
    EXPECT_EQ(sent(lines), lines);
}

// Send Game asks for the player and tells the game's first line; Stop Send Game, or closing
// the window, tells the player that it stops.
TEST_F(OnLoopback, SendingAGameStartsAfterTheNameAndStopsWithTheWindow)
{
    CGameFrame* local = windows.newGame();
    ASSERT_TRUE(local);
    model::CGame& game = *local->game();
    EXPECT_FALSE(gameCommandEnabled(GameCommand::SendGame, game)) << "nothing to send yet";
    game.PlayMove(70, 67, model::MoveKind::User);
    game.modified = false;
    ASSERT_TRUE(gameCommandEnabled(GameCommand::SendGame, game));

    int asked = 0; // the first question is cancelled
    windows.setPlayerNameAsker([&](CGameFrame&) -> std::optional<std::string> {
        if (asked++ == 0)
            return std::nullopt;
        return "bob";
    });
    local->runCommand(GameCommand::SendGame);
    EXPECT_EQ(game.mode, model::kModeNormal);
    local->runCommand(GameCommand::SendGame);
    EXPECT_EQ(game.mode, model::kModeSending);
    EXPECT_TRUE(sent("tell bob \x01send1 ").starts_with("tell bob \x01send1 "));
    EXPECT_FALSE(gameCommandEnabled(GameCommand::SendGame, game));

    local->runCommand(GameCommand::StopSend);
    EXPECT_EQ(sent("tell bob \x01sendC\n"), "tell bob \x01sendC\n");
    EXPECT_EQ(game.mode, model::kModeNormal);
    EXPECT_TRUE(rig.terminal.contains("Stop sending game"));

    local->runCommand(GameCommand::SendGame);
    sent("tell bob \x01send1 ");
    EXPECT_TRUE(local->close());
    EXPECT_EQ(sent("tell bob \x01sendC\n"), "tell bob \x01sendC\n") << "the closed window's game stops";
    EXPECT_TRUE(windows.frames().size() == 1u) << "only the live game's window stays";
}

} // namespace
} // namespace marovin::board
