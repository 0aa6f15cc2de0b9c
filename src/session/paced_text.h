#pragma once
// Sending a multi-line text as one server command per line, paced: the message dialog
// ("message NAME  TEXT" per line) and the plan dialog ("plan TEXT" for the first line,
// "plan -nTEXT" for the others).
//
// Lines are gathered into chunks of about 200 bytes. A chunk goes out when the next line
// would take it past 200; from the second chunk on, it waits for the server's ready prompt
// first, and after each such chunk a pause follows (1300 ms when the line that caused it
// is one of the first three, 1700 ms otherwise). The last chunk goes out at once. Waiting
// and pausing keep the program responsive (through the clock port), so the user can stop
// the sending or close the window meanwhile.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/client_context.h"

namespace marovin::session {

constexpr std::size_t kPacedLineLimit = 796;  // bytes taken from one line of the text
constexpr std::size_t kPacedChunkLimit = 200; // a chunk is sent before it would grow past this
constexpr int kPacedFirstPauseMs = 1300;
constexpr int kPacedLaterPauseMs = 1700;
constexpr std::size_t kRecipientLimit = 15;

enum class PacedKind : std::uint8_t { Message, Plan };

// The lines of an edited text (Big5): it is cut at each line feed (a CR before it is
// dropped), and each line at 796 bytes, between two characters. A final line end adds no
// empty line; an empty text is one empty line.
std::vector<std::string> editLines(std::string_view text);

// What stands before line index: "message NAME " (the line follows after one more
// blank), "plan " for the first line of a plan, "plan -n" for the others.
std::string pacedPrefix(PacedKind kind, std::string_view recipient, std::size_t index);

enum class PacedOutcome : std::uint8_t {
    Completed,      // every line went out
    Stopped,        // sending() turned false: the rest was not sent
    ConnectionLost, // not connected (at the start or later): the rest was not sent
};

// Sends lines as described above. sending() is asked before every line and after every
// wait; when it answers false the rest is not sent (it may answer false because the
// caller's window is gone).
PacedOutcome sendPacedText(ClientContext& context, PacedKind kind, std::string_view recipient,
                           const std::vector<std::string>& lines, const std::function<bool()>& sending);

// The recipient of a reply to a received message text: its first blank-separated word when
// the text is longer than 10 characters and does not begin "You have" (in any case);
// otherwise empty.
std::string_view replyRecipient(std::string_view received);

} // namespace marovin::session
