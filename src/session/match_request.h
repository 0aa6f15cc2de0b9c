#pragma once
// Challenges: the terms of a "match" line, the values last used (remembered for the run
// and shared by the who window and the match dialogs), and the challenges the server
// reports:
//
//   Rated even game in 20 minutes (10 seconds increment) requested with alice as red.
//   Unrated 1-knight game in 5 minutes (0 seconds increment) requested with bob as black.

#include <optional>
#include <string>
#include <string_view>

namespace marovin::session {

constexpr int kMatchNameLength = 15; // bytes of a player name in a match line
constexpr int kMatchTimeLength = 3;  // bytes of the minutes and seconds texts
constexpr int kMostMatchDialogs = 5;

// The terms of a challenge. rated: 0 rated, 1 unrated; odds: 0 even, 1 one knight,
// 2 two knights; colour: 0 red, 1 black (the user's).
struct MatchTerms {
    std::string name;
    std::string minutes = "20";
    std::string seconds = "10";
    int colour = 0;
    int rated = 0;
    int odds = 0;

    bool operator==(const MatchTerms&) const = default;
};

// "match -%c%c  %s  %c %s %s": rated letter (r/u), odds letter (e/n/N), the name, colour
// letter (r/b), minutes, seconds; no line end. Indices out of range count as 0.
std::string composeMatchLine(const MatchTerms& terms);

// A challenge line reported by the server, read into terms from the challenged side
// (colour: the other side of the challenger's). None when the line is not a challenge:
// a missing word, odds or times that do not read (times are 1 to 3 digits), a name longer
// than kMatchNameLength or with control bytes.
std::optional<MatchTerms> parseChallenge(std::string_view line);

// The values last used and the number of match dialogs open, for the whole run.
struct LastMatch {
    MatchTerms terms;
    int openMatchDialogs = 0;
};

// What a new match dialog starts from.
struct MatchOpening {
    enum class From { Menu, Name, Challenge } from = From::Menu;
    std::string_view text; // the name or the challenge line
};

// Decides whether a match dialog opens and updates the last values: at most
// kMostMatchDialogs, a challenge must read, and a challenge that repeats the last values
// while another dialog is open opens none. True: a dialog opens (and is counted; call
// matchDialogClosed when it goes). preferredColour: the colour a dialog from the menu takes.
bool admitMatchDialog(LastMatch& last, const MatchOpening& opening, int preferredColour);
void matchDialogClosed(LastMatch& last);

// The name of a match dialog's edit, trimmed at both ends (blanks, tabs, line ends); none
// when nothing is left.
std::optional<std::string> trimmedPlayerName(std::string_view text);

// The replies of the match dialog, each with its line end.
inline constexpr std::string_view kSetOpenOn = "set open on\r\n";
inline constexpr std::string_view kBusyReply = "I'm busy now. Play later.";
std::string busyReplyLine(std::string_view name); // "/ NAME: I'm busy now. Play later."

} // namespace marovin::session
