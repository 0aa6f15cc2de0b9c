#pragma once
// The fixed line forms the server writes and the client reads field by field.
//
//   who (one player, 38 characters):       "Reg. 12   - alice           1532   3m"
//   who -2 (two players, 79 characters):   first player, two blanks, second player with a
//                                          five-character idle column
//   who -b (both ratings, 43 characters):  "Reg. 12   - alice           1532/1480   3m"
//   games:                                 "  12] alice           (1532) bob             (1480)  20  10 re   14   2"
//   Game notices:
//     "Game 12 alice vs bob created. 20 min 1200 1200 10 1532 1480 0 rated even"
//     "Game 12 alice vs bob 3 H2-E2 1187 1195 10 1532 1480 2"
//     "Game 12 alice vs bob Black has been checkmated. 1-0"
//   match request:
//     "Rated even game in 20 minutes (10 seconds increment) requested with alice as red."
//
// Player words: the first word of a who entry is three letters of kind ("Reg" registered
// e-mail, "New", "Bot") and an open mark ('.' open for matches, 'X' not open).

#include <string>
#include <string_view>
#include <vector>

#include "live_game.h"

namespace marovin::server {

struct WhoEntry {
    std::string name;
    std::string kind = "New"; // three letters
    bool open = true;
    int playing = 0;   // game number, 0 none
    int observing = 0; // game number, 0 none
    std::string slowRating = "----";
    std::string fastRating = "----";
    long idleSeconds = 0;
};

enum class WhoLayout { Slow, Fast, TwoColumns, BothRatings };

// The who answer's lines (without line ends) for the entries in the given order.
std::vector<std::string> whoLines(const std::vector<WhoEntry>& entries, WhoLayout layout);
// Idle time in at most four characters: "45s", "12m", "3h", "99h+".
std::string idleText(long seconds);
// A rating as four characters, or "----" when hidden.
std::string ratingText(int rating, bool hidden);

struct GameListEntry {
    int number = 0;
    std::string red;
    std::string black;
    std::string redRating;
    std::string blackRating;
    GameTerms terms;
    int ply = 0;
    int observers = 0;
};
std::string gamesHeading();
std::string gamesLine(const GameListEntry& entry);

// The letters of the match command for terms: rated 'r' / unrated 'u', odds 'e', 'n', 'N'.
char ratedLetter(bool rated);
char oddsLetter(Odds odds);
// "even", "1-knight", "2-knights".
const char* oddsText(Odds odds);

std::string matchRequestText(const GameTerms& terms, std::string_view challenger, bool challengerRed);

struct NoticeNumbers {
    long redClock = 0;
    long blackClock = 0;
    int redRating = 0;
    int blackRating = 0;
    int observers = 0;
};
std::string createdNotice(const LiveGame& game, const NoticeNumbers& n);
std::string observeAddedLine(const LiveGame& game, const NoticeNumbers& n);
std::string moveNotice(const LiveGame& game, int eventNumber, std::string_view move, const NoticeNumbers& n);
// "Game N A vs B " + the ending text.
std::string endNotice(const LiveGame& game, std::string_view endingText);

// Stored-games lines: up to three "K red.black.id" items a line.
std::vector<std::string> storedLines(const std::vector<std::pair<char, std::string>>& items);

// A Unix time as "2026-12-07 08:15".
std::string dateText(long long seconds);

} // namespace marovin::server
