#include "session/line_framer.h"

#include <cstring>

namespace marovin::session {

namespace {

constexpr unsigned char kIac = 255;

bool lineIs(const SessionState& state, std::string_view text)
{
    return static_cast<std::size_t>(state.lineLength) == text.size() &&
           std::memcmp(state.lineBuffer, text.data(), text.size()) == 0;
}

bool lineBegins(const SessionState& state, std::string_view text)
{
    return static_cast<std::size_t>(state.lineLength) >= text.size() &&
           std::memcmp(state.lineBuffer, text.data(), text.size()) == 0;
}

void startLine(SessionState& state)
{
    state.lineBuffer[0] = 0;
    state.lineLength = 0;
    state.lineKind = LineKind::Undecided;
    state.keywordLength = 0;
    state.colonChecked = 0;
    state.lineComplete = false;
}

// The line is complete: an undecided line is an ordinary one.
void finishLine(SessionState& state)
{
    state.lineComplete = true;
    if (state.lineKind == LineKind::Undecided)
        state.lineKind = LineKind::Ordinary;
}

bool removesTelnetCommand(const SessionState& state)
{
    if (state.loginState >= login_state::kLoggedIn || state.lineLength < 2)
        return false;
    const auto* line = reinterpret_cast<const unsigned char*>(state.lineBuffer);
    return line[state.lineLength - 2] == kIac && line[state.lineLength - 1] > 250;
}

// A blank or tab was just appended. Returns a prompt token kind, or Incomplete.
TokenKind onBlank(SessionState& state)
{
    if (state.lineLength == 6 && lineBegins(state, "OMRA%"))
        return TokenKind::ReadyPrompt;
    if (!state.colonChecked && state.lineLength > 2 && state.lineBuffer[state.lineLength - 2] == ':') {
        state.colonChecked = 1;
        if (state.lineKind == LineKind::Undecided && state.collectedLines < 0) {
            state.lineKind = LineKind::Keyword;
            state.keywordLength = state.lineLength;
            if (lineIs(state, "Login: "))
                return TokenKind::LoginPrompt;
            if (lineIs(state, "Password: "))
                return TokenKind::PasswordPrompt;
            const bool accepted =
                state.linesSincePrompt <= 2 || (state.promptJustSeen == -1 && isLoggedIn(state));
            if (!accepted)
                state.lineKind = LineKind::Undecided;
        }
    }
    if (state.lineKind == LineKind::Undecided)
        state.lineKind = LineKind::Ordinary;
    return TokenKind::Incomplete;
}

// Before login and outside a collection, after every byte.
TokenKind checkLoginTexts(SessionState& state)
{
    if (lineIs(state, "Passwords do not match"))
        state.lineKind = LineKind::PasswordMismatch;
    if (state.loginState == login_state::kPasswordPromptSeen && state.lineLength == 37 &&
        lineBegins(state, "Enter your password again to verify"))
        return TokenKind::PasswordPrompt;
    return TokenKind::Incomplete;
}

} // namespace

ServerToken nextServerLine(SessionState& state, std::string_view data, std::size_t& position)
{
    ServerToken token;
    while (position < data.size()) {
        if (state.lineLength < 0 || state.lineComplete)
            startLine(state);
        const char byte = data[position];
        if (byte == '\r') {
            ++position;
            continue;
        }
        if (byte == '\a') {
            ++position;
            ++token.beeps;
            continue;
        }
        if (byte == '\n') {
            ++position;
            if (state.linesSincePrompt < (1 << 30))
                ++state.linesSincePrompt;
            finishLine(state);
            token.kind = TokenKind::CompleteLine;
            return token;
        }
        if (removesTelnetCommand(state)) {
            ++position;
            state.lineLength -= 2;
            state.lineBuffer[state.lineLength] = 0;
            continue;
        }
        if (byte == '\0' && (state.lineLength == 0 || !isLoggedIn(state))) {
            // Telnet pads a bare CR with NUL and some servers send NULs as filler. Before a
            // line's first byte, and anywhere before login, they would hide a prompt from
            // the tests below: they are dropped. Inside a line after login they stay.
            ++position;
            continue;
        }
        if (state.lineLength > kLongestLine) {
            // Not consumed: the byte begins the next line.
            finishLine(state);
            token.kind = TokenKind::CompleteLine;
            token.cutForLength = true;
            return token;
        }
        ++position;
        state.lineBuffer[state.lineLength++] = byte;
        state.lineBuffer[state.lineLength] = 0;
        if (state.lineLength == 1 && (byte == '!' || byte == '#' || byte == '{'))
            state.lineKind = LineKind::Special;

        TokenKind decided = TokenKind::Incomplete;
        if (byte == ' ' || byte == '\t')
            decided = onBlank(state);
        if (decided == TokenKind::Incomplete && !isLoggedIn(state) && state.collectedLines < 0)
            decided = checkLoginTexts(state);
        if (decided != TokenKind::Incomplete) {
            state.lineComplete = true;
            token.kind = decided;
            return token;
        }
    }
    return token;
}

} // namespace marovin::session
