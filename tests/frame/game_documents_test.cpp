// Game windows as documents in the running program (offscreen): opening, editing a note,
// saving and reopening a file; a new game saved under a name; a file read only in part and
// a file that cannot be written; and the window commands for sizes, places and the next
// window.

#include "../game_window/mouse_gestures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QStandardPaths>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <memory>

#include "game_window/game_command_rules.h"
#include "game_window/game_frame.h"
#include "game_window/quit_game_dialog.h"
#include "game_window/qt_game_windows.h"
#include "model/fen.h"
#include "model/game_file.h"
#include "model/position_editor.h"
#include "frame/application.h"
#include "running_program.h"
#include "frame/client_session.h"
#include "terminal/input_bar.h"
#include "support/big5.h"
#include "support/fixed_text.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "frame/game_documents.h"
#include "frame/game_file_dialog.h"
#include "frame/main_frame.h"
#include "frame/recent_files.h"

namespace marovin::windows {
namespace {

using board::CGameFrame;

const std::string kGame = "GAME\r\n"
                          "TIME    600\t10\t431\t389\r\n"
                          "SUBJECT Club final\r\n"
                          "RESULT  1-0\r\n"
                          "RED     alice; 1510\r\n"
                          "BLACK   bob; 1495\r\n"
                          "DATE    2024-03-05\r\n"
                          "PLACE   Taipei\r\n"
                          "START\r\n"
                          "H2-E2\r\n"
                          "H9-G7\r\n"
                          "H0-G2\r\n";

struct Documents : ::testing::Test {
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartProgram(app, desktop, folder));
        documents = app->gameDocuments();
        documents->setFileChooser([this](const QString& title, const QString& start, bool) {
            asked << title;
            starts << start;
            return std::exchange(answer, {});
        });
        windows = app->clientSession()->gameWindows();
    }
    void TearDown() override
    {
        // Nothing is left to ask about when the program ends.
        for (CGameFrame* window : windows->frames())
            if (window->game())
                window->game()->modified = false;
    }
    // A command of the main frame, its enabled state brought up to date first (the frame
    // does it once the event that changed something has been handled).
    QAction* command(const char* name) const
    {
        QCoreApplication::processEvents();
        return app->mainFrame()->action(QString::fromLatin1(name));
    }
    QString path(const char* name) const { return QString::fromStdString(folder.file(name)); }
    CGameFrame* active() const { return windows->activeFrame(); }

    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::unique_ptr<shell::CMarovinApp> app;
    GameDocuments* documents = nullptr;
    board::QtGameWindows* windows = nullptr;
    QStringList asked;  // titles of the file choosers shown
    QStringList starts; // and where each started
    QStringList answer; // what the next one answers
};

TEST_F(Documents, AFileIsOpenedItsNoteEditedSavedAndReopened)
{
    const QString file = QString::fromStdString(folder.write("club.gam", kGame));
    CGameFrame* window = documents->openFile(file);
    ASSERT_TRUE(window);
    model::CGame& game = *window->game();
    EXPECT_EQ(window->windowTitle(), "club.gam");
    EXPECT_EQ(game.pathLength(), 3);
    EXPECT_FALSE(game.modified);
    EXPECT_EQ(window->size(), QSize(597, 445)) << "the looking size of a screen below 950 pixels";
    EXPECT_TRUE(command("actionHeader")->isEnabled());
    EXPECT_FALSE(command("actionResign")->isEnabled());

    game.Navigate(model::kGoToPly, 1);
    window->notePane()->field()->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(window->notePane()->field(), "good move");
    EXPECT_TRUE(game.modified);
    command("actionFileSave")->trigger();
    EXPECT_TRUE(asked.isEmpty()) << "the window's own file";
    EXPECT_FALSE(game.modified);
    EXPECT_NE(testkit::TempFolder::read(file.toStdString()).find("ggood move"), std::string::npos);
    EXPECT_EQ(app->recentFiles()->entries().value(0), file);
    EXPECT_EQ(fieldText(app->options().lastGameFilePath), file.toStdString());

    EXPECT_EQ(documents->openFile(file), window) << "a file already open is shown, not opened again";
    command("actionFileClose")->trigger();
    QTRY_VERIFY(windows->frames().empty());

    // The recent file list opens it again, note and all.
    QMenu* recent = app->mainFrame()->findChild<QMenu*>(QStringLiteral("recentFileMenu"));
    ASSERT_TRUE(recent && !recent->actions().isEmpty());
    recent->actions().front()->trigger();
    ASSERT_EQ(windows->frames().size(), 1u);
    model::CGame& again = *windows->frames().front()->game();
    again.Navigate(model::kGoToPly, 1);
    EXPECT_EQ(again.currentEntry().noteText(), "good move");
    EXPECT_EQ(windows->frames().front()->notePane()->field()->toPlainText(), "good move");
}

