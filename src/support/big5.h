#pragma once
// Conversion between Big5 (code page 950), the program's 8-bit text, and UTF-8, the
// text of the screen. This is the one converter: the Qt layer uses it wherever it shows
// or reads Chinese text. Malformed input never fails: a byte that is not Big5 becomes
// U+FFFD, a character that Big5 lacks becomes '?'.

#include <string>
#include <string_view>

namespace marovin {

std::string big5ToUtf8(std::string_view big5);
std::string utf8ToBig5(std::string_view utf8);

} // namespace marovin
