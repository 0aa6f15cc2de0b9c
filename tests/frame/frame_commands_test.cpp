// The main frame's commands in the whole program, connected to a peer on a loopback
// socket that answers as a server would: the exact bytes each command sends, the prompts,
// the tell window, the message and plan dialogs, the command window and the other
// options, and the tool bar's pictures.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>

#include "game_window/board_settings_dialog.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "game_window/quit_game_dialog.h"
#include "platform/big5_text.h"
#include "session/frame_commands.h"
#include "session/paced_text.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "terminal/tell_window.h"
#include "support/fixed_text.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/loopback.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "windows/command_dialog.h"
#include "frame/command_windows.h"
#include "frame/frame_tools.h"
#include "frame/game_documents.h"
#include "frame/main_frame.h"
#include "windows/message_dialogs.h"
#include "windows/other_options_dialog.h"
#include "frame/server_commands.h"
#include "frame/tool_icons.h"

namespace marovin::windows {
namespace {

using testkit::waitFor;

// The program logged in as "me" over a loopback connection to a peer that keeps the bytes.
class InTheProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        ASSERT_TRUE(app.initInstance());
        frame = app.mainFrame();
        session = app.clientSession();
        session->setLoginWindowOpener([] {});
        EXPECT_FALSE(frame->action("actionRegister")->isEnabled()) << "not logged in yet";
        session->connectTo({"127.0.0.1", listener.serverPort(), "", ""});
        ASSERT_TRUE(waitFor([&] { return listener.hasPendingConnections(); }));
        peer = listener.nextPendingConnection();
        serve("Login as me\r\nOMRA% ");
        ASSERT_TRUE(waitFor([&] { return session::isLoggedIn(context().session); }));
        sent("set client on\r\nwho -2\r\n");
    }

    session::ClientContext& context() { return session->context(); }
    void serve(std::string_view bytes)
    {
        peer->write(bytes.data(), static_cast<qint64>(bytes.size()));
        peer->flush();
    }
    // What the peer received since the last call, once at least expected's length came.
    std::string sent(std::string_view expected = {})
    {
        waitFor([&] {
            received += peer->readAll().toStdString();
            return received.size() >= expected.size();
        }, 3000);
        QTest::qWait(20);
        received += peer->readAll().toStdString();
        return std::exchange(received, {});
    }

    QApplication& application = testkit::qtApplication(); // before any widget
    QTcpServer listener;
    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    shell::CMarovinApp app{desktop, testPlatform(), deriveSystemMetrics(16, 7),
                           testkit::existingSettings(folder.file("Marovin.dat"), testPlatform())};
    CMainFrame* frame = nullptr;
    shell::ClientSession* session = nullptr;
    QTcpSocket* peer = nullptr;
    std::string received;
};

TEST_F(InTheProgram, EachCommandSendsItsExactLine)
{
    struct Case {
        const char* action;
        std::string_view bytes;
    };
    const Case cases[] = {
        {"actionWho", "who\r\n"},
        {"actionWhoFast", "who -f\r\n"},
        {"actionGames", "games\r\n"},
        {"actionShoutSeek", "/ Game any one???\r\n"},
        {"actionShoutThanks", "/ Thanks!\r\n"},
        {"actionStoredGames", "stored\r\n"},
        {"actionFastRanking", "? fast\r\n"},
        {"actionSlowRanking", "? best\r\n"},
        {"actionSetOpenON", "set open on\r\n"},
        {"actionSetShoutOFF", "set shout off\r\n"},
        {"actionSetQuietON", "set quiet on\r\n"},
        {"actionSetBellOFF", "set bell off\r\n"},
        {"actionSetAddressShow", "set address off\r\n"},
        {"actionSetAddressHide", "set address on\r\n"},
        {"actionSetRatingShow", "set unrated off\r\n"},
        {"actionSetRatingHide", "set unrated on\r\n"},
        {"actionStoredGame", "stored bob\r\n"},
        {"actionFinger", "finger bob\r\n"},
        {"actionHistory", "history bob\r\n"},
        {"actionWaiting", "waiting bob\r\n"},
        {"actionRegister", "register bob\r\n"},
        {"actionDisconnect", "\x04\r\nquit\r\n"},
    };
    std::vector<std::pair<std::string, int>> prompts;
    session->serverCommands()->setPrompter([&](std::string_view title, int maximum) {
        prompts.emplace_back(title, maximum);
        return std::optional<std::string>("bob");
    });
    for (const Case& c : cases) {
        frame->action(c.action)->trigger();
        EXPECT_EQ(sent(c.bytes), c.bytes) << c.action;
    }
    EXPECT_EQ(prompts.front(), std::make_pair(std::string("stored: Please Input a Player's Name"), 20));
    EXPECT_EQ(prompts.back(), std::make_pair(std::string(session::kRegisterPromptTitle), 200));

    // Cancelled: nothing; an empty name is sent as it is.
    session->serverCommands()->setPrompter([](std::string_view, int) { return std::optional<std::string>(); });
    frame->action("actionFinger")->trigger();
    session->serverCommands()->setPrompter([](std::string_view, int) { return std::optional<std::string>(""); });
    frame->action("actionFinger")->trigger();
    EXPECT_EQ(sent("finger \r\n"), "finger \r\n");
}