TEST_F(Documents, ANewGameAsksForANameAndAFileReadInPartIsNotSavedOver)
{
    command("actionFileNew")->trigger();
    CGameFrame* fresh = active();
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->windowTitle().endsWith(" (not saved)")) << fresh->windowTitle().toStdString();
    fresh->game()->PlayMove(70, 67, model::MoveKind::User);
    answer = {path("new.gam")};
    command("actionFileSave")->trigger();
    EXPECT_EQ(asked, QStringList{"Save As"});
    EXPECT_EQ(fresh->windowTitle(), "new.gam");
    EXPECT_EQ(testkit::TempFolder::read(folder.file("new.gam")).find("GAME\r\n"), 0u);
    EXPECT_NE(testkit::TempFolder::read(folder.file("new.gam")).find("CSTART\r\n"), std::string::npos)
        << "the new format is the default";

    // A stray "}" stops the reading after two moves; a last line without its line end is
    // left unread. Either window shows what was read, says so, and is not saved over its file.
    const std::string twoMoves = kGame.substr(0, kGame.find("H0-G2"));
    const std::pair<std::string, std::string> broken[] = {{"brace.gam", twoMoves + "}\r\nH0-G2\r\n"},
                                                          {"unended.gam", twoMoves + "H0-G2"}};
    for (const auto& [name, text] : broken) {
        SCOPED_TRACE(name);
        const QString file = QString::fromStdString(folder.write(name, text));
        CGameFrame* partial = documents->openFile(file);
        ASSERT_TRUE(partial);
        EXPECT_EQ(partial->game()->pathLength(), 2);
        EXPECT_TRUE(partial->windowTitle().endsWith(" (read in part)")) << partial->windowTitle().toStdString();
        EXPECT_TRUE(partial->filePath().isEmpty());
        asked.clear();
        command("actionFileSave")->trigger(); // cancelled
        EXPECT_EQ(asked, QStringList{"Save As"}) << "saving asks for a name";
        EXPECT_EQ(testkit::TempFolder::read(file.toStdString()), text);
    }

    // Nothing at all comes of a file that is not a game: no window stays.
    const std::size_t before = windows->frames().size();
    EXPECT_EQ(documents->openFile(QString::fromStdString(folder.write("notes.txt", "hello\r\n"))), nullptr);
    EXPECT_EQ(windows->frames().size(), before);
    EXPECT_EQ(desktop.boxes.back(), "Wrong game file: " + folder.file("notes.txt"));
}

