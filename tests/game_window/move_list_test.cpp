// The move list of real game windows (offscreen): its rows for a record with nested
// variations and notes in the three notations, walking it with the keys and the mouse
// (the board, status bar and note following), promoting and deleting from its menu
// (checked in the file saved afterwards), and a live game that grows it as the server's
// lines arrive.

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QToolTip>

#include <string>

#include <gtest/gtest.h>

#include "offscreen_windows.h"

#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "model/analysis_note.h"
#include "model/chinese_notation.h"
#include "model/game_file.h"
#include "platform/big5_text.h"
#include "testkit/game_fakes.h"
#include "testkit/offline_game_ports.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"

namespace marovin::board {
namespace {

using testing::grabbed;
using testing::settle;

const SystemMetrics kMetrics = deriveSystemMetrics(16, 7);

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

void play(model::CGame& game, const char* move)
{
    const auto squares = model::ParseCoordinateMove(move);
    ASSERT_TRUE(squares) << move;
    game.PlayMove(squares->from, squares->to, model::MoveKind::User);
}

// 1. 炮二平五 包８平５ (a note) 2. 傌二進三 馬８進７, and at move 2 two variations: 2. 兵七進一
// (a two-line note) 卒３進１ with 2... 馬２進３ inside it, and 2. 傌八進七.
void playNestedGame(model::CGame& game)
{
    play(game, "H2-E2");
    play(game, "H7-E7");
    game.SetNote("Central cannons", false);
    play(game, "H0-G2");
    play(game, "H9-G7");
    game.Navigate(model::kGoToPly, 2);
    play(game, "C3-C4");
    game.SetNote("Pawn opening\r\nsecond line", false);
    play(game, "C6-C5");
    game.Navigate(model::kStepBack);
    play(game, "B9-C7");
    game.Navigate(model::kGoToPly, 2);
    play(game, "B0-C2");
}

// The shown move of game as the text record writes it.
QString shownMoveText(const model::CGame& game)
{
    model::Board before = game.browsedBoard;
    model::TakeBackMove(before, game.currentEntry().move);
    return platform::fromBig5(model::RecordMoveText(before, game.currentEntry().move.from, game.currentEntry().move.to));
}

// The text of the shown move in the list, or "start".
QString shownLabel(CMoveListView& list)
{
    const int current = list.currentItem();
    return current < 0 ? QStringLiteral("start") : platform::fromBig5(list.items()[static_cast<std::size_t>(current)].text);
}

struct MoveList : ::testing::Test {
    MoveList()
    {
        // One window holds the area and the input line, so that the keyboard can pass
        // between them.
        auto* layout = new QVBoxLayout(&top);
        layout->addWidget(&area);
        layout->addWidget(&input);
        top.resize(800, 640);
        top.show();
        top.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&top));
        windows.setInputLineLink({[this] { input.setFocus(); }, [this](QKeyEvent& key) {
                                      input.setFocus();
                                      QKeyEvent copy(key.type(), key.key(), key.modifiers(), key.text());
                                      QCoreApplication::sendEvent(&input, &copy);
                                  }});
    }
    CGameFrame* localGame()
    {
        CGameFrame* frame = windows.newGame();
        playNestedGame(*frame->game());
        settle();
        EXPECT_EQ(QApplication::activeWindow(), &top) << "no window of its own came up";
        return frame;
    }
    void rightClick(CMoveListView& list, int item)
    {
        const QPoint at = list.itemRect(item).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list.viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list.viewport(), &event);
    }
    void chooseFromMenu(CMoveListView& list, const QString& text)
    {
        QMenu* menu = list.contextMenu();
        ASSERT_TRUE(menu);
        for (QAction* action : menu->actions())
            if (action->text() == text) {
                ASSERT_TRUE(action->isEnabled()) << text.toStdString();
                action->trigger();
                menu->close();
                return;
            }
        FAIL() << "no item " << text.toStdString();
    }
    int itemLabelled(CMoveListView& list, const char* text)
    {
        const auto& items = list.items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (platform::fromBig5(items[i].text) == utf8(text))
                return static_cast<int>(i);
        ADD_FAILURE() << "no move " << text;
        return -1;
    }
    // The rows of the list of a game read from the file the window's game is saved to.
    QStringList rowsAfterSaving(model::CGame& game)
    {
        const std::string path = folder.file("saved.gam");
        EXPECT_TRUE(model::WriteGameFile(game, path, model::GameFileForm::Old));
        testkit::OfflineGamePorts ports;
        model::CGame read(ports.ports());
        EXPECT_EQ(model::ReadGameFile(read, path, false), 1);
        CMoveListView list(read);
        return list.rowTexts();
    }

    QApplication& application = testkit::qtApplication();
    testkit::GameRig rig;
    testkit::TempFolder folder;
    QWidget top;
    QMdiArea area;
    QLineEdit input;
    QtGameWindows windows{&area, *rig.context, kMetrics};
};

