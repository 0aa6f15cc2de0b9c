#include "board/mouse_carry.h"

#include <algorithm>
#include <string>

#include "model/legality.h"

namespace marovin::board {

namespace {

constexpr CellPoint kNoPoint{-1, -1};

bool isRed(int piece)
{
    return model::SideOf(piece) == model::kRed;
}

CellPoint offset(CellPoint point, int by)
{
    return {point.x + by, point.y + by};
}

} // namespace

void MouseCarry::handleBoardMouse(model::CGame& game, const Options& options, CarryView& view,
                                  const BoardMouseEvent& event)
{
    const BoardGeometry& g = view.geometry();
    const bool open = (game.mode == model::kModeNormal || game.mode == model::kModeEditing) && g.laidOut() &&
                      g.boardHeight != 0;
    if (!open) {
        // The game went busy, or its board away, in the middle of a carry.
        if (m_captured || m_state != CarryState::Idle)
            cancelCarry(view);
        return;
    }
    const CellPoint client = view.clientSize();
    const CellPoint point{std::clamp(event.x, 0, std::max(client.x, 0)), std::clamp(event.y, 0, std::max(client.y, 0))};
    const bool down = event.buttons != 0;
    if (!down && !m_captured)
        return;
    const bool twoClick = options.twoClickMove != 0;
    const bool samePoint = (down || m_state == CarryState::Carried) && point == m_lastPoint;
    if (samePoint && !twoClick)
        return;

    const Context c{game, view, game.mode == model::kModeEditing, game.isRedToMoveBrowsed(),
                    game.bottomSide != model::kBlack, options.handCursorOnPick != 0};
    const auto square = boardSquareAt(g, point.x, point.y, client.x, client.y, c.normalOrientation);
    if (down || twoClick) {
        if (!m_captured)
            pick(c, event, point, square.value_or(kPaletteOrigin));
        else if (m_piece != 0)
            carryStep(c, event, point, !samePoint);
    } else if (m_piece != 0 && m_lastPoint != kNoPoint) {
        drop(c, event, square.value_or(model::kOffBoard));
    }
}

void MouseCarry::pick(const Context& c, const BoardMouseEvent& event, CellPoint point, int square)
{
    const BoardGeometry& g = c.view.geometry();
    m_outsideBoard = false;
    m_origin = square;
    m_pieceRed = c.sideToMove;
    int piece = 0;
    if (square == kPaletteOrigin) {
        const auto index = paletteIndexAt(g, point.x, point.y);
        if (!c.editing || event.buttons != kLeftButton || !index) {
            cancelCarry(c.view);
            return;
        }
        piece = palettePiece(*index);
        m_originCell = g.paletteCellOrigin(*index);
    } else {
        piece = c.game.browsedBoard[static_cast<std::size_t>(square)];
        if (piece == 0) {
            cancelCarry(c.view);
            return;
        }
        if (!c.editing) {
            m_pieceRed = isRed(piece);
            // A piece of the side to move must have somewhere to go; one of the other side
            // may be carried, but only ever back to its square.
            if (m_pieceRed == c.sideToMove && !model::IsLegalMove(c.game, square, model::kAnyTarget)) {
                cancelCarry(c.view);
                return;
            }
        }
        m_originCell = g.cellOrigin(screenSquare(square, c.normalOrientation));
    }
    m_piece = piece;
    c.view.captureMouse(c.handCursor);
    m_captured = true;
    if (square != kPaletteOrigin)
        c.view.redrawEmptySquare(screenSquare(square, c.normalOrientation));
    c.view.liftPiece(piece, m_originCell);
    const CellPoint centre = offset(m_originCell, g.halfSquare);
    c.view.movePointer(centre);
    m_state = CarryState::Picked;
    m_pickButtons = event.buttons;
    m_lastPoint = centre;
    // While editing, a right or middle click on a piece takes it off the board.
    if (c.editing && square != kPaletteOrigin && (event.buttons & kRightButton) != 0)
        drop(c, event, model::kOffBoard);
}

bool MouseCarry::onBoardArea(const BoardGeometry& g, CellPoint point) const
{
    return !(point.y < g.boardTop || point.y > g.rankY[9] + g.halfSquare || point.x < 10 ||
             point.x > g.fileX[8] + g.halfSquare);
}

void MouseCarry::carryStep(const Context& c, const BoardMouseEvent& event, CellPoint point, bool redraw)
{
    const BoardGeometry& g = c.view.geometry();
    const CellPoint client = c.view.clientSize();
    m_outsideBoard = !onBoardArea(g, point);
    // The pointer may not leave the view while it carries a piece.
    if (m_outsideBoard && (event.x <= 0 || event.y <= 0 || event.x >= client.x - 1 || event.y >= client.y - 1))
        c.view.movePointer({std::clamp(event.x, 0, std::max(client.x - 1, 0)),
                            std::clamp(event.y, 0, std::max(client.y - 1, 0))});

    const bool down = event.buttons != 0;
    switch (m_state) {
    case CarryState::Picked:
        if (!down)
            m_state = CarryState::Carried;
        break;
    case CarryState::Carried:
        if (down) {
            if (event.buttons != m_pickButtons) {
                cancelCarry(c.view);
                c.view.requestInputFocus();
                return;
            }
            m_state = CarryState::SecondPress;
        }
        break;
    case CarryState::SecondPress:
        if (!down) {
            if (m_lastPoint != kNoPoint) {
                const auto square = boardSquareAt(g, point.x, point.y, client.x, client.y, c.normalOrientation);
                drop(c, event, square.value_or(model::kOffBoard));
            } else {
                cancelCarry(c.view);
                c.view.requestInputFocus();
            }
            return;
        }
        break;
    case CarryState::Idle:
        break;
    }
    if (!redraw)
        return;
    const bool selected = (!c.editing && m_pieceRed != c.sideToMove) || m_outsideBoard;
    c.view.dragPiece(m_piece, offset(point, -g.halfSquare), selected);
    m_lastPoint = point;
}

void MouseCarry::drop(const Context& c, const BoardMouseEvent& event, int destination)
{
    const bool originHolds = m_origin == kPaletteOrigin ||
                             c.game.browsedBoard[static_cast<std::size_t>(m_origin)] == m_piece;
    if (!originHolds || (!c.editing && m_pieceRed != c.sideToMove)) {
        cancelCarry(c.view);
        c.view.requestInputFocus();
        return;
    }
    m_state = CarryState::Idle;
    c.view.restoreUnderPiece();
    m_lastPoint = kNoPoint;
    // The legality question may show a message box: the mouse is let go first.
    if (m_captured) {
        m_captured = false;
        c.view.releaseMouse();
    }
    if (c.editing)
        dropInEditor(c, destination);
    else
        dropInGame(c, event, destination);
    cancelCarry(c.view);
    c.view.requestInputFocus();
}

void MouseCarry::dropInEditor(const Context& c, int destination)
{
    // A removal comes here with no destination from a right or middle pick, which leaves the
    // board area flag clear; a left drop off the cells, or back onto its own square, puts
    // the piece back and changes nothing.
    const bool removal = (m_pickButtons & kRightButton) != 0 && m_origin != kPaletteOrigin;
    if (m_outsideBoard || (destination >= model::kOffBoard && !removal) || destination == m_origin) {
        c.view.drawPiece(m_piece, m_originCell);
        m_piece = 0;
        return;
    }
    model::Board& board = c.game.browsedBoard;
    if (m_origin != kPaletteOrigin)
        board[static_cast<std::size_t>(m_origin)] = 0;
    if (destination < model::kOffBoard) {
        board[static_cast<std::size_t>(destination)] = static_cast<model::Piece>(m_piece);
        const CellPoint cell = c.view.geometry().cellOrigin(screenSquare(destination, c.normalOrientation));
        c.view.drawPiece(m_piece, cell);
    }
    c.game.modified = true;
    m_piece = 0;
}

void MouseCarry::dropInGame(const Context& c, const BoardMouseEvent& event, int destination)
{
    model::CGame& game = c.game;
    if (m_outsideBoard || destination >= model::kOffBoard || !model::IsLegalMove(game, m_origin, destination))
        return; // cancelCarry puts the piece back
    const auto from = static_cast<model::Square>(m_origin);
    const auto to = static_cast<model::Square>(destination);
    const bool usersTurn = (game.userSide == model::kRed) == c.sideToMove;
    const bool live = game.participation == model::kPlaying && usersTurn && game.isBrowsingLive() &&
                      event.kind == MouseEventKind::LeftUp;
    // The move is drawn by the record's own redraw: nothing is to be put back.
    m_piece = 0;
    if (live) {
        c.view.sendLine(model::FormatCoordinateMove(from, to) + " " + std::to_string(game.gameNumber) + "\r\n");
        game.PlayMove(from, to, model::MoveKind::Game);
    } else {
        game.PlayMove(from, to, model::MoveKind::User);
    }
}

void MouseCarry::cancelCarry(CarryView& view)
{
    if (m_captured) {
        m_captured = false;
        view.releaseMouse();
    }
    if (m_lastPoint != kNoPoint)
        view.restoreUnderPiece();
    if (m_piece != 0 && m_originCell != kNoPoint)
        view.drawPiece(m_piece, m_originCell);
    m_state = CarryState::Idle;
    m_piece = 0;
    m_originCell = kNoPoint;
    m_lastPoint = kNoPoint;
}

} // namespace marovin::board
