// Framing and classification of server lines, over every way the bytes may be cut.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/line_framer.h"

namespace marovin::session {
namespace {

// Runs the framer over the chunks and describes each token:
// "ready", "login", "password", "cut", "beep", or "<kind>:<text>" for complete lines
// (kinds: line, keyword<k>, special, mismatch).
std::vector<std::string> frame(SessionState& state, const std::vector<std::string>& chunks)
{
    std::vector<std::string> out;
    for (const std::string& chunk : chunks) {
        std::size_t position = 0;
        while (position < chunk.size()) {
            const ServerToken token = nextServerLine(state, chunk, position);
            for (int i = 0; i < token.beeps; ++i)
                out.emplace_back("beep");
            if (token.cutForLength)
                out.emplace_back("cut");
            const std::string text(state.lineBuffer, static_cast<std::size_t>(std::max(state.lineLength, 0)));
            switch (token.kind) {
            case TokenKind::Incomplete:
                break;
            case TokenKind::ReadyPrompt:
                out.push_back("ready");
                state.lineLength = -1;
                break;
            case TokenKind::LoginPrompt:
                out.push_back("login");
                break;
            case TokenKind::PasswordPrompt:
                out.push_back("password");
                break;
            case TokenKind::CompleteLine:
                switch (state.lineKind) {
                case LineKind::Keyword:
                    out.push_back("keyword" + std::to_string(state.keywordLength) + ":" + text);
                    break;
                case LineKind::Special:
                    out.push_back("special:" + text);
                    break;
                case LineKind::PasswordMismatch:
                    out.push_back("mismatch:" + text);
                    break;
                default:
                    out.push_back("line:" + text);
                    break;
                }
            }
        }
    }
    return out;
}

struct Case {
    const char* name;
    int loginState;
    std::vector<std::string> chunks;
    std::vector<std::string> expected;
};

TEST(LineFramer, CutsAndClassifiesLines)
{
    const int in = login_state::kLoggedIn;
    const int out = login_state::kNone;
    const Case cases[] = {
        {"CR LF, bare LF and LF CR end a line once",
         in,
         {"a b\r\nc d\ne f\n\rg h\n"},
         {"line:a b", "line:c d", "line:e f", "line:g h"}},
        {"a bare CR never ends a line", in, {"a\rb\n"}, {"line:ab"}},
        {"CR LF split between chunks", in, {"x y\r", "\nz\n"}, {"line:x y", "line:z"}},
        {"the prompt is reported at its blank", in, {"OMRA% "}, {"ready"}},
        {"a prompt split after its second character", in, {"OM", "RA% "}, {"ready"}},
        {"a tab ends the prompt as well", in, {"OMRA%\t"}, {"ready"}},
        {"a keyword line", in, {"who: 3 players\n"}, {"keyword5:who: 3 players"}},
        {"a keyword split around its blank", in, {"games:", " 1\n"}, {"keyword7:games: 1"}},
        {"the colon must end the first word", in, {"a who: x\n"}, {"line:a who: x"}},
        {"special lines",
         in,
         {"#ann: hi\n!bob: yo\n{x}\n"},
         {"special:#ann: hi", "special:!bob: yo", "special:{x}"}},
        {"a CR before a special line keeps it special", in, {"\r#x: y\n"}, {"special:#x: y"}},
        {"login prompts at once", out, {"Login: "}, {"login"}},
        {"password prompt split", out, {"Pass", "word: "}, {"password"}},
        {"bells are dropped and beep", in, {"a\ab\n"}, {"beep", "line:ab"}},
        {"mismatch before login",
         out,
         {"Passwords do not match, try again\n"},
         {"mismatch:Passwords do not match, try again"}},
        {"no mismatch after login", in, {"Passwords do not match\n"}, {"line:Passwords do not match"}},
        {"telnet commands are removed before login", out, {"Pass\xFF\xFB\x01word: "}, {"password"}},
        {"a telnet command split between chunks",
         out,
         {"ab\xFF", "\xFD",
          "\x03"
          "cd\n"},
         {"line:abcd"}},
        {"telnet bytes stay after login", in, {"a\xFF\xFB\x01\n"}, {"line:a\xFF\xFB\x01"}},
        {"NUL bytes stay in the line", in, {std::string("a\0b\n", 4)}, {std::string("line:a\0b", 8)}},
        {"NUL bytes before a prompt are dropped", in, {std::string("\0\0OM", 4), "RA% "}, {"ready"}},
        {"NUL bytes anywhere in a login prompt", out, {std::string("\0\0Log\0in:\0 ", 12)}, {"login"}},
    };
    for (const Case& c : cases) {
        SessionState state;
        state.loginState = c.loginState;
        EXPECT_EQ(frame(state, c.chunks), c.expected) << c.name;
    }
}

TEST(LineFramer, KeywordsCountOnlyNearThePrompt)
{
    SessionState state;
    state.loginState = login_state::kLoggedIn;
    state.linesSincePrompt = 3;
    EXPECT_EQ(frame(state, {"who: x\n"}), std::vector<std::string>{"line:who: x"}) << "fourth line";

    state.linesSincePrompt = 5;
    state.promptJustSeen = -1; // nothing handled since the prompt
    EXPECT_EQ(frame(state, {"who: x\n"}), std::vector<std::string>{"keyword5:who: x"});

    state.linesSincePrompt = 0;
    state.collectedLines = 2; // a collection runs: the collector gets it as a line
    EXPECT_EQ(frame(state, {"who: x\n"}), std::vector<std::string>{"line:who: x"});
}

TEST(LineFramer, TheRequestToRepeatThePasswordIsAPromptAfterThePasswordPrompt)
{
    const std::string request = "Enter your password again to verify: ";
    ASSERT_EQ(request.size(), 37u);
    SessionState state;
    state.loginState = login_state::kPasswordPromptSeen;
    EXPECT_EQ(frame(state, {request}), std::vector<std::string>{"password"});

    SessionState earlier;
    earlier.loginState = login_state::kLoginPromptSeen;
    EXPECT_TRUE(frame(earlier, {request}).empty());
}

TEST(LineFramer, AnEndlessLineNeverPassesTheBuffer)
{
    SessionState state;
    const std::string chunk(2999, 'y');
    for (int i = 0; i < 20; ++i) {
        frame(state, {chunk});
        ASSERT_LE(state.lineLength, kLongestLine + 1);
        ASSERT_EQ(state.lineBuffer[state.lineLength], '\0');
    }
}

} // namespace
} // namespace marovin::session
