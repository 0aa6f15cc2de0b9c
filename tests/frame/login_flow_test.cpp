// Logging in over loopback: the whole program against the practice server (through a
// relay that records what the server receives), and a client context on the Qt socket and
// clock against scripted peers for the pacing of the start-up commands.

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "platform/qt_clock.h"
#include "platform/qt_socket.h"
#include "server_harness.h"
#include "session/command_script.h"
#include "session/login.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "terminal/input_bar.h"
#include "terminal/output_view.h"
#include "support/fixed_text.h"
#include "test_platform.h"
#include "testkit/loopback.h"
#include "testkit/qt_application.h"
#include "testkit/session_fakes.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "testkit/typing.h"
#include "windows/auto_login_dialog.h"
#include "frame/main_frame.h"

namespace marovin::windows {
namespace {

using testkit::waitFor;

// The program as it starts, with its settings in a fresh folder.
class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0) << server.startError();
        testkit::qtApplication();
        ASSERT_TRUE(app.initInstance());
        frame = app.mainFrame();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        QObject::connect(&loginWindowWatch, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<CAutoLoginDlg*>(QApplication::activeModalWidget());
            if (!dialog || !onLoginWindow)
                return;
            ++loginWindowsSeen;
            std::exchange(onLoginWindow, nullptr)(*dialog);
        });
        loginWindowWatch.start(10);
    }

    void setAccount(int port, std::string_view name, std::string_view password)
    {
        ServerEntry& entry = app.options().servers[0];
        copyBounded(entry.host, "127.0.0.1");
        entry.port = port;
        copyBounded(entry.logins[0].name, name);
        copyBounded(entry.logins[0].password, password);
    }
    // What to do with the login window the next time it is open.
    void whenLoginWindowOpens(std::function<void(CAutoLoginDlg&)> act) { onLoginWindow = std::move(act); }
    static void press(CAutoLoginDlg& dialog, int id) { QTest::mouseClick(dialog.button(id), Qt::LeftButton); }
    // Types a line into the input line and presses Enter.
    void typeLine(const char* text)
    {
        testkit::typeText(frame->inputBar()->inputLine(), text);
        QTest::keyClick(frame->inputBar()->inputLine(), Qt::Key_Return);
    }
    bool askedForPassword() const { return frame->inputBar()->inputLine()->passwordEntry(); }
    session::SessionState& session() { return app.clientSession()->context().session; }
    QString terminalText() const
    {
        const shell::COutputView* view = frame->terminal()->view();
        QString text;
        for (int slot = 0; slot < 300; ++slot)
            text += view->shownText(slot) + QLatin1Char('\n');
        return text;
    }

    testing::ServerProcess server;
    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    shell::CMarovinApp app{desktop, testPlatform(), deriveSystemMetrics(16, 7), testkit::existingSettings(folder.file("Marovin.dat"), testPlatform())};
    CMainFrame* frame = nullptr;
    QTimer loginWindowWatch;
    std::function<void(CAutoLoginDlg&)> onLoginWindow;
    int loginWindowsSeen = 0;
};