TEST_F(InTheProgram, ChangingThePasswordWritesTheSettingsFirst)
{
    EXPECT_TRUE(frame->action("actionChangePassword")->isEnabled()) << "logged in";
    copyBounded(context().session.currentPassword, "old1");
    std::string answer = "x";
    session->serverCommands()->setPrompter([&](std::string_view, int maximum) {
        EXPECT_EQ(maximum, 11);
        return std::optional<std::string>(answer);
    });
    frame->action("actionChangePassword")->trigger();
    EXPECT_EQ(desktop.boxes.back(), session::texts::kAccountChanged) << "the first account is not \"me\"";
    copyBounded(app.options().servers[0].logins[0].name, "me");
    for (const char* refused : {"x", "a b"}) {
        answer = refused;
        frame->action("actionChangePassword")->trigger();
        EXPECT_EQ(desktop.boxes.back(), session::texts::kBadNewPassword) << refused;
    }
    answer = "new22";
    frame->action("actionChangePassword")->trigger();
    EXPECT_EQ(sent("passwd old1 new22\r\n"), "passwd old1 new22\r\n");
    Options saved;
    testkit::FakeDesktop reader;
    loadOptions(saved, testPlatform(), folder.file("Marovin.dat"), reader);
    EXPECT_EQ(fieldText(saved.servers[0].logins[0].password), "new22");
}

TEST_F(InTheProgram, TellsGatherInTheTellWindow)
{
    shell::CTellWindow* tell = frame->tellWindow();
    serve("#alice>: hello there\r\nOMRA% #carol>: me too\r\nOMRA% ");
    ASSERT_TRUE(waitFor([&] { return tell->conversation()->document()->blockCount() >= 2; }));
    EXPECT_EQ(tell->conversation()->toPlainText(), "#alice>: hello there\n#carol>: me too");
    EXPECT_EQ(tell->nameField()->text(), "alice") << "the first tell's sender only";
    EXPECT_EQ(fieldText(app.options().tellPlayerName), "alice");

    tell->nameField()->setText("bob");
    tell->messageField()->setText("hi bob");
    QTest::keyClick(tell->messageField(), Qt::Key_Return);
    EXPECT_EQ(sent("tell bob hi bob\r\n"), "tell bob hi bob\r\n");
    QTest::keyClick(tell->messageField(), Qt::Key_Return);
    EXPECT_EQ(sent("tell bob \r\n"), "tell bob \r\n") << "an empty message is sent too";
    EXPECT_TRUE(tell->conversation()->toPlainText().endsWith("tell bob hi bob\ntell bob "));

    tell->nameField()->clear();
    QTest::keyClick(tell->messageField(), Qt::Key_Return);
    EXPECT_EQ(desktop.boxes.back(), "Player Name is empty.");

    tell->collectShoutBox()->setChecked(true);
    EXPECT_EQ(+app.options().tellCollectShout, 1);
    serve("!dora: anyone?\r\n");
    ASSERT_TRUE(waitFor([&] { return tell->conversation()->toPlainText().endsWith("!dora: anyone?"); }));

    peer->close();
    ASSERT_TRUE(waitFor([&] { return !context().connection.isConnected(); }));
    tell->nameField()->setText("bob");
    tell->messageField()->setText("are you there?");
    QTest::keyClick(tell->messageField(), Qt::Key_Return);
    EXPECT_EQ(tell->messageField()->text(), "are you there?") << "kept to be sent later";
    EXPECT_TRUE(tell->conversation()->toPlainText().endsWith(session::kNotConnectedText));
}

