#pragma once
// Small steps shared by the game parsers (internal to the session's game code).

#include <string_view>

#include "model/game.h"
#include "session/client_context.h"
#include "session/game_lines.h"

namespace marovin::session {

// The notice's numbers that are present replace the game's; the others stay.
void applyGameNumbers(model::CGame& game, const GameNumbers& numbers);

// Resets the position of game, which becomes the game that handicap lines refer to.
void resetGamePosition(ClientContext& context, model::CGame& game);

// The window of game, when the desktop has windows.
void redrawGame(ClientContext& context, model::CGame& game);
void refreshStatus(ClientContext& context, model::CGame& game);
void refreshClocks(ClientContext& context, model::CGame& game);

// Whether a player name of a notice names the user: the same bytes as the login name, as
// far as the 15 bytes a name field keeps.
bool isUserName(std::string_view name, std::string_view loginName);

} // namespace marovin::session
