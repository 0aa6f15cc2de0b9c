#pragma once
// Games sent between two players through tells, with no help from the server. The sender
// writes the game in the send form and tells it to the receiver one line per ready prompt:
//
//   01 "send<sequence> <percent> <line>" CR LF   one line of the game, numbered from 1
//   01 "sendO" CR LF                             everything was sent
//   01 "sendC" LF                                the sender stops
//   01 "sendR" CR LF (or LF)                     the receiver stops, or refuses a line
//
// The receiver rebuilds the game line by line in a new game window (mode receiving) and
// shows the percentage; either side can stop. A line out of order, from another player or
// that cannot be a line of the send form is refused with "Send order error" and a cancel
// to its sender, and the game being received stays as it was. A first line that opens no
// game is refused the same way and leaves the receiver idle.
//
// The sender pauses 150 ms after each tell, or 2000 ms once the tells since the last long
// pause add up to more than 250 bytes (each counted whole, "tell NAME " included).

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/game.h"
#include "session/client_context.h"

namespace marovin::session {

// Asks the user for the player to send a game to (nothing: the user cancelled).
using AskPlayerName = std::function<std::optional<std::string>()>;

// Where the game being sent is written first (the data folder).
std::string transferFilePath();

// "Send Game": only when logged in; a game that is live on the server is refused with
// "Cannot send playing games.". Asks for the player, writes the game to the transfer file
// in the send form and sends its first line. False when nothing was started.
bool startSendGame(ClientContext& context, model::CGame& game, const AskPlayerName& askPlayer);

// After server output that ended with the ready prompt while a game is being sent: the
// next non-empty line of the file, paced (the program keeps painting meanwhile), or, at
// the end of the file, "sendO".
void sendNextGameLine(ClientContext& context);

// The send ends: the game being sent returns to mode 0, the file is forgotten.
void abortSend(ClientContext& context);

// A tell whose text begins with 01 "send" (text from the 01 byte) from sender.
void onTransferTell(ClientContext& context, std::string_view text, std::string_view sender);

// "Stop Send Game", "Stop Receive Game", or the window of game closing: stops the transfer
// that game takes part in and tells the other player; nothing for any other game.
void stopTransfer(ClientContext& context, model::CGame& game);

// The session was reset: the game being received is left, the send is abandoned.
void resetTransfers(ClientContext& context);

// The text of a move line's pair: two characters 33 + square each ("!+" is "A9-B8");
// nothing when a character is not a square.
std::optional<std::string> transferPairText(char from, char to);

} // namespace marovin::session