TEST_F(InTheProgram, TheConversationDropsItsOldestQuarter)
{
    shell::CTellWindow* tell = frame->tellWindow();
    for (int i = 0; i < 1001; ++i)
        tell->appendTellLine("line " + std::to_string(i), TextFormatId::Typed);
    QTextDocument* document = tell->conversation()->document();
    EXPECT_EQ(document->blockCount(), 751);
    EXPECT_EQ(document->firstBlock().text(), "line 250");
    tell->appendTellLine(std::string(30000, 'x'), TextFormatId::Typed);
    EXPECT_LT(document->characterCount(), 30000 + 20000) << "past 20000 characters a quarter goes";
}

TEST_F(InTheProgram, AReceivedMessageOpensADialogToReplyToItsSender)
{
    serve("message: alice (2026-12-07 08:15): see you at ten\r\nOMRA% ");
    CMessageDlg* dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = frame->findChild<CMessageDlg*>()) != nullptr; }));
    EXPECT_TRUE(dialog->receivedEdit()->toPlainText().contains("see you at ten"));
    EXPECT_EQ(dialog->nameField()->text(), "alice");
    dialog->textEdit()->setPlainText("fine\nsee you");
    QTest::mouseClick(dialog->sendButton(), Qt::LeftButton);
    EXPECT_EQ(sent("message alice  fine\r\nmessage alice  see you\r\n"),
              "message alice  fine\r\nmessage alice  see you\r\n");
    EXPECT_EQ(desktop.boxes.back(), kSentCompletelyText);
    EXPECT_FALSE(dialog->modified());
    const QPointer<CMessageDlg> watch(dialog);
    QTest::mouseClick(dialog->closeButton(), Qt::LeftButton);
    EXPECT_TRUE(desktop.questions.empty()) << "sent: closing asks nothing";
    EXPECT_TRUE(waitFor([&] { return watch.isNull(); }));
}

TEST_F(InTheProgram, APlanStaysUsableWhenTheConnectionIsLost)
{
    CPlanDlg* plan = session->commandWindows()->openPlanDialog();
    plan->textEdit()->setPlainText(QString(150, 'a') + "\n" + QString(150, 'b') + "\n" + QString(150, 'c'));
    // The peer goes away as soon as the first line arrives: the sending waits for a
    // prompt that never comes.
    QObject::connect(peer, &QTcpSocket::readyRead, peer, [this] { peer->abort(); });
    QTest::mouseClick(plan->sendButton(), Qt::LeftButton);
    EXPECT_FALSE(plan->sending());
    EXPECT_EQ(plan->sendButton()->text(), "Send now");
    EXPECT_FALSE(plan->textEdit()->isReadOnly());
    EXPECT_TRUE(plan->modified());
    desktop.yesNoAnswers = {false};
    QTest::mouseClick(plan->closeButton(), Qt::LeftButton);
    EXPECT_EQ(desktop.questions, std::vector<std::string>{kCloseUnsentQuestion});
    EXPECT_TRUE(plan->isVisible()) << "No keeps the window";
}