TEST_F(Documents, MergeGoesIntoTheWindowOrIntoFilesAndTheRecordWindowOpens)
{
    CGameFrame* window = documents->openFile(QString::fromStdString(folder.write("club.gam", kGame)));
    ASSERT_TRUE(window);
    // A left-side cannon opening with a note: mirrored, it joins the window's H2-E2.
    const QString left = QString::fromStdString(folder.write(
        "left.gam", "GAME\r\nSTART\r\nB2-E2\r\n#from the left\r\nB9-C7\r\nB0-C2\r\nI9-I8\r\n"));
    app->options().mergeAppendNotes = 1;
    ASSERT_TRUE(command("actionMergeGame")->isEnabled());
    documents->setMergeChooser([&](CGameFrame&, const QString& start) {
        EXPECT_EQ(start, window->windowTitle() == "club.gam" ? path("club.gam") : start);
        return GameDocuments::MergeChoice{-1, {left}};
    });
    command("actionMergeGame")->trigger();
    model::CGame& game = *window->game();
    const model::BranchPoint& first = *game.root().alternatives[0].continuation;
    ASSERT_EQ(first.count(), 1) << "one opening";
    EXPECT_EQ(first.alternatives[0].entries[0].noteText(), "from the left");
    EXPECT_EQ(game.pathLength(), 4) << "H2-E2 H9-G7 H0-G2 A9-A8: the whole game is mirrored";
    EXPECT_TRUE(game.modified);
    EXPECT_EQ(fieldText(app->options().lastGameFilePath), left.toStdString());

    // Into a file: the file takes the window's moves, written in the stored form.
    const QString target = QString::fromStdString(folder.write("target.gam", "GAME\r\nSTART\r\nC3-C4\r\n"));
    app->options().saveNewFormat = 0;
    documents->setMergeChooser([&](CGameFrame&, const QString&) { return GameDocuments::MergeChoice{+1, {target}}; });
    command("actionMergeGame")->trigger();
    const std::string written = testkit::TempFolder::read(target.toStdString());
    for (const char* move : {"C3-C4", "H2-E2", "H0-G2", "A9-A8"})
        EXPECT_NE(written.find(move), std::string::npos) << move << "\n" << written;
    EXPECT_NE(written.find("#from the left"), std::string::npos);

    // Cancelled: nothing changes.
    documents->setMergeChooser([](CGameFrame&, const QString&) { return GameDocuments::MergeChoice{}; });
    command("actionMergeGame")->trigger();
    EXPECT_EQ(testkit::TempFolder::read(target.toStdString()), written);

    // F12 opens the record of the window's game.
    QAction* textRecord = command("actionTextRecord");
    ASSERT_TRUE(textRecord->isEnabled());
    QString shownRecord;
    QTimer::singleShot(0, [&] {
        auto* record = window->findChild<QDialog*>(QStringLiteral("textRecordWindow"));
        if (!record)
            return;
        shownRecord = record->windowTitle() + record->findChild<QPlainTextEdit*>()->toPlainText();
        record->reject();
    });
    textRecord->trigger();
    EXPECT_TRUE(shownRecord.startsWith(QStringLiteral("文字棋譜"))) << shownRecord.toStdString();
    EXPECT_TRUE(shownRecord.contains(QStringLiteral("炮二平五"))) << shownRecord.toStdString();
}

// While the pieces are being set up the record still holds the old start: Save and Save
// As say to finish first and write nothing, the set-up stays unsaved (closing asks), and
// after Finish the game saves with its position.
TEST_F(Documents, SavingWaitsUntilTheSetUpIsFinished)
{
    command("actionFileNew")->trigger();
    CGameFrame* window = active();
    ASSERT_TRUE(window);
    model::CGame& game = *window->game();
    window->runCommand(board::GameCommand::SetupPosition);
    ASSERT_EQ(game.mode, model::kModeEditing);
    board::CGameView& view = *window->view();
    view.editButton(model::kEditAllPiecesId)->click();
    view.editButton(model::kEditBlackTurnId)->click();
    QTest::mouseClick(&view, Qt::RightButton, {}, board::testing::squarePoint(view, 81)); // Red's chariot off
    QCoreApplication::processEvents();
    ASSERT_EQ(game.browsedBoard[81], 0);
    EXPECT_TRUE(game.modified);

    answer = {path("setup.gam")};
    for (const char* name : {"actionFileSave", "actionFileSaveAs"}) {
        SCOPED_TRACE(name);
        desktop.boxes.clear();
        command(name)->trigger();
        EXPECT_EQ(desktop.boxes, std::vector<std::string>{std::string(model::kEditSaveRefusal)});
        EXPECT_TRUE(asked.isEmpty()) << "no name is asked for";
        EXPECT_TRUE(game.modified);
        EXPECT_FALSE(QFileInfo::exists(path("setup.gam")));
    }

    QString reason = QStringLiteral("not asked");
    QAction* close = command("actionFileClose");
    QTimer::singleShot(0, [&reason] {
        auto* dialog = qobject_cast<board::CQuitGameDlg*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        reason = dialog->reasonLine()->text();
        dialog->stayButton()->click();
    });
    close->trigger();
    EXPECT_EQ(reason, "") << "closing asks before the set-up goes";
    ASSERT_EQ(windows->frames().size(), 1u);
    EXPECT_EQ(game.mode, model::kModeEditing);

    view.editButton(model::kEditFinishId)->click();
    ASSERT_EQ(game.mode, model::kModeNormal);
    command("actionFileSave")->trigger();
    EXPECT_EQ(asked, QStringList{"Save As"});
    EXPECT_FALSE(game.modified);
    const std::string written = testkit::TempFolder::read(folder.file("setup.gam"));
    const std::size_t position = written.find("POSITION B");
    ASSERT_NE(position, std::string::npos) << written;
    EXPECT_EQ(written.substr(position + 9 + 22, 2), "z{") << "one Red chariot (22) on square 89, the other (23) off";
}

