// Dispatch of server lines: tells, shouts, collections and what happens at the prompt.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/server_scanner.h"
#include "testkit/session_fakes.h"

namespace marovin::session {
namespace {

using testkit::SessionRig;

// A rig logged in and at the ready prompt, with the records cleared.
struct LoggedIn : SessionRig {
    LoggedIn()
    {
        options->startupCommands[0] = 0; // no who request pending
        logIn("tester");
        feed("OMRA% ");
        clearRecords();
    }
};

TEST(Scanner, TellsGoToTheTellWindowWithTheirSender)
{
    const std::pair<std::string, std::string> cases[] = {
        {"#abcde: hello there", "abcd"},
        {"#ann(C): hi", "ann(C"},
        {"# hi", ""},
        {"#x", ""},
    };
    for (const auto& [line, sender] : cases) {
        LoggedIn rig;
        rig.feed(line + "\n");
        ASSERT_EQ(rig.client.tellLines.size(), 1u) << line;
        EXPECT_EQ(rig.client.tellLines[0].text, line);
        EXPECT_EQ(rig.client.tellLines[0].format, specialFormat(1));
        EXPECT_EQ(rig.client.playerNames, std::vector<std::string>{sender}) << line;
        EXPECT_TRUE(rig.terminal.contains(line)) << line;
        EXPECT_EQ(rig.client.raises, 0);
    }
    LoggedIn raising;
    raising.options->raiseTerminalOnTell = 1;
    raising.feed("#bob: x\n");
    EXPECT_EQ(raising.client.raises, 1);
}

TEST(Scanner, TransferTellsGoOnlyToTheGameSide)
{
    LoggedIn rig;
    rig.feed("#carol: \x01SEND1 50 Hxyz\n");
    ASSERT_EQ(rig.games.transferTells.size(), 1u);
    EXPECT_EQ(rig.games.transferTells[0].first, "\x01SEND1 50 Hxyz");
    EXPECT_EQ(rig.games.transferTells[0].second, "caro");
    EXPECT_TRUE(rig.client.tellLines.empty());
    EXPECT_FALSE(rig.terminal.contains("#carol: \x01SEND1 50 Hxyz"));
}

TEST(Scanner, ShoutsReachTheTellWindowOnlyByOptionAndNothingSpecialBeforeLogin)
{
    LoggedIn rig;
    rig.feed("!dan: hello all\n");
    EXPECT_TRUE(rig.terminal.contains("!dan: hello all"));
    EXPECT_TRUE(rig.client.tellLines.empty());
    rig.options->tellCollectShout = 1;
    rig.feed("!dan: again\n");
    ASSERT_EQ(rig.client.tellLines.size(), 1u);
    EXPECT_EQ(rig.client.tellLines[0].format, specialFormat(0));

    SessionRig before;
    before.connectNow();
    before.feed("#eve: psst\n");
    EXPECT_TRUE(before.terminal.contains("#eve: psst"));
    EXPECT_TRUE(before.client.tellLines.empty());
}

TEST(Scanner, AWhoCollectionSwallowsTellsAndGoesToTheWhoWindowAtThePrompt)
{
    LoggedIn rig;
    rig.options->showWhoWindow = 1;
    sendCommand(*rig.context, "who -f\r\n", false, false);
    sendCommand(*rig.context, "who\r\n", false, false);
    rig.feed("who: 2 players\r\n alice 1500\r\n#bob: hi\r\n!carl: yo\r\n");
    rig.feed("OMRA% ");
    ASSERT_EQ(rig.client.whoLists.size(), 1u);
    EXPECT_EQ(rig.client.whoLists[0].output, "2 players\r\n alice 1500\r\n#bob: hi\r\n!carl: yo\r\n");
    EXPECT_EQ(rig.client.whoLists[0].kind, kWhoFull);
    EXPECT_EQ(rig.client.whoWindowShown, 1);
    EXPECT_TRUE(rig.client.tellLines.empty());
    EXPECT_TRUE(rig.terminal.contains("#bob: hi")); // shown, but not as a tell
    EXPECT_EQ(rig.context->session.whoCount, 1);

    rig.feed("who: again\r\nOMRA% ");
    ASSERT_EQ(rig.client.whoLists.size(), 2u);
    EXPECT_EQ(rig.client.whoLists[1].kind, kWhoPlain);
    EXPECT_EQ(rig.context->session.whoCount, 0);
}

TEST(Scanner, EachListGoesToItsWindowAtThePromptWhenItsOptionIsOn)
{
    struct Row {
        const char* keyword;
        std::int32_t Options::*option; // nullptr: shown always
        const char* call;
    };
    const Row rows[] = {
        {"finger:", &Options::showFingerWindow, "finger"}, {"stored:", nullptr, "stored"},
        {"games:", &Options::showGamesWindow, "games"},    {"message:", nullptr, "message"},
        {"alias:", &Options::showAliasWindow, "alias"},
    };
    for (const Row& row : rows) {
        for (const int on : {0, 1}) {
            LoggedIn rig;
            if (row.option)
                (*rig.options).*row.option = on;
            rig.feed(std::string(row.keyword) + " first line\r\nsecond\r\nOMRA% ");
            std::vector<std::string> expected{"label:"}; // the ready colour
            if (on || !row.option)
                expected.emplace_back(row.call);
            EXPECT_EQ(rig.client.log, expected) << row.keyword << " option " << on;
            EXPECT_EQ(rig.context->session.collectedOutput, "first line\r\nsecond\r\n") << row.keyword;
        }
    }
    LoggedIn shortMessage; // fewer than six characters: no message window
    shortMessage.feed("message: x\r\nOMRA% ");
    EXPECT_TRUE(shortMessage.client.messageDialogs.empty());
}

TEST(Scanner, KibitzLinesGoToTheTellWindowUntilThePrompt)
{
    LoggedIn rig;
    rig.context->session.collectedOutput = "kept";
    rig.feed("Kibitz from ann in game 3:\r\n  nice move\r\n#bob: hi\r\nOMRA% ");
    std::vector<std::string> tells;
    for (const auto& tell : rig.client.tellLines)
        tells.push_back(tell.text);
    EXPECT_EQ(tells, (std::vector<std::string>{"Kibitz from ann in game 3:", "  nice move", "#bob: hi"}));
    EXPECT_EQ(rig.context->session.collectedOutput, "kept");
    EXPECT_EQ(rig.terminal.texts(),
              (std::vector<std::string>{"Kibitz from ann in game 3:", "  nice move", "#bob: hi", "OMRA% "}));
}

TEST(Scanner, GameBlocksGoToTheirCollectorUntilItStopsOrThePromptComes)
{
    const std::pair<const char*, Collector> rows[] = {
        {"look:", Collector::BoardDisplay},   {"sendfile:", Collector::GameFile},
        {"observe:", Collector::Observe},     {"moves:", Collector::MoveHistory},
        {"refresh:", Collector::MoveHistory},
    };
    for (const auto& [keyword, collector] : rows) {
        LoggedIn rig;
        rig.feed(std::string(keyword) + " Game 7 ann vs bob\r\n(1) H2-E2\r\nwho: x\r\nOMRA% after\r\n");
        ASSERT_EQ(rig.games.collected.size(), 3u) << keyword;
        EXPECT_EQ(rig.games.collected[0].collector, collector) << keyword;
        EXPECT_TRUE(rig.games.collected[0].keywordLine);
        EXPECT_EQ(rig.games.collected[0].line, "Game 7 ann vs bob");
        EXPECT_FALSE(rig.games.collected[1].keywordLine);
        EXPECT_EQ(rig.games.collected[2].line, "who: x"); // a keyword inside a collection is a line
        EXPECT_EQ(rig.games.updatesFinished, 1);
        EXPECT_TRUE(rig.terminal.contains("after"));
    }
    LoggedIn stopping; // a collector that stops at its second line
    stopping.games.onCollect = [&](std::string_view) {
        if (stopping.context->session.collectedLines == 1)
            stopping.context->session.collectedLines = -1;
    };
    stopping.feed("observe: Game 1\r\n(1) H2-E2\r\n#bob: hi\r\n");
    EXPECT_EQ(stopping.games.collected.size(), 2u);
    EXPECT_EQ(stopping.client.tellLines.size(), 1u);
}

TEST(Scanner, GameNoticesCountOnlyInTheFirstFourLinesAfterThePrompt)
{
    LoggedIn rig;
    rig.feed("Game 1 a vs b 3 H2-E2\r\nx\r\ny\r\nGame 2 c vs d 4 H2-E2\r\nGame 3 e vs f 5 H2-E2\r\n");
    EXPECT_EQ(rig.games.notices,
              (std::vector<std::string>{"Game 1 a vs b 3 H2-E2", "Game 2 c vs d 4 H2-E2"}));
    EXPECT_TRUE(rig.terminal.contains("Game 3 e vs f 5 H2-E2"));
}

TEST(Scanner, OrdinaryLinesByTheirBeginning)
{
    LoggedIn rig;
    rig.options->showMatchWindow = 1;
    rig.games.takeHandicapLines = false;
    rig.feed("x\r\ny\r\nz\r\nw\r\n"); // past the notices
    rig.clearRecords();
    rig.feed("Player ann has arrived.\r\nChannel 1 bob: hi\r\nODDS 1\r\nRated match request from ann\r\n"
             "You have messages.\r\n");
    ASSERT_EQ(rig.client.tellLines.size(), 2u);
    EXPECT_EQ(rig.client.tellLines[0].format, TextFormatId::Warning);
    EXPECT_EQ(rig.client.tellLines[1].format, specialFormat(1));
    EXPECT_EQ(rig.games.handicapLines, std::vector<std::string>{"ODDS 1"});
    EXPECT_EQ(rig.client.matchDialogs, std::vector<std::string>{"Rated match request from ann"});
    EXPECT_EQ(rig.socket.sent, "message\r\n");
    EXPECT_EQ(rig.terminal.lines.size(), 5u); // "message" is not echoed: echoTypedText is off

    rig.options->showMatchWindow = 0;
    rig.feed("Unrated match request from bob\r\n");
    EXPECT_EQ(rig.client.matchDialogs.size(), 1u);
}

TEST(Scanner, OtherKeywordsLoseTheirKeywordAndMaySetTheLabel)
{
    LoggedIn rig;
    rig.feed("note: Set your .plan with the plan command\r\n");
    EXPECT_TRUE(rig.terminal.contains("Set your .plan with the plan command"));
    EXPECT_EQ(rig.client.labelText, " with the plan command"); // from 14 characters after the keyword
    EXPECT_EQ(rig.client.labelColour, kLabelReady);

    rig.feed("OMRA% quit: bye\r\n");
    EXPECT_EQ(rig.games.sessionsEnded, 1);
    EXPECT_EQ(rig.context->session.loginState, login_state::kNone);
}

TEST(Scanner, EmptyLinesShowAsOneBlankExceptRightAfterThePrompt)
{
    LoggedIn rig;
    rig.feed("\r\n");
    EXPECT_TRUE(rig.terminal.lines.empty());
    rig.feed("text\r\n\r\n");
    ASSERT_EQ(rig.terminal.lines.size(), 2u);
    EXPECT_EQ(rig.terminal.lines[1].text, " ");
    EXPECT_EQ(rig.terminal.lines[1].format, TextFormatId::NormalClient);
}

TEST(Scanner, AtTheReadyPromptTheSessionIsReadyAndAWaitingScriptResumes)
{
    LoggedIn rig;
    rig.context->session.scriptMayContinue = 0;
    rig.feed("OMRA% ");
    const SessionState& state = rig.context->session;
    EXPECT_EQ(state.promptJustSeen, -1);
    EXPECT_EQ(state.scriptMayContinue, 1);
    EXPECT_EQ(rig.client.pendingEventsHandled, 1);
    EXPECT_EQ(rig.client.labelColour, kLabelReady);
    EXPECT_EQ(rig.games.updatesFinished, 1);
    rig.feed("OMRA% ");
    EXPECT_EQ(rig.client.pendingEventsHandled, 1); // the flag was already set
}

TEST(Scanner, AfterAChunkEndingWithThePromptTransfersContinueAndEndedGamesAsk)
{
    LoggedIn rig;
    rig.games.sending = true;
    rig.feed("x\r\nOMRA% ");
    EXPECT_EQ(rig.games.nextLinesSent, 1);
    EXPECT_EQ(rig.games.gameOverAsks, 1);
    rig.feed("OMRA% y\r\n"); // ends after a line: nothing
    EXPECT_EQ(rig.games.nextLinesSent, 2 - 1);
    rig.client.leftButton = true;
    rig.feed("OMRA% ");
    EXPECT_EQ(rig.games.nextLinesSent, 2);
    EXPECT_EQ(rig.games.gameOverAsks, 1);
}

TEST(Scanner, BeforeLoginAPartialLineIsShownAtOnce)
{
    SessionRig rig;
    rig.connectNow();
    rig.feed("Welcome to the practice server\r\nPlease log in" + std::string(100, '.'));
    ASSERT_EQ(rig.client.partialLines.size(), 1u);
    EXPECT_EQ(rig.client.partialLines[0], ("Please log in" + std::string(100, '.')).substr(0, 80));
    rig.feed("\r\nLogin: ");
    EXPECT_EQ(rig.client.partialLines.size(), 1u); // the prompt was handled, nothing pending
}

TEST(Scanner, BeforeLoginALineThatHasEndedIsNotShownAgainAsPartial)
{
    SessionRig rig;
    rig.connectNow();
    const std::string banner = "Welcome to the practice server, " + std::string(90, '=');
    rig.feed(banner + "\r\n");
    rig.feed("Login: ");
    EXPECT_TRUE(rig.client.partialLines.empty());
    EXPECT_TRUE(rig.terminal.contains(banner));
}

TEST(Scanner, AKeywordWithNothingAfterItWritesNothing)
{
    LoggedIn rig;
    rig.feed("note: \r\n");
    rig.feed("who: \r\n  3 players\r\n");
    EXPECT_EQ(rig.terminal.texts(), std::vector<std::string>{"  3 players"});
    rig.feed("OMRA% ");
    ASSERT_EQ(rig.client.whoLists.size(), 1u);
    EXPECT_EQ(rig.client.whoLists[0].output, "\r\n  3 players\r\n") << "the collection keeps its lines";
}

TEST(Scanner, AnOverlongLineIsAnnouncedBeforeItIsShown)
{
    LoggedIn rig;
    rig.feed(std::string(1234, 'q'));
    rig.feed(std::string(3000 - 1234, 'q') + "\r\n");
    const auto texts = rig.terminal.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "VEDAZUR error: The following line is too long.");
    EXPECT_EQ(texts[1].size(), 2991u);
    EXPECT_EQ(texts[2].size(), 9u);
}

TEST(Scanner, ANestedReadContinuesTheStreamInOrder)
{
    LoggedIn rig;
    rig.context->session.scriptMayContinue = 0;
    // Handling the prompt lets one event through: more bytes arrive while the first chunk
    // still has a line to go.
    rig.client.onPendingEvent = [&] { rig.feed("third\r\n"); };
    rig.feed("first\r\nOMRA% second\r\n");
    EXPECT_EQ(rig.terminal.texts(), (std::vector<std::string>{"first", "OMRA% ", "second", "third"}));
}

} // namespace
} // namespace marovin::session
