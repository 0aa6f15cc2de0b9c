// Moving pieces and setting up positions with the mouse, on real game windows (offscreen)
// driven by mouse events through the window system: both styles, the refusals, what a
// played game sends and what it only records, a server move in the middle of a carry,
// events the board must ignore, and the position editor with its palette and its checks.

#include "mouse_gestures.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <string>

#include <gtest/gtest.h>

#include "offscreen_windows.h"

#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "game_window/quit_game_dialog.h"
#include "model/game_file.h"
#include "model/position_editor.h"
#include "testkit/game_fakes.h"
#include "testkit/loopback_socket.h"
#include "testkit/qt_application.h"

namespace marovin::board {
namespace {

using testing::drag;
using testing::dragPoints;
using testing::settle;
using testing::squarePoint;
using testing::twoClicks;

const SystemMetrics kMetrics = deriveSystemMetrics(16, 7);

// Board squares of the opening used below (row * 9 + column; Red at the bottom).
constexpr int kRedCannonH2 = 70, kE2 = 67, kH4 = 52;
constexpr int kRedChariotA0 = 81, kA5 = 36;
constexpr int kBlackHorseH9 = 7, kG7 = 24;
constexpr int kEmptyE5 = 40;

struct Mouse : ::testing::Test {
    Mouse()
    {
        area.resize(1200, 800);
        area.show();
        area.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&area));
        windows.setInputLineLink({[this] { ++focusRequests; }, {}});
        rig.options->handCursorOnPick = 1;
    }
    ~Mouse() override { settle(); }

    CGameFrame* localGame()
    {
        CGameFrame* frame = windows.newGame();
        EXPECT_TRUE(frame);
        settle();
        return frame;
    }
    // Game 12 played by the rig's user ("tester", Red) against bob.
    CGameFrame* playedGame()
    {
        rig.feed("\r\nGame 12 tester vs bob created. 20 min 1200 1200 10 0 0 0\r\nOMRA% ");
        rig.socket.sent.clear();
        settle();
        return windows.frameOf(rig.live(12));
    }
    // The screen as drawn move by move must be what a full repaint draws.
    static void expectScreenIsFresh(CGameView& view)
    {
        const QImage drawn = view.screen().copy();
        view.fullRepaint();
        EXPECT_TRUE(drawn == view.screen()) << "the board shows a stale or ghost piece";
    }

    QApplication& application = testkit::qtApplication();
    testkit::GameRig rig;
    QMdiArea area;
    QtGameWindows windows{&area, *rig.context, kMetrics};
    int focusRequests = 0;
};

// ---- moving ---------------------------------------------------------------------------

TEST_F(Mouse, BothStylesMoveAPieceAndLeaveTheBoardAsAFullRepaintDrawsIt)
{
    for (const int twoClick : {0, 1}) {
        SCOPED_TRACE(twoClick ? "two clicks" : "drag");
        rig.options->twoClickMove = twoClick;
        CGameFrame* frame = localGame();
        CGameView& view = *frame->view();
        model::CGame& game = *frame->game();
        const int before = focusRequests;
        if (twoClick)
            twoClicks(view, kRedCannonH2, kE2);
        else
            drag(view, kRedCannonH2, kE2);
        EXPECT_EQ(game.pathLength(), 1);
        EXPECT_EQ(game.browsedBoard[kE2], model::kStandardOpening[kRedCannonH2]);
        EXPECT_EQ(game.browsedBoard[kRedCannonH2], 0);
        EXPECT_TRUE(game.modified);
        EXPECT_EQ(view.carry().carryState(), CarryState::Idle);
        EXPECT_FALSE(view.carry().captured());
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_GT(focusRequests, before) << "the input line gets the keyboard back";
        EXPECT_TRUE(rig.socket.sent.empty()) << "a local game sends nothing";
        expectScreenIsFresh(view);

        // Black answers.
        if (twoClick)
            twoClicks(view, kBlackHorseH9, kG7);
        else
            drag(view, kBlackHorseH9, kG7);
        EXPECT_EQ(game.pathLength(), 2);
        game.modified = false;
        frame->close();
        settle();
    }
}

