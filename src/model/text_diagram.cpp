#include "model/text_diagram.h"

#include <algorithm>
#include <vector>

#include "model/chinese_notation.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr const char* kHorizontal = "\xA2\x77"; // ─
constexpr const char* kConnectorPlain = "\xA2\x78  \xA2\x78  \xA2\x78  \xA2\x78  \xA2\x78  \xA2\x78  \xA2\x78  "
                                        "\xA2\x78  \xA2\x78"; // │  │  │  │  │  │  │  │  │
// The palace diagonals: ＼／ below the first row of a palace, ／＼ below its second.
constexpr const char* kConnectorPalaceTop = "\xA2\x78  \xA2\x78  \xA2\x78  \xA2\x78\xA2\x40\xA2\x78\xA1\xFE"
                                            "\xA2\x78  \xA2\x78  \xA2\x78  \xA2\x78";
constexpr const char* kConnectorPalaceBottom = "\xA2\x78  \xA2\x78  \xA2\x78  \xA2\x78\xA1\xFE\xA2\x78\xA2\x40"
                                               "\xA2\x78  \xA2\x78  \xA2\x78  \xA2\x78";
constexpr const char* kConnectorRiver = "\xA2\x78                              \xA2\x78"; // │ 30 blanks │

constexpr const char* kRedSide = "\xAC\xF5\xA4\xE8";   // 紅方
constexpr const char* kBlackSide = "\xB6\xC2\xA4\xE8"; // 黑方
constexpr const char* kToMove = " \xA1\x5D\xB0\x5F\xA1\x5E"; // " （起）"

// Text fit for one diagram row: whole Big5 characters and printable ASCII only. A lead
// byte cut off at the end (a truncated name) is dropped; other stray bytes become "?".
std::string printable(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (big5CharLength(text, i) == 2) {
            out.append(text.substr(i, 2));
            ++i;
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (!(isBig5LeadByte(c) && i + 1 == text.size())) {
            out += '?';
        }
    }
    return out;
}

// text padded with blanks to the full width (never longer; a cut keeps whole characters).
std::string fullWidth(std::string text)
{
    text.resize(big5PrefixLength(text, kDiagramWidth));
    text.resize(kDiagramWidth, ' ');
    return text;
}

std::string centred(const std::string& text)
{
    const std::size_t start = text.size() < kDiagramWidth ? (kDiagramWidth - text.size()) / 2 : 0;
    return fullWidth(std::string(start, ' ') + text);
}

std::string sideLabel(const CGame& game, int side)
{
    return centred(DiagramSideLabel(fieldText(side == kRed ? game.redName : game.blackName), side,
                                    game.isRedToMoveBrowsed() == (side == kRed)));
}

// The file numbers of a side as they run from left to right: 1..9 for the side at the
// top, 9..1 for the side at the bottom, each in the side's own numerals.
std::string fileNumbers(int side, bool ascending)
{
    std::string row;
    for (int i = 1; i <= 9; ++i) {
        const int number = ascending ? i : 10 - i;
        row += side == kRed ? kChineseNumerals[number] : kFullWidthDigits[number];
        if (i < 9)
            row += "  ";
    }
    return fullWidth(row);
}

// The line crossing drawn at an empty point; rows and columns as shown (row 0 at the top).
const char* pointGlyph(int row, int column)
{
    static constexpr const char* kTop[3] = {"\xA2\x7A", "\xA2\x73", "\xA2\x7B"};    // ┌ ┬ ┐
    static constexpr const char* kBottom[3] = {"\xA2\x7C", "\xA2\x72", "\xA2\x7D"}; // └ ┴ ┘
    const int edge = column == 0 ? 0 : column == 8 ? 2 : 1;
    if (row == 0)
        return kTop[edge];
    if (row == 9)
        return kBottom[edge];
    if (edge == 0)
        return "\xA2\x75"; // ├
    if (edge == 2)
        return "\xA2\x74"; // ┤
    if (row == 5)
        return "\xA2\x73"; // ┬ below the river
    if (row == 4)
        return "\xA2\x72"; // ┴ above the river
    return "\xA2\x71";     // ┼
}

const char* connectorBelow(int row)
{
    switch (row) {
    case 0:
    case 7:
        return kConnectorPalaceTop;
    case 1:
    case 8:
        return kConnectorPalaceBottom;
    case 4:
        return kConnectorRiver;
    default:
        return kConnectorPlain;
    }
}

} // namespace