TEST_F(Documents, AFileThatCannotBeWrittenLeavesTheGameModified)
{
    command("actionFileNew")->trigger();
    CGameFrame* window = active();
    window->game()->PlayMove(70, 67, model::MoveKind::User);
    const QString unwritable = path("no-such-folder/game.gam");
    EXPECT_FALSE(documents->saveTo(*window, unwritable));
    EXPECT_EQ(desktop.boxes.back(), "Can not write file: " + unwritable.toStdString());
    EXPECT_TRUE(window->game()->modified);
    EXPECT_TRUE(window->filePath().isEmpty());
}

TEST_F(Documents, FilesFromTheCommandLineOrDroppedOpenAndTheWindowCommandsPlaceThem)
{
    const std::string first = folder.write("one.gam", kGame);
    app->openFiles({first});
    ASSERT_EQ(windows->frames().size(), 1u);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.write("two.gam", kGame)))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(app->mainFrame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(app->mainFrame(), &drop);
    ASSERT_EQ(windows->frames().size(), 2u);
    CGameFrame* two = active();
    EXPECT_EQ(two->windowTitle(), "two.gam");

    // Alt+3 keeps the left edge and gives the small size.
    two->move(200, 40);
    command("actionSmallSize")->trigger();
    EXPECT_EQ(two->geometry(), QRect(200, 0, 300, 364));
    command("actionStorePlayingSize")->trigger();
    EXPECT_EQ(board::appliedSize(app->options().playingSize, 0), (board::WindowRect{0, 0, 300, 364}));

    shell::CInputBar* bar = app->mainFrame()->inputBar();
    const int areaWidth = app->mainFrame()->mdiArea()->viewport()->width();
    QCoreApplication::processEvents();
    bar->gameButton(shell::kWindowRightId)->trigger();
    EXPECT_EQ(two->x() + two->width(), areaWidth);
    bar->gameButton(shell::kWindowCentreId)->trigger();
    EXPECT_EQ(two->x(), (areaWidth - 300) / 2);
    bar->gameButton(shell::kWindowLeftId)->trigger();
    EXPECT_EQ(two->x(), 3);

    // Next goes round the game windows.
    bar->gameButton(shell::kNextWindowButtonId)->trigger();
    EXPECT_EQ(active()->windowTitle(), "one.gam");
    command("actionNextWindow")->trigger();
    EXPECT_EQ(active(), two);
}

TEST_F(Documents, F6GivesTheMoveListTheKeyboardAndTheWindowMenuHidesIt)
{
    CGameFrame* window = documents->openFile(QString::fromStdString(folder.write("club.gam", kGame)));
    ASSERT_TRUE(window);
    command("actionSmallSize")->trigger(); // the board alone: no room beside it
    QCoreApplication::processEvents();
    const int boardPane = window->splitter()->sizes().value(0);
    ASSERT_EQ(window->splitter()->sizes().value(1), 0);

    ASSERT_EQ(fieldText(app->options().fastKeyText[5]), "") << "fast key F6 holds no text";
    QTest::keyClick(app->mainFrame(), Qt::Key_F6);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->moveList()->hasFocus());
    EXPECT_GE(window->moveList()->width(), 120) << "the window made room for the list";
    EXPECT_EQ(window->splitter()->sizes().value(0), boardPane) << "and left the board as it was";
    QTest::keyClick(window->moveList(), Qt::Key_End);
    EXPECT_EQ(window->game()->browsedPly(), 3);
    QTest::keyClick(window->moveList(), Qt::Key_Escape);
    QTRY_VERIFY(app->mainFrame()->inputBar()->inputLine()->hasFocus());

    command("actionMoveList")->trigger();
    EXPECT_FALSE(window->moveList()->isVisible());
    EXPECT_FALSE(board::loadMoveListSettings().shown) << "kept for the next start";
    command("actionMoveList")->trigger();
    EXPECT_TRUE(window->moveList()->isVisible());
    EXPECT_TRUE(board::loadMoveListSettings().shown);
}

} // namespace
} // namespace marovin::windows