TEST_F(Mouse, RefusedPicksAndDropsPutThePieceBackUnchanged)
{
    struct Case {
        const char* what;
        int twoClick;
        std::function<void(CGameView&)> gesture;
    };
    const Case cases[] = {
        {"a press on an empty square", 0, [](CGameView& v) { drag(v, kEmptyE5, kE2); }},
        {"a press off the board", 0, [](CGameView& v) { dragPoints(v, QPoint(3, 200), squarePoint(v, kE2)); }},
        {"a piece of the side not to move", 0, [](CGameView& v) { drag(v, kBlackHorseH9, kG7); }},
        {"an illegal move", 0, [](CGameView& v) { drag(v, kRedChariotA0, kA5); }},
        {"a drop outside the board", 0,
         [](CGameView& v) { dragPoints(v, squarePoint(v, kRedCannonH2), QPoint(v.width() - 5, 300)); }},
        {"a release where it was picked", 0, [](CGameView& v) { drag(v, kRedCannonH2, kRedCannonH2); }},
        {"two clicks on the piece's own square", 1, [](CGameView& v) { twoClicks(v, kRedCannonH2, kRedCannonH2); }},
        {"a second click with another button", 1,
         [](CGameView& v) {
             const QPoint a = squarePoint(v, kRedCannonH2), b = squarePoint(v, kE2);
             QTest::mouseClick(&v, Qt::LeftButton, {}, a);
             QTest::mouseMove(&v, b);
             QTest::mouseClick(&v, Qt::RightButton, {}, b);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.options->twoClickMove = c.twoClick;
        CGameFrame* frame = localGame();
        CGameView& view = *frame->view();
        const QImage before = view.screen().copy();
        c.gesture(view);
        settle();
        EXPECT_EQ(frame->game()->pathLength(), 0);
        EXPECT_TRUE(frame->game()->browsedBoard == model::kStandardOpening);
        EXPECT_EQ(view.carry().carryState(), CarryState::Idle);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_TRUE(view.screen() == before) << "the piece is drawn back where it stood";
        // The next gesture is a fresh one: a stale selection would make a move here.
        QTest::mouseClick(&view, Qt::LeftButton, {}, squarePoint(view, kE2));
        settle();
        EXPECT_EQ(frame->game()->pathLength(), 0);
        view.cancelCarry();
        frame->game()->modified = false;
        frame->close();
        settle();
    }
}

TEST_F(Mouse, APieceWithNoLegalMoveCannotBePickedUp)
{
    CGameFrame* frame = localGame();
    model::Board board{};
    board[85] = 17; // Red general
    board[76] = 24; // Red horse, pinned by the chariot on the general's file
    board[4] = 6;   // Black chariot
    board[3] = 1;   // Black general
    ASSERT_TRUE(frame->game()->SetStartPosition(board, 0));
    frame->redraw(*frame->game());
    CGameView& view = *frame->view();
    QTest::mousePress(&view, Qt::LeftButton, {}, squarePoint(view, 76));
    EXPECT_FALSE(view.carry().captured());
    EXPECT_EQ(view.carry().carriedPiece(), 0);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, squarePoint(view, 76));
    // The general has moves: it is picked, the pointer put on its centre and shown as a hand
    // when the option asks for it (read at each pick).
    for (const int hand : {1, 0}) {
        rig.options->handCursorOnPick = hand;
        QTest::mousePress(&view, Qt::LeftButton, {}, squarePoint(view, 85) + QPoint(5, -4));
        EXPECT_TRUE(view.carry().captured());
        EXPECT_EQ(view.cursor().shape() == Qt::ClosedHandCursor, hand == 1);
        EXPECT_EQ(QCursor::pos(), view.mapToGlobal(squarePoint(view, 85)));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, squarePoint(view, 85));
        EXPECT_NE(view.cursor().shape(), Qt::ClosedHandCursor) << "the pointer is plain again";
    }
}

