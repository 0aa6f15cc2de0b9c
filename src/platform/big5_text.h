#pragma once
// Big5 bytes at the glass: the one place where the Qt layer turns the program's text into
// what it shows, and what the user types back into bytes.

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/ports.h"

namespace marovin::platform {

QString fromBig5(std::string_view big5);
// Characters that Big5 lacks become '?': for texts that stay in the program.
std::string toBig5(const QString& text);

// Text whose lines end in CR LF (records, server answers) as a text box keeps it: lines
// ended by LF alone.
QString fromBig5Lines(std::string_view big5);
// A text box's text with its lines ended in CR LF.
QString withCrLf(const QString& shown);

// For text that goes to the server or into a record: the text in Big5, or nothing when it
// holds a character that Big5 lacks. Then the user has been told which ones, and nothing
// must be sent or stored.
std::optional<std::string> toBig5Checked(const QString& text, DesktopPort& desktop);
// The message that toBig5Checked shows for the characters (UTF-8 each) that Big5 lacks.
std::string unencodableMessage(const std::vector<std::string>& characters);

} // namespace marovin::platform
