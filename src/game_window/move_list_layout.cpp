#include "game_window/move_list_layout.h"

#include <algorithm>

namespace marovin::board {

void MoveListLayout::clear()
{
    m_rows.clear();
    m_places.clear();
    m_flowX = 0;
}

void MoveListLayout::layout(const std::vector<MoveItem>& items, int from, const MoveListMetrics& metrics,
                            int firstMover)
{
    const int count = static_cast<int>(items.size());
    if (metrics != m_metrics || from <= 0 || m_places.empty()) {
        m_metrics = metrics;
        from = 0;
    }
    from = std::clamp(from, 0, std::min(count, static_cast<int>(m_places.size())));
    // The row that holds the item before the first changed one may take more items (a
    // Black move beside its Red one, a variation that flows on): it is laid out again,
    // from the row where its variation's flow began.
    int row = from > 0 ? rowOf(from - 1) : 0;
    while (row > 0 && !m_rows[static_cast<std::size_t>(row)].mainLine &&
           !items[static_cast<std::size_t>(m_rows[static_cast<std::size_t>(row)].first)].runStart)
        --row;
    const int restart = from > 0 ? m_rows[static_cast<std::size_t>(row)].first : 0;
    m_rows.resize(from > 0 ? static_cast<std::size_t>(row) : 0);
    m_places.resize(static_cast<std::size_t>(count));
    for (int i = restart; i < count; ++i)
        placeItem(items, i, firstMover);
}

void MoveListLayout::openRow(int first, bool mainLine, int number)
{
    m_rows.push_back(MoveRow{first, first, mainLine, number});
}

void MoveListLayout::placeItem(const std::vector<MoveItem>& items, int i, int firstMover)
{
    const MoveItem& item = items[static_cast<std::size_t>(i)];
    const MoveListMetrics& m = m_metrics;
    if (item.depth == 0) {
        const bool red = IsRedMoveAt(item.ply, firstMover);
        // Black's move joins its Red move's row when nothing came between them.
        const bool joins = !red && !item.runStart && !m_rows.empty() && m_rows.back().mainLine;
        if (!joins)
            openRow(i, true, MoveNumberAt(item.ply, firstMover));
        m_places[static_cast<std::size_t>(i)] = {static_cast<int>(m_rows.size()) - 1, red ? redColumn() : blackColumn()};
    } else {
        const int indent = variationIndent(item.depth);
        const int width = std::max(item.width, 0);
        const bool full = !m_rows.empty() && m_rows.back().end > m_rows.back().first &&
                          m_flowX + width > m.paneWidth - m.margin;
        if (item.runStart || m_rows.empty() || m_rows.back().mainLine || full) {
            openRow(i, false, 0);
            m_flowX = indent;
        }
        m_places[static_cast<std::size_t>(i)] = {static_cast<int>(m_rows.size()) - 1, m_flowX};
        m_flowX += width + m.gap;
    }
    m_rows.back().end = i + 1;
}

int MoveListLayout::variationIndent(int depth) const
{
    return redColumn() + m_metrics.indent * (std::clamp(depth, 1, m_metrics.maxIndentDepth) - 1);
}

const MoveRow* MoveListLayout::rowAt(int y) const
{
    if (y < 0 || m_metrics.rowHeight <= 0)
        return nullptr;
    const std::size_t row = static_cast<std::size_t>(y / m_metrics.rowHeight);
    return row < m_rows.size() ? &m_rows[row] : nullptr;
}

int MoveListLayout::itemAt(const std::vector<MoveItem>& items, int x, int y) const
{
    const MoveRow* row = rowAt(y);
    for (int i = row ? row->first : 0; row && i < row->end && i < static_cast<int>(items.size()); ++i) {
        const int left = xOf(i);
        if (x >= left && x < left + std::max(items[static_cast<std::size_t>(i)].width, m_metrics.gap))
            return i;
    }
    return -1;
}

int MoveListLayout::nearestItem(const std::vector<MoveItem>& items, int x, int y) const
{
    const MoveRow* row = rowAt(y);
    int nearest = -1;
    for (int i = row ? row->first : 0; row && i < row->end && i < static_cast<int>(items.size()); ++i)
        if (xOf(i) <= x || nearest < 0)
            nearest = i;
    return nearest;
}

} // namespace marovin::board
