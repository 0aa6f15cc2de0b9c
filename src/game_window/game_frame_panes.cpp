// The game window's sizes, places and panes: the size commands, the input bar's moves,
// the move list's settings and room, the keyboard's way through the panes, and the room
// made for the palette while a position is edited.

#include <QApplication>
#include <QMdiArea>

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>

#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"

namespace marovin::board {

// ---- sizes and places ----------------------------------------------------------------------

void CGameFrame::applySize(const WindowSizeRecord& record)
{
    m_size = record;
    const WindowRect rect = appliedSize(record, geometry().left());
    if (isMaximized() || isMinimized())
        showNormal();
    setGeometry(rect.left, rect.top, rect.width, rect.height);
    if (record.placement.showCommand == 3)
        showMaximized();
    applyPanes(record);
}

void CGameFrame::applyPanes(const WindowSizeRecord& record)
{
    const int available = m_splitter->width() - m_splitter->handleWidth();
    const PaneWidths panes = paneWidths(record, available);
    m_splitter->setSizes({panes.board, panes.note});
}

WindowSizeRecord CGameFrame::currentSize() const
{
    const QRect rect = isMaximized() ? normalGeometry() : geometry();
    const QList<int> sizes = m_splitter->sizes();
    const PaneWidths panes{sizes.value(0), sizes.value(1)};
    return storedSize(m_size, {rect.left(), rect.top(), rect.width(), rect.height()}, panes);
}

void CGameFrame::moveWindow(WindowMove move)
{
    if (!mdiArea())
        return;
    const int left = movedWindowLeft(move, mdiArea()->viewport()->width(), width());
    if (isMaximized())
        showNormal();
    this->move(left, y());
}

void CGameFrame::applyMoveListSettings(const MoveListSettings& settings)
{
    m_moveList->setNotation(settings.notation);
    m_moveList->setVisible(settings.shown);
}

void CGameFrame::revealMoveList()
{
    constexpr int kListMinimum = 120;
    const QList<int> panes = m_splitter->sizes();
    if (panes.value(1) >= kListMinimum || !mdiArea())
        return;
    const int column = std::max(kListMinimum, static_cast<int>(builtInWindowSize(4).notePaneIdeal));
    const int total = m_splitter->width() - m_splitter->handleWidth();
    if (isMaximized()) {
        m_splitter->setSizes({std::max(100, total - column), column});
        return;
    }
    const int areaWidth = mdiArea()->viewport()->width();
    const int width = std::min(this->width() + column - panes.value(1), std::max(areaWidth, this->width()));
    setGeometry(std::clamp(x(), 0, std::max(0, areaWidth - width)), y(), width, height());
    m_splitter->setSizes({panes.value(0), std::max(0, m_splitter->width() - m_splitter->handleWidth() - panes.value(0))});
}

// ---- the keyboard ---------------------------------------------------------------------------

bool CGameFrame::focusNextPane()
{
    // The panes in the order the keyboard visits them; each gives itself the keyboard.
    struct Pane {
        QWidget* widget;
        std::function<void()> take;
    };
    const Pane panes[] = {
        {m_view, [this] { m_view->takeKeyboard(); }},
        {m_moveList, [this] { m_moveList->takeKeyboard(); }},
        {m_note->field(), [this] { m_note->field()->setFocus(Qt::ShortcutFocusReason); }},
    };
    const QWidget* focused = QApplication::focusWidget();
    std::size_t next = 0;
    for (std::size_t i = 0; i < std::size(panes); ++i)
        if (focused && (panes[i].widget == focused || panes[i].widget->isAncestorOf(focused)))
            next = i + 1;
    for (; next < std::size(panes); ++next)
        if (panes[next].widget->isVisibleTo(this) && panes[next].widget->isEnabled() &&
            panes[next].widget->width() > 0) {
            panes[next].take();
            return true;
        }
    return false;
}

void CGameFrame::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    // The panes have their new heights only once the layouts have run.
    QMetaObject::invokeMethod(this, &CGameFrame::fitGrownBoard, Qt::QueuedConnection);
}

void CGameFrame::fitGrownBoard()
{
    if (!m_view->boardGrows() || m_beforeEditing)
        return;
    constexpr int kNoteLeast = 200;
    const int boardTop = m_host.resources().metrics.boardTop;
    const auto d = pieceSizeForClient(std::numeric_limits<int>::max() / 2, m_view->height(), boardTop,
                                      kMaxGrownPieceSize);
    if (!d)
        return;
    const QList<int> panes = m_splitter->sizes();
    if (panes.value(1) == 0)
        return; // the board pane has the whole width already, and the hidden notes stay so
    const int total = m_splitter->width() - m_splitter->handleWidth();
    const int board = std::max(minimumClientSize(boardTop).width, std::min(9 * *d + 73, total - kNoteLeast));
    if (board != panes.value(0))
        m_splitter->setSizes({board, std::max(0, total - board)});
}

// ---- the palette ------------------------------------------------------------------------------

void CGameFrame::showEditPalette()
{
    m_beforeEditing = Placement{isMaximized() ? normalGeometry() : geometry(), isMaximized(), m_splitter->sizes()};
    // The board pane takes the whole width. A wider pane may lay the board out larger (when
    // its width was what held it back), which needs a wider window again: a few rounds
    // settle it.
    for (int round = 0; round < 4; ++round) {
        const BoardGeometry board = m_view->painter().geometry();
        // The geometry is in the board image's pixels: a grown board's may be the screen's.
        const int width = board.laidOut()
                              ? static_cast<int>((board.fileX[9] + 3 * board.squareSize) / m_view->boardScale())
                              : this->width();
        if (!isMaximized() && width != this->width())
            resize(width, height());
        const int boardPane = std::max(width, 100);
        m_splitter->setSizes({boardPane, std::max(m_splitter->width() - m_splitter->handleWidth() - boardPane, 0)});
        if (isMaximized() || m_view->painter().geometry().squareSize == board.squareSize)
            break;
    }
    moveWindow(WindowMove::Centre);
}

void CGameFrame::hideEditPalette()
{
    if (!m_beforeEditing)
        return;
    const Placement placement = *std::exchange(m_beforeEditing, std::nullopt);
    if (placement.maximized) {
        showMaximized();
    } else {
        if (isMaximized())
            showNormal();
        setGeometry(placement.rect);
    }
    m_splitter->setSizes(placement.panes);
}

} // namespace marovin::board
