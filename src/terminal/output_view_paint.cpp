// Drawing the terminal's rows and picking text from them with the mouse.

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

#include "platform/big5_text.h"
#include "platform/platform_defaults.h"
#include "terminal/output_view.h"

namespace marovin::shell {

QRect COutputView::rowRect(int slot) const
{
    if (slot < 0 || slot >= kTerminalRows || m_count == 0 || positionOf(slot) >= m_count)
        return {};
    const int height = viewport()->height();
    int y = 0;
    for (int p = positionOf(m_top); p < m_count && y < height; ++p) {
        const int shown = slotAtPosition(p);
        const int rowHeight = slotAt(shown).height;
        if (shown == slot)
            return QRect(0, y, viewport()->width(), rowHeight);
        y += rowHeight;
    }
    return {};
}

int COutputView::slotAtPoint(QPoint point) const
{
    if (m_count == 0 || point.y() < 0)
        return -1;
    int y = 0;
    for (int p = positionOf(m_top); p < m_count && y < viewport()->height(); ++p) {
        const int slot = slotAtPosition(p);
        y += slotAt(slot).height;
        if (point.y() < y)
            return slot;
    }
    return -1;
}

void COutputView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QColor background = platform::qColour(m_options.outputBackColour);
    painter.fillRect(viewport()->rect(), background);
    const int left = kTerminalMargin - m_horizontalOffset;
    const int height = viewport()->height();
    int y = 0;
    for (int p = m_count == 0 ? 0 : positionOf(m_top); p < m_count && y < height; ++p) {
        const int slot = slotAtPosition(p);
        const TerminalSlot& row = slotAt(slot);
        const Style& style = styleOf(row.format);
        const QString& text = m_shown[static_cast<std::size_t>(slot)].text;
        painter.setFont(style.font);
        painter.setPen(style.colour);
        painter.drawText(QPoint(left, y + style.ascent), text);
        if (m_selection.active && m_selection.slot == slot && m_selection.anchor != m_selection.caret) {
            // The selected characters are drawn inverted.
            const int first = std::min(m_selection.anchor, m_selection.caret);
            const int last = std::max(m_selection.anchor, m_selection.caret);
            const int x0 = boundaryX(slot, first);
            const int x1 = boundaryX(slot, last);
            painter.fillRect(QRect(x0, y, x1 - x0, row.height), style.colour);
            painter.setPen(background);
            painter.drawText(QPoint(x0, y + style.ascent), text.mid(first, last - first));
        }
        y += row.height;
    }
}

// ---- selection ----

// The x of a character boundary of a row, in viewport coordinates.
int COutputView::boundaryX(int slot, int boundary) const
{
    const QFontMetrics metrics(styleOf(slotAt(slot).format).font);
    const QString& text = m_shown[static_cast<std::size_t>(slot)].text;
    return kTerminalMargin - m_horizontalOffset + metrics.horizontalAdvance(text.left(boundary));
}

// The character boundary of a row nearest to x.
int COutputView::boundaryAt(int slot, int x) const
{
    const QString& text = m_shown[static_cast<std::size_t>(slot)].text;
    int previous = boundaryX(slot, 0);
    for (int boundary = 1; boundary <= text.size(); ++boundary) {
        const int next = boundaryX(slot, boundary);
        if (x < (previous + next) / 2)
            return boundary - 1;
        previous = next;
    }
    return static_cast<int>(text.size());
}

void COutputView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        mouseDoubleClickEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const int slot = slotAtPoint(event->position().toPoint());
    if (slot < 0)
        return;
    const int boundary = boundaryAt(slot, event->position().toPoint().x());
    m_selection = Selection{true, slot, boundary, boundary};
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->update();
}

void COutputView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_selection.active)
        return;
    m_selection.caret = boundaryAt(m_selection.slot, event->position().toPoint().x());
    viewport()->update();
}

void COutputView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        finishSelection();
}

void COutputView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton || m_selection.active)
        return;
    if (m_input.canPaste && m_input.canPaste() && m_input.pasteClipboard)
        m_input.pasteClipboard();
}

void COutputView::finishSelection()
{
    viewport()->unsetCursor();
    viewport()->setCursor(Qt::ArrowCursor);
    if (!m_selection.active)
        return;
    const Selection selection = m_selection;
    m_selection.active = false;
    const ShownText& shown = m_shown[static_cast<std::size_t>(selection.slot)];
    const auto limit = static_cast<int>(shown.text.size());
    const auto first = static_cast<std::size_t>(std::clamp(std::min(selection.anchor, selection.caret), 0, limit));
    const auto last = static_cast<std::size_t>(std::clamp(std::max(selection.anchor, selection.caret), 0, limit));
    const std::size_t begin = shown.byteOffsets[first];
    const std::size_t end = shown.byteOffsets[last];
    if (end > begin) {
        const TerminalSlot& row = slotAt(selection.slot);
        const QString picked = platform::fromBig5(std::string_view(row.text + begin, end - begin));
        if (m_input.insertText)
            m_input.insertText(picked);
        QApplication::clipboard()->setText(picked);
    }
    // Rows that arrived during the selection scroll in now.
    updateScrollBars();
    viewport()->update();
}

void COutputView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    // The terminal is read, not typed into: the input line takes the focus back.
    if (m_input.requestFocus)
        QTimer::singleShot(0, this, [this] {
            if (m_input.requestFocus)
                m_input.requestFocus();
        });
}

} // namespace marovin::shell
