#pragma once
// The alerts of the session's events: which sound plays and which desktop notification
// shows, as the user's alert settings choose. The events are met where the session handles
// them (a server move, a tell, a challenge, the start and end of the user's game); this
// unit decides what they sound and say.

#include "model/position.h"
#include "session/alert_ports.h"

namespace marovin::model {
class CGame;
}

namespace marovin::session {

class ClientContext;

// Plays the sound of event when that sound is on.
void alertSound(ClientContext& context, SoundEvent event);
// Hands the notice to the desktop when that notification is on.
void alertNotice(ClientContext& context, const Notice& notice);

// A move was played into game, a live game the user plays, from the position before
// (the live board before it): the move, capture or check sound, and, when the opponent
// made it, the notice "NAME moved" with the move in Chinese notation and as coordinates.
void alertGameMove(ClientContext& context, const model::CGame& game, const model::Board& before,
                   model::SquarePair move);
// The user's game started (created or resumed).
void alertGameStart(ClientContext& context);
// The user's game ended: the sound and the notice with the server's words (endText).
void alertGameEnd(ClientContext& context, const model::CGame& game, std::string_view endText);
// An incoming tell line ("#NAME>: text") from sender.
void alertTell(ClientContext& context, std::string_view sender, std::string_view line);
// A challenge line ("Rated ..." / "Unrated ...").
void alertChallenge(ClientContext& context, std::string_view line);

} // namespace marovin::session
