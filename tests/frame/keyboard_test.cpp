// The keyboard in the running program (offscreen): every menu's mnemonic letters, the
// browsing keys on a real game window while the input line keeps the keyboard, the
// position keys, Shift+F6 through the panes, and the Window menu's list of windows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenuBar>
#include <QTest>

#include <memory>

#include "frame/application.h"
#include "frame/client_session.h"
#include "frame/main_frame.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "model/fen.h"
#include "running_program.h"
#include "testkit/fakes.h"
#include "testkit/temp_folder.h"

namespace marovin::windows {
namespace {

// The letter after a single '&' of a menu text, in lower case, or a null character.
QChar mnemonicOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i; // "&&" is an ampersand shown as text
    }
    return {};
}

// Every pair of items of one menu (and of each menu below it) that share a letter, as
// "where: first / second"; counts the menus walked.
QStringList repeatedMnemonics(const QList<QAction*>& items, const QString& where, int& menus)
{
    ++menus;
    QStringList repeated;
    QHash<QChar, QString> taken;
    for (const QAction* item : items) {
        const QChar letter = item->isSeparator() ? QChar() : mnemonicOf(item->text());
        if (!letter.isNull() && taken.contains(letter))
            repeated << where + QStringLiteral(": ") + taken[letter] + QStringLiteral(" / ") + item->text();
        else if (!letter.isNull())
            taken.insert(letter, item->text());
        if (item->menu())
            repeated << repeatedMnemonics(item->menu()->actions(), where + QStringLiteral(" > ") + item->text(), menus);
    }
    return repeated;
}

void play(model::CGame& game, const char* move)
{
    const auto squares = model::ParseCoordinateMove(move);
    ASSERT_TRUE(squares) << move;
    game.PlayMove(squares->from, squares->to, model::MoveKind::User);
}

// The shown move in coordinates, or "start".
std::string shown(const model::CGame& game)
{
    if (game.browsedPly() == 0)
        return "start";
    const model::PackedMove& move = game.currentEntry().move;
    return model::FormatCoordinateMove(move.from, move.to);
}

struct Keyboard : ::testing::Test {
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartProgram(app, desktop, folder));
        frame = app->mainFrame();
        windows = app->clientSession()->gameWindows();
        input = frame->inputBar()->inputLine();
    }
    void TearDown() override
    {
        for (board::CGameFrame* window : windows->frames())
            if (window->game())
                window->game()->modified = false;
    }
    // A local game of 1. H2-E2 H7-E7 2. H0-G2 H9-G7, with 2. B0-C2 beside 2. H0-G2; it
    // shows 2. B0-C2.
    board::CGameFrame* branchedGame()
    {
        board::CGameFrame* window = windows->newGame();
        for (const char* move : {"H2-E2", "H7-E7", "H0-G2", "H9-G7"})
            play(*window->game(), move);
        window->game()->Navigate(model::kGoToPly, 2);
        play(*window->game(), "B0-C2");
        settle();
        return window;
    }
    void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    QAction* command(const char* name) const { return frame->findChild<QAction*>(QString::fromLatin1(name)); }
    QMenu* windowMenu() const { return frame->menuTitled(QStringLiteral("&Window")); }

    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::unique_ptr<shell::CMarovinApp> app;
    CMainFrame* frame = nullptr;
    board::QtGameWindows* windows = nullptr;
    QLineEdit* input = nullptr;
};

