// The program against scripted servers and players that misbehave, over loopback: a box
// or question raised by server input is never opened beneath another one (further input
// waits in the socket), a broken game complains once, a move list keeps its pace without
// freezing the window, the server cannot open game or answer windows without bound, a
// player's stray transfer line blocks no later transfer, and a server that stops reading
// ends the live games as a close does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QMdiArea>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game_window/game_frame.h"
#include "game_window/quit_game_dialog.h"
#include "session/server_socket.h"
#include "session/game_list.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "../terminal/test_options.h"
#include "testkit/fakes.h"
#include "testkit/loopback.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "../terminal/terminal_rows.h"
#include "frame/command_windows.h"
#include "frame/main_frame.h"
#include "windows/finger_window.h"
#include "windows/message_dialogs.h"
#include "windows/stored_games_window.h"

namespace marovin::shell {
namespace {

using testkit::waitFor;

constexpr int kScriptWaitMs = 60000;

// Boxes that are modal as the real ones: each runs an event loop until the user answers a
// moment later. Keeps the texts and how many boxes were ever open at once.
class ModalDesktop : public DesktopPort {
public:
    void beep() override {}
    void messageBox(std::string_view text) override
    {
        boxes.emplace_back(text);
        answerLater();
    }
    bool askYesNo(std::string_view text, bool) override
    {
        boxes.emplace_back(text);
        answerLater();
        return true;
    }
    FatalBoxAnswer fatalBox(std::string_view text, std::string_view) override
    {
        boxes.emplace_back(text);
        return FatalBoxAnswer::Ignore;
    }
    [[noreturn]] void exitProgram(int status) override { throw testkit::ProgramExit{status}; }

    std::vector<std::string> boxes;
    int mostOpen = 0;

private:
    void answerLater()
    {
        mostOpen = std::max(mostOpen, ++m_open);
        QEventLoop loop;
        QTimer::singleShot(30, &loop, &QEventLoop::quit);
        loop.exec();
        --m_open;
    }
    int m_open = 0;
};

// A server that logs the client in as "tester" and sends the whole script at once.
struct ScriptedServer {
    explicit ScriptedServer(std::string script)
    {
        EXPECT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&listener, &QTcpServer::newConnection, [this, script] {
            peer = listener.nextPendingConnection();
            peer->write(QByteArray::fromStdString("Login as tester\r\nOMRA% " + script));
            QObject::connect(peer, &QTcpSocket::readyRead, [this] {
                received += peer->readAll().toStdString();
                if (onReceived)
                    onReceived();
            });
        });
    }

    // From now on the server takes nothing more off the connection: what the client sends
    // fills the buffers on the way.
    void stopReading()
    {
        QObject::disconnect(peer, &QTcpSocket::readyRead, nullptr, nullptr);
        peer->setReadBufferSize(4096);
    }

    QTcpServer listener;
    QTcpSocket* peer = nullptr;
    std::string received;
    std::function<void()> onReceived;
};

// A tell from player whose text begins with byte 01, then the prompt.
std::string transferTell(const std::string& player, const std::string& text)
{
    return "#" + player + ">: \x01" + text + "\r\nOMRA% ";
}

// "Game N RED vs BLACK WORDS", then the prompt (the notices come one per prompt).
std::string notice(int number, const std::string& words)
{
    const std::string n = std::to_string(number);
    return "Game " + n + " tester vs rival" + n + " " + words + "\r\nOMRA% ";
}

std::string created(int number) { return notice(number, "created. 10 min 600 600 0 1500 1500 0"); }

std::string moveReport(int number, int moveNumber, const std::string& move)
{
    return notice(number, std::to_string(moveNumber) + " " + move + " 600 590 0 1500 1500 0");
}

class HostileServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        app = std::make_unique<CMarovinApp>(desktop, testPlatform(), deriveSystemMetrics(16, 7),
                                            testkit::existingSettings(folder.file("config/Marovin.dat"), testPlatform()));
        ASSERT_TRUE(app->initInstance());
    }
    void connectTo(ScriptedServer& server)
    {
        app->clientSession()->connectTo({"127.0.0.1", server.listener.serverPort(), "tester", "pw"});
    }
    session::ClientContext& context() { return app->clientSession()->context(); }
    int movesOf(int number) const
    {
        const model::CGame* game = app->clientSession()->context().gameList.findLive(number);
        return game ? game->serverMoveCounter : -1;
    }

    ModalDesktop desktop;
    testkit::TempFolder folder;
    std::unique_ptr<CMarovinApp> app;
};

