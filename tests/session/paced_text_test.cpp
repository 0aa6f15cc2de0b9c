// The message and plan dialogs' paced sending, on a fake clock and socket, and the
// password change of the Command menu.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/frame_commands.h"
#include "session/paced_text.h"
#include "support/fixed_text.h"
#include "testkit/session_fakes.h"

namespace marovin::session {
namespace {

using testkit::SessionRig;

struct LoggedIn : SessionRig {
    LoggedIn()
    {
        options->startupCommands[0] = 0;
        logIn("me");
        clearRecords();
    }
    PacedOutcome send(PacedKind kind, const std::vector<std::string>& lines, std::string_view to = "bob")
    {
        return sendPacedText(*context, kind, to, lines, [this] { return sending; });
    }
    bool sending = true;
};

TEST(PacedText, ShortLinesGoOutAsOneChunkAtOnce)
{
    LoggedIn rig;
    EXPECT_EQ(rig.send(PacedKind::Message, {"hi", "how are you", "bye"}), PacedOutcome::Completed);
    EXPECT_EQ(rig.socket.sent, "message bob  hi\r\nmessage bob  how are you\r\nmessage bob  bye\r\n");
    EXPECT_EQ(rig.clock.waits, 0);
    EXPECT_TRUE(rig.clock.pauses.empty());
    EXPECT_EQ(rig.send(PacedKind::Plan, {"first", "abc"}), PacedOutcome::Completed);
    EXPECT_EQ(rig.socket.sent.substr(rig.socket.sent.find("plan")), "plan first\r\nplan -nabc\r\n");
}

TEST(PacedText, LongLinesWaitForThePromptAndPause)
{
    LoggedIn rig;
    const std::string line(150, 'x');
    std::vector<std::size_t> sentAtWait;
    rig.clock.onWaitRound = [&] {
        sentAtWait.push_back(rig.socket.sent.size());
        rig.feed("OMRA% ");
    };
    EXPECT_EQ(rig.send(PacedKind::Plan, std::vector<std::string>(5, line)), PacedOutcome::Completed);
    const std::string first = "plan " + line + "\r\n";
    const std::string later = "plan -n" + line + "\r\n";
    EXPECT_EQ(rig.socket.sent, first + later + later + later + later);
    EXPECT_EQ(rig.clock.pauses, (std::vector<int>{1300, 1300, 1700, 1700}));
    // The first chunk needs no prompt; each later one waits for it with the chunk before sent.
    EXPECT_EQ(sentAtWait, (std::vector<std::size_t>{first.size(), first.size() + later.size(),
                                                    first.size() + 2 * later.size()}));
}

TEST(PacedText, StoppingOrALostConnectionLeavesTheRestUnsent)
{
    const std::vector<std::string> lines(4, std::string(150, 'y'));
    {
        LoggedIn rig;
        rig.clock.onWaitRound = [&] { rig.sending = false; };
        EXPECT_EQ(rig.send(PacedKind::Message, lines), PacedOutcome::Stopped);
        EXPECT_EQ(rig.socket.sent, "message bob  " + lines[0] + "\r\n");
    }
    {
        LoggedIn rig;
        rig.clock.onWaitRound = [&] { rig.context->connection.OnClose(0); };
        EXPECT_EQ(rig.send(PacedKind::Message, lines), PacedOutcome::ConnectionLost);
        EXPECT_EQ(rig.socket.sent, "message bob  " + lines[0] + "\r\n");
        EXPECT_EQ(rig.context->session.scriptDepth, 0);
    }
    SessionRig offline;
    EXPECT_EQ(sendPacedText(*offline.context, PacedKind::Plan, "", {"a"}, [] { return true; }),
              PacedOutcome::ConnectionLost);
    EXPECT_TRUE(offline.socket.sent.empty());
}

TEST(PacedText, EditLinesAreCutAtLineEndsAnd796Bytes)
{
    EXPECT_EQ(editLines(""), (std::vector<std::string>{""}));
    EXPECT_EQ(editLines("a\r\nb\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(editLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(editLines(std::string(900, 'z'))[0].size(), 796u);
    // A two-byte character across the limit is left out whole.
    EXPECT_EQ(editLines(std::string(795, 'z') + "\xA4\xA4")[0].size(), 795u);
}

TEST(PacedText, AReceivedMessageNamesItsSenderUnlessItSaysYouHave)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"alice (2026-12-07 08:15): hello\r\n", "alice"},
        {"You have no messages.\r\n", ""},
        {"YOU HAVE 2 messages\r\n", ""},
        {"short text", ""},
        {"\xB1z\xA6n alice: a Big5 name\r\n", "\xB1z\xA6n"},
    };
    for (const auto& [text, name] : cases)
        EXPECT_EQ(replyRecipient(text), name) << text;
}

TEST(ChangePassword, RefusesAChangedAccountAndBadPasswords)
{
    LoggedIn rig;
    copyBounded(rig.options->servers[0].logins[0].name, "me");
    EXPECT_FALSE(accountChangedSinceLogin(*rig.context));
    copyBounded(rig.options->servers[0].logins[0].name, "someone");
    EXPECT_TRUE(accountChangedSinceLogin(*rig.context));
    EXPECT_FALSE(acceptableNewPassword("a"));
    EXPECT_FALSE(acceptableNewPassword("a b"));
    EXPECT_TRUE(acceptableNewPassword("ab"));
}

TEST(ChangePassword, WritesTheSettingsBeforeSendingTheLine)
{
    LoggedIn rig;
    copyBounded(rig.context->session.currentPassword, "old1");
    EXPECT_EQ(passwordPromptTitle(rig.context->session), "Change Password(\xA7\xF3\xA7\xEF me \xAA\xBA\xB1K\xBDX(old1))");
    std::string sentWhenWritten = "(not written)";
    changePassword(*rig.context, "new22", [&] {
        sentWhenWritten = rig.socket.sent;
        EXPECT_EQ(fieldText(rig.options->servers[0].logins[0].password), "new22");
    });
    EXPECT_EQ(sentWhenWritten, "");
    EXPECT_EQ(rig.socket.sent, "passwd old1 new22\r\n");
    EXPECT_EQ(fieldText(rig.context->session.currentPassword), "new22");
    EXPECT_FALSE(rig.terminal.contains("new22")) << "the line is not echoed";
}

} // namespace
} // namespace marovin::session