TEST_F(MoveList, ShowsNestedVariationsAndNotesInEachNotation)
{
    CGameFrame* frame = localGame();
    model::CGame& game = *frame->game();
    CMoveListView& list = *frame->moveList();
    struct Case {
        model::MoveNotation notation;
        QStringList rows;
    };
    const Case cases[] = {
        {model::MoveNotation::Chinese,
         {utf8("1. 炮二平五 包８平５"), utf8("2. 傌二進三"), utf8("  2. 兵七進一 卒３進１"), utf8("    2... 馬２進３"),
          utf8("  2. 傌八進七"), utf8("2. ... 馬８進７")}},
        {model::MoveNotation::Wxf,
         {"1. C2.5 C8.5", "2. H2+3", "  2. P7+1 P3+1", "    2... H2+3", "  2. H8+7", "2. ... H8+7"}},
        {model::MoveNotation::Iccs,
         {"1. h2e2 h7e7", "2. h0g2", "  2. c3c4 c6c5", "    2... b9c7", "  2. b0c2", "2. ... h9g7"}},
    };
    for (const Case& c : cases) {
        windows.setMoveListSettings({c.notation, true}, false);
        EXPECT_EQ(list.rowTexts(), c.rows) << model::NotationName(c.notation);
    }
    // An engine's analysis line at the head of a note marks its move.
    game.Navigate(model::kGoToPly, 1);
    game.SetNote(model::AnalysisNoteLine(model::MoveMark::Blunder, "-5.20", "h2e2"), false);
    frame->moveList()->gameChanged();
    EXPECT_EQ(list.rowTexts().value(0), "1. h2e2?? h7e7");
    game.SetNote("", false);
    // The notes are marked on their moves, and the first line of one is its tool tip.
    windows.setMoveListSettings({model::MoveNotation::Iccs, true}, false);
    for (std::size_t i = 0; i < list.items().size(); ++i) {
        const bool noted = i == 1 || i == 3; // h7e7 and c3c4
        EXPECT_EQ(list.items()[i].hasNote, noted) << "item " << i;
    }
    settle();
    const QRect noted = list.itemRect(3);
    const QImage pixels = grabbed(list.viewport());
    EXPECT_EQ(QColor(pixels.pixel(noted.right() + 1, noted.top() + 1)), QColor(0x80, 0x00, 0x00)) << "the note mark";
    QHelpEvent tip(QEvent::ToolTip, noted.center(), list.viewport()->mapToGlobal(noted.center()));
    QCoreApplication::sendEvent(list.viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), "Pawn opening");
    QToolTip::hideText();
}

TEST_F(MoveList, KeysAndClicksWalkTheRecordAndTheBoardStatusAndNoteFollow)
{
    CGameFrame* frame = localGame();
    model::CGame& game = *frame->game();
    CMoveListView& list = *frame->moveList();
    list.takeKeyboard();
    ASSERT_TRUE(list.hasFocus());
    struct Step {
        Qt::Key key;
        const char* shown; // the move shown afterwards, "start" at the start
        int ply;
    };
    const Step steps[] = {
        {Qt::Key_Home, "start", 0},      {Qt::Key_Down, "炮二平五", 1},   {Qt::Key_Down, "包８平５", 2},
        {Qt::Key_Down, "傌二進三", 3},   {Qt::Key_Right, "兵七進一", 3},  {Qt::Key_Down, "卒３進１", 4},
        {Qt::Key_Right, "馬２進３", 4},  {Qt::Key_Left, "卒３進１", 4},   {Qt::Key_Left, "傌二進三", 3},
        {Qt::Key_End, "馬８進７", 4},    {Qt::Key_Right, "馬８進７", 4},  {Qt::Key_Up, "傌二進三", 3},
        {Qt::Key_PageUp, "start", 0},    {Qt::Key_PageDown, "馬８進７", 4},
    };
    for (const Step& step : steps) {
        QTest::keyClick(&list, step.key);
        const QString what = QStringLiteral("after key %1").arg(step.key, 0, 16);
        EXPECT_EQ(shownLabel(list), utf8(step.shown)) << what.toStdString();
        EXPECT_EQ(game.browsedPly(), step.ply) << what.toStdString();
        if (step.ply > 0) {
            EXPECT_EQ(shownMoveText(game), utf8(step.shown));
        }
        EXPECT_EQ(frame->view()->statusBar()->record().moveNumber, step.ply + 1) << what.toStdString();
    }
    // A click shows a move of a variation, and its note.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.itemRect(itemLabelled(list, "兵七進一")).center());
    EXPECT_EQ(shownMoveText(game), utf8("兵七進一"));
    EXPECT_EQ(frame->notePane()->field()->toPlainText(), "Pawn opening\nsecond line");
    EXPECT_EQ(game.browsedBoard, [] {
        model::Board board = model::kStandardOpening;
        for (const char* move : {"H2-E2", "H7-E7", "C3-C4"}) {
            const auto squares = model::ParseCoordinateMove(move);
            model::ApplyMove(board, squares->from, squares->to);
        }
        return board;
    }()) << "the board shows the position after the clicked move";
    EXPECT_TRUE(list.hasFocus()) << "a click leaves the keyboard where it was";

    // Text typed into the list goes to the input line, with the keyboard; Escape gives it back.
    QTest::keyClick(&list, Qt::Key_A);
    EXPECT_EQ(input.text(), "a");
    settle();
    EXPECT_TRUE(input.hasFocus());
    list.takeKeyboard();
    QTest::keyClick(&list, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(input.hasFocus());

    // While the game is busy elsewhere (a transfer) the list shows but does not walk.
    game.mode = model::kModeReceiving;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.itemRect(0).center());
    EXPECT_EQ(game.browsedPly(), 3);
    EXPECT_FALSE(list.walk(MoveListKey::Home));
    game.mode = model::kModeNormal;
}

