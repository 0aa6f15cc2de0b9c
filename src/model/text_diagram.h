#pragma once
// The text diagram: the browsed position drawn in Big5 box characters, 25 rows of 36
// columns (a Chinese character takes two), with the bottom side at the bottom:
//
//            黑方  bob （起）
//   １  ２  ３  ４  ５  ６  ７  ８  ９
//   車─馬─象─士─將─士─象─馬─車
//   │  │  │  │＼│／│  │  │  │
//   ├─┼─┼─┼─┼─┼─┼─┼─┤
//   ...                                  the river row: │ and │ at the two edges
//   九  八  七  六  五  四  三  二  一
//             紅方  alice
//                                        two blank rows
//
// and the two ways of putting it into a text at a line and column.

#include <array>
#include <string>
#include <string_view>

#include "model/game.h"

namespace marovin::model {

constexpr int kDiagramRows = 25;
constexpr std::size_t kDiagramWidth = 36;

using TextDiagramRows = std::array<std::string, kDiagramRows>;

// The label of a side above or below a diagram: "紅方  alice" or "黑方  bob", " （起）"
// added when that side moves next ("紅方" alone for an empty name; only whole Big5
// characters and printable ASCII of the name are kept).
std::string DiagramSideLabel(std::string_view name, int side, bool toMove);

// The diagram of game's browsed position; every row is exactly kDiagramWidth bytes.
TextDiagramRows TextDiagram(const CGame& game);

enum class DiagramInsertion {
    // The diagram goes in as a block at the column; the text that followed the column on
    // the first line moves to a new line after the diagram, indented by four blanks.
    MoveTextToNextLine,
    // Row r is put into line + r at the column; what followed there moves right.
    PushTextRight,
};

// Puts the rows into text (Big5, lines ended by CR LF, LF or CR) with row 0 at the given
// line and column (both from 0; the column counts bytes). Like a cursor, they are taken no
// further than the last line and the end of that line. Missing lines are added with
// CR LF, short lines padded with blanks. A column that falls inside a two-byte character
// takes that whole character to the right of the diagram, a blank keeping its place.
std::string InsertDiagram(std::string_view text, int line, int column, const TextDiagramRows& rows,
                          DiagramInsertion how);

} // namespace marovin::model
