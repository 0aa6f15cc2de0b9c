#pragma once
// Positions on the clipboard: Edit -> "Copy Position" puts the active game window's shown
// position there as FEN text (what other Xiangqi programs paste), and its text diagram as
// HTML for programs that take formatted text; "Paste Position" opens a new local game
// window that starts from a FEN on the clipboard, once the set-up rules accept it.

#include <QObject>

namespace marovin::board {
class CGameFrame;
class QtGameWindows;
} // namespace marovin::board

namespace marovin::windows {

class CMainFrame;

class PositionClipboard : public QObject {
    Q_OBJECT
public:
    // Both must outlive this object.
    PositionClipboard(CMainFrame& frame, board::QtGameWindows& windows);

    // The active game window's position; false when there is none.
    bool copy();
    // The new window, or null when the clipboard holds no acceptable position (a box has
    // said why) or no window could be opened.
    board::CGameFrame* paste();

private:
    void updateCommands();

    CMainFrame& m_frame;
    board::QtGameWindows& m_windows;
};

} // namespace marovin::windows