TEST_F(Program, ANewAccountRegistersAndLogsInFromTheLoginWindow)
{
    testkit::RecordingRelay relay(server.port());
    setAccount(relay.port(), "newbie", "s3cret");
    app.options().showWhoWindow = 0; // the frame stays the active window for Ctrl+L below
    whenLoginWindowOpens([](CAutoLoginDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "AutoLogin Dialog");
        press(dialog, kConnectExitButtonId);
    });
    frame->action(QStringLiteral("actionConnect"))->trigger();
    EXPECT_EQ(loginWindowsSeen, 1) << "Connect opens the login window when not connected";

    // The name and the first password are answered from the window's account; the server
    // then asks to repeat the password, which the user types into the masked input line.
    ASSERT_TRUE(waitFor([&] { return askedForPassword(); })) << relay.received;
    EXPECT_EQ(frame->inputBar()->stateLabel()->text(), " Password");
    typeLine("s3cret");
    ASSERT_TRUE(waitFor([&] { return relay.received.find("who -2\r\n") != std::string::npos; }))
        << relay.received;

    const std::string& sent = relay.received;
    const std::size_t name = sent.find("newbie\r\n");
    const std::size_t second = sent.find("s3cret\r\n", sent.find("s3cret\r\n", name) + 1);
    const std::size_t client = sent.find("set client on\r\n", second);
    const std::size_t who = sent.find("who -2\r\n", client);
    EXPECT_NE(name, std::string::npos) << sent;
    EXPECT_NE(second, std::string::npos) << sent;
    EXPECT_NE(client, std::string::npos) << sent;
    EXPECT_NE(who, std::string::npos) << sent;

    EXPECT_EQ(session().loggedInName, "newbie");
    EXPECT_EQ(frame->inputBar()->stateLabel()->text(), " newbie");
    EXPECT_EQ(frame->inputBar()->labelColour(), session::kLabelReady);
    EXPECT_EQ(frame->terminal()->windowTitle(), "Terminal window - newbie");
    EXPECT_TRUE(terminalText().contains(QStringLiteral("Login: newbie")));
    EXPECT_FALSE(terminalText().contains(QStringLiteral("s3cret")))
        << "the password never reaches the terminal";

    // Ctrl+L opens the login window while connected too; its Connect asks the server to
    // telnet to the chosen server instead of opening a second connection.
    whenLoginWindowOpens([](CAutoLoginDlg& dialog) {
        press(dialog, kConnectButtonId);
        press(dialog, 2);
    });
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(frame, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(loginWindowsSeen, 2);
    const std::string telnet = "telnet 127.0.0.1 " + std::to_string(relay.port()) + "\r\n";
    EXPECT_TRUE(waitFor([&] { return sent.find(telnet) != std::string::npos; })) << sent;
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(Program, AMismatchDuringRegistrationReopensTheWindowToLogInAgain)
{
    setAccount(server.port(), "newbie", "s3cret");
    whenLoginWindowOpens([](CAutoLoginDlg& dialog) { press(dialog, kConnectExitButtonId); });
    frame->action(QStringLiteral("actionConnect"))->trigger();
    ASSERT_TRUE(waitFor([&] { return askedForPassword(); }));

    QString title;
    whenLoginWindowOpens([&](CAutoLoginDlg& dialog) {
        title = dialog.windowTitle();
        EXPECT_EQ(dialog.button(kConnectExitButtonId)->text(), "Login");
        EXPECT_EQ(dialog.focusWidget(), dialog.field(session::LoginField::Password));
        press(dialog, kConnectExitButtonId);
    });
    typeLine("typo!");
    ASSERT_TRUE(waitFor([&] { return loginWindowsSeen == 2; })) << "the mismatch opens the login window";
    EXPECT_EQ(title, "Password NOT Match (Player Found in Database)");
    ASSERT_TRUE(waitFor([&] { return askedForPassword(); }));
    typeLine("s3cret");
    ASSERT_TRUE(waitFor([&] { return session::isLoggedIn(session()); }));
    EXPECT_EQ(session().loggedInName, "newbie");
    EXPECT_EQ(session().passwordMismatch, 0);
    EXPECT_FALSE(terminalText().contains(QStringLiteral("s3cret")));
    EXPECT_FALSE(terminalText().contains(QStringLiteral("typo!")));
}

// A client context on the Qt socket and (unless another is given) the Qt clock; the
// desktop's ports are recording fakes.
struct LiveClient {
    explicit LiveClient(ClockPort* otherClock = nullptr)
    {
        testkit::qtApplication();
        setDefaultOptions(*options, PlatformDefaults{});
        const session::ClientPorts ports{terminal, desktop, otherClock ? *otherClock : clock, client, games};
        context = std::make_unique<session::ClientContext>(*options, ports, driver);
    }
    ~LiveClient() { context->connection.resetConnection(); }

    std::unique_ptr<Options> options = std::make_unique<Options>();
    testkit::FakeTerminal terminal;
    testkit::FakeDesktop desktop;
    platform::QtClock clock;
    testkit::FakeClientDesktop client;
    testkit::FakeGames games;
    platform::QtSocketDriver driver;
    std::unique_ptr<session::ClientContext> context;
};

// A peer that logs the client in at once and answers as the test says.
struct ScriptedPeer {
    ScriptedPeer()
    {
        EXPECT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&listener, &QTcpServer::newConnection, [this] {
            peer = listener.nextPendingConnection();
            peer->write("Login as tester\r\n");
            QObject::connect(peer, &QTcpSocket::readyRead, [this] {
                received += peer->readAll().toStdString();
                if (onReceived)
                    onReceived();
            });
        });
    }
    bool got(std::string_view text) const { return received.find(text) != std::string::npos; }

    QTcpServer listener;
    QTcpSocket* peer = nullptr;
    std::string received;
    std::function<void()> onReceived;
};