TEST_F(HostileServer, BrokenGamesComplainOnceEachAndTheirBoxesNeverNest)
{
    // Two games the user plays as Red. In each, Black's chariot takes Red's general, and
    // then both sides shuffle pieces back and forth: every Black move makes it the user's
    // turn in a position without the user's general.
    constexpr int kQuietMoves = 1500;
    const char* const kShuffle[] = {"A0-A1", "B9-C7", "A1-A0", "C7-B9"};
    std::string script = created(5) + created(6);
    for (const int game : {5, 6})
        script += moveReport(game, 1, "H2-E2") + moveReport(game, 2, "A9-E0");
    for (int i = 0; i < kQuietMoves; ++i)
        for (const int game : {5, 6})
            script += moveReport(game, 3 + i, kShuffle[i % 4]);
    ScriptedServer server(script);
    connectTo(server);

    ASSERT_TRUE(waitFor([&] { return movesOf(5) == 2 + kQuietMoves && movesOf(6) == 2 + kQuietMoves; },
                        kScriptWaitMs))
        << movesOf(5) << " " << movesOf(6);
    EXPECT_EQ(desktop.boxes, (std::vector<std::string>{"Bug in Legal.c", "Bug in Legal.c"}));
    EXPECT_EQ(desktop.mostOpen, 1) << "the second game's box waited for the first to close";
}

TEST_F(HostileServer, AMoveListKeepsItsPaceWhileTheWindowAnswersTheUser)
{
    std::string script = "observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 600 5 0 0 1\r\n"
                         "OMRA% moves: Game 7 BotMa vs BotPao: 10 min 5 sec, unrated, even\r\n";
    const char* const kShuffle[] = {"A0-A1", "A9-A8", "A1-A0", "A8-A9"};
    constexpr int kBlockMoves = 150;
    for (int i = 0; i < kBlockMoves; ++i)
        script += "(" + std::to_string(i + 1) + ") " + kShuffle[i % 4] + "\r\n";
    ScriptedServer server(script + "OMRA% ");

    // While the block is being played, the user types a line; the window paints it.
    QLineEdit* input = app->mainFrame()->inputBar()->inputLine();
    QElapsedTimer sinceTyped;
    int movesWhenTyped = -1;
    int movesWhenSent = -1;
    qint64 sentAfterMs = -1;
    int paintsDuringBlock = 0;
    struct PaintCounter : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                onPaint();
            return false;
        }
    } paints;
    const auto blockRunning = [&] {
        const model::CGame* game = context().gameList.findLive(7);
        return game && game->mode == model::kModeBusy;
    };
    paints.onPaint = [&] {
        if (blockRunning())
            ++paintsDuringBlock;
    };
    input->installEventFilter(&paints);
    QTimer typist;
    typist.callOnTimeout([&] {
        if (movesWhenTyped >= 0 || !blockRunning() || movesOf(7) < 2)
            return;
        movesWhenTyped = movesOf(7);
        sinceTyped.start();
        input->setFocus();
        QTest::keyClicks(input, QStringLiteral("tell BotMa nice"));
        QTest::keyClick(input, Qt::Key_Return);
    });
    typist.start(20);
    server.onReceived = [&] {
        if (sentAfterMs >= 0 || server.received.find("tell BotMa nice\r\n") == std::string::npos)
            return;
        sentAfterMs = sinceTyped.elapsed();
        movesWhenSent = movesOf(7);
        server.peer->disconnectFromHost(); // the rest of the block then goes by at once
    };
    connectTo(server);

    ASSERT_TRUE(waitFor([&] { return sentAfterMs >= 0 && !context().connection.isConnected(); }, kScriptWaitMs))
        << "moves played: " << movesOf(7);
    EXPECT_LT(sentAfterMs, 1000) << "the typed line went out during the block";
    EXPECT_LT(movesWhenSent, kBlockMoves);
    EXPECT_GE(movesWhenSent, movesWhenTyped);
    EXPECT_GT(paintsDuringBlock, 0);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(HostileServer, TheServerCannotOpenGameWindowsWithoutBound)
{
    constexpr int kGames = 2000;
    std::string script;
    for (int game = 1; game <= kGames; ++game)
        script += created(game);
    for (int game = 1; game <= kGames; ++game)
        script += notice(game, "Black resigned. 1-0");
    // The last line: a login confirmation whose name shows that everything was read.
    ScriptedServer server(script + "Login as finished\r\n");

    // Every ended game asks the quit-game question; the user keeps each window. The
    // questions come one at a time.
    int questions = 0;
    int mostQuestionsOpen = 0;
    QTimer user;
    user.callOnTimeout([&] {
        int open = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            open += qobject_cast<board::CQuitGameDlg*>(widget) && widget->isVisible() ? 1 : 0;
        mostQuestionsOpen = std::max(mostQuestionsOpen, open);
        if (auto* question = qobject_cast<board::CQuitGameDlg*>(QApplication::activeModalWidget())) {
            ++questions;
            question->reject();
        }
    });
    user.start(5);
    connectTo(server);

    ASSERT_TRUE(waitFor([&] { return context().session.loggedInName == "finished"; }, kScriptWaitMs));
    const auto cap = static_cast<qsizetype>(session::kGameWindowLimit);
    EXPECT_EQ(app->mainFrame()->mdiArea()->findChildren<board::CGameFrame*>().size(), cap);
    EXPECT_EQ(context().gameList.size(), session::kGameWindowLimit);
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"Cannot create GAME!"}) << "said once, not per notice";
    EXPECT_EQ(questions, cap);
    EXPECT_EQ(mostQuestionsOpen, 1);
}

