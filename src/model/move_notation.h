#pragma once
// Move texts as other Xiangqi programs write them, for exchanging games as PGN.
//
//   ICCS      h2e2     column letter a..i, rank 0..9 counted from Red's side, twice
//   WXF       C2.5     piece letter, file it leaves, direction (+ forward, - back,
//             H8+7     . sideways), rows moved along a file or the file it reaches
//   Chinese   炮二平五  the same four parts in Chinese (UTF-8); Red's files in Chinese
//             馬８進７  numerals, Black's in full-width digits
//
// Files count from the mover's right: Red 9 - column, Black column + 1. When two or more
// pieces of one kind share a file, the file digit gives way to their order on it, counted
// from the foremost (the one nearest the enemy):
//
//   pieces on the file    WXF                       Chinese
//   2                     R+  R-                    前車  後車
//   3 (soldiers)          P+  P5 (its file)  P-     前兵  中兵  後兵
//   4 (soldiers)          ++  P+  P-  --            一兵  二兵  三兵  四兵
//   5 (soldiers)          ++  P+  P5  P-  --        一兵 … 五兵
//
// Soldiers that stand two or more on each of two files are named by their file instead of
// the letter: WXF 3+.4, 33.4 (the middle of three), 3-.4; Chinese 前三平四, 中三平四,
// 後三平四. Advisors and elephants always use the file digit: two of them on one file
// differ in direction.
//
// Every text is read leniently as well: WXF letters in either case and with B/N for
// elephant/horse, "=" for sideways, the middle soldier as P3 or 33; Chinese in
// traditional or simplified characters, files in Chinese numerals, full-width or ASCII
// digits, and the qualifier before or after the piece. An order word is read for any
// count it fits: 前 and 後 for two to five pieces, 中 for three or five, 一..五 for as
// many as they count; one that fits no file is refused with the counts found.

#include <optional>
#include <string>
#include <string_view>

#include "model/position.h"

namespace marovin::model {

enum class MoveNotation { Iccs, Wxf, Chinese };

// "ICCS", "WXF", "Chinese".
std::string_view NotationName(MoveNotation notation);
// The notation of a name, in any case ("iccs", "Wxf", "chinese"); nothing for others.
std::optional<MoveNotation> NotationFromName(std::string_view name);

// The text of the move from -> to on board (the position before it). The piece on from
// decides the side; the move is not checked.
std::string MoveText(const Board& board, Square from, Square to, MoveNotation notation);

// The Chinese text of the move from -> to on board as the program's own records write
// it (the text record, the engine's line): Big5, the record's piece names (硨 for Red's
// chariot), and the qualifier of two or three pieces on a file after the piece
// (硨前進一, 兵中平八). Which piece a text names follows the same rules as MoveText.
std::string RecordMoveText(const Board& board, Square from, Square to);

// The notation a move text is written in, judged by its form: four ASCII characters
// letter-digit-letter-digit (a dash allowed between the squares) are ICCS, a text with
// bytes above 127 is Chinese, any other is WXF.
MoveNotation GuessNotation(std::string_view text);

// Reads a move text of the side to move. Returns the move when the text names exactly
// one legal move; otherwise error says why (not a move text, no such piece, not legal,
// ambiguous) and nothing is returned.
std::optional<SquarePair> ReadMoveText(const Board& board, bool redToMove, std::string_view text,
                                       MoveNotation notation, std::string& error);

} // namespace marovin::model
