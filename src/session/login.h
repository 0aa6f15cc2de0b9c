#pragma once
// The login sequence: answering the server's "Login: " and "Password: " prompts from the
// account the user picked, the mismatch during registration, and what follows the
// server's "Login as NAME" (client mode, the start-up commands, the titles).
// Passwords are sent without echo and never written to the terminal.

#include <string_view>

#include "session/client_context.h"

namespace marovin::session {

// How long a new connection waits for the server's first login prompt.
constexpr int kLoginPromptTimeoutMs = 30'000;

// The login-name prompt (promptLine as received). Answered with the stored name unless the
// previous prompt was a login prompt too; otherwise the input line asks for the name.
void onLoginPrompt(ClientContext& context, std::string_view promptLine);

// The password prompt (or the request to enter it again). Answered with the stored password
// unless the previous prompt was a password prompt too.
void onPasswordPrompt(ClientContext& context, std::string_view promptLine);

// "Passwords do not match": the name is forgotten and the login window opens again.
void onPasswordMismatch(ClientContext& context, std::string_view line);

// "Login as NAME": logged in; switches the server into client mode and runs the user's
// start-up commands.
void onLoginConfirmed(ClientContext& context, std::string_view line);

// A connection whose server has sent no login prompt (nor logged the user in) within
// kLoginPromptTimeoutMs of opening is closed with a warning that the server does not
// answer, so that Connect can be tried again. Called once a second.
void checkLoginPromptDeadline(ClientContext& context);

// Keeps the account that answers the next login and password prompts (cut to their fields).
void rememberAccount(SessionState& state, std::string_view name, std::string_view password);

// The password of the confirmed login (for changing it later).
std::string_view currentPassword(const SessionState& state);

} // namespace marovin::session