TEST_F(Mouse, APlayedGameSendsOnlyALeftMoveAtTheLiveEndOnItsTurn)
{
    rig.options->echoTypedText = 1;
    CGameFrame* frame = playedGame();
    ASSERT_TRUE(frame);
    CGameView& view = *frame->view();
    model::CGame& game = *frame->game();

    // The right button carries and drops, but the move stays in this window.
    drag(view, kRedCannonH2, kH4, Qt::RightButton);
    EXPECT_EQ(rig.socket.sent, "");
    EXPECT_EQ(game.gamePly(), 0);
    EXPECT_EQ(game.browsedPly(), 1);
    view.game()->TakeBack(model::TakeBackKind::User);

    drag(view, kRedCannonH2, kH4);
    EXPECT_EQ(rig.socket.sent, "H2-H4 12\r\n");
    EXPECT_EQ(game.gamePly(), 1);
    EXPECT_EQ(game.serverMoveCounter, 1) << "the server's report of it is not played twice";
    EXPECT_TRUE(rig.terminal.contains("H2-H4 12")) << "echoed";
    rig.socket.sent.clear();

    // Bob's turn: the user's pieces are not the side to move and nothing is sent.
    drag(view, kRedChariotA0, 72);
    EXPECT_EQ(rig.socket.sent, "");
    rig.feed("\r\nGame 12 tester vs bob 2 H9-G7 1190 1195 10 0 0 0\r\nOMRA% ");
    EXPECT_EQ(game.gamePly(), 2);

    // Looking back, a move is tried on the board: recorded as a branch, never sent.
    game.Navigate(model::kStepBack);
    game.Navigate(model::kStepBack);
    drag(view, kRedCannonH2, kE2);
    EXPECT_EQ(rig.socket.sent, "");
    EXPECT_EQ(game.gamePly(), 2);
    EXPECT_EQ(game.browsedBoard[kE2], model::kStandardOpening[kRedCannonH2]);
    expectScreenIsFresh(view);
}

TEST_F(Mouse, PlayingBlackTheTurnedBoardPicksAndSendsTheRightSquares)
{
    rig.feed("\r\nGame 13 bob vs tester created. 20 min 1200 1200 10 0 0 0\r\nOMRA% ");
    settle();
    CGameFrame* frame = windows.frameOf(rig.live(13));
    ASSERT_TRUE(frame);
    CGameView& view = *frame->view();
    ASSERT_EQ(frame->game()->bottomSide, model::kBlack);
    EXPECT_GT(squarePoint(view, kBlackHorseH9).y(), squarePoint(view, kRedCannonH2).y()) << "Black at the bottom";
    rig.feed("\r\nGame 13 bob vs tester 1 H2-E2 1190 1200 10 0 0 0\r\nOMRA% ");
    rig.socket.sent.clear();
    drag(view, kBlackHorseH9, kG7);
    EXPECT_EQ(rig.socket.sent, "H9-G7 13\r\n");
    EXPECT_EQ(frame->game()->gameBoard[kG7], model::kStandardOpening[kBlackHorseH9]);
    expectScreenIsFresh(view);
}

TEST_F(Mouse, ThePointerCannotLeaveTheViewDuringACarry)
{
    CGameFrame* frame = localGame();
    CGameView& view = *frame->view();
    const QPoint from = squarePoint(view, kRedCannonH2);
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    for (const QPoint outside : {QPoint(-40, from.y()), QPoint(view.width() + 40, from.y()), QPoint(from.x(), -40),
                                 QPoint(from.x(), view.height() + 40)}) {
        QTest::mouseMove(&view, outside);
        const QPoint at = view.mapFromGlobal(QCursor::pos());
        EXPECT_TRUE(view.rect().contains(at)) << "moved to " << outside.x() << "," << outside.y() << ", kept at "
                                              << at.x() << "," << at.y();
        EXPECT_TRUE(view.carry().captured());
    }
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(-40, from.y()));
    settle();
    EXPECT_EQ(frame->game()->pathLength(), 0) << "dropped outside: nothing moves";
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

