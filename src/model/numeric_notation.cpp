#include "model/numeric_notation.h"

namespace marovin::model {

std::string NumericNotation(const MoveEntry& entry)
{
    const PackedMove& m = entry.move;
    if (!entry.isMove())
        return {};
    const bool black = SideOf(m.piece) == kBlack;
    const auto fileOf = [black](Square s) { return static_cast<char>('0' + (black ? ColumnOf(s) + 1 : 9 - ColumnOf(s))); };
    std::string text(3, ' ');
    switch (entry.tag) {
    case kTagFront:
        text[0] = '+';
        break;
    case kTagRear:
        text[0] = '-';
        break;
    case kTagMiddle:
        text[0] = '=';
        break;
    default:
        text[0] = fileOf(m.from);
        break;
    }
    const int rowFrom = RowOf(m.from);
    const int rowTo = RowOf(m.to);
    // Black advances towards higher rows, Red towards lower ones.
    const bool forward = black ? rowTo > rowFrom : rowTo < rowFrom;
    if (ColumnOf(m.from) == ColumnOf(m.to)) {
        text[1] = forward ? '+' : '-';
        text[2] = static_cast<char>('0' + (rowTo > rowFrom ? rowTo - rowFrom : rowFrom - rowTo));
    } else {
        text[1] = rowFrom == rowTo ? '=' : (forward ? '+' : '-');
        text[2] = fileOf(m.to);
    }
    return text;
}

} // namespace marovin::model
