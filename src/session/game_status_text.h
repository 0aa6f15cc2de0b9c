#pragma once
// What a game window shows of its game besides the board: the window caption and the
// status bar's values (move number and its flags, names, ratings, clock texts). Plain
// values; the board side paints them.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/game.h"

namespace marovin::session {

// The window caption by mode. In modes 0 and 5 a server game reads "Play (12) alice vs
// bob: 3 observers" ("Obse" when observed); a local game shows fileName (the file's name
// without its folder), or, without a file, its name followed by " (not saved)"; a server
// game that is no longer live shows its name followed by " (not live)", so that neither
// can be taken for a live game, and then (after its file's name too, once it has one) the
// resultSuffix. The busy, transfer and editing modes say what goes on.
std::string gameCaption(const model::CGame& game, std::string_view fileName = {});
// How a server game that is no longer live ended, for its caption: ": " and its result,
// when one is known; empty for any other game.
std::string resultSuffix(const model::CGame& game);

// A clock as " %02ld:%02ld" of whole minutes and the seconds left over (75 -> " 01:15").
// Negative clocks are shown as the format gives them.
std::string clockText(std::int64_t seconds);

// The move number shown while a game is sent or received: 10000 + the percent done.
constexpr int kTransferMoveNumber = 10000;

// The status bar's record. Line 1 is Red's line (name 1, rating 1, clock 1), line 2
// Black's; the move number stands on the line of the side to move.
struct StatusRecord {
    int redToMove = 1;    // 1: the side to move is the player on line 1
    int moveNumber = 1;   // the ply shown (moves played + 1), or 10000 + percent
    int browsingBack = 0; // 1: an earlier position of a server game is shown
    int branchHere = 0;   // 1: the shown move ends a line that branches into several
    int rating1 = 0;      // 0: not shown
    int rating2 = 0;
    std::string clockText1; // Big5 texts; an empty clock text shows no value
    std::string clockText2;
    std::string name1;
    std::string name2;
    bool clocksRunning = false; // the clocks are a live game's (drawn black, else grey)
    int lowClock = 0; // 1 or 2: that line's clock is the user's, under the low-time alarm

    friend bool operator==(const StatusRecord&, const StatusRecord&) = default;
};

// The turn part (move number, line, browsing-back and branch flags). Only in modes 0, 3, 4
// and 5; in other modes the record stays and the answer is false.
bool refreshTurn(StatusRecord& record, const model::CGame& game);
// Names, ratings and clocks. A game started from a set-up position and no longer live
// shows who moves first (" RED" or " Black" over " First") and no ratings.
void refreshPlayers(StatusRecord& record, const model::CGame& game);
// The clock texts only. A live game's clock shows once the server has given it; a game
// that is not live shows the clocks it holds (drawn grey, they do not run), none when both
// are 0.
void refreshClocks(StatusRecord& record, const model::CGame& game);

// Whether the shown move is the last of its line and that line continues in more than one
// alternative (the start position counts when the first move has alternatives).
bool branchHere(const model::CGame& game);

// "%5d " of the move number.
std::string moveNumberText(int moveNumber);
// "%2d%%" of the transfer percent held in a move number of 10000 or more.
std::string transferText(int moveNumber);
// "%s (%d)" with a rating that is not 0, else the name alone.
std::string playerText(std::string_view name, int rating);

} // namespace marovin::session
