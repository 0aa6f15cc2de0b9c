#include "shell/terminal_frame.h"

#include <QCloseEvent>

#include "shell/output_view.h"

namespace marovin::shell {

CTerminalFrame::CTerminalFrame(const Options& options, QWidget* parent)
    : QMdiSubWindow(parent), m_view(new COutputView(options))
{
    setWidget(m_view);
    setWindowTitle(QStringLiteral("Terminal window"));
    setObjectName(QStringLiteral("terminalFrame"));
}

WindowPlacement CTerminalFrame::placement() const
{
    return placementOf(*this);
}

void CTerminalFrame::closeEvent(QCloseEvent* event)
{
    // The terminal lives as long as the program; only the program's end destroys it.
    event->ignore();
}

WindowPlacement placementOf(const QWidget& widget)
{
    WindowPlacement placement{};
    placement.length = sizeof(WindowPlacement);
    placement.showCommand = widget.isMaximized() ? 3 : widget.isMinimized() ? 2 : 1;
    const QRect normal = widget.isMaximized() || widget.isMinimized() ? widget.normalGeometry() : widget.geometry();
    placement.normalRect = {normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height()};
    return placement;
}

} // namespace marovin::shell
