#include "session/login.h"

#include <string>

#include "session/command_script.h"
#include "session/reconnect.h"
#include "session/server_lines.h"
#include "session/server_scanner.h"
#include "support/fixed_text.h"

namespace marovin::session {

namespace {

// Sends answer (with a line end, no echo) or, without one, asks the user through the
// input line's label; either way the session starts over in newState.
void answerPrompt(ClientContext& context, std::string_view answer, std::string_view askLabel, int newState)
{
    if (!answer.empty()) {
        sendCommand(context, std::string(answer) + "\r\n", false, false);
        resetSession(context);
    } else {
        // The reset puts "Input Line" on the label, so the question comes after it.
        resetSession(context);
        context.client.setStatusLabel(std::nullopt, askLabel);
    }
    context.session.loginState = newState;
}

} // namespace

void onLoginPrompt(ClientContext& context, std::string_view promptLine)
{
    SessionState& state = context.session;
    std::string shown(promptLine);
    const std::string name(state.loginState != login_state::kLoginPromptSeen
                               ? fieldText(state.storedLoginName)
                               : std::string_view{});
    shown += name;
    answerPrompt(context, name, "Login name", login_state::kLoginPromptSeen);
    context.terminal.writeServerLine(shown);
}

void onPasswordPrompt(ClientContext& context, std::string_view promptLine)
{
    SessionState& state = context.session;
    const std::string shown(promptLine);
    const std::string password(state.loginState != login_state::kPasswordPromptSeen
                                   ? fieldText(state.storedPassword)
                                   : std::string_view{});
    answerPrompt(context, password, "Password", login_state::kPasswordPromptSeen);
    context.terminal.writeServerLine(shown);
    if (!password.empty())
        context.terminal.writeClientText("<Password has been sent>", true);
}

void onPasswordMismatch(ClientContext& context, std::string_view line)
{
    const std::string shown(line);
    context.session.passwordMismatch = 1;
    copyBounded(context.session.storedLoginName, "");
    context.client.openLoginWindow();
    context.terminal.writeServerLine(shown);
}

void onLoginConfirmed(ClientContext& context, std::string_view line)
{
    SessionState& state = context.session;
    state.loginState = login_state::kLoggedIn;
    state.passwordMismatch = 0;
    const std::string_view name = confirmedLoginName(line);
    if (!name.empty())
        state.loggedInName = name;
    copyBounded(state.currentPassword, fieldText(state.storedPassword));
    resetSession(context);
    state.loginState = login_state::kLoggedIn;
    const std::string loggedInName = state.loggedInName;
    context.client.setStatusLabel(kLabelReady, loggedInName);
    sendCommand(context, "set client on\r\n", true, true);
    reconnectAfterLogin(context);
    sendScript(context, fieldText(context.options.startupCommands));
    context.client.setTerminalTitle("Terminal window - " + loggedInName);
}

void checkLoginPromptDeadline(ClientContext& context)
{
    SessionState& state = context.session;
    if (state.loginPromptDeadline < 0 || context.clock.nowMilliseconds() < state.loginPromptDeadline)
        return;
    state.loginPromptDeadline = -1;
    if (!context.connection.isConnected() || state.loginState != login_state::kNone)
        return;
    context.terminal.writeClientText("The server does not answer: no login prompt came within " +
                                         std::to_string(kLoginPromptTimeoutMs / 1000) + " seconds.",
                                     false);
    context.connection.OnClose(0);
}

void rememberAccount(SessionState& state, std::string_view name, std::string_view password)
{
    copyBounded(state.storedLoginName, name);
    copyBounded(state.storedPassword, password);
}

std::string_view currentPassword(const SessionState& state)
{
    return fieldText(state.currentPassword);
}

} // namespace marovin::session
