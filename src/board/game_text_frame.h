#pragma once
// A game window in text, until the board window takes its place: the caption of the game
// window, both players with their ratings and clocks, whose turn it is, and the moves of
// the main line. It follows its game as moves and clock ticks arrive.
//
// Closing it follows the game window's rules: an observed game sends "observe N", a played
// one "adjourn N" (the window then stays until the server ends the game, unless the whole
// program is closing); a local game with unsaved changes asks the quit-game question.

#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

#include "model/game.h"
#include "model/game_ports.h"

namespace marovin::board {

class QtGameWindows;

class CGameTextFrame : public QMdiSubWindow, public model::GameObserver {
    Q_OBJECT
public:
    CGameTextFrame(model::CGame& game, QtGameWindows& host, QWidget* parent = nullptr);
    ~CGameTextFrame() override;

    // The game shown (null once the window has let it go).
    model::CGame* game() const { return m_game; }
    // Lets the game go without telling anyone (the windows are being torn down).
    void detach();

    // Caption, players, ratings, clocks, turn and moves.
    void refreshStatus();
    void refreshClocks();

    QString playersText() const { return m_players->text(); }
    QString turnText() const { return m_turn->text(); }
    QString movesText() const { return m_moves->toPlainText(); }

    // GameObserver: every change shows at once, except while the game is busy (mode 1 or
    // 2: it is redrawn when that ends).
    void redraw(model::CGame&) override { refreshStatus(); }
    void moveMade(model::CGame& game, const model::PackedMove&) override;
    void moveTakenBack(model::CGame& game, const model::PackedMove&) override;
    void nameChanged(model::CGame& game) override;
    void positionReset(model::CGame& game) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refreshIfIdle(const model::CGame& game);

    model::CGame* m_game;
    QtGameWindows& m_host;
    QLabel* m_players;
    QLabel* m_turn;
    QPlainTextEdit* m_moves;
};

} // namespace marovin::board
