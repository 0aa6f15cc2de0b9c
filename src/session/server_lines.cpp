#include "session/server_lines.h"

namespace marovin::session {

std::string_view tellSender(std::string_view line)
{
    if (line.empty() || line[0] != '#')
        return {};
    const std::size_t blank = line.find(' ');
    const std::string_view word = line.substr(1, blank == std::string_view::npos ? blank : blank - 1);
    return word.size() >= 2 ? word.substr(0, word.size() - 2) : std::string_view{};
}

std::string_view tellText(std::string_view line)
{
    const std::size_t blank = line.find(' ');
    return blank == std::string_view::npos ? std::string_view{} : line.substr(blank + 1);
}

bool isTransferTell(std::string_view text)
{
    constexpr std::string_view kSend = "send";
    if (text.size() < 5 || text[0] != '\x01')
        return false;
    for (std::size_t i = 0; i < kSend.size(); ++i) {
        char c = text[i + 1];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kSend[i])
            return false;
    }
    return true;
}

std::string_view confirmedLoginName(std::string_view line)
{
    constexpr std::string_view kLoginAs = "Login as ";
    if (!beginsWith(line, kLoginAs))
        return {};
    std::string_view rest = line.substr(kLoginAs.size());
    const std::size_t start = rest.find_first_not_of(" \t\r\n\v\f");
    if (start == std::string_view::npos)
        return {};
    rest = rest.substr(start);
    return rest.substr(0, rest.find_first_of(" \t\r\n\v\f"));
}

} // namespace marovin::session
