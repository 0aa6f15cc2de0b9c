#pragma once
// The three-character numeric move notation ("+2-3", "C2=5" style, digits for files):
//   1st: "+" front piece, "-" rear piece, "=" middle piece; otherwise the file the piece
//        leaves (Black counts columns 1..9 from its right, i.e. column + 1; Red 9 - column)
//   2nd: "+" forward, "-" back, "=" along a row
//   3rd: rows moved along a file, otherwise the destination's file

#include <string>

#include "model/move_tree.h"

namespace marovin::model {

// Empty for an entry that is not a move.
std::string NumericNotation(const MoveEntry& entry);

} // namespace marovin::model
