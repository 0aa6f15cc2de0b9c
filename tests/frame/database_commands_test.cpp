// The game database in the running program (offscreen): the explorer pane beside a game
// window's board follows the position and plays a clicked move, the import dialog works
// while the window goes on and cancels cleanly, and the search window opens a game.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "database/game_import.h"
#include "frame/application.h"
#include "running_program.h"
#include "frame/client_session.h"
#include "frame/database_commands.h"
#include "frame/main_frame.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "windows/database_import_dialog.h"
#include "windows/database_search_window.h"

namespace marovin::windows {
namespace {

// A and C reach one position in two move orders; D has A's third move as a side line.
const std::string kGames = "[Red \"alice\"]\n[Result \"1-0\"]\n\n1. h2e2 h9g7 2. b0c2 1-0\n\n"
                           "[Red \"bob\"]\n[Result \"0-1\"]\n\n1. h2e2 h7e7 0-1\n\n"
                           "[Red \"carol\"]\n[Result \"1/2-1/2\"]\n\n1. b0c2 h9g7 2. h2e2 1/2-1/2\n\n"
                           "[Red \"dave\"]\n[Result \"1-0\"]\n\n1. h2e2 h9g7 2. h0g2 (2. b0c2 i9h9) 1-0\n\n";

struct DatabaseUse : ::testing::Test {
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartProgram(app, desktop, folder));
        windows = app->clientSession()->gameWindows();
        commands = app->databaseCommands();
        ASSERT_TRUE(commands);
    }
    void TearDown() override
    {
        for (board::CGameFrame* window : windows->frames())
            if (window->game())
                window->game()->modified = false;
    }
    // A database holding texts (PGN), made through the library as another program would.
    std::string makeDatabase(const std::string& name, const std::string& pgn)
    {
        const std::string path = folder.file(name);
        std::string error;
        auto db = database::GameDatabase::open(path, error);
        EXPECT_TRUE(db) << error;
        database::ImportPort quiet;
        database::GameImporter importer(*db, quiet);
        EXPECT_TRUE(importer.begin(error));
        importer.importPgnText(pgn, "games.pgn");
        EXPECT_TRUE(importer.finish().ok());
        return path;
    }
    QAction* command(const char* name) const
    {
        QCoreApplication::processEvents();
        return app->mainFrame()->findChild<QAction*>(QString::fromLatin1(name));
    }
    static QStringList rows(const QTreeWidget& list)
    {
        QStringList texts;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list.topLevelItem(i);
            texts << item->toolTip(0) + QLatin1Char(' ') + item->text(1) +
                         QLatin1Char(' ') + item->text(2) + QLatin1Char(' ') + item->text(3) + QLatin1Char(' ') +
                         item->text(4);
        }
        return texts;
    }
    static void click(QTreeWidget& list, int row)
    {
        const QRect place = list.visualItemRect(list.topLevelItem(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, place.center());
    }

    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::unique_ptr<shell::CMarovinApp> app;
    board::QtGameWindows* windows = nullptr;
    DatabaseCommands* commands = nullptr;
};

TEST_F(DatabaseUse, TheExplorerFollowsThePositionAndPlaysAClickedMove)
{
    ASSERT_TRUE(commands->chooseDatabase(QString::fromStdString(makeDatabase("games.mdb.sqlite", kGames))));
    board::CGameFrame* window = windows->newGame();
    ASSERT_TRUE(window);
    QTest::qWait(20);
    const int boardWidth = window->view()->width();
    QAction* explorer = command("actionExplorer");
    ASSERT_TRUE(explorer && explorer->isEnabled());
    explorer->trigger();
    board::ExplorerPane* pane = window->explorer();
    ASSERT_TRUE(pane->isVisible());
    EXPECT_TRUE(explorer->isChecked());
    EXPECT_EQ(window->view()->width(), boardWidth) << "the explorer takes its room from the note, not the board";
    QTest::qWait(20);
    EXPECT_EQ(rows(*pane->list()), QStringList({"H2-E2 3 2 0 1", "B0-C2 1 0 1 0"}));
    EXPECT_TRUE(pane->titleText().contains("games.mdb.sqlite")) << pane->titleText().toStdString();

    click(*pane->list(), 0); // H2-E2
    model::CGame& game = *window->game();
    EXPECT_EQ(game.browsedPly(), 1);
    QTest::qWait(20); // the list has followed within 20 ms
    EXPECT_EQ(rows(*pane->list()), QStringList({"H9-G7 2 2 0 0", "H7-E7 1 0 0 1"}));
    EXPECT_NE(QApplication::focusWidget(), pane->list()) << "the input line keeps the keyboard";

    // Back at the start, the other first move becomes a side line beside the one played.
    game.Navigate(model::kGoToStart);
    QTest::qWait(20);
    click(*pane->list(), 1); // B0-C2
    ASSERT_TRUE(game.root().alternatives[0].continuation);
    const model::BranchPoint& first = *game.root().alternatives[0].continuation;
    ASSERT_EQ(first.count(), 2);
    EXPECT_EQ(model::FormatCoordinateMove(first.alternatives[0].entries[0].move.from,
                                          first.alternatives[0].entries[0].move.to),
              "H2-E2");
    QTest::qWait(20);
    EXPECT_EQ(rows(*pane->list()), QStringList({"H9-G7 1 0 1 0"}));

    explorer->trigger();
    EXPECT_FALSE(pane->isVisible());
}

