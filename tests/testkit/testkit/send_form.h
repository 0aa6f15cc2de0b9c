#pragma once
// The send form of a game file as a transfer carries it to the receiver's game reader.

#include <algorithm>
#include <string>
#include <vector>

#include "model/position.h"

namespace marovin::testkit {

// The lines of text as the transfer sends them (at most 2799 bytes of a line, its line end
// removed; empty lines are not sent; the server drops blanks at a line's end unless
// keepBlanks), turned back into game lines as the receiver does: "H" removed, every "M" pair
// made into coordinate text. A line that is neither is handed on whole.
inline std::vector<std::string> sendFormGameLines(const std::string& text, bool keepBlanks = false)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        std::string line = text.substr(start, std::min<std::size_t>(end - start, 2799));
        start = end;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        while (!keepBlanks && !line.empty() && line.back() == ' ')
            line.pop_back();
        if (line.empty())
            continue;
        if (line[0] != 'M') {
            lines.push_back(line[0] == 'H' ? line.substr(1) : line);
            continue;
        }
        for (std::size_t i = 1; i + 1 < line.size(); i += 2)
            lines.push_back(model::FormatCoordinateMove(static_cast<model::Square>(static_cast<unsigned char>(line[i]) - 33),
                                                        static_cast<model::Square>(static_cast<unsigned char>(line[i + 1]) - 33)));
    }
    return lines;
}

} // namespace marovin::testkit
