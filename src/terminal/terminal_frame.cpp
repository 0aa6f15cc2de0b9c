#include "terminal/terminal_frame.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "platform/big5_text.h"
#include "terminal/output_view.h"
#include "widgets/window_placement.h"

namespace marovin::shell {

namespace {

constexpr int kScreenEdgeGap = 100;
constexpr int kHighestTop = -2;

} // namespace

CTerminalFrame::CTerminalFrame(const Options& options, QWidget* parent)
    : QMdiSubWindow(parent), m_view(new COutputView(options))
{
    setWidget(m_view);
    setWindowTitle(QStringLiteral("Terminal window"));
    setObjectName(QStringLiteral("terminalFrame"));
    connect(m_view, &COutputView::titleRequested, this, &QWidget::setWindowTitle);
    m_timer.setInterval(kTerminalTimerMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_tick)
            m_tick();
    });
    m_timer.start();
}

WindowPlacement CTerminalFrame::placement() const
{
    return widgets::placementOf(*this);
}

void CTerminalFrame::setTitle(std::string_view title)
{
    setWindowTitle(platform::fromBig5(title));
}

void CTerminalFrame::closeEvent(QCloseEvent* event)
{
    // The terminal lives as long as the program; only the program's end destroys it.
    event->ignore();
}

void CTerminalFrame::changeEvent(QEvent* event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMaximized())
        scheduleRestore();
}

void CTerminalFrame::moveEvent(QMoveEvent* event)
{
    QMdiSubWindow::moveEvent(event);
    if (geometry().top() < kHighestTop)
        scheduleRestore();
}

void CTerminalFrame::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    if (isMaximized() || geometry().top() < kHighestTop)
        scheduleRestore();
}

// The state change is finished first; restoring inside it would be undone by it.
void CTerminalFrame::scheduleRestore()
{
    if (m_restorePending)
        return;
    m_restorePending = true;
    QTimer::singleShot(0, this, &CTerminalFrame::keepRestored);
}

void CTerminalFrame::keepRestored()
{
    m_restorePending = false;
    if (!isMaximized() && geometry().top() >= kHighestTop)
        return;
    // Maximised, the frame covers the whole area that holds it.
    const bool maximised = isMaximized();
    const QRect rect = maximised && mdiArea() ? mdiArea()->viewport()->rect() : geometry();
    if (maximised)
        showNormal();
    setGeometry(restoredTerminalRect(rect));
}

QRect terminalStartRect(const WindowPlacement& placement, QSize screen, QPoint mainWindow)
{
    Rect32 r = placement.normalRect;
    if (r.right <= 10)
        return {};
    if (r.left + mainWindow.x() > screen.width() - kScreenEdgeGap)
        r.left = 0;
    if (r.top + mainWindow.y() > screen.height() - kScreenEdgeGap)
        r.top = 0;
    return QRect(QPoint(r.left, r.top), QSize(std::max(r.right - r.left, 1), std::max(r.bottom - r.top, 1)));
}

QRect restoredTerminalRect(QRect rect)
{
    int left = std::max(rect.left(), 0);
    int right = rect.left() + rect.width();
    int bottom = rect.top() + rect.height();
    if (right > 500)
        right -= 5;
    if (bottom > 600)
        bottom -= 5;
    return QRect(QPoint(left, 0), QSize(std::max(right - left, 1), std::max(bottom, 1)));
}

} // namespace marovin::shell
