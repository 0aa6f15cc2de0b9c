#pragma once
// The move list's items: every move of a game's record, in the order the list shows them,
// with its text in the chosen notation. The main line reads down the list; a variation
// follows the move it stands for, one level deeper, and the line it left goes on after it:
//
//   1. 炮二平五  馬８進７          depth 0: the main line
//   2. 馬二進三                    (alternative 0 of a branch point: its first move)
//        2. 兵七進一 卒７進１      depth 1: alternative 1 of that branch point
//           3. 馬八進七            ...and its own variations at depth 2
//        2. 車一平二               depth 1: alternative 2
//   2. ...      車９平８          depth 0 again: the main line goes on
//
// Keeping the list up to date is a walk of the record that compares each item with the
// one it had at that place: texts are made and measured again only from the first item
// that differs, so a move added at the end of a live game costs one new text. The walk
// keeps its own stack (a record of any depth is safe) and counts plies as the record's
// cursor does, so an item's ply is the browsed ply of its position.

#include <cstdint>
#include <string>
#include <vector>

#include "game_window/game_navigation.h"
#include "model/analysis_note.h"
#include "model/game.h"
#include "model/move_notation.h"

namespace marovin::board {

struct MoveItem {
    MoveRef ref;
    model::PackedMove move{};
    std::uint8_t tag = 0;
    int ply = 0;            // moves played before it from the start
    int depth = 0;          // 0 the main line, 1 a variation of it, and so on
    bool opensBlock = false; // the first move of a variation
    bool runStart = false;  // the first move after the list's flow broke (a variation began
                            // or ended, or the list begins): it carries its number
    bool hasNote = false;   // the move holds a note with text
    model::MoveMark mark = model::MoveMark::None; // "?" or "??" of an engine's analysis
    std::string text;       // the move in the notation (Big5 or ASCII)
    std::string label;      // what the list shows: the text and its mark, in a variation
                            // after its number
    int width = -1;         // the label's width as drawn; -1 until measured
};

// The move number of the move at ply and whether Red makes it, for a record whose first
// mover is firstMover (0 Red, 1 Black), as the text record numbers them.
int MoveNumberAt(int ply, int firstMover);
bool IsRedMoveAt(int ply, int firstMover);

class MoveListItems {
public:
    // Brings the items up to date with game's record in notation. Items before the first
    // one that changed keep their texts and widths (their places in the record are
    // renewed). Returns that first index (the item count when items were only taken off
    // the end), or -1 when every item is as it was.
    int sync(const model::CGame& game, model::MoveNotation notation);
    void clear();

    const std::vector<MoveItem>& items() const { return m_items; }
    // The items, for the widths the view measures.
    std::vector<MoveItem>& items() { return m_items; }
    int size() const { return static_cast<int>(m_items.size()); }

    // The index of the item at ref, searched outward from hint; -1 when none is there.
    int find(const MoveRef& ref, int hint = 0) const;
    // The item of the last move of a live game (the main line at the game's ply), or -1.
    int liveEnd(const model::CGame& game) const;

private:
    struct Walk;

    std::vector<MoveItem> m_items;
    model::MoveNotation m_notation = model::MoveNotation::Chinese;
    model::Board m_start{};
    int m_firstMover = -1; // -1: no sync yet
};

} // namespace marovin::board
