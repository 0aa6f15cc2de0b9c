#pragma once
// One game being played on the server: its terms, the position, the record of moves and
// take-backs as the clients number them, the two clocks, and the pending offers.
//
// Every move and every take-back is one numbered event; clients count both (a report is
// accepted when its number is one more than the last), so the event list, not the move
// list, is what a newcomer replays when it starts observing.
//
// Clocks run on game time: real milliseconds times the clock speed.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "model/position.h"
#include "transport.h"

namespace marovin::server {

enum class Odds : std::uint8_t { Even, OneKnight, TwoKnights };

// The longest time a match may give: minutes, and seconds of increment.
constexpr int kMaxMatchTime = 300;
// No clock holds more than 100 days, however often time is added to it or whatever a
// stored game says, so that clock arithmetic never overflows.
constexpr std::int64_t kMaxClockMs = 100LL * 24 * 60 * 60 * 1000;

struct GameTerms {
    bool rated = true;
    Odds odds = Odds::Even;
    int minutes = 20;
    int increment = 10;
    // Games shorter than 15 minutes count towards the fast rating.
    bool fast() const { return minutes < 15; }
};

enum class Ending : std::uint8_t {
    None,
    Checkmate,  // the side to move is mated
    Stalemate,  // the side to move cannot move (a loss in this game)
    Resignation,
    Time,
    Draw,
    MoveLimit,
};

class LiveGame {
public:
    LiveGame(int number, std::string red, std::string black, GameTerms terms, Millis now, double clockSpeed);

    // Replays the moves of an adjourned game (coordinate texts) and sets both clocks.
    // Returns false when a move does not apply.
    bool resume(const std::vector<std::string>& moves, std::int64_t redMs, std::int64_t blackMs, Millis now);

    int number() const { return m_number; }
    const std::string& red() const { return m_red; }
    const std::string& black() const { return m_black; }
    const GameTerms& terms() const { return m_terms; }
    const model::Board& board() const { return m_board; }
    bool redToMove() const { return m_moves.size() % 2 == 0; }
    int ply() const { return static_cast<int>(m_moves.size()); }
    // Numbered events as sent to clients: coordinate texts and "undo".
    const std::vector<std::string>& events() const { return m_events; }
    // The moves on the board now, as coordinate texts.
    std::vector<std::string> moveTexts() const;
    // How often the position now on the board (with the side to move) has occurred.
    int repetitions(const model::Board& board, bool redToMove) const;
    // The handicap word of the start position ("KNIGHT", "TWO-KNIGHTS"), or empty.
    std::string oddsWord() const;

    bool isPlayer(std::string_view name) const;
    // Whether name plays Red (the caller has checked that name plays here).
    bool playsRed(std::string_view name) const;
    std::string opponentOf(std::string_view name) const;

    // Plays the move of the side to move. Returns an error text when the text is not a
    // coordinate move or the move is illegal; otherwise charges the mover's clock (a
    // mover whose time has run out loses instead, see flagFallen) and adds the increment.
    std::optional<std::string> play(std::string_view text, Millis now);
    // Takes the last move back (the clocks are not changed). False when there is none.
    bool takeBack(Millis now);
    // The ending the position itself calls for after the last move (mate, stalemate).
    Ending positionEnding() const;

    // Game-time milliseconds left on a clock, counting the running turn.
    std::int64_t remainingMs(bool red, Millis now) const;
    // Whole seconds (rounded up), as reported on the wire.
    long remainingSeconds(bool red, Millis now) const;
    // Whether the side to move has run out of time.
    bool flagFallen(Millis now) const { return remainingMs(redToMove(), now) <= 0; }
    // The real time at which the side to move runs out of time.
    Millis flagTime() const;
    void addTime(bool red, std::int64_t ms);

    // Offers: a draw ("pass") and a take-back ("undo"), per side. Cleared by every move.
    bool drawOffered(bool red) const { return m_drawOffer[red ? 1 : 0]; }
    void setDrawOffer(bool red, bool on) { m_drawOffer[red ? 1 : 0] = on; }
    bool undoRequested(bool red) const { return m_undoRequest[red ? 1 : 0]; }
    void setUndoRequest(bool red, bool on) { m_undoRequest[red ? 1 : 0] = on; }

    std::set<ConnectionId>& observers() { return m_observers; }
    const std::set<ConnectionId>& observers() const { return m_observers; }

    // When a bot is to move, the real time at which it moves (-1: no bot move pending).
    Millis botMoveAt = -1;
    // The stored adjourned game this one was resumed from (0: none).
    int resumedFrom = 0;

private:
    void switchTurn(Millis now);

    int m_number;
    std::string m_red;
    std::string m_black;
    GameTerms m_terms;
    double m_speed;
    model::Board m_board{};
    std::vector<model::PackedMove> m_moves;
    std::vector<std::string> m_events;
    std::vector<std::uint64_t> m_positions; // a hash of each position reached, the start included
    std::int64_t m_clockMs[2] = {0, 0}; // [0] Black, [1] Red
    Millis m_turnStart = 0;
    bool m_drawOffer[2] = {false, false};
    bool m_undoRequest[2] = {false, false};
    std::set<ConnectionId> m_observers;
};

// The text of a side: "Red" or "Black".
inline const char* sideName(bool red) { return red ? "Red" : "Black"; }

} // namespace marovin::server