// The start-up script "who", "who -f", "who -2": three batches, the second waiting for the
// ready prompt after a pause of 1.3 seconds.
struct ScriptRun {
    ScriptRun()
    {
        copyBounded(live.options->startupCommands, "who\r\nwho -f\r\nwho -2\r\n");
        ticker.callOnTimeout([this] {
            if (live.context->session.scriptDepth > 0)
                ++ticksDuringScript;
        });
        ticker.start(20);
    }
    void connect() { live.context->connection.connectToServer("127.0.0.1", peer.listener.serverPort()); }

    LiveClient live;
    ScriptedPeer peer;
    QTimer ticker;
    int ticksDuringScript = 0;
};

TEST(ScriptPacing, BatchesWaitForThePromptAndThePauseKeepsTheWindowResponsive)
{
    ScriptRun run;
    QElapsedTimer sinceFirst;
    qint64 secondAt = -1;
    run.peer.onReceived = [&] {
        if (!sinceFirst.isValid() && run.peer.got("set client on\r\nwho\r\n")) {
            sinceFirst.start();
            run.peer.peer->write("who: \r\nOMRA% ");
        }
        if (secondAt < 0 && run.peer.got("who -f\r\n"))
            secondAt = sinceFirst.elapsed();
    };
    run.connect();
    ASSERT_TRUE(waitFor([&] { return run.peer.got("who -2\r\n"); })) << run.peer.received;
    EXPECT_NE(run.peer.received.find("who\r\nwho -f\r\nwho -2\r\n"), std::string::npos) << run.peer.received;
    EXPECT_GE(secondAt, session::kScriptPauseMs - 20) << "the second batch follows the pause";
    EXPECT_GT(run.ticksDuringScript, 10) << "timers kept running while the script paused";
    EXPECT_EQ(run.live.context->session.scriptDepth, 0);
}

TEST(ScriptPacing, AScriptWaitingForAPromptThatNeverComesStopsWhenTheConnectionIsLost)
{
    ScriptRun run;
    bool closing = false;
    run.peer.onReceived = [&] {
        if (closing || !run.peer.got("who\r\n"))
            return;
        closing = true;
        QTimer::singleShot(1800, run.peer.peer, [&] { run.peer.peer->close(); });
    };
    run.connect();
    ASSERT_TRUE(waitFor([&] { return run.peer.got("who\r\n"); }));
    ASSERT_TRUE(waitFor([&] { return !run.live.context->connection.isConnected(); }));
    EXPECT_TRUE(waitFor([&] { return run.live.context->session.scriptDepth == 0; }))
        << "the script has ended";
    EXPECT_FALSE(run.peer.got("who -f")) << run.peer.received;
    EXPECT_GT(run.ticksDuringScript, 10);
}

TEST(LoginPrompt, AServerThatSendsNoLoginPromptIsLeftAfterThirtySeconds)
{
    for (const bool prompts : {false, true}) {
        testkit::FakeClock clock;
        LiveClient live(&clock);
        session::ClientContext& context = *live.context;
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        int accepted = 0;
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            ++accepted;
            QTcpSocket* peer = server.nextPendingConnection();
            if (prompts)
                peer->write("Login: ");
        });
        const auto connectAndWait = [&] {
            context.connection.connectToServer("127.0.0.1", server.serverPort());
            return waitFor([&] {
                return context.connection.isConnected() &&
                       (!prompts || context.session.loginState == session::login_state::kLoginPromptSeen);
            });
        };
        ASSERT_TRUE(connectAndWait()) << prompts;

        clock.advance(session::kLoginPromptTimeoutMs - 1000);
        session::terminalTimerTick(context);
        EXPECT_TRUE(context.connection.isConnected()) << prompts;
        clock.advance(1000);
        session::terminalTimerTick(context);
        const bool closed = live.terminal.contains("The server does not answer: no login prompt came within 30 seconds.");
        EXPECT_EQ(closed, !prompts);
        EXPECT_EQ(context.connection.isConnected(), prompts);
        if (closed) {
            EXPECT_EQ(live.terminal.lines.back().text, "<Connection was closed>");
            EXPECT_TRUE(connectAndWait()) << "connecting again works";
            EXPECT_EQ(accepted, 2);
        }
    }
}

} // namespace
} // namespace marovin::windows
