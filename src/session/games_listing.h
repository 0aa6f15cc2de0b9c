#pragma once
// The answer of a "games" command as the games list shows it: the lines unchanged, the
// line of the strongest game chosen, and the number of the game a line stands for.
//
//      #] Red             Rating Black           Rating Min Inc Kind  Ply Obs
//     12] alice           (1532) bob             (1480)  20  10  re    14   2
//
// Line 0 is the heading. A game line has "]" at byte 2, 3 or 4 with the game number
// before it; the second and fourth words after it carry a rating after one byte.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marovin::session {

struct GamesListing {
    std::vector<std::string> lines; // every line of the answer, the heading and empty ones included
    int chosen = 0;                 // the line with the highest rating (ties: the later line); 0 without games
};

GamesListing parseGamesList(std::string_view answer);

// The number of the game on line: after blanks from byte 1 (up to byte 5), a decimal
// number followed by "]". None when the line holds no such number.
std::optional<int> gameNumberOfLine(std::string_view line);

// "observe N" with its line end.
std::string observeGameLine(int number);

} // namespace marovin::session
