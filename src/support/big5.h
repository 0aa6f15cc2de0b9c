#pragma once
// Big5 (code page 950), the program's 8-bit text, and its conversion to and from UTF-8,
// the text of the screen. This is the one converter: the Qt layer uses it wherever it
// shows or reads Chinese text. Malformed input never fails: a byte that is not Big5
// becomes U+FFFD, a character that Big5 lacks becomes '?'.
//
// A Big5 character is one byte (ASCII, or a stray byte) or two: a lead byte 0x81..0xFE
// followed by a trail byte 0x40..0x7E or 0xA1..0xFE. A trail byte may be an ASCII
// character (也 ends in "]", 良 in "}", others in "\", "{", "["), so code that looks for an
// ASCII byte in Big5 text, or cuts it, steps over whole characters with the helpers here.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marovin {

constexpr bool isBig5LeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

constexpr bool isBig5TrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
}

// Bytes of the character that starts at text[at] (at < text.size()): 2 for a lead byte
// followed by a trail byte, otherwise 1 (a lead byte cut off at the end, or followed by a
// byte that cannot end it, stands alone).
constexpr std::size_t big5CharLength(std::string_view text, std::size_t at)
{
    return isBig5LeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
                   isBig5TrailByte(static_cast<unsigned char>(text[at + 1]))
               ? 2
               : 1;
}

// The length of the longest start of text that holds at most limit bytes and ends
// between two characters.
constexpr std::size_t big5PrefixLength(std::string_view text, std::size_t limit)
{
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t next = length + big5CharLength(text, length);
        if (next > limit)
            break;
        length = next;
    }
    return length;
}

std::string big5ToUtf8(std::string_view big5);
std::string utf8ToBig5(std::string_view utf8);
// As above; every character that Big5 lacks is also added to unencodable, as the UTF-8
// bytes it was written with, in order.
std::string utf8ToBig5(std::string_view utf8, std::vector<std::string>& unencodable);

} // namespace marovin