TEST_F(InTheProgram, TheCommandWindowSendsItsTextsAndKeepsThemInItsFile)
{
    const std::string path = folder.write("shout.txt", "who\r\ngames\r\n");
    FrameTools tools(*frame, context(), app.settingsFile(), path);
    CCommandDlg* window = tools.showCommandWindow();
    ASSERT_EQ(window->list()->count(), 30);
    EXPECT_EQ(window->edit()->text(), "who");
    QTest::mouseClick(window->sendButton(), Qt::LeftButton);
    QTest::mouseClick(window->shoutButton(), Qt::LeftButton);
    EXPECT_EQ(sent("who\r\n/ who\r\n"), "who\r\n/ who\r\n");
    window->list()->setCurrentRow(1);
    EXPECT_EQ(window->edit()->text(), "games");
    QTest::keyClicks(window->edit(), " -a");
    EXPECT_EQ(window->list()->item(1)->text(), "games -a");
    window->close();
    EXPECT_FALSE(window->isVisible());
    std::string expected = "who\r\ngames -a\r\n";
    for (int i = 2; i < 30; ++i)
        expected += "\r\n";
    EXPECT_EQ(testkit::TempFolder::read(path), expected);
}

TEST_F(InTheProgram, AnOverlongCommandTextCanBeShortenedAndIsSentCut)
{
    const std::string longText(1500, 'x');
    const std::string path = folder.write("shout.txt", longText + "\r\n");
    FrameTools tools(*frame, context(), app.settingsFile(), path);
    CCommandDlg* window = tools.showCommandWindow();
    ASSERT_EQ(window->edit()->text().size(), static_cast<qsizetype>(session::kCommandTextLimit));
    QTest::mouseClick(window->sendButton(), Qt::LeftButton);
    EXPECT_EQ(sent(std::string(session::kCommandTextLimit, 'x') + "\r\n"),
              std::string(session::kCommandTextLimit, 'x') + "\r\n");
    window->edit()->setFocus();
    window->edit()->end(false);
    QTest::keyClick(window->edit(), Qt::Key_Backspace);
    EXPECT_EQ(window->list()->item(0)->text().size(), static_cast<qsizetype>(session::kCommandTextLimit) - 1)
        << "the edit reached the entry";
}

// "Shout it" sends the whole text or nothing: a text that a shout line cannot hold is
// refused with a message ("Send it" sends up to the field's 1000 bytes).
TEST_F(InTheProgram, AShoutIsSentWholeOrRefusedWithAMessage)
{
    const std::string chinese = "\xA4\xA4"; // 中
    std::string fits, tooLong;
    for (int i = 0; i < 498; ++i)
        fits += chinese;
    tooLong = fits + chinese;
    const std::string path =
        folder.write("shout.txt", std::string(996, 'a') + "\r\n" + std::string(997, 'b') + "\r\n" +
                                      std::string(1000, 'c') + "\r\n" + fits + "\r\n" + tooLong + "\r\n");
    FrameTools tools(*frame, context(), app.settingsFile(), path);
    CCommandDlg* window = tools.showCommandWindow();
    const struct {
        int row;
        std::string sent;
        std::size_t length; // of a text refused
    } cases[] = {
        {0, "/ " + std::string(996, 'a') + "\r\n", 0}, {1, "", 997}, {2, "", 1000},
        {3, "/ " + fits + "\r\n", 0},                  {4, "", 998},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        desktop.boxes.clear();
        window->list()->setCurrentRow(c.row);
        QTest::mouseClick(window->shoutButton(), Qt::LeftButton);
        EXPECT_EQ(sent(c.sent), c.sent);
        if (c.length > 0) {
            ASSERT_EQ(desktop.boxes.size(), 1u);
            EXPECT_EQ(desktop.boxes[0], session::shoutTooLongMessage(c.length));
            EXPECT_NE(desktop.boxes[0].find("at most 996 bytes"), std::string::npos);
        } else {
            EXPECT_TRUE(desktop.boxes.empty());
        }
    }
    window->list()->setCurrentRow(2);
    QTest::mouseClick(window->sendButton(), Qt::LeftButton);
    EXPECT_EQ(sent(std::string(1000, 'c') + "\r\n"), std::string(1000, 'c') + "\r\n") << "Send it sends it whole";
}