// Each kind of answer keeps at most its limit of windows open: past it the oldest window
// shows the new answer, or, for received messages (whose windows may hold a reply being
// typed), the terminal keeps the message; a terminal line says which.
TEST_F(HostileServer, AnswersOpenAtMostTheirLimitOfWindowsEach)
{
    constexpr int kAnswers = 3 * windows::kAnswerWindowLimit;
    std::string script;
    for (int i = 1; i <= kAnswers; ++i) {
        const std::string n = std::to_string(i);
        script += "finger: player" + n + "\r\nLast seen today\r\nOMRA% ";
        script += "alias: alias" + n + " is who\r\nOMRA% ";
        script += "stored: A player" + n + ".rival.1  F rival.player" + n + ".2\r\nOMRA% ";
        script += "message: Messages for you from player" + n + "\r\nOMRA% ";
    }
    ScriptedServer server(script + "Login as finished\r\n");
    connectTo(server);
    ASSERT_TRUE(waitFor([&] { return context().session.loggedInName == "finished"; }, kScriptWaitMs));

    const auto open = [](auto isKind) {
        std::vector<QWidget*> found;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && isKind(widget))
                found.push_back(widget);
        return found;
    };
    const auto fingers = open([](QWidget* w) {
        return qobject_cast<windows::CFingerDlg*>(w) && w->windowTitle() == windows::kFingerTitle;
    });
    const auto aliases = open([](QWidget* w) {
        return qobject_cast<windows::CFingerDlg*>(w) && w->windowTitle() == windows::kAliasResultTitle;
    });
    const auto stored = open([](QWidget* w) { return qobject_cast<windows::CStoredGamesDlg*>(w) != nullptr; });
    const auto messages = open([](QWidget* w) { return qobject_cast<windows::CMessageDlg*>(w) != nullptr; });
    const auto limit = static_cast<std::size_t>(windows::kAnswerWindowLimit);
    EXPECT_EQ(fingers.size(), limit);
    EXPECT_EQ(aliases.size(), limit);
    EXPECT_EQ(stored.size(), limit);
    EXPECT_EQ(messages.size(), limit);

    // The last answers are in the windows reused for them.
    const std::string last = std::to_string(kAnswers);
    EXPECT_EQ(std::count_if(fingers.begin(), fingers.end(), [&](QWidget* w) {
                  return static_cast<windows::CFingerDlg*>(w)->text()->toPlainText().startsWith(
                      QString::fromStdString("player" + last + "\n"));
              }),
              1);
    EXPECT_EQ(std::count_if(stored.begin(), stored.end(), [&](QWidget* w) {
                  return static_cast<windows::CStoredGamesDlg*>(w)->list()->item(0)->text().contains(
                      QString::fromStdString("player" + last + ".rival"));
              }),
              1);
    const std::string terminal = TerminalText(*app->mainFrame()->terminal()->view());
    for (const char* line : {"10 finger windows are open: the oldest shows this answer.",
                             "10 alias result windows are open: the oldest shows this answer.",
                             "10 stored games windows are open: the oldest shows this answer.",
                             "10 message windows are open: this message is shown above only."})
        EXPECT_NE(terminal.find(line), std::string::npos) << line;
    EXPECT_NE(terminal.find("Messages for you from player" + last), std::string::npos);
}