// The line of a move made with the mouse, as it reaches the server over a real connection.
TEST(MouseOnLoopback, ALeftDragInGame12PutsItsMoveLineOnTheWire)
{
    testkit::qtApplication();
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    testkit::LoopbackSocket socket;
    testkit::GameRig rig{&socket};
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    QtGameWindows windows{&area, *rig.context, kMetrics};
    rig.context->connection.connectToServer("127.0.0.1", listener.serverPort());
    ASSERT_TRUE(socket.runUntil([&] { return rig.context->connection.isConnected(); }));
    ASSERT_TRUE(listener.waitForNewConnection(5000));
    QTcpSocket* peer = listener.nextPendingConnection();
    rig.feed("Login as tester\r\nOMRA% ");
    rig.feed("\r\nGame 12 tester vs bob created. 20 min 1200 1200 10 0 0 0\r\nOMRA% ");
    CGameFrame* window = windows.frameOf(rig.live(12));
    ASSERT_TRUE(window);
    const std::string login = "set client on\r\n";
    std::string received;
    const auto receive = [&](std::size_t size) {
        for (int i = 0; i < 100 && received.size() < size; ++i) {
            peer->waitForReadyRead(20);
            received += peer->readAll().toStdString();
        }
    };
    receive(login.size());
    received.clear();

    drag(*window->view(), kRedCannonH2, kH4);
    receive(std::string_view("H2-H4 12\r\n").size());
    EXPECT_EQ(received, "H2-H4 12\r\n");
    settle();
}

TEST_F(Mouse, AServerMoveInTheMiddleOfACarryPutsThePieceBackAndShowsTheMove)
{
    rig.block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 1501 1502 4",
               "(1) H2-E2"});
    settle();
    CGameFrame* frame = windows.frameOf(rig.live(7));
    ASSERT_TRUE(frame);
    CGameView& view = *frame->view();
    model::CGame& game = *frame->game();
    QTest::mousePress(&view, Qt::LeftButton, {}, squarePoint(view, kBlackHorseH9));
    QTest::mouseMove(&view, squarePoint(view, 40));
    ASSERT_TRUE(view.carry().captured());

    rig.feed("\r\nGame 7 BotMa vs BotPao 2 H9-G7 500 480 5 1501 1502 6\r\nOMRA% ");
    EXPECT_FALSE(view.carry().captured());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, squarePoint(view, 40));
    settle();
    EXPECT_EQ(game.browsedBoard[kG7], model::kStandardOpening[kBlackHorseH9]) << "where the server put it";
    EXPECT_EQ(game.browsedBoard[40], 0);
    expectScreenIsFresh(view);

    // An observed game records a move made on its board, and sends nothing.
    rig.socket.sent.clear();
    drag(view, 64, 65); // Red's other cannon, B2-C2
    EXPECT_EQ(game.browsedBoard[65], model::kStandardOpening[64]);
    EXPECT_EQ(game.gamePly(), 2);
    EXPECT_EQ(rig.socket.sent, "");
}

