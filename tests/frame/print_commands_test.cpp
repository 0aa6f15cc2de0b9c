// Printing in the running program (offscreen): the File menu's print items and the Edit
// menu's diagram mark follow the active game window, a marked position prints with its
// diagram, and the print and preview windows work on the active window's record.

#include <gtest/gtest.h>

#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>

#include <set>

#include "frame/client_session.h"
#include "frame/print_commands.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "running_program.h"
#include "support/fixed_text.h"
#include "testkit/pdf_text.h"

namespace marovin::windows {
namespace {

// Acts on the next modal dialog of the given kind once it is open.
template <class Dialog>
void whenOpen(bool& opened, std::function<void(Dialog&)> act)
{
    QTimer::singleShot(0, [&opened, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog) << "no dialog of the expected kind is open";
        opened = true;
        act(*dialog);
    });
}

struct PrintMenu : ::testing::Test {
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartProgram(app, desktop, folder));
        windows = app->clientSession()->gameWindows();
        commands = app->printCommands();
    }
    QAction* command(const char* name) const
    {
        return app->mainFrame()->findChild<QAction*>(QString::fromLatin1(name));
    }
    QMenu* menu(const char* title) const { return app->mainFrame()->menuTitled(QString::fromLatin1(title)); }
    // Opens a local game of alice and bob with the main line played.
    board::CGameFrame* openGame(std::initializer_list<const char*> moves)
    {
        board::CGameFrame* window = windows->newGame();
        model::CGame& game = *window->game();
        copyBounded(game.redName, "alice");
        copyBounded(game.blackName, "bob");
        for (const char* move : moves) {
            const auto squares = model::ParseCoordinateMove(move);
            game.PlayMove(squares->from, squares->to, model::MoveKind::User);
        }
        game.modified = false;
        QCoreApplication::processEvents();
        return window;
    }
    // The Edit menu brings its items up to date as it opens.
    void openEditMenu() const { emit menu("&Edit")->aboutToShow(); }

    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::unique_ptr<shell::CMarovinApp> app;
    board::QtGameWindows* windows = nullptr;
    PrintCommands* commands = nullptr;
};

TEST_F(PrintMenu, ItemsSitInTheFileMenuWithLettersOfTheirOwnAndFollowTheActiveGameWindow)
{
    const QList<QAction*> items = menu("&File")->actions();
    QStringList texts;
    std::set<QChar> letters;
    for (QAction* item : items) {
        texts << item->text().section(QLatin1Char('\t'), 0, 0);
        const qsizetype amp = item->text().indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < item->text().size()) {
            EXPECT_TRUE(letters.insert(item->text()[amp + 1].toLower()).second) << item->text().toStdString();
        }
    }
    const qsizetype print = texts.indexOf(QStringLiteral("&Print..."));
    ASSERT_GE(print, 0) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(texts.mid(print, 3), (QStringList{"&Print...", "Print Pre&view", "P&rint Setup..."}));
    EXPECT_LT(texts.indexOf(QStringLiteral("Save &As...")), print);
    EXPECT_GT(texts.indexOf(QStringLiteral("Save Settings")), print);
    EXPECT_EQ(command("actionFilePrint")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_TRUE(menu("&Edit")->actions().contains(command("actionMarkDiagram")));

    const char* const names[] = {"actionFilePrint", "actionFilePrintPreview", "actionFilePrintSetup",
                                 "actionMarkDiagram"};
    const auto enabled = [&] {
        openEditMenu();
        std::vector<bool> states;
        for (const char* name : names)
            states.push_back(command(name)->isEnabled());
        return states;
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false})) << "only the terminal is open";
    board::CGameFrame* window = openGame({});
    // The start position is always printed: it takes no mark.
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, false}));
    model::CGame& game = *window->game();
    const auto squares = model::ParseCoordinateMove("H2-E2");
    game.PlayMove(squares->from, squares->to, model::MoveKind::User);
    game.modified = false;
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true}));
    window->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false})) << "the window closed";
}

TEST_F(PrintMenu, AMarkedPositionPrintsWithItsDiagramUntilTheMarkIsTakenAway)
{
    board::CGameFrame* window = openGame({"H2-E2", "H7-E7", "B0-C2", "B9-C7"});
    model::CGame& game = *window->game();
    QAction* mark = command("actionMarkDiagram");
    game.Navigate(model::kGoToPly, 2);
    openEditMenu();
    EXPECT_FALSE(mark->isChecked());
    mark->trigger();
    EXPECT_FALSE(app->mainFrame()->statusBar()->currentMessage().isEmpty());
    openEditMenu();
    EXPECT_TRUE(mark->isChecked());
    game.Navigate(model::kGoToPly, 3);
    openEditMenu();
    EXPECT_FALSE(mark->isChecked()) << "another position is not marked";
    game.Navigate(model::kGoToPly, 2);
    openEditMenu();
    EXPECT_TRUE(mark->isChecked());

    const std::string marked = folder.file("marked.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(marked));
    ASSERT_GE(commands->print(*window, printer), 1);
    const auto text = testkit::PdfText(marked);
    ASSERT_TRUE(text) << "pdftotext (poppler-utils) could not read the printed file";
    for (const char* wanted : {"alice", "bob", "炮二平五", "包８平５", "傌八進七", "馬２進３", "起始局面",
                               "1. ... 包８平５", "2. ... 馬２進３"})
        EXPECT_NE(text->find(wanted), std::string::npos) << wanted << " is missing from:\n" << *text;

    mark->trigger(); // the same position: the mark goes
    openEditMenu();
    EXPECT_FALSE(mark->isChecked());
    EXPECT_EQ(commands->documentOf(*window).diagrams.size(), 2u) << "the start and the end";
}

TEST_F(PrintMenu, PrintAndPreviewWorkOnTheActiveWindowsRecord)
{
    board::CGameFrame* window = openGame({"H2-E2", "H7-E7"});
    bool previewed = false;
    int pages = 0;
    whenOpen<QPrintPreviewDialog>(previewed, [&pages](QPrintPreviewDialog& dialog) {
        if (auto* view = dialog.findChild<QPrintPreviewWidget*>())
            pages = view->pageCount();
        dialog.reject();
    });
    command("actionFilePrintPreview")->trigger();
    EXPECT_TRUE(previewed);
    EXPECT_EQ(pages, 1);

    // Printing to a file chosen in the print window writes the same record.
    const std::string pdf = folder.file("printed.pdf");
    commands->printer().setOutputFormat(QPrinter::PdfFormat);
    commands->printer().setOutputFileName(QString::fromStdString(pdf));
    bool asked = false;
    whenOpen<QPrintDialog>(asked, [](QPrintDialog& dialog) { dialog.accept(); });
    command("actionFilePrint")->trigger();
    EXPECT_TRUE(asked);
    const auto text = testkit::PdfText(pdf);
    ASSERT_TRUE(text) << "nothing was printed to " << pdf;
    EXPECT_NE(text->find("包８平５"), std::string::npos) << *text;
    EXPECT_EQ(window->game()->browsedPly(), 2) << "printing leaves the window where it was";
}

} // namespace
} // namespace marovin::windows
