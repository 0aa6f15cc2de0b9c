// The whole login road against the practice server, through a relay that records the bytes
// the server receives: a newcomer registers from the login window and is logged in with the
// start-up commands sent; a second visit logs in without any typing.

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/qt_socket.h"
#include "server_harness.h"
#include "session/login_window_model.h"
#include "session/server_socket.h"
#include "support/fixed_text.h"
#include "testkit/loopback.h"
#include "testkit/session_fakes.h"

namespace marovin::platform {
namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "test_qt_socket_server";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct Client {
    Client() : rig(&driver) {}
    bool shows(std::string_view text) const
    {
        for (const auto& line : rig.terminal.lines)
            if (line.text.find(text) != std::string::npos)
                return true;
        return false;
    }
    QtSocketDriver driver;
    testkit::SessionRig rig;
};

TEST(PracticeServer, ANewcomerRegistersAndIsLoggedInWithTheStartupCommands)
{
    application();
    testing::ServerProcess server;
    ASSERT_GT(server.port(), 0) << server.startError();
    testkit::RecordingRelay relay(server.port());
    ASSERT_TRUE(relay.listening());

    Client client;
    session::LoginWindowModel window(*client.rig.context, [] {});
    window.setHost("127.0.0.1");
    window.setPort(relay.port());
    window.setLoginName("newbie");
    window.setPassword("pw123");
    window.connect(false);

    // The name and the password go out by themselves; the request to repeat the password
    // is for the user, who answers with "Send Password".
    const session::SessionState& state = client.rig.context->session;
    ASSERT_TRUE(testkit::waitFor([&] { return client.rig.client.labelText == "Password"; })) << server.log();
    EXPECT_EQ(state.loginState, session::login_state::kPasswordPromptSeen);
    window.sendPassword();

    ASSERT_TRUE(testkit::waitFor([&] { return !client.rig.client.whoLists.empty(); })) << server.log();
    const std::string block(session::kNegotiationBlock, session::kNegotiationBlockSize);
    EXPECT_EQ(relay.received, block + "\r\nnewbie\r\npw123\r\npw123\r\nset client on\r\nwho -2\r\n");
    EXPECT_EQ(state.loggedInName, "newbie");
    EXPECT_EQ(client.rig.client.titles.back(), "Terminal window - newbie");
    EXPECT_NE(client.rig.client.whoLists[0].output.find("newbie"), std::string::npos);
    EXPECT_FALSE(client.shows("pw123"));

    Client again; // the account exists now: nothing to type
    copyBounded(again.rig.context->session.storedLoginName, "newbie");
    copyBounded(again.rig.context->session.storedPassword, "pw123");
    again.rig.context->connection.connectToServer("127.0.0.1", server.port());
    ASSERT_TRUE(testkit::waitFor([&] { return !again.rig.client.whoLists.empty(); })) << server.log();
    EXPECT_EQ(again.rig.context->session.loggedInName, "newbie");
    EXPECT_TRUE(again.shows("<Password has been sent>"));
    EXPECT_FALSE(again.shows("pw123"));
}

} // namespace
} // namespace marovin::platform
