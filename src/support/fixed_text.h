#pragma once
// Bounded copies into fixed character fields.
//
// Every record of this program (options, game header, session) keeps its texts in
// fixed-size, NUL-terminated character arrays, exactly as they are stored in files.
// Every copy into such a field goes through copyBounded, and every read through
// fieldText, so that no text is ever written or read past its field, whatever the
// input held.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace marovin {

// Copies at most N - 1 bytes of text into field and terminates it; the rest of the
// field is zero-filled so that records compare and store byte for byte.
template <std::size_t N>
void copyBounded(char (&field)[N], std::string_view text) noexcept
{
    static_assert(N > 0);
    const std::size_t n = std::min(text.size(), N - 1);
    if (n != 0) // an empty view may carry no data pointer at all
        std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, N - n);
}

// Copies at most limit bytes of text (and never more than the field holds).
template <std::size_t N>
void copyBounded(char (&field)[N], std::string_view text, std::size_t limit) noexcept
{
    copyBounded(field, text.substr(0, std::min(limit, text.size())));
}

// The text of a field: up to its first NUL, or the whole field when it holds none
// (a field read from a file may lack its terminator).
template <std::size_t N>
std::string_view fieldText(const char (&field)[N]) noexcept
{
    const void* nul = std::memchr(field, 0, N);
    return {field, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : N};
}

template <std::size_t N>
bool fieldEmpty(const char (&field)[N]) noexcept
{
    return field[0] == 0;
}

} // namespace marovin