TEST_F(Keyboard, EveryMenuUsesEachMnemonicOnce)
{
    int planted = 0;
    QMenu sample;
    sample.addAction(QStringLiteral("&Pass"));
    sample.addAction(QStringLiteral("&Play Against Engine..."));
    sample.addAction(QStringLiteral("Save && &Quit"));
    EXPECT_EQ(repeatedMnemonics(sample.actions(), "sample", planted).size(), 1) << "the walk finds a repeat";

    // With game windows open, so that the window list and the move list's menu hold items.
    board::CGameFrame* window = branchedGame();
    windows->newGame();
    settle();
    int menus = 0;
    QStringList repeated = repeatedMnemonics(frame->menuBar()->actions(), "menu bar", menus);
    QContextMenuEvent press(QContextMenuEvent::Keyboard, QPoint(5, 5), window->moveList()->viewport()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(window->moveList()->viewport(), &press);
    auto* listMenu = window->moveList()->findChild<QMenu*>(QStringLiteral("moveListMenu"));
    ASSERT_TRUE(listMenu);
    repeated << repeatedMnemonics(listMenu->actions(), "move list", menus);
    listMenu->close();
    EXPECT_EQ(repeated, QStringList()) << repeated.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(menus, 19) << "the bar, its menus, their sub-menus and the move list's menu";
    EXPECT_EQ(command("actionPlayEngine")->text(), "Play Against E&ngine...");
    EXPECT_EQ(command("actionPass")->text(), QString::fromUtf8("&Pass (和棋)"));
}

TEST_F(Keyboard, BrowsingKeysWalkTheActiveWindowWhileTheInputLineKeepsTheKeyboard)
{
    board::CGameFrame* window = branchedGame();
    board::CGameFrame* other = windows->newGame();
    play(*other->game(), "H2-E2");
    windows->bringToFront(window);
    settle();
    input->setFocus();
    ASSERT_EQ(windows->activeFrame(), window);
    ASSERT_TRUE(input->hasFocus());
    input->setText(QStringLiteral("tell"));
    struct Step {
        Qt::Key key;
        const char* shows;
        int ply;
        std::size_t boxes; // "No Branch!" so far
    };
    const Step steps[] = {
        {Qt::Key_Home, "start", 0, 0},
        {Qt::Key_End, "B0-C2", 3, 0},  // the end of the followed line
        {Qt::Key_Left, "H7-E7", 2, 0},
        {Qt::Key_Left, "H2-E2", 1, 0},
        {Qt::Key_Down, "H2-E2", 1, 1}, // nothing branches here
        {Qt::Key_Right, "H7-E7", 2, 1},
        {Qt::Key_Down, "H0-G2", 3, 1}, // the next alternative, wrapping to the main one
        {Qt::Key_Right, "H9-G7", 4, 1},
        {Qt::Key_Up, "H9-G7", 4, 2},
        {Qt::Key_Left, "H0-G2", 3, 2},
        {Qt::Key_Up, "B0-C2", 3, 2},   // the previous alternative of its own branch
        {Qt::Key_Home, "start", 0, 2},
        {Qt::Key_Left, "start", 0, 2}, // nothing before the start
    };
    for (const Step& step : steps) {
        const std::string key = QKeySequence(Qt::ALT | step.key).toString().toStdString();
        QTest::keyClick(input, step.key, Qt::AltModifier);
        settle();
        EXPECT_EQ(shown(*window->game()), step.shows) << key;
        EXPECT_EQ(window->game()->browsedPly(), step.ply) << key;
        EXPECT_EQ(desktop.boxes.size(), step.boxes) << key;
        EXPECT_TRUE(input->hasFocus()) << key;
    }
    EXPECT_EQ(input->text(), "tell") << "nothing was typed into the line";
    EXPECT_EQ(other->game()->browsedPly(), 1) << "the other window stayed where it was";

    // The position keys: Ctrl+Shift+C copies the shown one, Ctrl+Shift+V opens a window on it.
    QTest::keyClick(input, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(input, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), model::GameFen(*window->game()));
    const std::size_t opened = windows->frames().size();
    QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    ASSERT_EQ(windows->frames().size(), opened + 1);
    EXPECT_EQ(model::GameFen(*windows->activeFrame()->game()), model::GameFen(*window->game()));
    EXPECT_TRUE(input->hasFocus());
}

TEST_F(Keyboard, ShiftF6TakesTheKeyboardThroughThePanesAndBackToTheInputLine)
{
    board::CGameFrame* window = branchedGame();
    window->revealMoveList();
    settle();
    const board::MoveListSettings kept = windows->moveListSettings();
    struct Case {
        bool listShown;
        std::vector<const char*> panes; // after each Shift+F6 from the input line
    };
    const Case cases[] = {
        {true, {"gameView", "moveList", "noteField", "input"}},
        {false, {"gameView", "noteField", "input"}},
    };
    for (const Case& c : cases) {
        board::MoveListSettings settings = kept;
        settings.shown = c.listShown;
        windows->setMoveListSettings(settings, false);
        settle();
        input->setFocus();
        for (const char* pane : c.panes) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
            settle();
            QWidget* focused = QApplication::focusWidget();
            ASSERT_TRUE(focused);
            const QString name = focused == input ? QStringLiteral("input") : focused->objectName();
            EXPECT_EQ(name.toStdString(), pane) << (c.listShown ? "with" : "without") << " the move list";
        }
    }
    windows->setMoveListSettings(kept, false);

    // The board with the keyboard browses with the bare keys; Escape hands it back.
    QTest::keyClick(input, Qt::Key_F6, Qt::ShiftModifier);
    ASSERT_TRUE(window->view()->holdsKeyboard());
    QTest::keyClick(window->view(), Qt::Key_Home);
    QTest::keyClick(window->view(), Qt::Key_Right);
    EXPECT_EQ(shown(*window->game()), "H2-E2");
    EXPECT_TRUE(window->view()->hasFocus());
    QTest::keyClick(window->view(), Qt::Key_Escape);
    settle();
    EXPECT_TRUE(input->hasFocus());
    EXPECT_FALSE(window->view()->holdsKeyboard());
}

