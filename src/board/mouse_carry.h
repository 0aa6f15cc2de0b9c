#pragma once
// Moving pieces with the mouse: the carry of one piece from its pick to its drop, as a
// small state machine fed plain events. It decides; the board view draws, grabs the mouse
// and moves the pointer through CarryView, and the game record does the rest.
//
// Two styles, chosen by the option twoClickMove at every event:
//   drag       press on a piece (state 1), move, release: the drop;
//   two clicks click the piece (press 1, release 2), click the target (press 3,
//              release: the drop); a second press with another button cancels.
// Every refusal (an empty square, a piece of the side to move with no legal move, an
// illegal or off-board drop, a drop after the position changed under the carried piece)
// puts the piece back where it was, without a message.
//
// While a position is edited the same carry places pieces from the palette beside the
// board, moves pieces freely and removes them (a right or middle click), changing the
// browsed board and setting the modified flag.
//
// A drop in a game the user plays, at the live end, at the user's turn and by a left-button
// release, is sent to the server ("H2-H4 12\r\n") and played as a live move; any other
// legal drop is recorded at the displayed position (a new branch where the line goes on
// differently), so a move tried while looking back, or made with the right button, is
// never sent.

#include <string_view>

#include "board/board_geometry.h"
#include "model/game.h"
#include "options/options.h"

namespace marovin::board {

enum class MouseEventKind { LeftDown, LeftUp, RightDown, RightUp, Move };

// The buttons held at an event: the left one, the right or the middle one, or both.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;

struct BoardMouseEvent {
    MouseEventKind kind = MouseEventKind::Move;
    int buttons = 0; // held at that moment (after a release: those still down)
    int x = 0;       // view coordinates
    int y = 0;
};

// What a carry needs of the board view that shows it.
class CarryView {
public:
    virtual ~CarryView() = default;

    virtual const BoardGeometry& geometry() const = 0;
    virtual CellPoint clientSize() const = 0;
    // The view takes every mouse event until releaseMouse (and shows the hand pointer).
    virtual void captureMouse(bool handCursor) = 0;
    virtual void releaseMouse() = 0;
    // Puts the mouse pointer on a view point.
    virtual void movePointer(CellPoint point) = 0;
    virtual void redrawEmptySquare(int screenSquare) = 0;
    // The carried piece: drawn floating with its cell's top-left at topLeft (the screen
    // under it kept), moved there, and taken away (the screen it covered restored).
    virtual void liftPiece(int piece, CellPoint topLeft) = 0;
    virtual void dragPiece(int piece, CellPoint topLeft, bool selected) = 0;
    virtual void restoreUnderPiece() = 0;
    // A piece drawn for good (on what the screen shows there).
    virtual void drawPiece(int piece, CellPoint topLeft) = 0;
    // A move line for the server, sent with echo.
    virtual void sendLine(std::string_view line) = 0;
    // The keyboard goes back to the input line (after the current event).
    virtual void requestInputFocus() = 0;
};

enum class CarryState : int {
    Idle = 0,
    Picked = 1,       // the button that picked is still down
    Carried = 2,      // two clicks: carried with no button down
    SecondPress = 3,  // two clicks: the target was pressed
};

class MouseCarry {
public:
    static constexpr int kPaletteOrigin = model::kOffBoard;

    // One mouse event of the board view. Ignored unless the game is in the normal or the
    // editing mode and the board is laid out (a carry then in progress is cancelled).
    void handleBoardMouse(model::CGame& game, const Options& options, CarryView& view, const BoardMouseEvent& event);
    // Ends any carry: the capture released, the piece drawn back at its origin.
    void cancelCarry(CarryView& view);

    CarryState carryState() const { return m_state; }
    int carriedPiece() const { return m_piece; }
    bool captured() const { return m_captured; }
    // The square the piece was taken from, or kPaletteOrigin.
    int originSquare() const { return m_origin; }

private:
    struct Context {
        model::CGame& game;
        CarryView& view;
        bool editing;
        bool sideToMove; // Red is to move in the displayed position
        bool normalOrientation;
        bool handCursor;
    };
    void pick(const Context& c, const BoardMouseEvent& event, CellPoint point, int square);
    void carryStep(const Context& c, const BoardMouseEvent& event, CellPoint point, bool redraw);
    void drop(const Context& c, const BoardMouseEvent& event, int destination);
    void dropInEditor(const Context& c, int destination);
    void dropInGame(const Context& c, const BoardMouseEvent& event, int destination);
    bool onBoardArea(const BoardGeometry& g, CellPoint point) const;

    CarryState m_state = CarryState::Idle;
    int m_piece = 0;
    bool m_captured = false;
    int m_origin = kPaletteOrigin;
    CellPoint m_originCell{-1, -1};
    CellPoint m_lastPoint{-1, -1};
    int m_pickButtons = 0;
    bool m_pieceRed = false;
    bool m_outsideBoard = false;
};

} // namespace marovin::board
