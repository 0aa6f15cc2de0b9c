#pragma once
// Editing a game's start position: the record's side of the game window's edit command.
//
// EnterEditMode empties the record and puts the game into edit mode (mode 6); the user then
// places and removes pieces on the browsed board, with the four edit buttons for the rest;
// FinishEdit validates the arrangement, renumbers and, when needed, turns it, and makes it
// the game's start position. What the window shows while editing (the buttons, the piece
// palette, the wider board pane, the marked piece) it does through EditWindowPort.

#include <string_view>

#include "model/setup.h"

namespace marovin::model {

class CGame;

// The edit buttons: command ids and captions, in their row order.
constexpr int kEditClearAllId = 500;
constexpr int kEditAllPiecesId = 501;
constexpr int kEditBlackTurnId = 502;
constexpr int kEditFinishId = 503;
constexpr std::string_view kEditButtonCaptions[4] = {"Clear All", "All Pieces", "Black Turn", "Finish"};

// The question asked before unsaved changes are dropped for editing.
constexpr std::string_view kEditQuitText = "Click <Quit> button to edit now";
// Why a game is not saved while its position is being set up.
constexpr std::string_view kEditSaveRefusal = "The pieces are still being set up: click Finish before saving the game.";

// The game window's part of editing.
class EditWindowPort {
public:
    virtual ~EditWindowPort() = default;

    // The quit-game dialog with the given text; true when it was closed with Quit (OK).
    virtual bool askQuitGame(CGame& game, std::string_view text) = 0;
    // Edit mode begins: save the window placement, make the four buttons, widen the board
    // pane for the palette.
    virtual void beginEditLayout(CGame& game) = 0;
    // Edit mode ends: restore the saved placement, remove the buttons, refresh the
    // window's header areas.
    virtual void endEditLayout(CGame& game) = 0;
    // Marks the piece on a screen square (after a refused arrangement) and moves the mouse
    // pointer onto it.
    virtual void markPiece(CGame& game, int screenSquare) = 0;
};

// Puts the game into edit mode. With unsaved changes the user is asked first, and a
// refusal leaves everything as it was (false). The moves are deleted, the modified flag
// cleared. Returns whether edit mode began.
bool EnterEditMode(CGame& game, EditWindowPort& window);

// The buttons: empty the board; the opening arrangement; Black moves first or not.
void EditClearAll(CGame& game);
void EditAllPieces(CGame& game);
void EditToggleFirstMover(CGame& game);

// Validates the browsed board and, when it is a legal arrangement, makes it the start of
// the record and leaves edit mode. Otherwise shows "Too many pieces", "King not found" or
// "Piece position error", has the window mark the offending piece (not for a missing
// general) and stays in edit mode; the answer says which error and where.
SetupCheck FinishEdit(CGame& game, EditWindowPort& window);

} // namespace marovin::model
