// Arbitrary server and client text cut into terminal rows: every row holds at most 80
// bytes, a row that leaves bytes behind never splits a two-byte Big5 character, no byte is
// lost or repeated, and the leading-string match is a real prefix.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "terminal/terminal_lines.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace {

using namespace marovin;

// The first bytes of the input become two leading strings, the rest the text.
void checkLeadingStrings(std::string_view text, std::string_view first, std::string_view second)
{
    static Options options{};
    copyBounded(options.specialLineLead[2], first);
    copyBounded(options.specialLineLead[7], second);
    const int match = shell::matchLeadingString(options, text);
    if (match < 0)
        return;
    const std::string_view lead = fieldText(options.specialLineLead[match]);
    if (lead.empty() || text.substr(0, lead.size()) != lead)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view rest = input;
    std::string joined;
    do {
        const std::size_t length = shell::nextRowLength(rest);
        if (length > shell::kSlotBytes || (length == 0 && !rest.empty()))
            std::abort();
        const std::string_view row = rest.substr(0, length);
        rest.remove_prefix(length);
        if (!rest.empty()) {
            if (length > shell::kWrapBytes)
                std::abort();
            // The row is made of whole characters of the text.
            const std::size_t start = joined.size();
            std::size_t whole = start;
            while (whole < start + row.size())
                whole += big5CharLength(input, whole);
            if (whole != start + row.size())
                std::abort();
        }
        joined += row;
    } while (!rest.empty());
    if (joined != input)
        std::abort();

    std::size_t pieces = 0;
    shell::forEachClientLine(input, [&](std::string_view line) {
        if (line.empty() || line.find_first_of("\r\n") != std::string_view::npos)
            std::abort();
        ++pieces;
    });
    if (pieces == 0 || pieces > input.size() + 1)
        std::abort();

    const std::size_t split = size > 0 ? data[0] % 8 : 0;
    checkLeadingStrings(input, input.substr(0, split), input.substr(0, split / 2));
    return 0;
}