TEST_F(MoveList, PromoteAndDeleteFromItsMenuReachTheSavedFile)
{
    CGameFrame* frame = localGame();
    model::CGame& game = *frame->game();
    CMoveListView& list = *frame->moveList();
    windows.setMoveListSettings({model::MoveNotation::Chinese, true}, false);

    rightClick(list, itemLabelled(list, "傌八進七"));
    EXPECT_EQ(shownMoveText(game), utf8("傌八進七")) << "shown first";
    chooseFromMenu(list, QStringLiteral("&Promote Variation"));
    const QStringList promoted = {utf8("1. 炮二平五 包８平５"), utf8("2. 傌八進七"), utf8("  2. 傌二進三 馬８進７"),
                                  utf8("  2. 兵七進一 卒３進１"), utf8("    2... 馬２進３")};
    EXPECT_EQ(list.rowTexts(), promoted);
    EXPECT_EQ(game.browsedPly(), 3) << "the shown move stays";
    EXPECT_EQ(rowsAfterSaving(game), promoted);

    // On the main line there is nothing to promote.
    rightClick(list, itemLabelled(list, "傌八進七"));
    ASSERT_TRUE(list.contextMenu());
    EXPECT_FALSE(list.contextMenu()->actions().at(0)->isEnabled());
    list.contextMenu()->close();

    rig.desktop.yesNoAnswers = {true};
    rightClick(list, itemLabelled(list, "卒３進１"));
    chooseFromMenu(list, QStringLiteral("&Delete From Here"));
    ASSERT_EQ(rig.desktop.questions.size(), 1u);
    const QStringList deleted = {utf8("1. 炮二平五 包８平５"), utf8("2. 傌八進七"), utf8("  2. 傌二進三 馬８進７"),
                                 utf8("  2. 兵七進一 馬２進３")};
    EXPECT_EQ(list.rowTexts(), deleted);
    EXPECT_EQ(rowsAfterSaving(game), deleted);

    // Add/Edit Note hands the keyboard to the note of the move.
    rightClick(list, itemLabelled(list, "馬２進３"));
    chooseFromMenu(list, QStringLiteral("Add/Edit &Note"));
    settle();
    EXPECT_EQ(top.focusWidget(), frame->notePane()->field());
}

TEST_F(MoveList, ALiveGameGrowsTheListAndKeepsTheShownMoveInView)
{
    rig.block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 1501 1502 4",
               "(1) H2-E2"});
    CGameFrame* frame = windows.frames().front();
    frame->resize(696, 330); // a list with room for a few rows only
    settle();
    CMoveListView& list = *frame->moveList();
    windows.setMoveListSettings({model::MoveNotation::Iccs, true}, false);
    static const char* const kCycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
    const auto feedMove = [this](int number, const char* move) {
        rig.feed("\r\nGame 7 BotMa vs BotPao " + std::to_string(number) + " " + move +
                 " 500 480 5 1501 1502 6\r\nOMRA% ");
    };
    feedMove(2, "H7-E7");
    for (int number = 3; number <= 40; ++number) {
        feedMove(number, kCycle[(number - 3) % 4]);
        settle();
        ASSERT_EQ(list.items().size(), static_cast<std::size_t>(number)) << "move " << number;
        ASSERT_EQ(list.currentItem(), number - 1) << "the newest move is shown";
        const QRect shown = list.itemRect(number - 1);
        ASSERT_TRUE(list.viewport()->rect().contains(shown)) << "and in view, at move " << number;
    }
    EXPECT_EQ(list.rowTexts().front(), "1. h2e2 h7e7");
    EXPECT_EQ(list.rowTexts().back(), "20. h0g2 h9g7");
    EXPECT_EQ(list.liveEndItem(), 39);

    // Looking back: the live end is marked green, and stays where new moves go on.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.itemRect(37).center());
    EXPECT_EQ(frame->game()->browsedPly(), 38);
    feedMove(41, "H0-G2");
    settle();
    EXPECT_EQ(list.currentItem(), 37) << "a live move does not pull the shown one along";
    EXPECT_EQ(list.liveEndItem(), 40);
    list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum());
    settle();
    const QRect live = list.itemRect(40);
    EXPECT_EQ(grabbed(list.viewport()).pixel(live.left(), live.center().y()), qRgb(0x00, 0xFF, 0x00));
    // The live game's main line is the server's: nothing to promote or delete.
    rightClick(list, 40);
    ASSERT_TRUE(list.contextMenu());
    for (QAction* action : list.contextMenu()->actions().mid(0, 2))
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    list.contextMenu()->close();
}

} // namespace
} // namespace marovin::board