TEST_F(Mouse, EventsTheBoardCannotTakeAreIgnored)
{
    CGameFrame* frame = localGame();
    {
        // A board not laid out yet (too small a view).
        CGameView small(*frame->game(), windows.resources());
        small.setMinimumSize(0, 0); // squeezed below the least size a view asks for
        small.resize(100, 100);
        small.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&small));
        ASSERT_FALSE(small.painter().geometry().laidOut());
        QTest::mousePress(&small, Qt::LeftButton, {}, QPoint(50, 60));
        QTest::mouseRelease(&small, Qt::LeftButton, {}, QPoint(50, 60));
        EXPECT_FALSE(small.carry().captured());
    }
    CGameView& view = *frame->view();
    model::CGame& game = *frame->game();
    for (const std::uint8_t mode : {model::kModeBusy, model::kModeReading, model::kModeSending, model::kModeReceiving,
                                    model::kModeGameOver}) {
        SCOPED_TRACE(int(mode));
        game.mode = mode;
        drag(view, kRedCannonH2, kE2);
        EXPECT_EQ(game.pathLength(), 0);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }
    game.mode = model::kModeNormal;

    // The game changes mode in the middle of a carry (a transfer begins): the carry ends.
    QTest::mousePress(&view, Qt::LeftButton, {}, squarePoint(view, kRedCannonH2));
    ASSERT_TRUE(view.carry().captured());
    game.mode = model::kModeSending;
    QTest::mouseMove(&view, squarePoint(view, kE2));
    EXPECT_FALSE(view.carry().captured());
    QTest::mouseRelease(&view, Qt::LeftButton, {}, squarePoint(view, kE2));
    game.mode = model::kModeNormal;

    // The window let its game go in the middle of a carry.
    QTest::mousePress(&view, Qt::LeftButton, {}, squarePoint(view, kRedCannonH2));
    ASSERT_TRUE(view.carry().captured());
    frame->detach();
    QTest::mouseMove(&view, squarePoint(view, kE2));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, squarePoint(view, kE2));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(game.pathLength(), 0);
}

TEST_F(Mouse, LosingTheKeyboardInTheMiddleOfACarryPutsThePieceBack)
{
    rig.options->twoClickMove = 1;
    CGameFrame* frame = localGame();
    CGameView& view = *frame->view();
    const QImage before = view.screen().copy();
    QTest::mouseClick(&view, Qt::LeftButton, {}, squarePoint(view, kRedCannonH2));
    QTest::mouseMove(&view, squarePoint(view, 40));
    ASSERT_TRUE(view.carry().captured());
    EXPECT_EQ(view.carry().carryState(), CarryState::Carried);
    view.setFocus();
    QLineEdit other(&area);
    other.show();
    other.setFocus();
    settle();
    EXPECT_FALSE(view.carry().captured());
    EXPECT_TRUE(view.screen() == before);
}

// ---- setting up a position ------------------------------------------------------------------

struct Editing : Mouse {
    void SetUp() override
    {
        frame = localGame();
        ASSERT_TRUE(frame);
        frame->resize(420, 530);
        settle();
        placed = frame->geometry();
        ASSERT_TRUE(gameCommandEnabled(GameCommand::SetupPosition, *frame->game()));
        frame->runCommand(GameCommand::SetupPosition);
        settle();
        ASSERT_EQ(frame->game()->mode, model::kModeEditing);
    }
    CGameView& view() const { return *frame->view(); }
    model::CGame& game() const { return *frame->game(); }
    // The centre of palette cell n (0..6 Black, 7..13 Red, general first).
    QPoint palettePoint(int n) const
    {
        const BoardGeometry& g = view().painter().geometry();
        const CellPoint cell = g.paletteCellOrigin(n);
        return {cell.x + g.halfSquare, cell.y + g.halfSquare};
    }
    void click(int id) { view().editButton(id)->click(); settle(); }

    CGameFrame* frame = nullptr;
    QRect placed;
};

TEST_F(Editing, TheWindowWidensForThePaletteAndShowsTheEditButtonsInARow)
{
    EXPECT_EQ(frame->windowTitle(), "Editing game (right/middle mouse to clear a piece)");
    EXPECT_FALSE(view().statusBar()->isVisible());
    EXPECT_FALSE(view().moveScrollBar()->isVisible());
    const BoardGeometry& g = view().painter().geometry();
    EXPECT_EQ(frame->width(), g.fileX[9] + 3 * g.squareSize);
    EXPECT_EQ(frame->x(), (area.viewport()->width() - frame->width()) / 2) << "centred";
    EXPECT_GE(view().width(), g.boardWidth + 2 * g.squareSize) << "the palette fits";

    const QFontMetrics metrics(view().font());
    int x = 5;
    for (int id = model::kEditClearAllId; id <= model::kEditFinishId; ++id) {
        QPushButton* button = view().editButton(id);
        ASSERT_TRUE(button) << id;
        const QString caption = QString::fromLatin1(model::kEditButtonCaptions[id - model::kEditClearAllId]);
        EXPECT_EQ(button->geometry(),
                  QRect(x, 5, metrics.horizontalAdvance(caption) + 5, metrics.height() + 3))
            << caption.toStdString();
        x += button->width() + 5;
    }
    EXPECT_EQ(view().editButton(model::kEditBlackTurnId)->text(), "Red Turn");
    click(model::kEditBlackTurnId);
    EXPECT_EQ(view().editButton(model::kEditBlackTurnId)->text(), "Black Turn");
    click(model::kEditBlackTurnId);

    click(model::kEditAllPiecesId);
    click(model::kEditFinishId);
    EXPECT_EQ(game().mode, model::kModeNormal);
    EXPECT_EQ(frame->geometry(), placed) << "the placement is put back";
    EXPECT_TRUE(view().statusBar()->isVisible());
    EXPECT_EQ(view().editButton(model::kEditFinishId), nullptr);
    EXPECT_FALSE(game().customPosition) << "the opening with Red to move is an ordinary game";
    EXPECT_FALSE(game().modified);
}