// A tell that starts a transfer with a line that is no game opens nothing and leaves the
// receiver free: the next player's game arrives whole.
TEST_F(HostileServer, AStrayTransferLineBlocksNoLaterTransfer)
{
    const std::string script = transferTell("mallory", "send1 0 Hnot a game") +
                               transferTell("alice", "send1 5 HGAME") + transferTell("alice", "send2 9 HSTART") +
                               transferTell("alice", "send3 20 M\x48\x4C") + transferTell("alice", "sendO");
    ScriptedServer server(script + "Login as finished\r\n");
    connectTo(server);
    ASSERT_TRUE(waitFor([&] { return context().session.loggedInName == "finished"; }, kScriptWaitMs));
    ASSERT_TRUE(waitFor([&] { return server.received.find("\x01sendR") != std::string::npos; }, kScriptWaitMs));
    EXPECT_NE(server.received.find("tell mallory \x01sendR\r\n"), std::string::npos);
    EXPECT_EQ(server.received.find("tell alice"), std::string::npos) << "alice's lines were all taken";
    const model::CGame* game = context().gameList.newest();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->pathLength(), 1);
    EXPECT_EQ(game->mode, model::kModeNormal);
    EXPECT_EQ(app->mainFrame()->mdiArea()->findChildren<board::CGameFrame*>().size(), 1);
}

// A server that stops reading: the client's sends fill the buffers until the connection
// fails ("Send buffer has data not sent"). The game the user plays is then not live, its
// clocks stopped, as after a close.
TEST_F(HostileServer, AServerThatStopsReadingEndsTheLiveGameAsACloseDoes)
{
    ScriptedServer server(created(5));
    connectTo(server);
    ASSERT_TRUE(waitFor([&] { return movesOf(5) >= 0 && server.peer; }, kScriptWaitMs));
    model::CGame* game = context().gameList.findLive(5);
    ASSERT_NE(game, nullptr);
    EXPECT_LE(game->participation, model::kPlaying);
    server.stopReading();
    const std::string command = std::string(2000, 'x') + "\r\n";
    for (int i = 0; i < 50000 && context().connection.isConnected(); ++i) {
        session::sendCommand(context(), command, false, false);
        QCoreApplication::processEvents();
    }
    ASSERT_FALSE(context().connection.isConnected());
    ASSERT_FALSE(desktop.boxes.empty());
    EXPECT_NE(desktop.boxes.back().find("Send buffer has data not sent"), std::string::npos) << desktop.boxes.back();
    ASSERT_TRUE(context().gameList.contains(game));
    EXPECT_EQ(game->participation, model::kServerNotLive);
    const auto clocks = game->times;
    context().games.tickClocks(game->lastUpdateTime + 5);
    EXPECT_EQ(game->times, clocks) << "the clocks stand still";
}

} // namespace
} // namespace marovin::shell