TEST_F(Keyboard, TheWindowMenuListsTheWindowsAndActivatesTheOneChosen)
{
    board::CGameFrame* first = windows->newGame();
    board::CGameFrame* second = windows->newGame();
    settle();
    // A new window leaves the title bar of the one before it in sight.
    const int title = first->widget()->geometry().top();
    EXPECT_GT(title, 0);
    EXPECT_TRUE(second->geometry().top() >= first->geometry().top() + title ||
                !second->geometry().intersects(first->geometry()));

    QMenu* menu = windowMenu();
    const QList<QAction*> items = menu->actions();
    const qsizetype arrange = items.indexOf(frame->action(QStringLiteral("actionArrangeIcons")));
    ASSERT_GE(arrange, 0);
    EXPECT_EQ(items.value(arrange + 1)->text(), "&Cascade");
    EXPECT_EQ(items.value(arrange + 2)->text(), "&Tile");

    const auto entries = [&] {
        emit menu->aboutToShow();
        QStringList shown;
        for (QAction* entry : menu->actions().mid(menu->actions().size() - 3))
            shown << (entry->isChecked() ? QStringLiteral("* ") : QStringLiteral("  ")) + entry->text();
        return shown;
    };
    EXPECT_EQ(entries(), QStringList({"  &1 Terminal window", "  &2 " + first->windowTitle(),
                                      "* &3 " + second->windowTitle()}));
    input->setFocus();
    menu->actions()[menu->actions().size() - 2]->trigger();
    settle();
    EXPECT_EQ(windows->activeFrame(), first);
    EXPECT_TRUE(input->hasFocus());
    second->showMinimized();
    settle();
    emit menu->aboutToShow();
    menu->actions().back()->trigger();
    settle();
    EXPECT_EQ(windows->activeFrame(), second);
    EXPECT_FALSE(second->isMinimized()) << "a minimised window chosen comes back";
    EXPECT_TRUE(entries().back().startsWith(QStringLiteral("* &3")));

    frame->findChild<QAction*>(QStringLiteral("actionTile"))->trigger();
    settle();
    EXPECT_FALSE(first->geometry().intersects(second->geometry())) << "tiled windows lie side by side";
    EXPECT_TRUE(input->hasFocus());
}

} // namespace
} // namespace marovin::windows
