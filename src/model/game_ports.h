#pragma once
// What a game record needs from the world around it, beyond the core's general ports:
// the settings it reads, the game window's questions (branch chooser, new window) and
// the notices the game window acts on (redraw, show a note, scroll bar, caption).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/position.h"
#include "support/ports.h"

namespace marovin::model {

class CGame;

// Settings the record reads. The owner (the client context) keeps it up to date; a game
// only reads it.
struct GameSettings {
    bool saveNewFormat = false;    // store games in the compact body form
    bool mergeAppendNotes = false; // merging adds notes (once each)
    std::string loginName;         // the user's login name, empty before login
};

// One row of the "Choose Branch" list: the moving piece's type (0..13) and the text.
struct BranchRow {
    int pieceType = 0;
    std::string text;
};

// The game window's part of the desktop.
class GameWindowPort {
public:
    virtual ~GameWindowPort() = default;

    // Shows the "Choose Branch" list with row 0 selected. Returns the chosen row (a row
    // outside the list counts as row 0), or nothing when the user closed the list.
    virtual std::optional<int> chooseBranch(CGame& game, const std::vector<BranchRow>& rows) = 0;
    // Opens a new game window and returns its game, or nullptr. Reports nothing itself:
    // the caller tells the user about a failure.
    virtual CGame* openGameWindow() = 0;
};

// A game window that never exists: no branch is ever chosen, no window can be opened.
// For programs without windows (tools, the practice server).
class NoGameWindows : public GameWindowPort {
public:
    std::optional<int> chooseBranch(CGame&, const std::vector<BranchRow>&) override { return 0; }
    CGame* openGameWindow() override { return nullptr; }
};

// Notices from the record to the window that shows it. Every method defaults to nothing,
// so a game without a window needs no observer.
class GameObserver {
public:
    virtual ~GameObserver() = default;

    // The whole board and status need drawing again.
    virtual void redraw(CGame&) {}
    // One move was applied to the browsed board (draw its two squares).
    virtual void moveMade(CGame&, const PackedMove&) {}
    // One move was taken back on the browsed board.
    virtual void moveTakenBack(CGame&, const PackedMove&) {}
    // Show the note of the current entry (the note pane).
    virtual void showNote(CGame&) {}
    // The move scroll bar: its range is 0..maximum and its position the browsed ply.
    virtual void moveScroll(CGame&, int /*maximum*/, int /*position*/) {}
    // The game's name (subject) may have changed: refresh the caption.
    virtual void nameChanged(CGame&) {}
    // The position was reset to the start of the record.
    virtual void positionReset(CGame&) {}
    // A reading of a game's text is about to play this move at the browsed position (an
    // importer that checks moves learns where in the file each one stands).
    virtual void moveRead(CGame&, Square /*from*/, Square /*to*/) {}
};

// Where a reading of a game file stands, so that its messages can say where they arose.
// The reader keeps it up to date while it runs; afterwards it tells where the reading ended.
struct ReadLocation {
    std::string file;     // the name the reading was given
    int line = 0;         // the text line being read, "GAME" being line 1; 0 before the first
    std::size_t byte = 0; // in a compact body: the offset in the file of the item being read
    bool reading = false; // whether a reading runs now
};

// The ports and settings one game reaches. All referenced objects outlive the game.
struct GamePorts {
    TerminalPort& terminal;
    DesktopPort& desktop;
    ClockPort& clock;
    GameWindowPort& windows;
    const GameSettings& settings;
    ReadLocation* location = nullptr; // kept up to date by file readings when given
};

} // namespace marovin::model
