#pragma once
// The five settings of the "Other Option Dialog" as plain values: the two shout texts of
// the tool bar, the start-up commands sent after login, the commands sent automatically
// and their interval (stored in seconds, edited in minutes).
//
// Texts are Big5. The multi-line texts keep their lines ended by CR LF in the record; the
// edited values hold bare line feeds.

#include <string>
#include <string_view>

#include "options/options.h"

namespace marovin {

constexpr std::size_t kShoutTextLimit = 120;
constexpr std::size_t kScriptTextLimit = 2000; // counted with the record's CR LF line ends
constexpr int kIntervalDigits = 4;

struct OtherOptions {
    std::string thanksText;
    std::string seekText;
    std::string startupCommands;
    std::string autoCommands;
    std::string intervalMinutes; // decimal digits
};

OtherOptions otherOptionsOf(const Options& options);
// Each text up to its limit (never splitting a character or a line end); the interval is
// the digits read as minutes (0 when there are none) times 60.
void storeOtherOptions(Options& options, const OtherOptions& values);

// "\r\n" and a lone "\n" both become "\n" (shown); "\n" becomes "\r\n" (stored).
std::string shownLineEnds(std::string_view stored);
std::string storedLineEnds(std::string_view shown);

} // namespace marovin
