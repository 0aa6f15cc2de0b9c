#pragma once
// Printing the active game window's record: File -> "Print..." (Ctrl+P), "Print Preview"
// and "Print Setup...", and Edit -> "Mark Diagram", which marks (or unmarks) the shown
// position for a diagram of its own in the printed record. The pages are those of
// printing/record_printer: the header, the Chinese record with notes and variations, and
// diagrams of the start, the marked positions and the main line's end.
//
// A mark names its position by the moves that lead to it, so it stays right while moves
// are added elsewhere, and a mark whose move was deleted prints nothing.

#include <QHash>
#include <QObject>

#include <memory>
#include <vector>

#include "model/print_layout.h"
#include "model/position.h"

class QAction;
class QPrinter;
class QPagedPaintDevice;

namespace marovin::board {
class CGameFrame;
class QtGameWindows;
} // namespace marovin::board

namespace marovin::windows {

class CMainFrame;

class PrintCommands : public QObject {
    Q_OBJECT
public:
    // Both must outlive this object.
    PrintCommands(CMainFrame& frame, board::QtGameWindows& windows);
    ~PrintCommands() override;

    // The printer that the print, preview and setup windows share (its page set-up stays).
    // It is made on first use: making one loads the print system's plugin and asks it for
    // the printers, which would otherwise delay every start.
    QPrinter& printer();

    // Marks window's shown position for a diagram, or takes the mark away when it has one.
    // Returns whether the position is now marked; the start position (always printed)
    // takes no mark.
    bool toggleMark(board::CGameFrame& window);
    bool isMarked(board::CGameFrame& window) const;
    // window's record with its diagrams, as it would print now.
    model::PrintDocument documentOf(board::CGameFrame& window) const;
    // Prints window's record on device; returns the pages printed.
    int print(board::CGameFrame& window, QPagedPaintDevice& device) const;

private:
    using Moves = std::vector<model::SquarePair>;
    void updateCommands();
    void printActive();
    void previewActive();
    void setUpPages();

    CMainFrame& m_frame;
    board::QtGameWindows& m_windows;
    QAction* m_print;
    QAction* m_preview;
    QAction* m_setup;
    QAction* m_mark;
    std::unique_ptr<QPrinter> m_printer;
    QHash<const board::CGameFrame*, std::vector<Moves>> m_marks;
};

} // namespace marovin::windows
