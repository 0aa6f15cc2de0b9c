#pragma once
// CGameView: the board pane of a game window. It shows its game's browsed position through
// the board painter (a client-sized screen image, fully repainted on a resize or a redraw,
// two or three cells per move), the status bar across its top, and the controls down its
// right edge (layout with W the client width and T the board's top):
//
//   x: W-29 .. W   go-to-start  (T .. T+27)        go-to-end (T+27 .. T+54)
//                  up-down      (T+57 .. T+105)    previous / next move
//   x: W-31 .. W   left-right   (T+111 .. T+145)   previous / next alternative
//   x: W-29 .. W   scroll bar   (T+147 .. bottom)  position in the shown line
//
// The view never keeps the keyboard: when it gets the focus (the left button not down)
// the focus goes back to the input line, and a key that reaches it is passed there.
// Mouse events on the board go to a BoardMouseHandler when one is set.

#include <QImage>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>

#include <functional>

#include "board/board_bitmap.h"
#include "board/board_painter.h"
#include "board/glyph_sets.h"
#include "board/status_bar.h"
#include "board/up_down_control.h"
#include "model/game.h"
#include "options/options.h"
#include "shell/system_metrics.h"

namespace marovin::board {

class CGameView;

// What every board view draws with: the settings, the process's bitmap and glyphs, and the
// system font's metrics. All outlive the views.
struct BoardResources {
    const Options& options;
    const BoardBitmap& bitmap;
    const GlyphSets& glyphs;
    SystemMetrics metrics;
};

// Where the mouse goes on the board (moving pieces); every method defaults to nothing.
class BoardMouseHandler {
public:
    virtual ~BoardMouseHandler() = default;
    virtual void mousePressed(CGameView&, QMouseEvent&) {}
    virtual void mouseMoved(CGameView&, QMouseEvent&) {}
    virtual void mouseReleased(CGameView&, QMouseEvent&) {}
};

// How the view hands the keyboard back: a request to focus the input line (acted on after
// the current event) and a key to type there.
struct InputLineLink {
    std::function<void()> requestFocus;
    std::function<void(QKeyEvent&)> typeKey;
};

class CGameView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStartButtonId = 504;
    static constexpr int kEndButtonId = 505;
    static constexpr int kScrollBarId = 507;
    static constexpr int kMoveStepperId = 508;
    static constexpr int kBranchStepperId = 509;

    CGameView(model::CGame& game, const BoardResources& resources, QWidget* parent = nullptr);

    // The game shown; null once it has been let go.
    model::CGame* game() const { return m_game; }
    void detach() { m_game = nullptr; }
    void setInputLineLink(InputLineLink link) { m_input = std::move(link); }
    void setMouseHandler(BoardMouseHandler* handler) { m_mouse = handler; }

    // The whole board drawn again, then the status and the scroll bar brought up to date.
    void fullRepaint();
    // One move played (forward) or taken back on the browsed board, which already shows
    // the position after it; drawn only in the normal and editing modes.
    void showMove(const model::PackedMove& move, bool forward);
    // Status bar: everything, the turn part only, the clocks only.
    void refreshStatus();
    void refreshTurn();
    void refreshClocks();
    // The move scroll bar's range 0..maximum and its position.
    void setMoveScroll(int maximum, int position);
    // Hides the status bar and the controls (while a position is edited) or shows them.
    void setControlsVisible(bool visible);

    const BoardPainter& painter() const { return m_painter; }
    const QImage& screen() const { return m_screen; }
    CGameStatusBar* statusBar() const { return m_status; }
    QToolButton* startButton() const { return m_start; }
    QToolButton* endButton() const { return m_end; }
    UpDownControl* moveStepper() const { return m_moveStepper; }
    UpDownControl* branchStepper() const { return m_branchStepper; }
    QScrollBar* moveScrollBar() const { return m_scroll; }

signals:
    // Go-to-end (the button, a left click on the move number): Refresh Game.
    void refreshRequested();
    // A left click on the names.
    void headerRequested();
    // The status bar's "Game" button.
    void gameCommandsRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void placeControls();
    void onScrollAction(int action);
    void returnFocus();

    model::CGame* m_game;
    const BoardResources& m_resources;
    BoardPainter m_painter;
    QImage m_screen;
    int m_lastMoveTo = -1; // the highlighted last move's board square as drawn, or -1
    session::StatusRecord m_record;
    CGameStatusBar* m_status;
    QToolButton* m_start;
    QToolButton* m_end;
    UpDownControl* m_moveStepper;
    UpDownControl* m_branchStepper;
    QScrollBar* m_scroll;
    InputLineLink m_input;
    BoardMouseHandler* m_mouse = nullptr;
    bool m_controlsVisible = true;
};

} // namespace marovin::board
