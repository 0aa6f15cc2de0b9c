// Logging in from the login window and the input line over loopback: against the
// practice server (through a relay that records what the server receives), and against
// scripted peers for the pacing of the start-up commands.

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

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
#include "shell/input_bar.h"
#include "support/fixed_text.h"
#include "testkit/loopback.h"
#include "testkit/qt_application.h"
#include "testkit/session_fakes.h"
#include "testkit/typing.h"
#include "windows/auto_login_dialog.h"
#include "windows/session_input_host.h"

namespace marovin::windows {
namespace {

using testkit::waitFor;

// The desktop side of the session, with the real input bar behind the label.
class BarDesktop : public testkit::FakeClientDesktop {
public:
    explicit BarDesktop(shell::CInputBar& bar) : m_bar(bar) {}
    void setStatusLabel(std::optional<std::uint32_t> colour, std::optional<std::string_view> text) override
    {
        FakeClientDesktop::setStatusLabel(colour, text);
        m_bar.setStatusLabel(colour, text);
    }

private:
    shell::CInputBar& m_bar;
};

// A client as the program runs it: the Qt socket and clock, the input bar and the login
// window; the terminal and the game side are recording fakes.
struct LiveClient {
    LiveClient()
    {
        setDefaultOptions(*options, PlatformDefaults{});
        options->echoTypedText = 1;
        const session::ClientPorts ports{terminal, desktop, clock, client, games};
        context = std::make_unique<session::ClientContext>(*options, ports, driver);
        host = std::make_unique<SessionInputHost>(*context, nullptr);
        bar.setHost(host.get());
        bar.show();
    }
    ~LiveClient()
    {
        bar.setHost(nullptr);
        context->connection.resetConnection();
    }

    void setAccount(int port, std::string_view name, std::string_view password)
    {
        ServerEntry& entry = options->servers[0];
        copyBounded(entry.host, "127.0.0.1");
        entry.port = port;
        copyBounded(entry.logins[0].name, name);
        copyBounded(entry.logins[0].password, password);
    }
    // Opens the login window and presses its Enter button ("Connect-Exit" or "Login").
    void loginFromWindow()
    {
        CAutoLoginDlg dialog(*context, [this] { ++settingsWritten; });
        dialog.show();
        QTest::mouseClick(dialog.button(kConnectExitButtonId), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    // Types a line into the input line and presses Enter.
    void typeLine(const char* text)
    {
        testkit::typeText(bar.inputLine(), text);
        QTest::keyClick(bar.inputLine(), Qt::Key_Return);
    }
    bool terminalShows(std::string_view text) const
    {
        for (const std::string& line : terminal.texts())
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }

    QApplication& application = testkit::qtApplication(); // before any widget
    std::unique_ptr<Options> options = std::make_unique<Options>();
    testkit::FakeTerminal terminal;
    testkit::FakeDesktop desktop;
    platform::QtClock clock;
    shell::CInputBar bar{*options};
    BarDesktop client{bar};
    testkit::FakeGames games;
    platform::QtSocketDriver driver;
    std::unique_ptr<session::ClientContext> context;
    std::unique_ptr<SessionInputHost> host;
    int settingsWritten = 0;
};

class PracticeServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0) << server.startError();
    }
    testing::ServerProcess server;
};

TEST_F(PracticeServer, ANewAccountRegistersAndLogsInFromTheLoginWindow)
{
    LiveClient live;
    testkit::RecordingRelay relay(server.port());
    live.setAccount(relay.port(), "newbie", "s3cret");
    live.loginFromWindow();
    EXPECT_EQ(live.settingsWritten, 0) << "the window changed nothing";

    // The name and the first password are answered from the window's account; the server
    // then asks to repeat the password, which the user types into the masked input line.
    ASSERT_TRUE(waitFor([&] { return live.bar.inputLine()->passwordEntry(); })) << relay.received;
    EXPECT_EQ(live.bar.stateLabel()->text(), " Password");
    live.typeLine("s3cret");
    ASSERT_TRUE(waitFor([&] { return relay.received.find("who -2\r\n") != std::string::npos; }))
        << relay.received;

    const std::string& sent = relay.received;
    const std::size_t name = sent.find("newbie\r\n");
    const std::size_t first = sent.find("s3cret\r\n", name);
    const std::size_t second = sent.find("s3cret\r\n", first + 1);
    const std::size_t client = sent.find("set client on\r\n", second);
    const std::size_t who = sent.find("who -2\r\n", client);
    EXPECT_NE(name, std::string::npos) << sent;
    EXPECT_NE(second, std::string::npos) << sent;
    EXPECT_NE(client, std::string::npos) << sent;
    EXPECT_NE(who, std::string::npos) << sent;

    EXPECT_EQ(live.context->session.loggedInName, "newbie");
    EXPECT_EQ(session::currentPassword(live.context->session), "s3cret");
    EXPECT_EQ(live.bar.stateLabel()->text(), " newbie");
    EXPECT_EQ(live.bar.labelColour(), session::kLabelReady);
    EXPECT_EQ(live.client.titles.back(), "Terminal window - newbie");
    EXPECT_TRUE(live.terminalShows("Login: newbie"));
    EXPECT_FALSE(live.terminalShows("s3cret")) << "the password never reaches the terminal";
    EXPECT_TRUE(live.desktop.boxes.empty());
}

TEST_F(PracticeServer, AMismatchDuringRegistrationReopensTheWindowToLogInAgain)
{
    LiveClient live;
    live.setAccount(server.port(), "newbie", "s3cret");
    live.loginFromWindow();
    ASSERT_TRUE(waitFor([&] { return live.bar.inputLine()->passwordEntry(); }));
    live.typeLine("typo!");
    ASSERT_TRUE(waitFor([&] { return live.client.loginWindowOpened > 0; }));
    EXPECT_EQ(live.context->session.passwordMismatch, 1);
    ASSERT_TRUE(waitFor([&] { return live.bar.stateLabel()->text() == " Login name"; }))
        << "the second login prompt is left to the user";

    {
        CAutoLoginDlg dialog(*live.context, [&] { ++live.settingsWritten; });
        EXPECT_EQ(dialog.windowTitle(), "Password NOT Match (Player Found in Database)");
        EXPECT_EQ(dialog.button(kConnectExitButtonId)->text(), "Login");
        QTest::mouseClick(dialog.button(kConnectExitButtonId), Qt::LeftButton);
    }
    ASSERT_TRUE(waitFor([&] { return live.bar.inputLine()->passwordEntry(); }));
    live.typeLine("s3cret");
    ASSERT_TRUE(waitFor([&] { return session::isLoggedIn(live.context->session); }));
    EXPECT_EQ(live.context->session.loggedInName, "newbie");
    EXPECT_FALSE(live.terminalShows("s3cret"));
    EXPECT_FALSE(live.terminalShows("typo!"));
}

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
    EXPECT_TRUE(waitFor([&] { return run.live.context->session.scriptDepth == 0; })) << "the script has ended";
    EXPECT_FALSE(run.peer.got("who -f")) << run.peer.received;
    EXPECT_GT(run.ticksDuringScript, 10);
}

} // namespace
} // namespace marovin::windows
