#include "frame/main_frame.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QClipboard>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include "../options/default_image.h"
#include "platform/big5_text.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "terminal/output_view.h"
#include "frame/startup_texts.h"
#include "support/fixed_text.h"
#include "support/guarded_file.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"

// Fields of the packed options record are compared by value (unary +): a reference to
// one may be misaligned.

namespace marovin::windows {
namespace {

using shell::CMarovinApp;
using testkit::FakeDesktop;
using testkit::TempFolder;

PlatformDefaults platformOfWidth(int width)
{
    PlatformDefaults platform;
    platform.fixedFontFace = "DejaVu Sans Mono";
    platform.screenWidth = width;
    return platform;
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override { testkit::qtApplication(); }

    // Writes a settings file holding the defaults changed by edit.
    template <typename Edit>
    void writeSettings(Edit edit)
    {
        Options options;
        setDefaultOptions(options, platformOfWidth(800));
        edit(options);
        ASSERT_TRUE(saveOptions(options, path, desktop));
    }

    TempFolder folder;
    std::string path = folder.file("config/Marovin.dat");
    FakeDesktop desktop;
};

TEST_F(StartUp, ShowsTheMainWindowWithItsMenusAndTheTerminal)
{
    writeSettings([](Options& options) { options.outputBackColour = 0x00FFFF; }); // yellow
    CMarovinApp app(desktop, platformOfWidth(800), deriveSystemMetrics(16, 7), path);
    ASSERT_TRUE(app.initInstance());
    CMainFrame* frame = app.mainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->windowTitle().startsWith("Marovin")) << frame->windowTitle().toStdString();

    QStringList menus;
    for (QAction* menu : frame->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Option", "&Window", "&Game", "&Command", "&Database", "&Help"}));

    const auto children = frame->mdiArea()->subWindowList();
    ASSERT_EQ(children.size(), 1);
    EXPECT_EQ(children[0]->windowTitle(), "Terminal window");
    EXPECT_TRUE(children[0]->isMaximized()) << "an unset terminal placement shows it maximised";
    EXPECT_FALSE(frame->tellWindow()->isVisible());
    EXPECT_EQ(frame->whoWindow(), nullptr) << "the who window is made when first needed";
    const shell::COutputView* view = frame->terminal()->view();
    ASSERT_EQ(view->rowCount(), 1) << "one line says how to begin";
    const shell::TerminalSlot& hint =
        view->slotAt((view->currentRow() + shell::kTerminalRows - 1) % shell::kTerminalRows);
    EXPECT_EQ(std::string_view(hint.text, static_cast<std::size_t>(hint.length)), shell::kStartHintText);
    ASSERT_NE(app.listFont(), nullptr);
    EXPECT_EQ(app.listFont()->pixelSize(), 20);
    ASSERT_NE(frame->ensureWhoWindow(), nullptr);
    EXPECT_FALSE(frame->whoWindow()->isVisible());
    EXPECT_EQ(frame->whoWindow()->listFont(), *app.listFont()) << "a who window made late takes the list font";

    QTest::qWait(50);
    const QImage shot = frame->grab().toImage();
    shot.save(QStringLiteral(MAROVIN_BINARY_DIR "/startup-main-window.png"));
    const QPoint centre = frame->terminal()->widget()->mapTo(frame, frame->terminal()->widget()->rect().center());
    EXPECT_EQ(shot.pixelColor(centre), QColor(255, 255, 0)) << "the terminal shows the output background";
    const QRect bar = frame->menuBar()->geometry();
    QSet<QRgb> colours;
    for (int x = bar.left(); x < bar.right(); ++x)
        colours.insert(shot.pixel(x, bar.center().y()));
    EXPECT_GT(colours.size(), 2) << "the menu bar shows its texts";
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(StartUp, CreatesAMissingSettingsFileForItsOwnerOnly)
{
    CMarovinApp app(desktop, platformOfWidth(800), deriveSystemMetrics(16, 7), path);
    ASSERT_TRUE(app.initInstance());
    const std::string image = TempFolder::read(path);
    ASSERT_EQ(image.size(), 15258u);
    for (const auto& field : testkit::defaultImageFields(false))
        EXPECT_TRUE(image.substr(field.offset, field.bytes.size()) == field.bytes) << field.name;
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(StartUp, RefusesANarrowScreen)
{
    CMarovinApp app(desktop, platformOfWidth(640), deriveSystemMetrics(16, 7), path);
    EXPECT_FALSE(app.initInstance());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0], shell::kScreenTooNarrowText);
    EXPECT_EQ(app.mainFrame(), nullptr);
    EXPECT_FALSE(fileExists(path)) << "nothing is written before the width check";

    CMarovinApp wideEnough(desktop, platformOfWidth(700), deriveSystemMetrics(16, 7), path);
    EXPECT_TRUE(wideEnough.initInstance());
}

TEST_F(StartUp, EndsWhenTheSocketLayerFails)
{
    bool reset = false;
    shell::StartupHooks hooks;
    hooks.resetSession = [&] { reset = true; };
    hooks.initialiseSockets = [] { return false; };
    CMarovinApp app(desktop, platformOfWidth(800), deriveSystemMetrics(16, 7), path, hooks);
    EXPECT_FALSE(app.initInstance());
    EXPECT_TRUE(reset);
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"Windows sockets initialization failed."});
}

