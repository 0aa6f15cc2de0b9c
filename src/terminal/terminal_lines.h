#pragma once
// What the terminal decides about a line before it draws it: where a long line wraps,
// which of the user's leading strings a server line begins with, where client text is cut
// into lines, and which text format of the options record a format id names. Plain C++.

#include <cstddef>
#include <string_view>

#include "options/options.h"
#include "support/ports.h"

namespace marovin::shell {

constexpr std::size_t kSlotBytes = 80; // the most a terminal row holds
constexpr std::size_t kWrapBytes = 79; // the longest piece cut from a longer line
constexpr int kLeadingStrings = 10;
constexpr int kFormatCount = static_cast<int>(TextFormatId::Special9) + 1;

// Bytes of text that go into the next row: all of it when at most 80 bytes remain,
// otherwise at most 79 without splitting a two-byte Big5 character.
std::size_t nextRowLength(std::string_view text);

// The index of the longest non-empty leading string that text begins with (compared
// byte for byte; on equal length the first wins), or -1.
int matchLeadingString(const Options& options, std::string_view text);

// Cuts client text into lines: a piece ends at CR LF, at a lone CR, at LF or at the end;
// an empty piece is given as a single blank, and an empty text is one blank line.
template <typename Visit>
void forEachClientLine(std::string_view text, Visit&& visit)
{
    std::size_t position = 0;
    do {
        std::size_t end = text.find_first_of("\r\n", position);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view piece = text.substr(position, end - position);
        visit(piece.empty() ? std::string_view(" ") : piece);
        position = end;
        if (position < text.size()) {
            const bool crLf = text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n';
            position += crLf ? 2 : 1;
        }
    } while (position < text.size());
}

const TextFormat& textFormatOf(const Options& options, TextFormatId id);

} // namespace marovin::shell