TEST_F(Editing, ThePaletteThePointerAndTheButtonsChangeTheBoard)
{
    // From the palette onto an occupied square: the piece there is replaced.
    EXPECT_FALSE(game().modified);
    dragPoints(view(), palettePoint(3), squarePoint(view(), kRedCannonH2)); // a Black chariot
    EXPECT_EQ(game().browsedBoard[kRedCannonH2], 7);
    EXPECT_TRUE(game().modified);
    expectScreenIsFresh(view());

    // A drop outside the board puts the piece back; a board piece moves anywhere.
    game().modified = false;
    dragPoints(view(), squarePoint(view(), kRedChariotA0), QPoint(view().width() - 2, 20));
    EXPECT_EQ(game().browsedBoard[kRedChariotA0], 22);
    EXPECT_FALSE(game().modified);
    drag(view(), kRedChariotA0, kEmptyE5);
    EXPECT_EQ(game().browsedBoard[kEmptyE5], 22);
    EXPECT_EQ(game().browsedBoard[kRedChariotA0], 0);
    EXPECT_TRUE(game().modified);

    // Right and middle clicks take pieces off.
    for (const auto button : {Qt::RightButton, Qt::MiddleButton}) {
        const int square = button == Qt::RightButton ? kEmptyE5 : kE2 + 18;
        ASSERT_NE(game().browsedBoard[square], 0);
        QTest::mouseClick(&view(), button, {}, squarePoint(view(), square));
        settle();
        EXPECT_EQ(game().browsedBoard[square], 0);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }
    expectScreenIsFresh(view());
    // The palette refuses anything but the left button.
    QTest::mouseClick(&view(), Qt::RightButton, {}, palettePoint(0));
    EXPECT_FALSE(view().carry().captured());

    click(model::kEditClearAllId);
    EXPECT_TRUE(game().browsedBoard == model::Board{});
    click(model::kEditAllPiecesId);
    EXPECT_TRUE(game().browsedBoard == model::kStandardOpening);
    EXPECT_GT(focusRequests, 0);
}

// Pieces of one type from the palette share a piece number until Finish; each of them
// stays drawn through a full repaint (the turn button brings one).
TEST_F(Editing, EveryPiecePlacedFromThePaletteStaysDrawn)
{
    rig.options->boardColour = 0x00CCFF;
    rig.options->redFaceColour = 0xFFFFFF;
    rig.options->blackFaceColour = 0x000000;
    windows.redrawBoards();
    click(model::kEditClearAllId);
    const int squares[] = {kEmptyE5, kEmptyE5 + 2, kEmptyE5 + 4};
    for (const int square : squares)
        dragPoints(view(), palettePoint(13), squarePoint(view(), square)); // Red soldiers
    dragPoints(view(), palettePoint(6), squarePoint(view(), 27));         // a Black soldier
    dragPoints(view(), palettePoint(6), squarePoint(view(), 29));
    for (const int square : squares)
        ASSERT_EQ(game().browsedBoard[static_cast<std::size_t>(square)], 29) << square;
    click(model::kEditBlackTurnId);
    const BoardGeometry& g = view().painter().geometry();
    // Inside the disc near its top, off the board's lines, the disc's rim and the glyph.
    const auto discEdge = [&](int square) {
        const CellPoint cell = g.cellOrigin(square);
        return view().screen().pixel(cell.x + g.pieceSize / 2 + 3, cell.y + 4);
    };
    for (const int square : squares)
        EXPECT_EQ(discEdge(square), qRgb(0xFF, 0xFF, 0xFF)) << "a Red soldier's disc on " << square;
    for (const int square : {27, 29})
        EXPECT_EQ(discEdge(square), qRgb(0, 0, 0)) << "a Black soldier's disc on " << square;
    EXPECT_EQ(discEdge(kEmptyE5 + 1), qRgb(0xFF, 0xCC, 0x00)) << "an empty square shows the board";
}

