#pragma once
// The keys that work the active game window from anywhere in the main window, leaving the
// keyboard where it is: Alt+Left / Alt+Right one move back / forward along the shown line,
// Alt+Home the start, Alt+End the end of the line, Alt+Up / Alt+Down the previous / next
// alternative. Each does what the window's own control does. Shift+F6 moves the keyboard
// through the window's panes and back to the input line.

#include <QObject>

#include <vector>

class QAction;

namespace marovin::board {
class QtGameWindows;
} // namespace marovin::board

namespace marovin::windows {

class CMainFrame;

class KeyboardCommands : public QObject {
    Q_OBJECT
public:
    // Both must outlive this object.
    KeyboardCommands(CMainFrame& frame, board::QtGameWindows& windows);

    // Shift+F6: the next pane of the active game window, or the input line after the last.
    void nextPane();

private:
    void update();

    CMainFrame& m_frame;
    board::QtGameWindows& m_windows;
    std::vector<QAction*> m_browsing;
};

} // namespace marovin::windows
