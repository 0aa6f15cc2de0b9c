#pragma once
// Cuts the server's byte stream into lines and classifies them while they arrive.
//
//   "OMRA% "                ready prompt, reported at its blank (no line end follows)
//   "Login: ", "Password: " login prompts, reported at once
//   "who: ..." (first word ends in ":" and a blank follows) keyword line, opens a collection
//   "#...", "!...", "{..."  special lines (tells, shouts, notices)
//   anything else           ordinary line
//
// CR is dropped, BEL is dropped (and beeps), LF ends a line. NUL bytes are dropped at the
// start of a line and anywhere before login, so that they never hide a prompt. Before login, telnet commands
// (IAC, a command byte above 250, an option byte) are taken out. A line longer than 2990
// bytes is cut after its 2991st byte; the rest starts a new line. The partial line stays in
// the session record between chunks.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "session/session_state.h"

namespace marovin::session {

enum class TokenKind : std::uint8_t {
    Incomplete,     // the bytes ran out in mid-line
    ReadyPrompt,    // "OMRA% "
    LoginPrompt,    // "Login: "
    PasswordPrompt, // "Password: " or the 37-character request to enter it again
    CompleteLine,   // lineKind says which: Ordinary, Keyword, Special or PasswordMismatch
};

struct ServerToken {
    TokenKind kind = TokenKind::Incomplete;
    bool cutForLength = false; // the line was ended because it grew too long
    int beeps = 0;             // BEL bytes consumed on the way
};

// Consumes bytes of data from position until one token is decided or the bytes are used
// up; the line itself is in state.lineBuffer / lineLength / lineKind.
ServerToken nextServerLine(SessionState& state, std::string_view data, std::size_t& position);

} // namespace marovin::session