TEST_F(StartUp, PostsTheLoginWindowOnlyWhenAsked)
{
    for (const int wanted : {0, 1}) {
        writeSettings([&](Options& options) { options.showLoginAtStart = wanted; });
        CMarovinApp app(desktop, platformOfWidth(800), deriveSystemMetrics(16, 7), path);
        ASSERT_TRUE(app.initInstance());
        app.clientSession()->setLoginWindowOpener([] {}); // no modal window in this test
        QSignalSpy spy(app.mainFrame(), &CMainFrame::connectRequested);
        EXPECT_EQ(spy.count(), 0) << "posted, not called during the start-up";
        QTest::qWait(20);
        EXPECT_EQ(spy.count(), wanted);
    }
}

TEST_F(StartUp, TheFirstStartOpensTheLoginWindowOnce)
{
    for (const bool first : {true, false}) {
        CMarovinApp app(desktop, platformOfWidth(800), deriveSystemMetrics(16, 7), path);
        ASSERT_TRUE(app.initInstance());
        app.clientSession()->setLoginWindowOpener([] {}); // no modal window in this test
        QSignalSpy spy(app.mainFrame(), &CMainFrame::connectRequested);
        QTest::qWait(20);
        EXPECT_EQ(spy.count(), first ? 1 : 0) << (first ? "without a settings file" : "once it exists");
        EXPECT_EQ(+app.options().showLoginAtStart, 0) << "the stored choice stays";
    }
}

TEST_F(StartUp, ClosingStoresThePlacementsAndWritesTheSettings)
{
    CMarovinApp app(desktop, platformOfWidth(800), deriveSystemMetrics(16, 7), path);
    ASSERT_TRUE(app.initInstance());
    CMainFrame* frame = app.mainFrame();

    bool refuse = true;
    frame->setCloseGameWindows([&] { return !refuse; });
    std::remove(path.c_str());
    EXPECT_FALSE(frame->close()) << "a game window that refuses keeps the program open";
    EXPECT_FALSE(frame->closing());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(fileExists(path));

    refuse = false;
    EXPECT_TRUE(frame->close());
    Options saved;
    FakeDesktop reader;
    loadOptions(saved, platformOfWidth(800), path, reader);
    EXPECT_EQ(+saved.mainPlacement.length, 44u);
    EXPECT_GT(+saved.mainPlacement.normalRect.right, 10);
    EXPECT_EQ(+saved.terminalPlacement.showCommand, 3u) << "the terminal was maximised";
}

class MainFrameCommands : public StartUp {
protected:
    void SetUp() override
    {
        StartUp::SetUp();
        writeSettings([](Options&) {});
        ASSERT_TRUE(app.initInstance());
        frame = app.mainFrame();
        frame->activateWindow();
        QApplication::setActiveWindow(frame);
    }
    CMarovinApp app{desktop, platformOfWidth(800), deriveSystemMetrics(16, 7), path};
    CMainFrame* frame = nullptr;
};