namespace marovin::windows {
namespace {

TEST_F(Documents, APgnFileShowsItsFirstGameAndOffersTheOthers)
{
    const QString file = QString::fromStdString(folder.write(
        "games.pgn", "\xEF\xBB\xBF[Event \"Club final\"]\r\n[Red \"alice\"]\r\n[Black \"bob\"]\r\n[Result \"1-0\"]\r\n\r\n"
                     "{opening} 1. C2.5 H8+7 (1... C8.5) 2. H2+3 1-0\r\n\r\n"
                     "[Event \"second\"]\n1. h2e2 *\n\n"
                     "[Event \"third\"]\n1. 炮二平五 馬８進７ 2. 炮五進五 *\n"));
    QStringList offered;
    documents->setPgnChooser([&](const QString& name, const QStringList& titles) {
        EXPECT_EQ(name, "games.pgn");
        offered = titles;
        return QList<int>{2};
    });
    const int before = static_cast<int>(windows->frames().size());
    CGameFrame* first = documents->openFile(file);
    ASSERT_TRUE(first);
    EXPECT_EQ(offered, (QStringList{"1. alice - bob, Club final, 1-0", "2. second", "3. third"}));
    ASSERT_EQ(static_cast<int>(windows->frames().size()), before + 2) << "the first game and the one chosen";
    EXPECT_EQ(active(), first);
    EXPECT_EQ(first->windowTitle(), "Club final (not saved)");
    EXPECT_EQ(first->game()->pathLength(), 3);
    EXPECT_EQ(first->game()->root().alternatives[0].entries[0].noteText(), "opening");
    EXPECT_TRUE(first->filePath().isEmpty()) << "saving must not write over the PGN file";

    CGameFrame* third = windows->frames().front(); // newest first
    ASSERT_NE(third, first);
    EXPECT_EQ(third->windowTitle(), "third (read in part)");
    EXPECT_EQ(third->game()->pathLength(), 2) << "the moves before the bad one";
    ASSERT_FALSE(desktop.boxes.empty());
    EXPECT_EQ(desktop.boxes.back(),
              utf8ToBig5("The PGN game cannot be read to its end (games.pgn, game 3): line 12: move 2 by Red "
                         "(炮五進五): not a legal move\nThe window shows the moves before it."));

    // Save asks for a name and writes a game file there; the PGN file stays as it was.
    const std::string pgnBefore = testkit::TempFolder::read(file.toStdString());
    answer = {path("club.gam")};
    app->mainFrame()->mdiArea()->setActiveSubWindow(first);
    command("actionFileSave")->trigger();
    EXPECT_EQ(asked.value(0), "Save As");
    EXPECT_EQ(testkit::TempFolder::read(file.toStdString()), pgnBefore);
    EXPECT_NE(testkit::TempFolder::read(path("club.gam").toStdString()).find("SUBJECT Club final\r\n"),
              std::string::npos);

    // Saved under a .pgn name it is written as PGN, and opens again as it was.
    answer = {path("copy.pgn")};
    command("actionFileSaveAs")->trigger();
    const std::string pgn = testkit::TempFolder::read(path("copy.pgn").toStdString());
    EXPECT_TRUE(pgn.starts_with("[Game \"Chinese Chess\"]\n[Event \"Club final\"]\n")) << pgn;
    EXPECT_NE(pgn.find("\n\n{opening} 1. h2e2 h9g7 (1... h7e7) 2. h0g2 1-0\n"), std::string::npos) << pgn;
    CGameFrame* again = documents->openFile(path("copy.pgn"));
    ASSERT_TRUE(again);
    EXPECT_NE(again, first);
    EXPECT_EQ(model::PgnText(*again->game(), model::MoveNotation::Iccs), pgn);
}

TEST_F(Documents, PositionsGoToTheClipboardAsFenAndComeBackAsNewGames)
{
    const QString file = QString::fromStdString(folder.write("club.gam", kGame));
    CGameFrame* window = documents->openFile(file);
    ASSERT_TRUE(window);
    window->game()->Navigate(model::kGoToPly, 2);
    ASSERT_TRUE(command("actionEditCopyPosition")->isEnabled());
    command("actionEditCopyPosition")->trigger();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text(), "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 2 2");
    EXPECT_TRUE(copied->html().startsWith("<pre>")) << copied->html().toStdString();
    // The game's window shows Black at the bottom (no login name), and so does the diagram.
    EXPECT_TRUE(copied->html().contains(QString::fromUtf8("\n車─┴─象─士─將─士─象─馬─車")))
        << copied->html().toStdString();

