#pragma once
// Small helpers for the server's data files: tab-separated records with escaped fields,
// written atomically (a temporary file renamed over the old one), so that a crash or a
// kill never leaves a half-written file behind.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marovin::server {

// Escapes backslash, tab, CR and LF so that any text fits in one field of one line.
std::string escapeField(std::string_view text);
std::string unescapeField(std::string_view field);

// Splits a line at tabs and unescapes each field.
std::vector<std::string> splitRecord(std::string_view line);
// Joins escaped fields with tabs (no line end).
std::string joinRecord(const std::vector<std::string>& fields);

// Replaces path with content (a file only its owner may read): writes it beside, syncs it
// and renames it over the old one. Returns an empty string or the error text.
std::string writeFileAtomically(const std::string& path, std::string_view content);
// Appends the lines of a file (without line ends) to lines. An absent file has none.
// Returns an empty string or the error text.
std::string readLines(const std::string& path, std::vector<std::string>& lines);
// Makes a renamed or new file in the folder of path last through a crash (best effort).
void syncFolderOf(const std::string& path);

// Parses a decimal integer (digits after an optional '-'): nothing when the text is not
// one or does not fit in a long long.
std::optional<long long> parseInteger(std::string_view text);
// The same with a fallback for text that is not an integer.
long long toInteger(std::string_view text, long long fallback = 0);

// Reads a decimal integer that lies within [min, max]: nothing when the text is not a
// plain decimal number or lies outside. The whole value is checked before it is narrowed
// to T, so that no number wraps around into the range. Every number a client types or a
// data file holds is read through this.
template <typename T>
std::optional<T> parseNumber(std::string_view text, T min, T max)
{
    const std::optional<long long> value = parseInteger(text);
    if (!value || std::cmp_less(*value, min) || std::cmp_greater(*value, max))
        return std::nullopt;
    return static_cast<T>(*value);
}

// A word of decimal digits only (a number, whether or not it is in some range).
bool isDigits(std::string_view text);

// The default data folder: $XDG_DATA_HOME/marovin/server, else ~/.local/share/marovin/server.
std::string defaultDataDirectory();

} // namespace marovin::server
