#pragma once
// The main frame's commands that act on the active game window: the Game menu's window
// commands, turning the board, the window sizes (Alt+1 … Alt+5 and storing a size), the
// input bar's "Left", "Cen" and "Right", Next Window (Ctrl+Tab, the tool bar, the input
// bar's "Next"), and the move lists (shown or not; the keyboard to the active window's).
// Each is enabled by its rule for the active window, and the Resign item names the game
// while it is played.

#include <QObject>
#include <QPointer>

#include <functional>

#include "game_window/game_command_rules.h"
#include "game_window/qt_game_windows.h"

class QAction;

namespace marovin::windows {

class CMainFrame;

class GameCommands : public QObject {
    Q_OBJECT
public:
    // Both must outlive this object.
    GameCommands(CMainFrame& frame, board::QtGameWindows& windows);

    // What "Merge Game" does with the active window (the documents own the files).
    void setMerger(std::function<void(board::CGameFrame&)> merge) { m_merge = std::move(merge); }

    // Brings the commands' enabled states and texts up to date (also done by itself
    // whenever a window opens, closes, changes or is activated).
    void update();

private:
    struct Binding {
        QAction* action;
        std::function<bool(board::CGameFrame&)> enabled;
    };
    void bind(const char* actionName, std::function<void(board::CGameFrame&)> act,
              std::function<bool(board::CGameFrame&)> enabled);
    void bindCommand(const char* actionName, board::GameCommand command);
    void bindSizes();
    void bindMoveList();
    void scheduleUpdate();

    CMainFrame& m_frame;
    board::QtGameWindows& m_windows;
    std::vector<Binding> m_bindings;
    bool m_updateDue = false;
    std::function<void(board::CGameFrame&)> m_merge;
};

} // namespace marovin::windows
