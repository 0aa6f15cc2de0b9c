#pragma once
// The terminal window: a child of the main frame, created once at start-up, never closed
// by the user and never left maximised (a maximise request restores it at the top of the
// main window). It holds the output view and the session's one-second timer.

#include <QMdiSubWindow>
#include <QTimer>

#include <functional>
#include <string_view>

#include "options/options.h"

namespace marovin::shell {

class COutputView;

constexpr int kTerminalTimerMs = 1000;

class CTerminalFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CTerminalFrame(const Options& options, QWidget* parent = nullptr);

    COutputView* view() const { return m_view; }
    // The frame's placement in the form the settings record keeps.
    WindowPlacement placement() const;
    // "Terminal window", or "Terminal window - NAME" after login (Big5).
    void setTitle(std::string_view title);
    // Runs every second while the frame exists (game clocks, automatic commands).
    void setTickHandler(std::function<void()> tick) { m_tick = std::move(tick); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void scheduleRestore();
    void keepRestored();

    COutputView* m_view;
    QTimer m_timer;
    std::function<void()> m_tick;
    bool m_restorePending = false;
};

// The terminal's first rectangle from its stored placement: a left or top edge that would
// lie within 100 pixels of the screen's right or bottom edge (counted from the main
// window's position) becomes 0. Empty when the placement is unset (right edge 10 or less).
QRect terminalStartRect(const WindowPlacement& placement, QSize screen, QPoint mainWindow);

// Where a maximised (or too high) terminal goes instead: top 0, left at least 0, the right
// edge 5 pixels in when beyond 500, the bottom 5 pixels up when beyond 600.
QRect restoredTerminalRect(QRect rect);

} // namespace marovin::shell
