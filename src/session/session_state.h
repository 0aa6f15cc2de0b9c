#pragma once
// The session record: one per program, shared by the connection, the scanner, the login
// sequence and the command-script sender. Plain data; the operations that change it live
// in the scanner (resetSession, endSession), the login code and the script sender.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace marovin::model {
class CGame;
}

namespace marovin::session {

// Values of SessionState::loginState.
namespace login_state {
constexpr int kNone = -1;
constexpr int kLoginPromptSeen = 1;
constexpr int kPasswordPromptSeen = 2;
constexpr int kLoggedIn = 5;
} // namespace login_state

// Classification of the line being assembled; fixed while the line is read.
enum class LineKind : std::uint8_t {
    Undecided,
    Special,          // first byte "!", "#" or "{"
    Ordinary,         // a blank or tab arrived and nothing else applies
    Keyword,          // first word ends with ":" and a blank follows (keywordLength)
    PasswordMismatch, // "Passwords do not match" before login
};

// Who receives the lines of the collection in progress.
enum class Collector : std::uint8_t {
    None,
    BoardDisplay, // "look:"
    GameFile,     // "sendfile:"
    Observe,      // "observe:"
    MoveHistory,  // "moves:", "refresh:" and the lines after a "created." notice
    Generic,      // lists handed to a window at the next prompt (see PendingOutput)
};

// What the running generic collection is for (values as stored in pendingOutput).
namespace pending_output {
constexpr int kNone = 0;
constexpr int kFinger = 1;
constexpr int kStored = 2;
constexpr int kGames = 3;
constexpr int kMessage = 4;
constexpr int kAlias = 5;
constexpr int kWho = 8;
constexpr int kKibitz = 9;
} // namespace pending_output

// Kinds of queued who requests.
constexpr int kWhoFull = 0;  // "who -f"
constexpr int kWhoPlain = 1; // any other who

constexpr std::size_t kLineBufferSize = 3008;
constexpr int kLongestLine = 2990; // a line longer than this is cut after its next byte
constexpr int kWhoQueueSlots = 20;

// A game sent to or received from another player through tells (one direction each at
// a time). The games are those of the game list; they are looked up there before use, as
// their windows may have closed.
struct TransferState {
    // ---- sending ----
    char transferPeer[16]{};       // the player the game goes to
    int sendSequence = 0;          // 0 idle; otherwise the number of the next line to send
    std::string sendFile;          // the send form of the game, as written to the transfer file
    std::size_t sendBytesRead = 0; // how far sendFile has been sent
    int bytesSincePause = 0;       // tell bytes sent since the last long pause
    model::CGame* sendingGame = nullptr;

    // ---- receiving ----
    int receiveSequence = 0; // 0 idle; otherwise the number of the line expected next
    int expectedLine = -1;   // the line counter of the game being read; -1 idle
    model::CGame* receivingGame = nullptr;
    std::string transferSender; // the player the game comes from
};

struct SessionState {
    // ---- login ----
    int loginState = login_state::kNone;
    int passwordMismatch = 0;   // "Passwords do not match" seen, until "Login as "
    char storedLoginName[16]{}; // answer to the login prompt; empty: the user types it
    char storedPassword[16]{};  // answer to the password prompt
    std::string loggedInName;   // the name the server confirmed
    char currentPassword[32]{}; // storedPassword as it was when the login was confirmed
    // Milliseconds (the clock's counter) by which a login prompt must have come after the
    // connection opened; -1 once one came, or when no connection waits for one.
    std::int64_t loginPromptDeadline = -1;

    // ---- line framing ----
    char lineBuffer[kLineBufferSize]{}; // the line being assembled, NUL-terminated
    int lineLength = -1;                // -1: the next byte starts a new line
    bool lineComplete = false;          // the line was handed on; the next byte starts a new one
    LineKind lineKind = LineKind::Undecided;
    int keywordLength = 0; // with LineKind::Keyword: characters up to and including the blank
    int colonChecked = 0;
    int linesSincePrompt = 0;
    int promptJustSeen = 0; // -1 from a prompt until the next non-empty line is handled

    // ---- collections ----
    Collector collector = Collector::None;
    int collectedLines = -1; // -1 idle; 0 on the keyword line, then counts further lines
    int pendingOutput = pending_output::kNone;
    std::string collectedOutput; // the generic collection, each line followed by "\r\n"

    // ---- who requests (fed by sendCommand, drained at the prompt after a who list) ----
    std::array<int, kWhoQueueSlots> whoKinds{};
    int whoCount = 0;

    // ---- scripts and shutdown ----
    int scriptMayContinue = 0;      // set at every ready prompt; the script sender waits for it
    int outputSuspended = 0;        // the program is shutting down: ignore all input
    int scriptDepth = 0;            // command scripts being sent (one may wait inside another)
    std::int64_t lastAutoSend = -1; // seconds; -1 until the first timer tick after login

    // ---- games sent between players ----
    TransferState transfer;

    // ---- received bytes not yet scanned (a nested read continues where the outer stopped) ----
    std::string input;
    std::size_t inputPosition = 0;
    bool afterChunkDue = false;
};

inline bool isLoggedIn(const SessionState& state)
{
    return state.loginState == login_state::kLoggedIn;
}

} // namespace marovin::session
