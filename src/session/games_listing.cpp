#include "session/games_listing.h"

#include <algorithm>

#include "session/answer_text.h"

namespace marovin::session {

namespace {

constexpr long kHighestGameNumber = 999'999;

// The rating a word carries after its first byte; 0 when none.
long ratingAfterFirstByte(std::string_view word)
{
    return word.empty() ? 0 : leadingNumber(word.substr(1), 0);
}

struct LineRatings {
    long red = 0;
    long black = 0;
};

// The two ratings of a game line, or none when its four words cannot be read.
std::optional<LineRatings> lineRatings(std::string_view line)
{
    std::size_t start = 5;
    for (std::size_t at = 2; at <= 4; ++at) {
        if (at < line.size() && line[at] == ']') {
            start = at + 1;
            break;
        }
    }
    WordReader words(line.substr(std::min(start, line.size())));
    std::string_view word[4];
    for (std::string_view& w : word)
        w = words.word();
    if (word[3].empty())
        return std::nullopt;
    return LineRatings{ratingAfterFirstByte(word[1]), ratingAfterFirstByte(word[3])};
}

} // namespace

GamesListing parseGamesList(std::string_view answer)
{
    GamesListing listing;
    long best = -1;
    forEachAnswerLine(answer, [&](std::string_view line) {
        const int number = static_cast<int>(listing.lines.size());
        listing.lines.emplace_back(line);
        const std::optional<LineRatings> ratings = number == 0 ? std::nullopt : lineRatings(line);
        if (!ratings)
            return true;
        for (const long rating : {ratings->red, ratings->black}) {
            if (rating >= best) {
                best = rating;
                listing.chosen = number;
            }
        }
        return true;
    });
    return listing;
}

std::optional<int> gameNumberOfLine(std::string_view line)
{
    std::size_t at = 1;
    while (at < 5 && at < line.size() && line[at] == ' ')
        ++at;
    std::size_t end = at;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9')
        ++end;
    if (end == at || end >= line.size() || line[end] != ']')
        return std::nullopt;
    const long number = leadingNumber(line.substr(at, end - at), -1, kHighestGameNumber);
    if (number < 0)
        return std::nullopt;
    return static_cast<int>(number);
}

std::string observeGameLine(int number)
{
    return "observe " + std::to_string(number) + "\r\n";
}

} // namespace marovin::session
