// Arbitrary text as the answer of a games command: every line is kept, the chosen line
// exists, and a game number, when a line has one, is a plain number in range.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "session/games_listing.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace marovin::session;
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const GamesListing listing = parseGamesList(answer);
    check(listing.chosen >= 0);
    check(listing.lines.empty() ? listing.chosen == 0 : listing.chosen < static_cast<int>(listing.lines.size()));
    std::size_t bytes = 0;
    for (const std::string& line : listing.lines) {
        bytes += line.size() + 2;
        if (const std::optional<int> number = gameNumberOfLine(line)) {
            check(*number >= 0 && *number <= 999'999);
            const std::string command = observeGameLine(*number);
            check(command.find_first_not_of("0123456789", 8) == command.size() - 2);
        }
    }
    check(bytes <= answer.size() + 1);
    return 0;
}
