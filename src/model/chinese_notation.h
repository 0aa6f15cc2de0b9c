#pragma once
// The fixed Big5 texts of the Chinese move notation (written by RecordMoveText,
// move_notation.h) and of the text record's labels.
//
// A move is four characters (eight bytes): the piece, the file it leaves (or front / rear
// / middle when two or more pieces of its kind share the file), the direction (進
// forward, 退 back, 平 sideways) and either the rows moved along a file or the file it
// reaches. Red counts files 一..九 from its right (9 - column), Black ０..９ style digits
// from its own right (column + 1):
//
//   炮二平五    Red's cannon from file 2 along the row to file 5
//   馬８進７    Black's horse from file 8 forward to file 7
//   硨前進一    Red's front chariot one row forward

#include <string>

#include "model/position.h"

namespace marovin::model {

// Indexed 0..9. Numerals serve Red's moves, the labels and the diagram; full-width digits
// serve Black's moves; stems label the alternatives of the second level.
extern const char* const kChineseNumerals[10];
extern const char* const kFullWidthDigits[10];
extern const char* const kStems[10];

extern const char* const kQualifierFront;  // 前
extern const char* const kQualifierRear;   // 後
extern const char* const kQualifierMiddle; // 中
extern const char* const kDirectionForward;  // 進
extern const char* const kDirectionBack;     // 退
extern const char* const kDirectionSideways; // 平

// n (1 or more) in Chinese numerals as the variation labels write it: 12 一十二, 105
// 一百零五, 1234 一千二百三十四. Numbers of 10000 or more are written in ASCII digits.
std::string ChineseNumber(int n);

} // namespace marovin::model
