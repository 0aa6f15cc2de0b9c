#pragma once
// The commands of the active game window that send a line to the server or change the
// game: when each may act, and the exact line it sends.

#include <string>

#include "model/game.h"

namespace marovin::board {

enum class GameCommand {
    Adjourn,      // "adjourn %d"
    Pass,         // "pass %d"
    Resign,       // "resign %d", after a question
    Undo,         // "undo %d"
    AddTime,      // the game command dialog
    AllObservers, // "allobservers %d"
    TimeLeft,     // "timeleft %d"
    Kibitz,       // the game command dialog, its kibitz field focused
    RefreshGame,  // the live position or the end of the line
    Header,       // the game header window
    DeleteMoves,  // the current move and all after it
    SendGame,     // the game to another player, through tells
    StopSend,     // the game being sent
    StopReceive,  // the game being received
    Merge,        // game files into this game, or this game into game files
    SetupPosition, // editing the start position
    PromoteVariation, // the shown move's line made the main line
};

// Whether the command may act on game: Adjourn, Pass, Resign, Undo and Add Time while the
// user plays it; All Observers, Time Left and Kibitz while it is live; Header for a local
// game (one the server no longer reports, or one of the user's own); Delete Moves for a
// local game with moves in the normal mode; Refresh Game by canRefreshGame; Send Game for a
// local game with moves or a set-up start in the normal mode (and, beyond the game, only
// while logged in); Stop Send and Stop Receive while the game is sent or received; Merge
// for a local game in the normal mode that does not start from a set-up position; Setup
// Position for a local game in the normal mode; Promote Variation for a local game in the
// normal mode whose shown move lies off the main line.
bool gameCommandEnabled(GameCommand command, const model::CGame& game);

// The line a sending command sends for game number n, "\r\n" included ("pass 12\r\n");
// empty for the commands that send nothing themselves.
std::string gameCommandLine(GameCommand command, int number);

// The Resign menu item: "Resign(認輸) [%d] %s vs %s" while game is played, else "Resign"
// (Big5).
std::string resignMenuText(const model::CGame* game);
// The question before resigning: "resign [%d] %s vs %s".
std::string resignQuestion(const model::CGame& game);

} // namespace marovin::board