TEST_F(Editing, FinishRefusesAWrongArrangementAndMarksThePiece)
{
    struct Case {
        const char* message;
        std::function<void(model::Board&)> arrange;
        int marked; // board square, -1: none
    };
    const Case cases[] = {
        // A sixth Red soldier: the sixth in square order is marked.
        {"Too many pieces", [](model::Board& b) { b[45] = 28; }, 62},
        // A Black soldier moved to an odd column on its own side of the river.
        {"Piece position error",
         [](model::Board& b) {
             b[27] = 0;
             b[28] = 12;
         },
         28},
        {"King not found", [](model::Board& b) { b[85] = 0; }, -1},
    };
    const QRgb highlight = qRgb(0x00, 0x00, 0xFF); // pieceCursorColour 0xFF0000 is blue
    rig.options->pieceCursorColour = 0xFF0000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        click(model::kEditAllPiecesId);
        c.arrange(game().browsedBoard);
        frame->redraw(game());
        rig.desktop.boxes.clear();
        QCursor::setPos(0, 0);
        click(model::kEditFinishId);
        EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{c.message});
        EXPECT_EQ(game().mode, model::kModeEditing);
        if (c.marked < 0) {
            EXPECT_EQ(QCursor::pos(), QPoint(0, 0)) << "nothing is marked";
            continue;
        }
        const BoardGeometry& g = view().painter().geometry();
        const CellPoint cell = g.cellOrigin(c.marked);
        EXPECT_EQ(view().screen().pixel(cell.x, cell.y), highlight) << "the cell's corner is on the highlight";
        EXPECT_EQ(QCursor::pos(), view().mapToGlobal(squarePoint(view(), c.marked)));
    }
}

TEST_F(Editing, AFinishedCustomPositionIsTheGamesStartAndIsSavedWithIt)
{
    click(model::kEditAllPiecesId);
    click(model::kEditBlackTurnId);
    QTest::mouseClick(&view(), Qt::RightButton, {}, squarePoint(view(), kRedChariotA0));
    click(model::kEditFinishId);
    ASSERT_EQ(game().mode, model::kModeNormal);
    EXPECT_TRUE(game().customPosition);
    EXPECT_TRUE(game().modified);
    EXPECT_EQ(game().firstMover, 1);
    const std::string text = model::GameFileText(game(), model::GameFileForm::Old);
    EXPECT_NE(text.find("POSITION"), std::string::npos) << text;

    // Black moves first from it, with the mouse.
    drag(view(), kBlackHorseH9, kG7);
    EXPECT_EQ(game().pathLength(), 1);

    // Editing again asks before the unsaved game is dropped; "Do not quit" keeps it.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CQuitGameDlg*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->reasonLine()->text(), "Click <Quit> button to edit now");
        dialog->stayButton()->click();
    });
    frame->runCommand(GameCommand::SetupPosition);
    EXPECT_EQ(game().mode, model::kModeNormal);
    EXPECT_EQ(game().pathLength(), 1);
    EXPECT_EQ(view().editButton(model::kEditFinishId), nullptr);
}

} // namespace
} // namespace marovin::board
