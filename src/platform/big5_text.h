#pragma once
// Big5 bytes at the glass: the one place where the Qt layer turns the program's text into
// what it shows, and what the user types back into bytes.

#include <QString>

#include <string>
#include <string_view>

namespace marovin::platform {

QString fromBig5(std::string_view big5);
std::string toBig5(const QString& text);

} // namespace marovin::platform