// A game the user played ends and the user keeps its window: the window shows how it
// ended, and Save As writes it into the file's RESULT line and the PGN's Result tag.
TEST_F(InTheProgram, AGameThatEndsKeepsItsResultInTheWindowAndItsFiles)
{
    app.options().promptGameOver = 1;
    serve("\r\nGame 12 me vs bob created. 20 min 1200 1200 10 1500 1400 0\r\nOMRA% ");
    board::QtGameWindows* windows = session->gameWindows();
    ASSERT_TRUE(waitFor([&] { return windows->frames().size() == 1; }));
    board::CGameFrame* window = windows->frames().front();
    serve("\r\nGame 12 me vs bob 1 H2-E2 1190 1200 10 1500 1400 0\r\nOMRA% ");
    ASSERT_TRUE(waitFor([&] { return window->game()->pathLength() == 1; }));

    QString reason;
    QTimer answer; // "Do not quit", once the question is open
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<board::CQuitGameDlg*>(QApplication::activeModalWidget())) {
            answer.stop();
            reason = dialog->reasonLine()->text();
            dialog->stayButton()->click();
        }
    });
    answer.start(10);
    serve("\r\nGame 12 me vs bob Black has been checkmated. 1-0\r\nOMRA% ");
    ASSERT_TRUE(waitFor([&] { return !reason.isEmpty(); }));
    EXPECT_EQ(reason, "Black has been checkmated. 1-0");
    ASSERT_EQ(windows->frames().size(), 1u) << "kept";
    EXPECT_TRUE(window->windowTitle().endsWith(" (not live): Black has been checkmated. 1-0"))
        << window->windowTitle().toStdString();

    GameDocuments* documents = app.gameDocuments();
    QStringList answers{QString::fromStdString(folder.file("end.pgn")), QString::fromStdString(folder.file("end.gam"))};
    documents->setFileChooser([&](const QString&, const QString&, bool) { return QStringList{answers.takeFirst()}; });
    ASSERT_TRUE(documents->saveAs(*window));
    EXPECT_NE(testkit::TempFolder::read(folder.file("end.pgn")).find("[Result \"1-0\"]\n"), std::string::npos);
    ASSERT_TRUE(documents->saveAs(*window));
    EXPECT_NE(testkit::TempFolder::read(folder.file("end.gam")).find("RESULT  Black has been checkmated. 1-0\r\n"),
              std::string::npos);
    EXPECT_EQ(window->windowTitle(), "end.gam: Black has been checkmated. 1-0") << "still shown with its file";
}

TEST_F(InTheProgram, TheCommandWindowKeepsWhereTheUserMovedItAlsoAfterAShowAgain)
{
    FrameTools tools(*frame, context(), app.settingsFile(), folder.file("shout.txt"));
    CCommandDlg* window = tools.showCommandWindow();
    const WindowPlacement& stored = context().options.commandWindowPlacement;
    for (const int left : {40, 90}) {
        window->move(left, 60);
        QTest::qWait(20);
        EXPECT_EQ(stored.normalRect.left, window->geometry().left()) << "moved to " << left;
        window->close();
        tools.showCommandWindow();
        QTest::qWait(20);
    }
}

TEST_F(InTheProgram, OtherOptionsShowMinutesAndAskBeforeDroppingAChange)
{
    Options& options = app.options();
    options.autoCommandInterval = 600;
    COtherOptionsDlg dialog(options, app.settingsFile(), desktop, frame->listFont());
    EXPECT_EQ(dialog.intervalEdit()->text(), "10");
    EXPECT_EQ(dialog.thanksEdit()->text(), "Thanks!");
    dialog.intervalEdit()->setText("5");
    desktop.yesNoCancelAnswers = {YesNoCancel::Cancel};
    dialog.reject();
    EXPECT_EQ(desktop.questions.back(), kDiscardQuestion);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(+options.autoCommandInterval, 600) << "Cancel keeps the dialog and stores nothing";
    dialog.accept();
    EXPECT_EQ(+options.autoCommandInterval, 300);
    Options saved;
    testkit::FakeDesktop reader;
    loadOptions(saved, testPlatform(), folder.file("Marovin.dat"), reader);
    EXPECT_EQ(+saved.autoCommandInterval, 300) << "a change is written";
}