TEST(LockKeys, FollowTheKeyEventsAndTheLockKeysToggleOnTheirPress)
{
    constexpr std::uint32_t kCaps = kX11CapsLockBit;
    constexpr std::uint32_t kNum = kX11NumLockBit;
    // A session of key events, each with the X11 state just before it.
    struct Step {
        int key;
        bool press;
        std::uint32_t x11State;
        bool caps;
        bool num;
    };
    const Step steps[] = {
        {Qt::Key_A, true, kNum, false, true},             // Num Lock was on already
        {Qt::Key_CapsLock, true, kNum, true, true},       // pressing it turns Caps Lock on
        {Qt::Key_CapsLock, false, kNum | kCaps, true, true},
        {Qt::Key_A, true, kNum | kCaps, true, true},
        {Qt::Key_CapsLock, true, kNum | kCaps, false, true}, // and off
        {Qt::Key_CapsLock, false, kNum | kCaps, false, true}, // the release still shows it on
        {Qt::Key_NumLock, true, kNum, false, false},
        {Qt::Key_NumLock, false, kNum, false, false},
        {Qt::Key_B, false, kCaps, true, false}, // toggled while another program had the keys
    };
    LockKeyState state;
    for (const Step& step : steps) {
        state = lockKeysAfter(state, step.key, step.press, step.x11State);
        EXPECT_TRUE(state.known);
        EXPECT_EQ(state.capsLock, step.caps) << "key " << step.key << (step.press ? " pressed" : " released");
        EXPECT_EQ(state.numLock, step.num) << "key " << step.key << (step.press ? " pressed" : " released");
    }
}

TEST_F(MainFrameCommands, TheLockPanesLightUpOnlyWhileTheirLockIsKnownToBeOn)
{
    QLabel* caps = frame->statusPanes()[3];
    QLabel* num = frame->statusPanes()[4];
    EXPECT_FALSE(caps->isEnabled() || num->isEnabled()) << "unknown at the start";
    frame->showLockKeys({true, true, false});
    EXPECT_TRUE(caps->isEnabled());
    EXPECT_FALSE(num->isEnabled());
    frame->showLockKeys({true, false, true});
    EXPECT_FALSE(caps->isEnabled());
    EXPECT_TRUE(num->isEnabled());
}

TEST_F(MainFrameCommands, ToolBarButtonsCarryTheirTips)
{
    QStringList tips;
    for (QAction* button : frame->toolBar()->actions())
        tips << (button->isSeparator() ? QStringLiteral("-") : button->toolTip());
    EXPECT_EQ(tips, QStringList({"Connect to OMRA", "<quit> Disconncet from OMRA", "-", "New", "Open", "Save",
                                 "Merge Game from/to File", "Flip chess board", "-", "<who> Slow game rating",
                                 "<who -f> Fast game rating", "List games being played", "shout game anyone?",
                                 "shout Thanks!", "Match a player", "Player(who) information[Ctrl W]", "-",
                                 "Refresh or Update game to the end [Ctrl+R]", "Next Window [Ctrl+Tab]", "Shout",
                                 "Tell Window", "-",
                                 "Engine analysis of the shown position [F9]"}));
}

