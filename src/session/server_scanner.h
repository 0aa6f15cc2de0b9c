#pragma once
// The server output scanner: every chunk the connection reads is cut into lines (see
// line_framer.h), shown in the terminal and dispatched: prompts to the login sequence,
// tells and shouts to the tell window, game notices and game blocks to the game side, and
// the lines of a command's answer ("who:", "games:" ... up to the next "OMRA% ") to the
// window for that command when the prompt arrives.

#include "session/client_context.h"

namespace marovin::session {

// Limit of a generic collection; lines beyond it are still shown, not kept.
constexpr std::size_t kCollectedOutputLimit = 4 * 1024 * 1024;

// Scans one read of the connection. A call made while another is scanning continues with
// the bytes the outer call has not reached yet, so the stream is always handled in order.
// The connection reads nothing more while a read is scanned (see InputHold), except during
// a wait that needs the server's next bytes (see InputOpening): only there is a call
// nested in another.
void scanServerOutput(ClientContext& context, const char* bytes, int count);

// Clears the session record for a new login or connection (the input line's label goes
// back to "Input Line"); transfers stop. The partial line is dropped.
void resetSession(ClientContext& context);

// resetSession, then the live games become not live.
void endSession(ClientContext& context);

} // namespace marovin::session
