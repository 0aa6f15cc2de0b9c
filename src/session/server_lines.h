#pragma once
// Small decoders of server lines, used by the scanner; free functions so that tests can
// call them directly.

#include <string_view>

namespace marovin::session {

// The sender of a tell line "#name..: text": the word after "#" up to the first blank, less
// its last two characters (empty when the word is shorter).
std::string_view tellSender(std::string_view line);

// The text of a tell line: everything after the first blank (empty without one).
std::string_view tellText(std::string_view line);

// True for the text of a tell that carries a game transfer: byte 01 and "send", the letters
// compared without regard to case.
bool isTransferTell(std::string_view text);

// The word after "Login as " in a login confirmation (empty when there is none).
std::string_view confirmedLoginName(std::string_view line);

inline bool beginsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace marovin::session
