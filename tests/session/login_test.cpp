// Answering the login prompts, the login confirmation, command scripts and the timer.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/command_script.h"
#include "session/login.h"
#include "support/fixed_text.h"
#include "testkit/session_fakes.h"

namespace marovin::session {
namespace {

using testkit::SessionRig;

struct Account : SessionRig {
    explicit Account(std::string_view password = "s3cret")
    {
        copyBounded(context->session.storedLoginName, "newbie");
        copyBounded(context->session.storedPassword, password);
        connectNow();
        terminal.clear();
    }
    bool terminalShows(std::string_view text) const
    {
        for (const auto& line : terminal.lines)
            if (line.text.find(text) != std::string::npos)
                return true;
        return false;
    }
};

TEST(Login, PromptsAreAnsweredOnceFromTheStoredAccount)
{
    Account rig("p\xB1\x4E"
                "9"); // a password with Big5 bytes
    rig.feed("Welcome\r\nLog");
    rig.feed("in: ");
    EXPECT_EQ(rig.socket.sent, "newbie\r\n");
    EXPECT_TRUE(rig.terminal.contains("Login: newbie"));
    EXPECT_EQ(rig.context->session.loginState, login_state::kLoginPromptSeen);

    rig.feed("\r\nPassword: ");
    EXPECT_EQ(rig.socket.sent, "newbie\r\np\xB1\x4E"
                               "9\r\n");
    EXPECT_EQ(rig.terminal.texts(), (std::vector<std::string>{"Welcome", "Login: newbie", " ",
                                                              "Password: ", "<Password has been sent>"}));
    // A second request for the password is left to the user.
    rig.feed("\r\nEnter your password again to verify: ");
    EXPECT_EQ(rig.socket.sent, "newbie\r\np\xB1\x4E"
                               "9\r\n");
    EXPECT_EQ(rig.client.labelText, "Password");
    EXPECT_FALSE(rig.terminalShows("p\xB1\x4E"
                                   "9"));
}

TEST(Login, ASecondLoginPromptAsksTheUser)
{
    Account rig;
    rig.feed("Login: ");
    rig.feed("\r\nNo such user.\r\nLogin: ");
    EXPECT_EQ(rig.socket.sent, "newbie\r\n");
    EXPECT_EQ(rig.client.labelText, "Login name");
    EXPECT_TRUE(rig.terminal.contains("Login: "));
}

TEST(Login, AMismatchDuringRegistrationReopensTheLoginWindow)
{
    Account rig;
    rig.feed("Login: ");
    rig.feed("\r\nPassword: ");
    rig.feed("\r\nEnter your password again to verify: ");
    rig.feed("\r\nPasswords do not match.\r\n");
    EXPECT_EQ(rig.context->session.passwordMismatch, 1);
    EXPECT_TRUE(fieldEmpty(rig.context->session.storedLoginName));
    EXPECT_EQ(rig.client.loginWindowOpened, 1);
    EXPECT_TRUE(rig.terminal.contains("Passwords do not match."));
}

TEST(Login, TheConfirmationStartsClientModeAndTheStartupCommands)
{
    Account rig;
    rig.options->echoTypedText = 1;
    rig.context->session.passwordMismatch = 1;
    rig.feed("Login: ");
    rig.feed("\r\nPassword: ");
    rig.socket.sent.clear();
    rig.feed("\r\nLogin as newbie (new player)\r\n");
    const SessionState& state = rig.context->session;
    EXPECT_EQ(rig.socket.sent, "set client on\r\nwho -2\r\n");
    EXPECT_EQ(state.loginState, login_state::kLoggedIn);
    EXPECT_EQ(state.passwordMismatch, 0);
    EXPECT_EQ(state.loggedInName, "newbie");
    EXPECT_EQ(currentPassword(state), "s3cret");
    EXPECT_EQ(rig.client.titles, std::vector<std::string>{"Terminal window - newbie"});
    EXPECT_EQ(rig.client.labelText, "newbie");
    EXPECT_TRUE(rig.terminal.contains("set client on"));
    EXPECT_TRUE(rig.terminal.contains("who -2"));
    EXPECT_TRUE(rig.clock.pauses.empty()); // one batch: sent at once
}

// A connected rig that answers every wait for the prompt with one, noting what had been sent.
struct Scripted : SessionRig {
    Scripted()
    {
        logIn();
        feed("OMRA% ");
        socket.sent.clear();
        clock.onWaitRound = [this] {
            prompts.push_back(socket.sent);
            feed("OMRA% ");
        };
    }
    std::vector<std::string> prompts; // the bytes sent before each prompt
};

TEST(Script, WhoLinesStartBatchesAndEveryBatchButTheFirstWaitsForThePrompt)
{
    Scripted rig;
    sendScript(*rig.context, "a\r\nwho\r\nb\r\n");
    EXPECT_EQ(rig.socket.sent, "a\r\nwho\r\nb\r\n");
    EXPECT_TRUE(rig.prompts.empty()); // the last batch does not wait
    EXPECT_EQ(rig.clock.pauses, std::vector<int>{kScriptPauseMs});

    rig.socket.sent.clear();
    rig.clock.pauses.clear();
    sendScript(*rig.context, "a\r\nwho\r\nb\r\nwho -f\r\n");
    EXPECT_EQ(rig.prompts, std::vector<std::string>{"a\r\n"});
    EXPECT_EQ(rig.socket.sent, "a\r\nwho\r\nb\r\nwho -f\r\n");
    EXPECT_EQ(rig.clock.pauses, (std::vector<int>{kScriptPauseMs, kScriptPauseMs}));
}

TEST(Script, CommentsAndShortLinesAreDroppedAndTheLastLineGetsItsLineEnd)
{
    Scripted rig;
    sendScript(*rig.context, "/ hi all\r\n# who -2\r\n");
    EXPECT_EQ(rig.socket.sent, "/ hi all\r\n");
    rig.socket.sent.clear();
    sendScript(*rig.context, "\r\nx\n\nlook\r\n#c\nfinger");
    EXPECT_EQ(rig.socket.sent, "look\r\nfinger\r\n");
}

TEST(Script, BatchesStayWithin200Bytes)
{
    Scripted rig;
    const std::string line = "tell somebody " + std::string(44, 'z') + "\r\n"; // 60 bytes
    sendScript(*rig.context, line + line + line + line + line + line + line);
    EXPECT_EQ(rig.prompts, (std::vector<std::string>{line + line + line}));
    EXPECT_EQ(rig.socket.sent.size(), 7 * line.size());
    EXPECT_EQ(rig.clock.pauses.size(), 2u);
}

TEST(Script, StopsWhenTheConnectionIsLostWhileWaiting)
{
    Scripted rig;
    rig.clock.onWaitRound = [&] { rig.socket.sink->OnClose(0); };
    sendScript(*rig.context, "a\r\nwho\r\nb\r\nwho -f\r\nc\r\n");
    EXPECT_EQ(rig.socket.sent, "a\r\n");
    EXPECT_EQ(rig.context->session.scriptDepth, 0);
}

TEST(Script, OneStartedWhileAnotherWaitsForThePromptDoesNotWaitInsideIt)
{
    // A server that confirms the login again and again while the start-up commands wait
    // for their prompt would otherwise have each confirmation's script wait inside the last.
    Scripted rig;
    copyBounded(rig.options->startupCommands, "who\r\nwho -f\r\nwho -2\r\n");
    int rounds = 0;
    rig.clock.onWaitRound = [&] { rig.feed(++rounds == 1 ? "Login as tester\r\n" : "OMRA% "); };
    sendScript(*rig.context, fieldText(rig.options->startupCommands));
    EXPECT_EQ(rig.socket.sent, "who\r\nset client on\r\nwho\r\nwho -f\r\nwho -2\r\n");
    EXPECT_TRUE(rig.terminal.contains("Commands not sent: other commands are still being sent"));
    EXPECT_EQ(rounds, 2);
    EXPECT_EQ(rig.context->session.scriptDepth, 0);
}

TEST(TimerTick, ClocksTickAndAutomaticCommandsFollowTheirInterval)
{
    Scripted rig;
    rig.options->autoCommandInterval = 60;
    terminalTimerTick(*rig.context); // remembers the time
    rig.clock.advance(59'000);
    terminalTimerTick(*rig.context);
    EXPECT_TRUE(rig.socket.sent.empty());
    rig.clock.advance(1'000);
    terminalTimerTick(*rig.context);
    EXPECT_EQ(rig.socket.sent, "/ hi all\r\n");
    ASSERT_EQ(rig.games.ticks.size(), 3u);
    EXPECT_EQ(rig.games.ticks[2] - rig.games.ticks[0], 60);

    rig.options->autoCommandInterval = 0;
    rig.clock.advance(600'000);
    terminalTimerTick(*rig.context);
    EXPECT_EQ(rig.socket.sent, "/ hi all\r\n");
}

TEST(TimerTick, NoAutomaticCommandsBeforeLoginOrWhileAScriptWaits)
{
    SessionRig rig;
    rig.options->autoCommandInterval = 1;
    rig.connectNow();
    for (int i = 0; i < 3; ++i) {
        rig.clock.advance(5'000);
        terminalTimerTick(*rig.context);
    }
    EXPECT_TRUE(rig.socket.sent.empty());
    EXPECT_EQ(rig.games.ticks.size(), 3u);

    Scripted waiting;
    waiting.options->autoCommandInterval = 1;
    terminalTimerTick(*waiting.context);
    waiting.clock.onWaitRound = [&] {
        waiting.clock.advance(5'000);
        terminalTimerTick(*waiting.context); // the timer fires while the script waits
        waiting.feed("OMRA% ");
    };
    sendScript(*waiting.context, "a\r\nwho\r\nwho -f\r\n");
    EXPECT_EQ(waiting.socket.sent, "a\r\nwho\r\nwho -f\r\n");
}

} // namespace
} // namespace marovin::session
