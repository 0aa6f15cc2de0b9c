// The login window's logic: lists, saving with reordering, connecting and sending.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/login_window_model.h"
#include "support/fixed_text.h"
#include "testkit/session_fakes.h"

namespace marovin::session {
namespace {

// A rig whose options hold three servers, the third with two accounts.
struct Servers : testkit::SessionRig {
    Servers()
    {
        const char* hosts[] = {"alpha.example", "beta.example", "gamma.example"};
        for (int i = 0; i < 3; ++i) {
            copyBounded(options->servers[i].host, hosts[i]);
            options->servers[i].port = 5555 + i;
        }
        copyBounded(options->servers[2].logins[0].name, "first");
        copyBounded(options->servers[2].logins[0].password, "one");
        copyBounded(options->servers[2].logins[1].name, "second");
        copyBounded(options->servers[2].logins[1].password, "two");
    }
    LoginWindowModel open()
    {
        return LoginWindowModel(*context, [this] { ++settingsWritten; });
    }
    int settingsWritten = 0;
};

TEST(LoginWindow, OpensOnTheFirstServerAndItsFirstAccount)
{
    Servers rig;
    LoginWindowModel window = rig.open();
    EXPECT_EQ(window.title(), "AutoLogin Dialog");
    EXPECT_EQ(window.connectExitLabel(), "Connect-Exit");
    EXPECT_EQ(window.initialFocus(), LoginField::Name);
    ASSERT_EQ(window.hostList().size(), 20u);
    EXPECT_EQ(window.hostList()[1], "beta.example");
    EXPECT_EQ(window.host(), "alpha.example");
    EXPECT_EQ(window.port(), 5555);

    EXPECT_EQ(window.selectServer(2), LoginField::Host);
    EXPECT_EQ(window.accountList()[1], "second");
    EXPECT_EQ(window.loginName(), "first");
    EXPECT_EQ(window.selectAccount(1), LoginField::Name);
    EXPECT_EQ(window.password(), "two");
}

TEST(LoginWindow, ConnectMovesTheChosenServerAndAccountToTheTopAndSavesOnlyChanges)
{
    Servers rig;
    {
        LoginWindowModel window = rig.open();
        window.selectServer(2);
        window.selectAccount(1);
        window.setPassword("  two2 ");
        const auto result = window.connect(false);
        EXPECT_FALSE(result.closeWindow);
        EXPECT_FALSE(result.focus);
        EXPECT_EQ(window.selectedServer(), 0);
        EXPECT_EQ(window.accountList()[0], "second");
    }
    const Options& options = *rig.options;
    EXPECT_EQ(fieldText(options.servers[0].host), "gamma.example");
    EXPECT_EQ(fieldText(options.servers[1].host), "alpha.example");
    EXPECT_EQ(fieldText(options.servers[2].host), "beta.example");
    EXPECT_EQ(fieldText(options.servers[0].logins[0].name), "second");
    EXPECT_EQ(fieldText(options.servers[0].logins[0].password), "two2");
    EXPECT_EQ(fieldText(options.servers[0].logins[1].name), "first");
    EXPECT_EQ(rig.settingsWritten, 1);
    ASSERT_EQ(rig.socket.connects.size(), 1u);
    EXPECT_EQ(rig.socket.connects[0], (std::pair<std::string, int>{"gamma.example", 5557}));
    EXPECT_EQ(fieldText(rig.context->session.storedLoginName), "second");
    EXPECT_EQ(fieldText(rig.context->session.storedPassword), "two2");

    LoginWindowModel again = rig.open(); // nothing changed: nothing written
    again.save();
    EXPECT_EQ(rig.settingsWritten, 1);
}

TEST(LoginWindow, EmptyFieldsAreRefusedInOrder)
{
    struct Case {
        const char* host;
        const char* name;
        const char* password;
        LoginField field;
        const char* message;
    };
    const Case cases[] = {
        {"  ", "n", "p", LoginField::Host, "Host / IP is empty"},
        {"h", " ", "", LoginField::Name, "Login name is empty"},
        {"h", "n", "", LoginField::Password, "Password is empty"},
    };
    for (const Case& c : cases) {
        Servers rig;
        LoginWindowModel window = rig.open();
        window.setHost(c.host);
        window.setLoginName(c.name);
        window.setPassword(c.password);
        const auto result = window.connect(true);
        EXPECT_EQ(result.focus, c.field) << c.message;
        EXPECT_FALSE(result.closeWindow);
        EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{c.message});
        EXPECT_TRUE(rig.socket.connects.empty());
    }
}

TEST(LoginWindow, ConnectWhileConnectedTelnetsAndAfterAMismatchSendsTheName)
{
    Servers rig;
    rig.connectNow();
    {
        LoginWindowModel window = rig.open();
        window.setLoginName("ann");
        window.setPassword("pw");
        EXPECT_TRUE(window.connect(true).closeWindow);
    }
    EXPECT_EQ(rig.socket.sent, "telnet alpha.example 5555\r\n");
    EXPECT_EQ(rig.socket.connects.size(), 1u);

    rig.socket.sent.clear();
    rig.context->session.passwordMismatch = 1;
    {
        LoginWindowModel window = rig.open();
        EXPECT_EQ(window.title(), "Password NOT Match (Player Found in Database)");
        EXPECT_EQ(window.connectExitLabel(), "Login");
        EXPECT_EQ(window.initialFocus(), LoginField::Password);
        window.connect(true);
    }
    EXPECT_EQ(rig.socket.sent, "ann\r\n");
    EXPECT_EQ(rig.context->session.passwordMismatch, 0); // cleared with the window
}

TEST(LoginWindow, SendButtonsNeedBothFieldsAndNeverEchoThePassword)
{
    Servers rig;
    rig.connectNow();
    rig.options->echoTypedText = 1;
    rig.terminal.clear();
    LoginWindowModel window = rig.open();
    window.setLoginName("ann");
    EXPECT_EQ(window.sendLoginName(), LoginField::Password);
    window.setPassword("hidden");
    window.setHost("");
    EXPECT_EQ(window.sendLoginName(), std::nullopt); // the host does not matter here
    EXPECT_EQ(window.sendPassword(), std::nullopt);
    EXPECT_EQ(rig.socket.sent, "ann\r\nhidden\r\n");
    EXPECT_EQ(rig.terminal.texts(), std::vector<std::string>{"ann"});
    EXPECT_EQ(fieldText(rig.context->session.storedPassword), "hidden");
}

TEST(LoginWindow, EditsAreBoundedAndTheCheckBoxGoesToTheCopy)
{
    Servers rig;
    LoginWindowModel window = rig.open();
    window.setHost(std::string(80, 'h'));
    window.setLoginName("a-name-longer-than-fifteen");
    window.setPort(70000);
    window.setShowAtStart(true);
    EXPECT_EQ(fieldText(window.copy().servers[0].host), std::string(50, 'h'));
    EXPECT_EQ(fieldText(window.copy().servers[0].logins[0].name), "a-name-longer-t");
    const int port = window.copy().servers[0].port; // a packed field: read it by value
    EXPECT_EQ(port, 65535);
    const auto showAtStart = [&] { return rig.options->showLoginAtStart; }; // packed: by value
    EXPECT_EQ(showAtStart(), 0);                                            // only the copy, until saved
    window.save();
    EXPECT_EQ(showAtStart(), 1);
}

} // namespace
} // namespace marovin::session