TEST_F(InTheProgram, ChessBoardSettingsOpenAPreviewInThePlayingSizeAndCloseIt)
{
    const board::WindowRect playing = board::appliedSize(app.options().playingSize, 0);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<board::CBoardSettingsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        opened = true;
        EXPECT_EQ(dialog->windowTitle(), "Chess Board Settings");
        ASSERT_NE(dialog->preview(), nullptr);
        EXPECT_EQ(dialog->preview()->size(), QSize(playing.width, playing.height));
        EXPECT_EQ(session->gameWindows()->frames().size(), 1u);
        dialog->reject();
    });
    frame->action("actionBoardSettings")->trigger();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(waitFor([&] { return session->gameWindows()->frames().empty(); })) << "the preview closed";
}

TEST_F(InTheProgram, ConvertingFilesKeepsTheStoredFormatSetting)
{
    const std::string game = folder.write("game.txt", "GAME\r\nSTART\r\nH2-E2\r\nH9-G7\r\n");
    const std::string other = folder.write("notes.txt", "not a game\r\n");
    session->frameTools()->setFileChooser([&](const QString& title) {
        EXPECT_EQ(title, "To New Format");
        return QStringList{QString::fromStdString(game), QString::fromStdString(other)};
    });
    app.options().saveNewFormat = 0;
    EXPECT_EQ(session->frameTools()->convertFiles(true), 1);
    EXPECT_EQ(+app.options().saveNewFormat, 0);
    EXPECT_NE(testkit::TempFolder::read(game).find("CSTART"), std::string::npos);
    EXPECT_EQ(testkit::TempFolder::read(other), "not a game\r\n");
}

TEST_F(InTheProgram, NoCommandOfTheFrameIsGreyedWithoutAReason)
{
    // The game windows' commands, browsing keys and documents come with the game windows;
    // stopping the reconnect tries only makes sense while they run.
    const QStringList later = {"actionStopReconnecting", "actionFileNew", "actionFileOpen", "actionFileClose", "actionFileSave",
                               "actionFileSaveAs", "actionMergeGame", "actionFlipBoard", "actionNextWindow",
                               "actionNewChessWindow", "actionKibitz", "actionAnalysis", "actionPlayEngine",
                               "actionStopPlaying", "actionAnalyseGame", "actionExplorer",
                               "actionMoveListKeyboard", "actionFilePrint", "actionFilePrintPreview",
                               "actionFilePrintSetup", "actionMarkDiagram"};
    for (QAction* command : frame->findChildren<QAction*>()) {
        const QString name = command->objectName();
        if (!name.startsWith("action") || later.contains(name) || command->data().toInt() >= 32700 ||
            name.startsWith("actionEdit") || name.startsWith("actionBrowse"))
            continue;
        EXPECT_TRUE(command->isEnabled()) << name.toStdString();
    }
    // Every tool-bar button has a picture, and a greyed one looks pale.
    for (QAction* button : frame->toolBar()->actions())
        EXPECT_TRUE(button->isSeparator() || !button->icon().isNull()) << button->toolTip().toStdString();
    const QIcon icon = frame->action("actionConnect")->icon();
    const QImage normal = icon.pixmap(kToolIconSize, QIcon::Normal).toImage();
    const QImage greyed = icon.pixmap(kToolIconSize, QIcon::Disabled).toImage();
    int coloured = 0;
    int pale = 0;
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            const QColor a = normal.pixelColor(x, y);
            const QColor b = greyed.pixelColor(x, y);
            coloured += a.alpha() > 200 && a.hsvSaturation() > 80;
            pale += b.alpha() > 0 && (b.hsvSaturation() > 10 || b.alpha() > 110);
        }
    }
    EXPECT_GT(coloured, 20) << "the enabled picture has colour";
    EXPECT_EQ(pale, 0) << "the greyed picture is grey and see-through";
    // A dense screen gets a picture drawn at twice the size, not one scaled up.
    const QPixmap dense = icon.pixmap(QSize(kToolIconSize, kToolIconSize), 2.0);
    EXPECT_EQ(dense.size(), QSize(2 * kToolIconSize, 2 * kToolIconSize));
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);
    EXPECT_EQ(icon.actualSize(QSize(64, 64)), QSize(kToolIconSize, kToolIconSize)) << "never larger than drawn";
}

} // namespace
} // namespace marovin::windows
