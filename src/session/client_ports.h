#pragma once
// What the session needs from the desktop beyond the core ports of support/ports.h:
// the input line's state label, the terminal frame, the tell window, the list windows,
// the login window, and the game side (game windows, their parsers and transfers).
//
// The Qt layer implements ClientDesktopPort; the game side is implemented by the game
// update parsers and the game windows. Tests use the recording fakes of
// tests/testkit/testkit/session_fakes.h. All text is 8-bit, Chinese in Big5.

#include <cstdint>
#include <optional>
#include <string_view>

#include "session/session_state.h"
#include "support/ports.h"

namespace marovin::session {

// Text colours of the input line's state label (0x00BBGGRR).
constexpr std::uint32_t kLabelIdle = 0x000000;        // after a session reset
constexpr std::uint32_t kLabelCommandSent = 0x0000C0; // a command went out
constexpr std::uint32_t kLabelReady = 0x00FFFF;       // the server's ready prompt arrived

class ClientDesktopPort {
public:
    virtual ~ClientDesktopPort() = default;

    // ---- input line and terminal frame ----
    // Colour: none keeps the current one. Text: when given, the label shows " " + text.
    virtual void setStatusLabel(std::optional<std::uint32_t> colour,
                                std::optional<std::string_view> text) = 0;
    // Brings the terminal window to the front.
    virtual void raiseTerminal() = 0;
    virtual void setTerminalTitle(std::string_view title) = 0;
    // Shows a line still being received (at most 80 bytes, leading-string colouring); the
    // next line written to the terminal, partial or complete, replaces its row.
    virtual void showPartialLine(std::string_view text) = 0;
    // Lets the platform handle one pending event (a script sender waiting for the prompt
    // resumes); may do nothing.
    virtual void handleOnePendingEvent() = 0;
    // True while the left mouse button is held down (the game-over questions then wait).
    virtual bool leftButtonDown() = 0;

    // ---- tell window ----
    virtual void appendTellLine(TextFormatId format, std::string_view line) = 0;
    virtual void setPlayerName(std::string_view name) = 0;

    // ---- list windows, each given the collected lines (each followed by "\r\n") ----
    // kind: kWhoPlain or kWhoFull, the request this list answers.
    virtual void updateWhoList(std::string_view output, int kind) = 0;
    virtual void showWhoWindow() = 0;
    // Shows the games window (creating it the first time) and fills it.
    virtual void updateGamesList(std::string_view output) = 0;
    virtual void createStoredGamesWindow(std::string_view output) = 0;
    virtual void createFingerWindow(std::string_view output) = 0;
    virtual void openMessageDialog(std::string_view output) = 0;
    // A new modeless "Result of <Alias -l>" window showing output in the list font.
    virtual void openAliasResult(std::string_view output) = 0;
    // A match request line ("Rated ..." / "Unrated ...").
    virtual void openMatchDialog(std::string_view line) = 0;
    // Posts "&Login Dialog" to the main frame (the window opens after the current event).
    virtual void openLoginWindow() = 0;
};

// The game side: game windows, the parsers of the server's game reports, the game-over
// questions and game transfers between players. The scanner calls these with the right
// text at the right time; what they do with it is theirs.
class GamePort {
public:
    virtual ~GamePort() = default;

    // A line beginning "Game " within the first four lines after a prompt.
    virtual void parseGameNotice(std::string_view line) = 0;
    // A line of a game collection. keywordLine: the text after the keyword on the line
    // that opened the collection (no game); otherwise a further line, for the first game
    // window waiting for an update. The collectors may stop the collection or install
    // another collector through the session record.
    virtual void collectGameLine(Collector collector, std::string_view line, bool keywordLine) = 0;
    // A line beginning "O": true when the handicap handling took it.
    virtual bool offerHandicapLine(std::string_view line) = 0;
    // Forgets the game that handicap lines refer to (at every prompt and session reset).
    virtual void clearCurrentGame() = 0;
    // At the ready prompt: every game waiting for an update returns to mode 0, redrawn.
    virtual void finishUpdates() = 0;
    // The game part of ending a session: live games become not live.
    virtual void endSessionGames() = 0;
    // The transfer part of resetting a session: receiving stops, an unfinished send is
    // abandoned.
    virtual void resetTransfers() = 0;
    // True while a game is being sent to another player (one line per ready prompt).
    virtual bool sendingGame() = 0;
    virtual void sendNextGameLine() = 0;
    // A tell whose text begins with byte 01 and "send": text from the 01 byte.
    virtual void onTransferTell(std::string_view text, std::string_view sender) = 0;
    // After a chunk that ended with the prompt: the quit-game questions of ended games.
    virtual void askGameOverQuestions() = 0;
    // Once a second: the clocks of the live games run.
    virtual void tickClocks(std::int64_t nowSeconds) = 0;
};

} // namespace marovin::session
