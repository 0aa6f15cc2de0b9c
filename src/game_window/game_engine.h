#pragma once
// GameEngine: a game window's engine, for analysis and for play against it.
//
// Analysis follows the shown position: whenever the browsed board or its side to move
// changes (browsing, playing, editing), the running search is replaced by one of the new
// position and the strip shows its lines (as many as the engine settings ask for). Play: the engine takes one side of a local game
// and, whenever that side is to move at the end of the record, thinks for its time and
// plays its move into the record as an ordinary move; the game ends by our own mate and
// stalemate rules with a message. Both may run at once on the one engine: it thinks its
// move when that is due and analyses the shown position for the user otherwise. Both
// pause while the window is hidden and end with it.
// Nothing here waits for the engine: its answers arrive as signals.

#include <QObject>
#include <QString>

#include <optional>

#include "engine/engine_client.h"
#include "model/game.h"
#include "model/legality.h"
#include "platform/engine_pool.h"

namespace marovin::board {

class AnalysisStrip;

struct EnginePlaySettings {
    int engineSide = model::kBlack; // kRed or kBlack
    int movetimeMs = 2000;
};

class GameEngine : public QObject {
    Q_OBJECT
public:
    // The game, the strip and the pool must outlive this object (the window owns the
    // first two and this object).
    GameEngine(model::CGame& game, AnalysisStrip& strip, platform::EnginePool& pool, QObject* parent = nullptr);

    // The window lets its game go: nothing is asked or played any more.
    void detach();

    bool analysing() const { return m_analysing; }
    void setAnalysing(bool on);
    bool playing() const { return m_play.has_value(); }
    // Whether the game may be played against the engine: a local game.
    bool canPlay() const;
    void startPlaying(const EnginePlaySettings& settings);
    void stopPlaying();
    // The window was hidden (true) or shown again.
    void setSuspended(bool suspended);
    // The engine settings changed: the shown position is asked again.
    void settingsChanged();
    // Runs another program as the engine (for every window: the pool's engines are shared).
    void setOptions(const engine::EngineOptions& options);
    // The window became the active one: it takes an engine if it needs one.
    void activated();
    // The browsed position may have changed: analysis and play catch up.
    void positionChanged();
    // Plays the first move of the variation shown (a branch where the record differs).
    void playFirstMove();

    // The engine lent to this window, or null.
    platform::EngineSession* session() const { return m_pool.lentTo(this); }

signals:
    // Analysis or play was switched on or off.
    void modeChanged();

private:
    struct Position {
        model::Board board{};
        bool redToMove = true;
        model::MoveCounts counts;
        friend bool operator==(const Position&, const Position&) = default;
    };
    std::optional<Position> shownPosition() const;
    bool engineActive() const { return (m_analysing || m_play) && !m_suspended && m_game; }
    // enginesMove: the search is for the engine's move in play, else an analysis for the user.
    void askEngine(const Position& position, bool enginesMove);
    void onAnalysis(const engine::EngineAnalysis& analysis);
    void onBestMove(int searchId, std::optional<model::SquarePair> move);
    void onFailed(const QString& message);
    void onTakenAway(QObject* borrower);
    // Stops the search and gives the engine back to the pool.
    void release();
    bool checkGameEnd(const Position& position);
    void updateStripVisibility();

    model::CGame* m_game;
    AnalysisStrip& m_strip;
    platform::EnginePool& m_pool;
    bool m_analysing = false;
    bool m_suspended = false;
    std::optional<EnginePlaySettings> m_play;
    std::optional<Position> m_asked; // the position of the search in progress
    int m_searchId = 0;
    bool m_thinking = false;         // the search is the engine's move in play
    std::vector<model::SquarePair> m_variation; // shown, legal from m_asked
    QString m_engineScore;                      // its score at its last move in play
};

// The message for the end of a game: who won and how, or an empty text while it goes on.
QString gameEndMessage(model::GameStatus status, bool redToMove);

} // namespace marovin::board
