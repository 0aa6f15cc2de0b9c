#pragma once
// The command-script sender: the user's start-up commands after login and the automatic
// commands of the terminal timer.
//
// A script is lines ended by line feeds ("#" lines are comments, lines shorter than two
// characters are dropped). Lines are sent in batches: a line beginning with "w" (a who
// request, whose answer the who window must match to its request) or a batch that would
// pass 200 bytes starts a new batch. Every batch but the first waits for the server's
// ready prompt, and a pause of 1300 ms follows each; the last batch goes out at once.
// Waiting keeps the program responsive (through the clock port). The script stops when
// the connection is lost.

#include <string_view>

#include "session/client_context.h"

namespace marovin::session {

constexpr int kScriptBatchLimit = 200;
constexpr int kScriptPauseMs = 1300;

void sendScript(ClientContext& context, std::string_view script);

// Once a second (the terminal timer): the game clocks run, and after login the automatic
// commands go out every autoCommandInterval seconds.
void terminalTimerTick(ClientContext& context);

} // namespace marovin::session
