#pragma once
// The server's game reports, acted upon: notices that begin "Game " (a game the user plays
// was created, a move with both clocks, an ending), the blocks that answer the client's
// own commands ("observe:", "moves:", "refresh:", "look:", "sendfile:"), the handicap
// lines, and the forced reply when the user has only one legal move. The games live in
// the context's game list; their windows are reached through its GameWindowsPort.
//
// A live game grows along alternative 0 of its record. Its server move counter keeps
// repeated and missed reports out: a numbered move is played only when its number is the
// counter plus one.

#include <cstdint>
#include <string_view>

#include "model/game.h"
#include "session/client_context.h"
#include "session/client_ports.h"

namespace marovin::session {

// ---- the parsers (the scanner reaches them through GameUpdates) ----------------------

// A line beginning "Game " soon after a prompt.
void ParseGameNotice(ClientContext& context, std::string_view line);
// Lines of the blocks. On the keyword line (collectedLines 0) game is null and line is the
// text after the keyword; further lines come with the first game waiting for an update.
void CollectObserve(ClientContext& context, model::CGame* game, std::string_view line);
void CollectMoveHistory(ClientContext& context, model::CGame* game, std::string_view line);
void CollectBoardDisplay(ClientContext& context, model::CGame* game, std::string_view line);
void CollectGameFile(ClientContext& context, model::CGame* game, std::string_view line);
// A line beginning "O". An "ODDS" line sets up the handicap of the current game (redrawn).
// True when the line was taken: an "ODDS" line with a current game, or any line while
// there is no current game.
bool OfferHandicapLine(ClientContext& context, std::string_view line);

// The one way a server move enters a game: coordinate text, or "undo" (the live game's
// last move is taken back; in a game that is not live, one browsed move).
void PlayServerMove(ClientContext& context, model::CGame& game, std::string_view text);
// In a game the user plays, at the user's turn, with exactly one legal move: sends it with
// the game number and plays it.
void PlayForcedReply(ClientContext& context, model::CGame& game);

// ---- what the session does to its games ----------------------------------------------

// At the ready prompt: the games waiting for an update return to mode 0 and are redrawn.
void FinishGameUpdates(ClientContext& context);
// The session ended: the live games are live no more.
void EndSessionGames(ClientContext& context);
// After server output that ended with the prompt: the quit-game question for each ended
// game, newest first; "Quit" closes that game and ends the walk.
void AskGameOverQuestions(ClientContext& context);
// Once a second: wall-clock seconds since the last update are taken off the clock of the
// side to move in every live game in mode 0.
void TickGameClocks(ClientContext& context, std::int64_t nowSeconds);

// The login name, the file form and the merge option, as the games read them, brought up
// to date from the session and the options.
void SyncGameSettings(ClientContext& context);

// The game side of the session: the GamePort the scanner calls.
class GameUpdates final : public GamePort {
public:
    GameUpdates() = default;
    GameUpdates(const GameUpdates&) = delete;
    GameUpdates& operator=(const GameUpdates&) = delete;

    // The context acted upon; until it is set every call does nothing.
    void attach(ClientContext& context) { m_context = &context; }

    void parseGameNotice(std::string_view line) override;
    void collectGameLine(Collector collector, std::string_view line, bool keywordLine) override;
    bool offerHandicapLine(std::string_view line) override;
    void clearCurrentGame() override;
    void finishUpdates() override;
    void endSessionGames() override;
    void askGameOverQuestions() override;
    void tickClocks(std::int64_t nowSeconds) override;

    // Games sent between players (see game_transfer.h).
    void resetTransfers() override;
    bool sendingGame() override;
    void sendNextGameLine() override;
    void onTransferTell(std::string_view text, std::string_view sender) override;

private:
    // Brings the settings up to date on entry and, when the outermost call returns,
    // destroys the games whose windows closed meanwhile.
    class Entry;

    ClientContext* m_context = nullptr;
    int m_depth = 0;
};

} // namespace marovin::session
