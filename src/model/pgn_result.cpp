// Who won, from the result texts of game files and of the server's end lines:
//
//   1-0                                 a PGN token (also "0-1", "1/2-1/2", "1/2")
//   1-0 Black resigned                  the result of a stored game ("Date:" line)
//   Black has been checkmated. 1-0      a game's end line
//   Red has run out of time.            the loser named first, then how the game ended
//   draw. Agreed by both players.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "model/pgn.h"

namespace marovin::model {

namespace {

// The words of text in lower case, without the stops and commas after them.
std::vector<std::string> lowerWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            while (!word.empty() && (word.back() == '.' || word.back() == ',' || word.back() == '!'))
                word.pop_back();
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return words;
}

bool holds(const std::vector<std::string>& words, std::string_view word)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

} // namespace

std::string_view PgnResultToken(std::string_view result)
{
    const std::vector<std::string> words = lowerWords(result);
    for (const std::string_view token : {"1-0", "0-1", "1/2-1/2"})
        if (holds(words, token))
            return token;
    if (holds(words, "1/2") || holds(words, "draw") || holds(words, "drawn"))
        return "1/2-1/2";
    if (words.empty() || (words[0] != "red" && words[0] != "black"))
        return "*";
    const bool lost = holds(words, "resigned") || holds(words, "checkmated") || holds(words, "stalemated") ||
                      holds(words, "run") || holds(words, "forfeits");
    if (!lost)
        return "*";
    return words[0] == "red" ? "0-1" : "1-0";
}

} // namespace marovin::model
