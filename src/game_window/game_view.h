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
// The view never keeps the keyboard: when it gets the focus (no mouse button down) the
// focus goes back to the input line, and a key that reaches it is passed there.
// Mouse events on the board carry pieces (MouseCarry); a carry ends when the view loses
// the keyboard, before a move is drawn and before the whole board is drawn again.
//
// While a position is edited the status bar and the controls are hidden; the four edit
// buttons stand in one row at the top left instead, and the palette beside the board.

#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "board/board_bitmap.h"
#include "board/board_painter.h"
#include "board/glyph_sets.h"
#include "board/mouse_carry.h"
#include "game_window/status_bar.h"
#include "game_window/up_down_control.h"
#include "model/game.h"
#include "options/options.h"
#include "platform/system_metrics.h"

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

// How the view hands the keyboard back: a request to focus the input line (acted on after
// the current event) and a key to type there.
struct InputLineLink {
    std::function<void()> requestFocus;
    std::function<void(QKeyEvent&)> typeKey;
};

// The steps of the navigation controls: the go-to-start and go-to-end buttons, the move
// stepper (back, forward) and the branch stepper (previous, next alternative).
enum class BrowseStep { Start, End, Back, Forward, PreviousAlternative, NextAlternative };

class CGameView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStartButtonId = 504;
    static constexpr int kEndButtonId = 505;
    static constexpr int kScrollBarId = 507;
    static constexpr int kMoveStepperId = 508;
    static constexpr int kBranchStepperId = 509;

    CGameView(model::CGame& game, const BoardResources& resources, QWidget* parent = nullptr);
    ~CGameView() override;

    // The game shown; null once it has been let go.
    model::CGame* game() const { return m_game; }
    void detach();
    void setInputLineLink(InputLineLink link) { m_input = std::move(link); }
    // Where a move made on the board in a played game is sent (a whole line, with echo).
    void setMoveSender(std::function<void(std::string_view)> send) { m_sendMove = std::move(send); }

    // The whole board drawn again, then the status and the scroll bar brought up to date.
    void fullRepaint();
    // One move played (forward) or taken back on the browsed board, which already shows
    // the position after it; drawn only in the normal and editing modes.
    void showMove(const model::PackedMove& move, bool forward);
    // Status bar: everything, the turn part only, the clocks only.
    void refreshStatus();
    void refreshTurn();
    void refreshClocks();
    // The status line (1 or 2) whose clock is the user's under the low-time alarm, or 0.
    void setLowClock(int line);
    // The move scroll bar's range 0..maximum and its position.
    void setMoveScroll(int maximum, int position);
    // Hides the status bar and the controls (while a position is edited) or shows them.
    void setControlsVisible(bool visible);

    // Does what the control of step does when clicked, in the same modes and with the same
    // refusals (End asks for Refresh Game through refreshRequested). Every way of browsing
    // from outside the controls comes through here.
    void browse(BrowseStep step);
    // The board takes the keyboard until it loses it: the arrow keys, Home and End then
    // browse as the controls do, Escape hands the keyboard back, and anything else is
    // typed into the input line as always.
    void takeKeyboard();
    bool holdsKeyboard() const { return m_holdsKeyboard; }

    // The carry of a piece (see MouseCarry); cancelCarry puts a carried piece back.
    const MouseCarry& carry() const { return m_carry; }
    void cancelCarry();

    // The edit buttons: made (in their row at the top left) or removed.
    void setEditButtonsShown(bool shown);
    // The button with an edit command id (500..503), or null when not shown.
    QPushButton* editButton(int id) const;
    // The piece on a screen square drawn on the highlight colour, and the pointer put onto
    // it (a refused arrangement).
    void markPiece(int screenSquare);

    // Lets the board grow with the view (any size, smooth pieces, drawn at the screen's
    // device pixels) or keeps it to the fixed sizes; the board is laid out again.
    void setBoardGrows(bool grows);
    bool boardGrows() const { return m_painter.grows(); }
    // Device pixels of the screen image per view pixel: the screen's ratio while the board
    // grows, else 1. The painter's geometry is in the image's pixels.
    double boardScale() const { return m_scale; }

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
    // An edit button (its command id, 500..503).
    void editCommand(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void placeControls();
    void layOut();
    // Between the screen image's pixels and the view's.
    QRect toView(const QRect& rect) const;
    QRegion toView(const QRegion& region) const;
    QPoint toImage(QPoint point) const;
    void onScrollAction(int action);
    void returnFocus();
    void carryEvent(MouseEventKind kind, const QMouseEvent& event);
    void updateTurnButton();
    class CarryGlue;

    model::CGame* m_game;
    const BoardResources& m_resources;
    BoardPainter m_painter;
    QImage m_screen;
    double m_scale = 1.0;
    int m_lastMoveTo = -1; // the highlighted last move's board square as drawn, or -1
    session::StatusRecord m_record;
    CGameStatusBar* m_status;
    QToolButton* m_start;
    QToolButton* m_end;
    UpDownControl* m_moveStepper;
    UpDownControl* m_branchStepper;
    QScrollBar* m_scroll;
    InputLineLink m_input;
    bool m_controlsVisible = true;
    bool m_holdsKeyboard = false;
    MouseCarry m_carry;
    DragImage m_drag;
    std::unique_ptr<CarryGlue> m_glue;
    std::function<void(std::string_view)> m_sendMove;
    std::array<QPushButton*, 4> m_editButtons{};
};

} // namespace marovin::board