TEST_F(MainFrameCommands, KeysAndIdsReachTheirCommands)
{
    struct Case {
        const char* action;
        QKeySequence key;
        int id;
    };
    const Case cases[] = {
        {"actionLoginDialog", QKeySequence("Ctrl+L"), 0},
        {"actionWhoWindow", QKeySequence("Ctrl+W"), 0},
        {"actionRefreshGame", QKeySequence("Ctrl+R"), 32822},
        {"actionHeader", QKeySequence("Ctrl+H"), 32783},
        {"actionTextRecord", QKeySequence("F12"), 32863},
        {"actionPlayingSize", QKeySequence("Alt+1"), 32831},
        {"actionLargeSize", QKeySequence("Alt+5"), 32830},
        {"actionFastKey1", QKeySequence("Ctrl+F1"), 106},
        {"actionFastKey2", QKeySequence("F2"), 107},
        {"actionFastKey6", QKeySequence("F6"), 111},
        {"actionFastKey8", QKeySequence("F8"), 113},
        {"actionMoveListKeyboard", QKeySequence("Ctrl+F6"), 0},
        {"actionEditUndo", QKeySequence("Alt+Backspace"), 0},
        {"actionEditPaste", QKeySequence("Shift+Ins"), 0},
        {"actionFileNew", QKeySequence("Ctrl+N"), 0},
        {"actionEditCopyPosition", QKeySequence("Ctrl+Shift+C"), 0},
        {"actionEditPastePosition", QKeySequence("Ctrl+Shift+V"), 0},
        {"actionHelpTopics", QKeySequence("F1"), 0},
    };
    for (const Case& c : cases) {
        QAction* command = frame->action(QString::fromLatin1(c.action));
        ASSERT_NE(command, nullptr) << c.action;
        EXPECT_TRUE(command->shortcuts().contains(c.key)) << c.action << " has " << c.key.toString().toStdString();
        if (c.id != 0) {
            EXPECT_EQ(frame->commandById(c.id), command) << c.action;
        }
    }
    EXPECT_EQ(frame->action("actionPlayingSize")->text(), "The Size in &Playing Mode\tAtl+1");
    EXPECT_EQ(frame->action("actionStoredGames")->text(), QString::fromUtf8("My Stored  Games at OMRA(下過的棋局)"));
    EXPECT_EQ(frame->action("actionSetupPosition")->text(), QString::fromUtf8("Setup Piece Positions (擺殘局)"));
}

TEST_F(MainFrameCommands, CtrlWShowsTheWhoWindowAndTheTellButtonTheTellWindow)
{
    QTest::keyClick(frame, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(frame->whoWindow()->isVisible());
    frame->action("actionTellWindow")->trigger();
    EXPECT_TRUE(frame->tellWindow()->isVisible());
    EXPECT_GT(+app.options().tellWindowPlacement.normalRect.right, 10) << "its placement is kept";
    frame->tellWindow()->close();
    EXPECT_FALSE(frame->tellWindow()->isVisible()) << "closing only hides it";
}

TEST_F(MainFrameCommands, EditCommandsActOnTheInputLineWhileItHasTheFocus)
{
    QLineEdit* input = frame->inputBar()->inputLine();
    input->setText("who -2");
    frame->action("actionFocusInputLine")->trigger();
    ASSERT_TRUE(input->hasFocus());
    frame->action("actionEditSelectAll")->trigger();
    EXPECT_EQ(input->selectedText(), "who -2");
    EXPECT_TRUE(frame->action("actionEditCut")->isEnabled());
    frame->action("actionEditCut")->trigger();
    EXPECT_EQ(input->text(), "");
    frame->action("actionEditUndo")->trigger();
    EXPECT_EQ(input->text(), "who -2");

    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(frame->action("actionEditPaste")->isEnabled()) << "nothing to paste";
    QGuiApplication::clipboard()->setText("games");
    EXPECT_TRUE(frame->action("actionEditPaste")->isEnabled());

    frame->terminal()->widget()->setFocus();
    EXPECT_FALSE(frame->action("actionEditCut")->isEnabled());
    EXPECT_FALSE(frame->action("actionEditPaste")->isEnabled());
    EXPECT_EQ(input->maxLength(), 1400);
}

TEST_F(MainFrameCommands, SaveNewFormatTogglesAndSaveSettingsWritesItAtOnce)
{
    QAction* toggle = frame->action("actionSaveNewFormat");
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_EQ(+app.options().saveNewFormat, 0);
    frame->action("actionSaveSettings")->trigger();
    Options saved;
    FakeDesktop reader;
    loadOptions(saved, platformOfWidth(800), path, reader);
    EXPECT_EQ(+saved.saveNewFormat, 0);
    const shell::COutputView* view = frame->terminal()->view();
    const shell::TerminalSlot& said =
        view->slotAt((view->currentRow() + shell::kTerminalRows - 1) % shell::kTerminalRows);
    EXPECT_TRUE(std::string_view(said.text, static_cast<std::size_t>(said.length)).starts_with("The settings were"));
    toggle->trigger();
    EXPECT_EQ(+app.options().saveNewFormat, 1);
}

} // namespace
} // namespace marovin::windows
