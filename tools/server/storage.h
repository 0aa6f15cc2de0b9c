#pragma once
// Small helpers for the server's data files: tab-separated records with escaped fields,
// written atomically (a temporary file renamed over the old one), so that a crash or a
// kill never leaves a half-written file behind.

#include <string>
#include <string_view>
#include <vector>

namespace marovin::server {

// Escapes backslash, tab, CR and LF so that any text fits in one field of one line.
std::string escapeField(std::string_view text);
std::string unescapeField(std::string_view field);

// Splits a line at tabs and unescapes each field.
std::vector<std::string> splitRecord(std::string_view line);
// Joins escaped fields with tabs (no line end).
std::string joinRecord(const std::vector<std::string>& fields);

// Replaces path with content (a file only its owner may read). Returns an empty string or
// the error text.
std::string writeFileAtomically(const std::string& path, std::string_view content);
// The lines of a file (without line ends); an absent file gives no lines.
std::vector<std::string> readLines(const std::string& path);

// Parses a decimal integer, or returns fallback when the text is not one.
long long toInteger(std::string_view text, long long fallback = 0);

// The default data folder: $XDG_DATA_HOME/marovin/server, else ~/.local/share/marovin/server.
std::string defaultDataDirectory();

} // namespace marovin::server
