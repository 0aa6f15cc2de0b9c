#pragma once
// The text record: the whole game written out in Chinese notation, in Big5 with CR LF
// line ends, for the "text game record" box.
//
//       局名： Club final                      header, one line a field
//       ...
//         1. 炮二平五   馬８進７      2. 傌二進三   車９平８
//       the note of Black's second move
//
//       以下共有 2 種變化：
//         1.兵七進一  2.兵三進一
//
//       【一】 兵七進一                         each alternative under its label:
//                                               【一】 at the first level, 甲 乙 … at the
//         3. 兵七進一   ...                      second, 【d.n】 deeper

#include <cstddef>

#include "model/byte_stream.h"
#include "model/game.h"

namespace marovin::model {

// The text is handed to the sink whenever more than this many bytes have gathered, and
// the rest at the end, so that a long record reaches the box in pieces.
constexpr std::size_t kTextChunkLimit = 89999;

// Told where each move went while a record is written, so that a printed record can put
// a diagram right after the line that holds a move.
class RecordMoveObserver {
public:
    virtual ~RecordMoveObserver() = default;
    // The header is written: end is its length in bytes, the blank line after it included.
    virtual void headerWritten(std::size_t end) = 0;
    // entry was written at ply (0 for the first move of a game Red begins) from board
    // (the position before it); end is the count of bytes written so far, its text included.
    virtual void moveWritten(const MoveEntry& entry, const Board& board, int ply, std::size_t end) = 0;
};

// Writes the text record of game to sink. Returns false when the sink refused a piece.
bool WriteTextRecord(const CGame& game, ByteSink& sink, RecordMoveObserver* observer = nullptr);

// The label of alternative n (1-based) of a branch point at depth d (1 for the outermost),
// without the indentation of its line: "【一】", "   【甲】", "    【2.11】".
std::string VariationLabel(int depth, int n);

} // namespace marovin::model
