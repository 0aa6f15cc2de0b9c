#pragma once
// The terminal window: a child of the main frame, created once at start-up and never
// closed by the user. It holds the output view.

#include <QMdiSubWindow>

#include "shell/options.h"

namespace marovin::shell {

class COutputView;

class CTerminalFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CTerminalFrame(const Options& options, QWidget* parent = nullptr);

    COutputView* view() const { return m_view; }
    // The frame's placement in the form the settings record keeps.
    WindowPlacement placement() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    COutputView* m_view;
};

// A widget's placement as the settings record keeps it (show command 1 normal,
// 2 minimised, 3 maximised; the normal rectangle in its parent's coordinates).
WindowPlacement placementOf(const QWidget& widget);

} // namespace marovin::shell
