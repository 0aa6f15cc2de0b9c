#pragma once
// Staying connected: when the connection ends without the user asking (the server closes,
// a socket error, a network loss), the client tries again by itself after a growing wait,
// logs in with the account it used, observes again every game it was observing and offers
// to resume a game the user was playing that the server adjourned.
//
//   connection lost ── wait 1 s ── try 1 ── fails ── wait 2 s ── try 2 ── ... ── try 9: gives up
//                                    └── logged in: "observe N" for each observed game,
//                                        "stored" when a played game was lost; its answer
//                                        offers "restart red.black.id" for that game
//
// The user's own end of the connection (Disconnect, Connect while connected, a typed
// "quit", the server's "quit:") never reconnects, nor does a connection that was never
// logged in. The waits are counted on the terminal timer's tick, so they run by the clock
// port and a test can drive them with a fake one. Everything here is plain session logic:
// the socket and the timer are the context's ports.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marovin::model {
class CGame;
}

namespace marovin::session {

class ClientContext;

// The waits before the tries, in seconds: a little over four minutes in all.
inline constexpr int kReconnectDelaysSeconds[] = {1, 2, 4, 8, 16, 32, 60, 60, 60};
constexpr int kReconnectTries = static_cast<int>(std::size(kReconnectDelaysSeconds));
// A connection lost sooner than this after a reconnect went on with the same count of
// tries, so that two programs on one account that keep pushing each other out stop.
constexpr int kStableConnectionMs = 60'000;

enum class ReconnectPhase : std::uint8_t {
    Idle,       // connected, or not trying
    Waiting,    // the next try is due at nextTryMs
    Connecting, // a try runs: connecting or logging in
};

// A game that was live when the connection was lost: observed again (or resumed) after
// the next login, in the window it had when that window is still there and unchanged.
struct RejoinGame {
    int number = 0;
    std::string red;
    std::string black;
    bool playing = false;
    const model::CGame* window = nullptr; // observed only: looked up in the game list
    bool resumeOffered = false;           // the user answered Yes; the game restarts
};

struct ReconnectState {
    // The server and account of the last login (the account that answered the prompts).
    std::string host;
    int port = 0;
    std::string loginName;
    std::string password;

    bool userEnded = false; // the user asked for the end of this connection
    ReconnectPhase phase = ReconnectPhase::Idle;
    int tries = 0; // tries made since the connection was lost
    std::int64_t nextTryMs = -1;
    std::int64_t loggedInAtMs = -1;   // clock milliseconds of the last login
    bool lastLoginReconnected = false; // that login came from a try
    std::vector<RejoinGame> rejoin;
    bool awaitingStored = false; // the answer to the automatic "stored" is for us
    std::vector<std::string> pendingLines; // said once the terminal says the connection closed
};

// What the desktop shows while the client reconnects.
struct ReconnectStatus {
    bool active = false;
    bool connecting = false; // a try runs (otherwise it waits)
    int tryNumber = 0;       // the running or next try, from 1
    int secondsLeft = 0;     // until the next try
};

// The user asked for the end of the connection (Disconnect, Connect while connected, a
// typed "quit"): it ends without reconnecting, and any retries stop.
void noteUserDisconnect(ClientContext& context);
// The user connects by hand: retries stop without a word.
void stopReconnecting(ClientContext& context);
// Cancel on the desktop: retries stop, the socket of a running try closes.
void cancelReconnect(ClientContext& context);

// The server confirmed a login: remembers the server and the account, and after a try
// observes the lost games again and asks for the stored games when a played one was lost.
void reconnectAfterLogin(ClientContext& context);
// The connection ended (called before the session's games are marked not live).
void reconnectOnSessionEnd(ClientContext& context);
// After the terminal said that the connection closed: what happens next.
void reconnectAfterClose(ClientContext& context);
// Once a second: starts the try that is due, and notices a try that failed to connect.
void reconnectTick(ClientContext& context);

ReconnectStatus reconnectStatus(const ClientContext& context);
// While reconnecting is on and the user is logged in, or a try runs, a failing connection
// is told by its terminal line alone: no box waits for the user before the client heals it.
bool reconnectKeepsErrorsQuiet(const ClientContext& context);

// The answer to the automatic "stored": true when it was taken here (the user is asked
// whether to resume each adjourned game that was lost); false for the user's own request.
bool takeStoredAnswer(ClientContext& context, std::string_view output);

// The window that a lost game had, for the game that the server now reports again under
// number with these players (observed again, or resumed when playing): its record is
// cleared for the moves to come. Null when there is none, or when the user changed that
// record (a note, a side line): a new window opens then and the old one keeps the work.
model::CGame* takeRejoinWindow(ClientContext& context, int number, std::string_view red, std::string_view black,
                               bool playing);

} // namespace marovin::session
