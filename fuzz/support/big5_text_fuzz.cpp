// Arbitrary bytes through the Big5 converter in both directions: no crash, and whatever
// came in, what goes to the screen is well-formed UTF-8 and holds one character for each
// character that the byte parsers step over.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/big5.h"

namespace {

bool wellFormedUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

std::size_t codePoints(std::string_view utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string shown = marovin::big5ToUtf8(bytes);
    if (!wellFormedUtf8(shown))
        std::abort();
    std::size_t characters = 0;
    for (std::size_t i = 0; i < bytes.size(); i += marovin::big5CharLength(bytes, i))
        ++characters;
    if (characters != codePoints(shown))
        std::abort();
    const std::size_t limit = size > 0 ? data[0] : 0;
    const std::size_t prefix = marovin::big5PrefixLength(bytes, limit);
    if (prefix > limit || prefix > bytes.size() ||
        (prefix < bytes.size() && prefix + marovin::big5CharLength(bytes, prefix) <= limit))
        std::abort();
    const std::string back = marovin::utf8ToBig5(shown);
    static_cast<void>(marovin::utf8ToBig5(bytes));
    static_cast<void>(back);
    return 0;
}
