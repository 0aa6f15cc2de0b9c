#include "session/match_request.h"

#include <algorithm>

#include "session/answer_text.h"
#include "session/server_lines.h"

namespace marovin::session {

namespace {

constexpr std::string_view kLetters = "ruenNrb";

// A name goes into a command line: visible bytes only (Big5 ones included).
bool isNameText(std::string_view text)
{
    return !text.empty() && text.size() <= kMatchNameLength && std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) > ' ' && c != '\x7f';
    });
}

bool isTimeText(std::string_view text)
{
    return !text.empty() && text.size() <= kMatchTimeLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void skipSpace(std::string_view& text)
{
    while (!text.empty() && isWordSpace(text.front()))
        text.remove_prefix(1);
}

// Consumes literal from the front of text (after white space when it begins with a blank).
bool expect(std::string_view& text, std::string_view literal)
{
    if (!literal.empty() && literal.front() == ' ') {
        skipSpace(text);
        literal.remove_prefix(1);
    }
    if (!beginsWith(text, literal))
        return false;
    text.remove_prefix(literal.size());
    return true;
}

// A word ending at white space or at stop.
std::string_view takeWord(std::string_view& text, char stop = '\0')
{
    skipSpace(text);
    std::size_t end = 0;
    while (end < text.size() && !isWordSpace(text[end]) && text[end] != stop)
        ++end;
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

} // namespace

std::string composeMatchLine(const MatchTerms& terms)
{
    const auto index = [](int value, int last) { return value >= 0 && value <= last ? value : 0; };
    std::string line = "match -";
    line += kLetters[static_cast<std::size_t>(index(terms.rated, 1))];
    line += kLetters[static_cast<std::size_t>(2 + index(terms.odds, 2))];
    line += "  " + terms.name + "  ";
    line += kLetters[static_cast<std::size_t>(5 + index(terms.colour, 1))];
    line += " " + terms.minutes + " " + terms.seconds;
    return line;
}

// Word 1 "Rated"/"Unrated", word 2 the odds ("even", "1-knight", "2-knights": only its
// first and third bytes are read), then "game in M minutes (S seconds increment)
// requested with NAME as COLOUR".
std::optional<MatchTerms> parseChallenge(std::string_view line)
{
    MatchTerms terms;
    std::string_view rest = line;
    const std::string_view rated = takeWord(rest);
    const std::string_view odds = takeWord(rest);
    if (rated.empty() || odds.empty())
        return std::nullopt;
    terms.rated = rated.front() == 'R' ? 0 : 1;
    if (odds.front() == 'e')
        terms.odds = 0;
    else if (odds.size() >= 3 && odds[2] == 'k')
        terms.odds = odds.front() == '1' ? 1 : 2;
    else
        return std::nullopt;
    std::string_view minutes;
    std::string_view seconds;
    std::string_view name;
    std::string_view colour;
    const bool read = expect(rest, " game in") && !(minutes = takeWord(rest)).empty() &&
                      expect(rest, " minutes (") && !(seconds = takeWord(rest)).empty() &&
                      expect(rest, " seconds increment) requested with") && !(name = takeWord(rest)).empty() &&
                      expect(rest, " as") && !(colour = takeWord(rest)).empty();
    if (!read || !isTimeText(minutes) || !isTimeText(seconds) || !isNameText(name))
        return std::nullopt;
    terms.minutes = minutes;
    terms.seconds = seconds;
    terms.name = name;
    terms.colour = colour.front() == 'r' ? 1 : 0;
    return terms;
}

bool admitMatchDialog(LastMatch& last, const MatchOpening& opening, int preferredColour)
{
    if (last.openMatchDialogs >= kMostMatchDialogs)
        return false;
    switch (opening.from) {
    case MatchOpening::From::Menu:
        last.terms.colour = preferredColour == 1 ? 1 : 0;
        break;
    case MatchOpening::From::Name:
        last.terms.name = opening.text.substr(0, kMatchNameLength);
        break;
    case MatchOpening::From::Challenge: {
        const std::optional<MatchTerms> challenge = parseChallenge(opening.text);
        if (!challenge)
            return false;
        const bool unchanged = *challenge == last.terms;
        last.terms = *challenge;
        if (unchanged && last.openMatchDialogs > 0)
            return false;
        break;
    }
    }
    ++last.openMatchDialogs;
    return true;
}

void matchDialogClosed(LastMatch& last)
{
    last.openMatchDialogs = std::max(last.openMatchDialogs - 1, 0);
}

std::optional<std::string> trimmedPlayerName(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t\r\n\v\f");
    if (start == std::string_view::npos)
        return std::nullopt;
    const std::size_t end = text.find_last_not_of(" \t\r\n\v\f");
    return std::string(text.substr(start, end - start + 1));
}

std::string busyReplyLine(std::string_view name)
{
    return "/ " + std::string(name) + ": " + std::string(kBusyReply) + "\r\n";
}

} // namespace marovin::session