    const struct {
        const char* clipboard;
        const char* fen; // the new window's position, or null when refused
        const char* box;
    } cases[] = {
        {"  3k5/9/9/9/9/9/9/9/9/4K4 b - - 0 1\n", "3k5/9/9/9/9/9/9/9/9/4K4 b - - 0 1", nullptr},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1", nullptr},
        {"9/9/9/9/9/9/9/9/9/9 w", nullptr,
         "The clipboard holds no position that a game can start from: no generals"},
        {"3k5/9/9/9/9/9/9/9/4P4/4K4 w", nullptr,
         "The clipboard holds no position that a game can start from: the Red soldier on E1 stands where it may not"},
        {"", nullptr, "The clipboard holds no text to take a position from."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clipboard);
        QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        desktop.boxes.clear();
        const std::size_t before = windows->frames().size();
        ASSERT_TRUE(command("actionEditPastePosition")->isEnabled());
        command("actionEditPastePosition")->trigger();
        if (!c.fen) {
            EXPECT_EQ(windows->frames().size(), before);
            EXPECT_EQ(desktop.boxes, std::vector<std::string>{c.box});
            continue;
        }
        ASSERT_EQ(windows->frames().size(), before + 1);
        EXPECT_TRUE(desktop.boxes.empty());
        EXPECT_EQ(model::GameFen(*active()->game()), c.fen);
        EXPECT_EQ(active()->game()->pathLength(), 0);
        EXPECT_EQ(active()->windowTitle(), "Position from the clipboard (not saved)") << "a caption of its own";
    }
    // Saved, it is named by its file.
    answer = {path("pasted.gam")};
    command("actionFileSaveAs")->trigger();
    EXPECT_EQ(active()->windowTitle(), "pasted.gam");
}

// Open and Save As start in the folder of the last game file, else in a games folder of
// the user's documents (never the working folder), propose a game file and offer game
// files, PGN and all files.
TEST_F(Documents, TheFileDialogsStartInTheLastGameFolderAndProposeAGameFile)
{
    const QString games =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(QStringLiteral("Games"));
    CGameFrame* window = documents->newGame();
    ASSERT_TRUE(window);
    copyBounded(window->game()->subject, "ann/bob.1");
    command("actionFileSaveAs")->trigger();
    ASSERT_EQ(starts.size(), 1);
    EXPECT_EQ(starts.back(), games + QStringLiteral("/ann-bob.1.gam"));

    QDir(path("")).mkpath(QStringLiteral("kept"));
    answer = {path("kept/final.pgn")};
    command("actionFileSaveAs")->trigger();
    ASSERT_EQ(window->filePath(), path("kept/final.pgn"));
    command("actionFileOpen")->trigger();
    EXPECT_EQ(starts.back(), path("kept")) << "the folder of the last file";
    command("actionFileSaveAs")->trigger();
    EXPECT_EQ(starts.back(), path("kept/final.pgn")) << "a window's own file is proposed again";
    EXPECT_EQ(gameFileFolder(path("gone/x.gam"), path("docs")), path("docs/Games")) << "a folder that went away";
    EXPECT_EQ(gameFileFolder({}, path("docs")), path("docs/Games"));

    // The dialogs themselves: the folder is made, the filters offered, the extension follows
    // the chosen filter.
    const auto save = makeGameFileDialog(app->mainFrame(), QStringLiteral("Save As"), path("new/a.1.gam"), true);
    EXPECT_EQ(save->directory().absolutePath(), path("new"));
    EXPECT_EQ(save->nameFilters(), QStringList({"Game files (*.gam)", "PGN files (*.pgn)", "All files (*)"}));
    EXPECT_EQ(save->selectedNameFilter(), QStringLiteral("Game files (*.gam)"));
    EXPECT_EQ(save->defaultSuffix(), QStringLiteral("gam"));
    save->setOption(QFileDialog::DontUseNativeDialog);
    save->show();
    auto* types = save->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_TRUE(types);
    QTest::keyClick(types, Qt::Key_Down);
    EXPECT_EQ(save->defaultSuffix(), QStringLiteral("pgn"));
    save->hide();
    const auto pgn = makeGameFileDialog(app->mainFrame(), QStringLiteral("Save As"), path("kept/final.pgn"), true);
    EXPECT_EQ(pgn->selectedNameFilter(), QStringLiteral("PGN files (*.pgn)"));
    const auto open = makeGameFileDialog(app->mainFrame(), QStringLiteral("Open"), path("kept"), false);
    EXPECT_EQ(open->directory().absolutePath(), path("kept"));
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(open->nameFilters(), save->nameFilters());
}

} // namespace
} // namespace marovin::windows
