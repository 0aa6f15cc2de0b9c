#include "model/position_editor.h"

#include "model/game.h"

namespace marovin::model {

bool EnterEditMode(CGame& game, EditWindowPort& window)
{
    if (game.modified && !window.askQuitGame(game, kEditQuitText))
        return false;
    if (game.pathLength() > 0)
        game.ClearMoves();
    game.modified = false;
    game.mode = kModeEditing;
    window.beginEditLayout(game);
    game.observer().redraw(game);
    return true;
}

void EditClearAll(CGame& game)
{
    game.browsedBoard.fill(0);
    game.observer().redraw(game);
}

void EditAllPieces(CGame& game)
{
    game.browsedBoard = kStandardOpening;
    game.observer().redraw(game);
}

void EditToggleFirstMover(CGame& game)
{
    game.firstMover ^= 1;
    game.observer().redraw(game);
}

SetupCheck FinishEdit(CGame& game, EditWindowPort& window)
{
    Board& board = game.browsedBoard;
    SetupCheck check = RenumberPieces(board, game.pieceList);
    if (check.ok())
        check = ValidateArrangement(board, game.pieceList);
    if (!check.ok()) {
        game.ports().desktop.messageBox(SetupMessage(check.error));
        game.observer().redraw(game);
        if (check.square >= 0)
            window.markPiece(game, ScreenSquare(check.square, game.bottomSide));
        return check;
    }
    if (TurnIfUpsideDown(board, game.pieceList))
        game.bottomSide ^= 1;
    game.startCounts = {}; // a new start: its moves count from 1
    if (game.firstMover != 0 || board != kStandardOpening) {
        game.customPosition = 1;
        game.modified = true;
    }
    // The live position of a local game is its start: keep it in step with the new start.
    game.gameBoard = board;
    window.endEditLayout(game);
    game.mode = kModeNormal;
    game.observer().redraw(game);
    return check;
}

} // namespace marovin::model
