#pragma once
// Where the move list draws its items: rows of one height, the main line as numbered
// pairs in two columns, a variation as indented text that wraps at the pane's width.
//
//   |12. | 炮二平五 | 馬８進７ |        a main-line row: number, Red's move, Black's move
//   |12. | 炮二平五 |                   Red's move followed by variations ends its row
//   |     | 12... 卒７進１ 13. 馬二進三  a variation, under the moves, wrapping
//   |     |   13... 車９平８            a variation inside it, one indent deeper
//   |12. |  ...     | 馬８進７ |        the main line goes on; Red's half stays empty
//
// A layout is redone from the row that holds the first changed item: the rows before it
// stay as they are, so a move added at the end costs one row at most.

#include <vector>

#include "game_window/move_list_items.h"

namespace marovin::board {

// The pixel sizes a layout works with (the view measures them in its font).
struct MoveListMetrics {
    int rowHeight = 18;
    int margin = 4;        // left of everything, and kept free on the right
    int numberWidth = 32;  // the main line's number column
    int columnWidth = 70;  // each of the main line's two move columns
    int gap = 8;           // between two moves
    int indent = 14;       // per level of variation
    int maxIndentDepth = 6; // deeper variations indent no further
    int paneWidth = 240;
    friend bool operator==(const MoveListMetrics&, const MoveListMetrics&) = default;
};

struct MoveRow {
    int first = 0;         // items [first, end)
    int end = 0;
    bool mainLine = false; // a numbered pair
    int number = 0;        // the pair's move number (main-line rows)
};

class MoveListLayout {
public:
    // Lays items out from item from on with metrics; a change of metrics lays out all.
    // Every item needs its width.
    void layout(const std::vector<MoveItem>& items, int from, const MoveListMetrics& metrics, int firstMover);
    void clear();

    const std::vector<MoveRow>& rows() const { return m_rows; }
    const MoveListMetrics& metrics() const { return m_metrics; }
    int height() const { return static_cast<int>(m_rows.size()) * m_metrics.rowHeight; }
    // The row of item i and its left edge.
    int rowOf(int item) const { return m_places[static_cast<std::size_t>(item)].row; }
    int xOf(int item) const { return m_places[static_cast<std::size_t>(item)].x; }
    // The item under the point (layout coordinates), or -1.
    int itemAt(const std::vector<MoveItem>& items, int x, int y) const;
    // The item nearest to the point on its row (a click beside the moves), or -1.
    int nearestItem(const std::vector<MoveItem>& items, int x, int y) const;
    // The left edges of the main line's two move columns.
    int redColumn() const { return m_metrics.margin + m_metrics.numberWidth; }
    int blackColumn() const { return redColumn() + m_metrics.columnWidth + m_metrics.gap; }
    // Where the rows of a variation at depth (1 or more) begin: under the main line's moves,
    // one indent further for each level, up to maxIndentDepth.
    int variationIndent(int depth) const;

private:
    struct Place {
        int row = 0;
        int x = 0;
    };
    void placeItem(const std::vector<MoveItem>& items, int i, int firstMover);
    const MoveRow* rowAt(int y) const;
    void openRow(int first, bool mainLine, int number);

    MoveListMetrics m_metrics;
    std::vector<MoveRow> m_rows;
    std::vector<Place> m_places;
    int m_flowX = 0; // where the next item of a variation row goes
};

} // namespace marovin::board