TEST_F(DatabaseUse, ImportRunsBesideTheWindowsAndCancelLeavesTheDatabase)
{
    const std::string path = makeDatabase("games.sqlite", kGames);
    ASSERT_TRUE(commands->chooseDatabase(QString::fromStdString(path)));
    const auto games = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += "[Event \"club " + std::to_string(i) + "\"]\n\n1. h2e2 h9g7 2. h0g2 *\n\n";
        return text;
    };
    folder.write("many.pgn", games(3000) + "[Event \"broken\"]\n\n1. h2e2 h2e2 *\n");
    folder.write("more.pgn", games(20000));

    QPointer<ImportDialog> cancelled = commands->importPaths({QString::fromStdString(folder.file("more.pgn"))});
    ASSERT_TRUE(cancelled);
    EXPECT_TRUE(cancelled->isVisible());
    cancelled->button()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!cancelled, 20000); // it closes once the import has stopped
    EXPECT_EQ(commands->database()->gameCount(), 4);

    board::CGameFrame* window = windows->newGame();
    ASSERT_TRUE(window);
    QTest::qWait(20);
    QPointer<ImportDialog> dialog = commands->importPaths({QString::fromStdString(folder.file("many.pgn"))});
    ASSERT_TRUE(dialog);
    const QRect board(window->view()->mapToGlobal(QPoint(0, 0)), window->view()->size());
    EXPECT_FALSE(dialog->frameGeometry().intersects(board)) << "the dialog leaves the board in sight";
    // The program goes on meanwhile: the game window answers.
    window->game()->PlayMove(64, 67, model::MoveKind::User);
    QTest::qWait(20);
    EXPECT_EQ(window->game()->browsedPly(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->running(), 60000);
    EXPECT_EQ(dialog->countsText(), "3000 games added, 0 already stored, 1 bad");
    EXPECT_TRUE(dialog->problemsText().contains("many.pgn:12003, game 3001")) << dialog->problemsText().toStdString();
    EXPECT_EQ(dialog->progressBar()->value(), dialog->progressBar()->maximum());
    EXPECT_EQ(commands->database()->gameCount(), 3004);
    dialog->button()->click();
}

TEST_F(DatabaseUse, SearchFindsGamesAndOpensThem)
{
    ASSERT_TRUE(commands->chooseDatabase(QString::fromStdString(makeDatabase("games.sqlite", kGames))));
    SearchWindow* search = commands->showSearch();
    ASSERT_TRUE(search && search->isVisible());
    EXPECT_EQ(search->windowTitle(), "Search Game Database");
    search->playerField()->setText("CAR");
    search->search();
    ASSERT_EQ(search->results()->topLevelItemCount(), 1);
    EXPECT_EQ(search->results()->topLevelItem(0)->text(2), "carol");

    // The position of the active window, reached in two move orders.
    board::CGameFrame* window = windows->newGame();
    ASSERT_TRUE(window);
    model::CGame& game = *window->game();
    for (const char* move : {"H2-E2", "H9-G7", "B0-C2"}) {
        const auto squares = model::ParseCoordinateMove(move);
        game.PlayMove(squares->from, squares->to, model::MoveKind::User);
    }
    QTest::qWait(20);
    search->playerField()->clear();
    search->positionChoice()->setChecked(true);
    search->search();
    QStringList reds;
    for (int i = 0; i < search->results()->topLevelItemCount(); ++i)
        reds << search->results()->topLevelItem(i)->text(2);
    EXPECT_EQ(reds, QStringList({"alice", "carol", "dave"}));

    const std::size_t before = windows->frames().size();
    emit search->results()->itemActivated(search->results()->topLevelItem(1), 0);
    QTest::qWait(20);
    ASSERT_EQ(windows->frames().size(), before + 1);
    board::CGameFrame* opened = windows->activeFrame();
    ASSERT_TRUE(opened && opened != window && opened->game());
    EXPECT_EQ(std::string(opened->game()->redName), "carol");
    EXPECT_EQ(opened->game()->pathLength(), 3);
    EXPECT_EQ(search->results()->topLevelItemCount(), 3) << "the list stays for the next game to open";
}

} // namespace
} // namespace marovin::windows
