#include "formats.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace marovin::server {

namespace {

std::string format(const char* pattern, auto... args)
{
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, args...);
    return std::string(buffer, static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(sizeof buffer) - 1)));
}

std::string numberOrDash(int number) { return number > 0 ? std::to_string(number) : "-"; }

// Word 1..4 of a who entry, common to all layouts: "Reg.", play, obs, name.
std::string whoHead(const WhoEntry& e)
{
    return format("%-3.3s%c %3.3s %3.3s %-15.15s", e.kind.c_str(), e.open ? '.' : 'X', numberOrDash(e.playing).c_str(),
                  numberOrDash(e.observing).c_str(), e.name.c_str());
}

std::string whoEntry(const WhoEntry& e, bool slow, int idleWidth)
{
    return whoHead(e) + format(" %4.4s %*.*s", (slow ? e.slowRating : e.fastRating).c_str(), idleWidth, idleWidth,
                               idleText(e.idleSeconds).c_str());
}

} // namespace

std::string idleText(long seconds)
{
    seconds = std::max(0L, seconds);
    if (seconds < 60)
        return std::to_string(seconds) + "s";
    if (seconds < 3600)
        return std::to_string(seconds / 60) + "m";
    if (seconds < 100 * 3600)
        return std::to_string(seconds / 3600) + "h";
    return "99h+";
}

std::string ratingText(int rating, bool hidden)
{
    if (hidden)
        return "----";
    return std::to_string(std::clamp(rating, 1000, 9999));
}

std::vector<std::string> whoLines(const std::vector<WhoEntry>& entries, WhoLayout layout)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const WhoEntry& e = entries[i];
        switch (layout) {
        case WhoLayout::Slow:
        case WhoLayout::Fast:
            lines.push_back(whoEntry(e, layout == WhoLayout::Slow, 4));
            break;
        case WhoLayout::BothRatings:
            lines.push_back(whoHead(e) + format(" %4.4s/%4.4s %4.4s", e.slowRating.c_str(), e.fastRating.c_str(),
                                                idleText(e.idleSeconds).c_str()));
            break;
        case WhoLayout::TwoColumns:
            if (i + 1 < entries.size()) {
                lines.push_back(whoEntry(e, true, 4) + "  " + whoEntry(entries[i + 1], true, 5));
                ++i;
            } else {
                lines.push_back(whoEntry(e, true, 4));
            }
            break;
        }
    }
    return lines;
}

std::string gamesHeading()
{
    return "   #] Red             Rating Black           Rating Min Inc Kind  Ply Obs";
}

char ratedLetter(bool rated) { return rated ? 'r' : 'u'; }

char oddsLetter(Odds odds)
{
    switch (odds) {
    case Odds::OneKnight: return 'n';
    case Odds::TwoKnights: return 'N';
    case Odds::Even: break;
    }
    return 'e';
}

const char* oddsText(Odds odds)
{
    switch (odds) {
    case Odds::OneKnight: return "1-knight";
    case Odds::TwoKnights: return "2-knights";
    case Odds::Even: break;
    }
    return "even";
}

std::string gamesLine(const GameListEntry& e)
{
    return format("%4d] %-15.15s (%4.4s) %-15.15s (%4.4s) %3d %3d  %c%c  %4d %3d", e.number, e.red.c_str(),
                  e.redRating.c_str(), e.black.c_str(), e.blackRating.c_str(), e.terms.minutes, e.terms.increment,
                  ratedLetter(e.terms.rated), oddsLetter(e.terms.odds), e.ply, e.observers);
}

std::string matchRequestText(const GameTerms& terms, std::string_view challenger, bool challengerRed)
{
    return format("%s %s game in %d minutes (%d seconds increment) requested with %.*s as %s.",
                  terms.rated ? "Rated" : "Unrated", oddsText(terms.odds), terms.minutes, terms.increment,
                  static_cast<int>(challenger.size()), challenger.data(), challengerRed ? "red" : "black");
}

namespace {
std::string gamePrefix(const LiveGame& game)
{
    return format("Game %d %s vs %s ", game.number(), game.red().c_str(), game.black().c_str());
}
std::string clockFields(const LiveGame& game, const NoticeNumbers& n)
{
    return format("%ld %ld %d %d %d %d", n.redClock, n.blackClock, game.terms().increment, n.redRating,
                  n.blackRating, n.observers);
}
} // namespace

std::string createdNotice(const LiveGame& game, const NoticeNumbers& n)
{
    return gamePrefix(game) + format("created. %d min ", game.terms().minutes) + clockFields(game, n) +
           (game.terms().rated ? " rated " : " unrated ") + oddsText(game.terms().odds);
}

std::string observeAddedLine(const LiveGame& game, const NoticeNumbers& n)
{
    return gamePrefix(game) + format("added to your observation list. %d min ", game.terms().minutes) +
           clockFields(game, n);
}

std::string moveNotice(const LiveGame& game, int eventNumber, std::string_view move, const NoticeNumbers& n)
{
    return gamePrefix(game) + std::to_string(eventNumber) + " " + std::string(move) + " " + clockFields(game, n);
}

std::string endNotice(const LiveGame& game, std::string_view endingText)
{
    return gamePrefix(game) + std::string(endingText);
}

std::vector<std::string> storedLines(const std::vector<std::pair<char, std::string>>& items)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i % 3 == 0)
            lines.emplace_back();
        else
            lines.back() += "  ";
        lines.back() += std::string(1, items[i].first) + " " + items[i].second;
    }
    return lines;
}

std::string dateText(long long seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &tm);
    return buffer;
}

} // namespace marovin::server
