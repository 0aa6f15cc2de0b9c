// The engine's commands in the running program (offscreen): analysis toggled on the active game
// window from the menu and the tool bar, play against the engine through its dialog, and
// the settings dialog that refuses a missing program and writes the engine file.

#include <gtest/gtest.h>

#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "engine/engine_settings.h"
#include "frame/application.h"
#include "running_program.h"
#include "frame/client_session.h"
#include "support/paths.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "game_window/engine_dialogs.h"
#include "frame/main_frame.h"

namespace marovin::windows {
namespace {

constexpr int kWaitMs = 20000;

// Acts on the next modal dialog of the given kind once it is open.
template <class Dialog>
void whenOpen(std::function<void(Dialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog) << "no dialog of the expected kind is open";
        act(*dialog);
    });
}

struct EngineMenu : ::testing::Test {
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartProgram(app, desktop, folder));
        windows = app->clientSession()->gameWindows();
    }
    void TearDown() override
    {
        for (board::CGameFrame* window : windows->frames())
            if (window->game())
                window->game()->modified = false;
    }
    QAction* command(const char* name) const
    {
        QCoreApplication::processEvents();
        return app->mainFrame()->findChild<QAction*>(QString::fromLatin1(name));
    }

    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::unique_ptr<shell::CMarovinApp> app;
    board::QtGameWindows* windows = nullptr;
};

TEST_F(EngineMenu, AnalysisIsToggledOnTheActiveWindowFromMenuAndToolBar)
{
    QAction* analysis = command("actionAnalysis");
    ASSERT_TRUE(analysis);
    // In the Game menu, after the window's other game commands.
    QMenu* gameMenu = nullptr;
    for (QAction* entry : app->mainFrame()->menuBar()->actions())
        if (entry->text() == "&Game")
            gameMenu = entry->menu();
    ASSERT_TRUE(gameMenu);
    const QList<QAction*> items = gameMenu->actions();
    ASSERT_GE(items.size(), 4);
    EXPECT_EQ(items[items.size() - 4], analysis);
    EXPECT_EQ(items[items.size() - 2], command("actionStopPlaying"));
    EXPECT_EQ(items.back(), command("actionAnalyseGame"));
    EXPECT_TRUE(app->mainFrame()->toolBar()->actions().contains(analysis));
    EXPECT_FALSE(analysis->isEnabled()) << "no game window yet";
    EXPECT_FALSE(command("actionPlayEngine")->isEnabled());

    board::CGameFrame* window = windows->newGame();
    ASSERT_TRUE(window);
    QTest::qWait(20);
    ASSERT_TRUE(command("actionAnalysis")->isEnabled());
    EXPECT_TRUE(command("actionPlayEngine")->isEnabled());
    EXPECT_FALSE(command("actionStopPlaying")->isEnabled());
    EXPECT_FALSE(command("actionAnalyseGame")->isEnabled()) << "a game without moves";
    analysis->trigger();
    EXPECT_TRUE(window->engine()->analysing());
    EXPECT_TRUE(window->analysisStrip()->isVisible());
    EXPECT_TRUE(command("actionAnalysis")->isChecked());
    analysis->trigger();
    EXPECT_FALSE(window->engine()->analysing());
    EXPECT_FALSE(window->analysisStrip()->isVisible());
    EXPECT_FALSE(command("actionAnalysis")->isChecked());
}

TEST_F(EngineMenu, PlayAgainstEngineStartsFromItsDialog)
{
    if (!engine::FindEngineProgram(""))
        GTEST_SKIP() << "fairy-stockfish is not installed";
    board::CGameFrame* window = windows->newGame();
    ASSERT_TRUE(window);
    QTest::qWait(20);
    QAction* play = command("actionPlayEngine");
    whenOpen<PlayEngineDlg>([](PlayEngineDlg& dialog) {
        dialog.sideBox()->setCurrentIndex(dialog.sideBox()->findText("Red"));
        dialog.secondsBox()->setValue(1);
        dialog.accept();
    });
    play->trigger();
    EXPECT_TRUE(window->engine()->playing());
    EXPECT_TRUE(command("actionStopPlaying")->isEnabled());
    EXPECT_FALSE(command("actionPlayEngine")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->game()->browsedPly() == 1; }, kWaitMs));
    EXPECT_EQ(model::SideOf(window->game()->currentEntry().move.piece), model::kRed);
    command("actionStopPlaying")->trigger();
    EXPECT_FALSE(window->engine()->playing());
}

TEST_F(EngineMenu, SettingsRefuseAMissingProgramAndAreWrittenToTheEngineFile)
{
    if (!engine::FindEngineProgram(""))
        GTEST_SKIP() << "fairy-stockfish is not installed";
    QAction* settings = command("actionEngineSettings");
    ASSERT_TRUE(settings);
    EXPECT_TRUE(settings->isEnabled()) << "settings need no window";
    bool refused = false;
    whenOpen<EngineSettingsDlg>([&](EngineSettingsDlg& dialog) {
        dialog.pathEdit()->setText("/nonexistent/engine");
        dialog.accept();
        refused = dialog.isVisible();
        dialog.pathEdit()->clear(); // the default engine
        dialog.threadsBox()->setValue(2);
        dialog.hashBox()->setValue(48);
        dialog.accept();
    });
    settings->trigger();
    EXPECT_TRUE(refused) << "the dialog stays open";
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0], "No engine found at /nonexistent/engine: choose an engine in the engine settings.");
    const engine::EngineSettings saved = engine::LoadEngineSettings(dataFolder());
    EXPECT_EQ(saved.threads, 2);
    EXPECT_EQ(saved.hashMegabytes, 48);
    EXPECT_TRUE(saved.path.empty());
}

} // namespace
} // namespace marovin::windows