std::string DiagramSideLabel(std::string_view name, int side, bool toMove)
{
    const std::string shown = printable(name);
    std::string label = side == kRed ? kRedSide : kBlackSide;
    if (!shown.empty())
        label += "  " + shown;
    if (toMove)
        label += kToMove;
    return label;
}

TextDiagramRows TextDiagram(const CGame& game)
{
    const bool redBelow = game.bottomSide == kRed;
    const int top = redBelow ? kBlack : kRed;
    const int bottom = redBelow ? kRed : kBlack;
    TextDiagramRows rows;
    std::size_t r = 0;
    rows[r++] = sideLabel(game, top);
    rows[r++] = fileNumbers(top, true);
    for (int row = 0; row < 10; ++row) {
        std::string text;
        for (int column = 0; column < 9; ++column) {
            const int shown = row * 9 + column;
            const Piece piece = game.browsedBoard[static_cast<std::size_t>(redBelow ? shown : 89 - shown)];
            if (column > 0)
                text += kHorizontal;
            text += piece >= 1 && piece <= 32 ? kNotationPieceNames[TypeOf(piece)] : pointGlyph(row, column);
        }
        rows[r++] = fullWidth(text);
        if (row < 9)
            rows[r++] = fullWidth(connectorBelow(row));
    }
    rows[r++] = fileNumbers(bottom, false);
    rows[r++] = sideLabel(game, bottom);
    while (r < rows.size())
        rows[r++] = std::string(kDiagramWidth, ' ');
    return rows;
}

// ---- putting the diagram into a text ----------------------------------------------------

namespace {

struct TextLine {
    std::string text;
    std::string end; // "\r\n", "\n", "\r", or empty for the last line
};

std::vector<TextLine> splitLines(std::string_view text)
{
    std::vector<TextLine> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        const std::size_t endSize = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        lines.push_back({std::string(text.substr(start, i - start)), std::string(text.substr(i, endSize))});
        i += endSize - 1;
        start = i + 1;
    }
    lines.push_back({std::string(text.substr(start)), ""});
    return lines;
}

// Where a line is cut at column: the bytes kept before the diagram (padded with blanks
// up to the column) and the bytes that follow it. padded tells whether the line was short.
struct Cut {
    std::string head;
    std::string tail;
    bool padded = false;
};

Cut cutAt(const std::string& line, std::size_t column)
{
    if (line.size() < column)
        return {line + std::string(column - line.size(), ' '), "", true};
    std::size_t i = 0;
    while (i < column)
        i += big5CharLength(line, i);
    if (i > column) // the column splits a character: it goes right, a blank holds its half
        return {line.substr(0, column - 1) + " ", line.substr(column - 1), false};
    return {line.substr(0, column), line.substr(column), false};
}

} // namespace

std::string InsertDiagram(std::string_view text, int line, int column, const TextDiagramRows& rows,
                          DiagramInsertion how)
{
    std::vector<TextLine> lines = splitLines(text);
    // A cursor stands on a line of the text (the last one may be the empty line after a
    // final line end) and never beyond the end of its line.
    const std::size_t first = std::min(static_cast<std::size_t>(std::max(line, 0)), lines.size() - 1);
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(column, 0)), lines[first].text.size());
    const std::size_t needed = first + (how == DiagramInsertion::PushTextRight ? rows.size() : 1);
    while (lines.size() < needed) {
        lines.back().end = "\r\n";
        lines.push_back({"", ""});
    }

    if (how == DiagramInsertion::PushTextRight) {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            TextLine& target = lines[first + r];
            const Cut cut = cutAt(target.text, at);
            target.text = cut.head + rows[r] + cut.tail;
        }
    } else {
        const Cut cut = cutAt(lines[first].text, at);
        std::vector<TextLine> block;
        block.push_back({cut.head + rows[0], "\r\n"});
        for (std::size_t r = 1; r < rows.size(); ++r)
            block.push_back({std::string(at, ' ') + rows[r], "\r\n"});
        if (!cut.tail.empty())
            block.push_back({"    " + cut.tail, "\r\n"});
        block.back().end = lines[first].end;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first));
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(first), block.begin(), block.end());
    }

    std::string result;
    for (const TextLine& l : lines)
        result.append(l.text).append(l.end);
    return result;
}

} // namespace marovin::model
