#include "model/move_notation.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "model/chinese_notation.h"
#include "model/legality.h"

// The Chinese texts below are UTF-8, as PGN files carry them.

namespace marovin::model {

namespace {

// ---- the parts of a move text ----------------------------------------------------------

enum class NamedBy {
    File,        // the piece is the only one of its kind on the file it leaves (or told apart otherwise)
    Order,       // its order on the one file that holds two or more of its kind
    FileAndOrder // a soldier: its order on the file given, soldiers standing on two such files
};

struct MoveParts {
    PieceKind kind = PieceKind::None;
    int type = 0;         // the piece type (side and kind), for the Chinese piece names
    NamedBy by = NamedBy::File;
    int file = 0;         // 1..9 from the mover's right (File, FileAndOrder)
    std::string order;    // WXF: the order symbol ("+", "--", "=" for the middle); read: as written
    std::size_t index = 0; // written: the piece's place on its file, 0 = the foremost
    std::size_t count = 0; // written: pieces of its kind on that file
    char direction = '.'; // '+' forward, '-' back, '.' sideways
    int number = 0;       // rows moved, or the file reached
};

constexpr int fileOfColumn(int column, bool red) { return red ? 9 - column : column + 1; }
constexpr int columnOfFile(int file, bool red) { return red ? 9 - file : file - 1; }

// Squares of the pieces of one kind and side on a column, the foremost first.
std::vector<Square> piecesOnColumn(const Board& board, int column, PieceKind kind, bool red)
{
    std::vector<Square> squares;
    for (int row = 0; row < 10; ++row) {
        const Square s = SquareOf(row, column);
        if (KindOf(board[s]) == kind && SideOf(board[s]) == (red ? kRed : kBlack))
            squares.push_back(s);
    }
    if (!red) // Black advances towards row 9
        std::reverse(squares.begin(), squares.end());
    return squares;
}

// Columns holding two or more soldiers of a side.
int soldierFileCount(const Board& board, bool red)
{
    int files = 0;
    for (int column = 0; column < 9; ++column)
        files += piecesOnColumn(board, column, PieceKind::Soldier, red).size() >= 2 ? 1 : 0;
    return files;
}

// WXF's order symbols by the number of pieces on the file, foremost first. The middle
// one of an odd count is "=": the file digit after the letter (P5), or twice (33).
std::string_view wxfOrder(std::size_t index, std::size_t count)
{
    static constexpr std::string_view kSymbols[4][5] = {
        {"+", "-"}, {"+", "=", "-"}, {"++", "+", "-", "--"}, {"++", "+", "=", "-", "--"}};
    return kSymbols[std::clamp<std::size_t>(count, 2, 5) - 2][std::min<std::size_t>(index, 4)];
}

bool isMiddle(std::size_t index, std::size_t count) { return count % 2 == 1 && index == count / 2; }

MoveParts describe(const Board& board, Square from, Square to, MoveNotation notation)
{
    MoveParts parts;
    const Piece piece = board[from];
    const bool red = SideOf(piece) == kRed;
    parts.kind = KindOf(piece);
    parts.type = TypeOf(piece);
    parts.file = fileOfColumn(ColumnOf(from), red);
    const int rows = RowOf(to) - RowOf(from);
    const bool forward = red ? rows < 0 : rows > 0;
    if (ColumnOf(from) == ColumnOf(to)) {
        parts.direction = forward ? '+' : '-';
        parts.number = std::abs(rows);
    } else {
        parts.direction = rows == 0 ? '.' : (forward ? '+' : '-');
        parts.number = fileOfColumn(ColumnOf(to), red);
    }
    if (parts.kind == PieceKind::Advisor || parts.kind == PieceKind::Elephant || parts.kind == PieceKind::General)
        return parts;
    const std::vector<Square> file = piecesOnColumn(board, ColumnOf(from), parts.kind, red);
    if (file.size() < 2)
        return parts;
    parts.index = static_cast<std::size_t>(std::find(file.begin(), file.end(), from) - file.begin());
    parts.count = file.size();
    parts.order = wxfOrder(parts.index, parts.count);
    if (parts.kind == PieceKind::Soldier && soldierFileCount(board, red) >= 2)
        parts.by = NamedBy::FileAndOrder;
    else if (notation != MoveNotation::Wxf || !isMiddle(parts.index, parts.count))
        parts.by = NamedBy::Order; // WXF names the middle one of one file by its file digit
    return parts;
}

// ---- WXF ------------------------------------------------------------------------------

char wxfLetter(PieceKind kind)
{
    switch (kind) {
    case PieceKind::General: return 'K';
    case PieceKind::Advisor: return 'A';
    case PieceKind::Elephant: return 'E';
    case PieceKind::Horse: return 'H';
    case PieceKind::Chariot: return 'R';
    case PieceKind::Cannon: return 'C';
    default: return 'P';
    }
}

PieceKind wxfKind(char letter)
{
    switch (letter) {
    case 'K': case 'k': return PieceKind::General;
    case 'A': case 'a': return PieceKind::Advisor;
    case 'E': case 'e': case 'B': case 'b': return PieceKind::Elephant;
    case 'H': case 'h': case 'N': case 'n': return PieceKind::Horse;
    case 'R': case 'r': return PieceKind::Chariot;
    case 'C': case 'c': return PieceKind::Cannon;
    case 'P': case 'p': return PieceKind::Soldier;
    default: return PieceKind::None;
    }
}

std::string wxfText(const MoveParts& parts)
{
    std::string text;
    switch (parts.by) {
    case NamedBy::File:
        text = {wxfLetter(parts.kind), char('0' + parts.file)};
        break;
    case NamedBy::Order:
        text = parts.order.size() == 2 ? parts.order : std::string{wxfLetter(parts.kind)} + parts.order;
        break;
    case NamedBy::FileAndOrder: // the middle soldier writes its file twice: 33.4
        text = std::string{char('0' + parts.file)} + (parts.order == "=" ? std::string(1, char('0' + parts.file)) : parts.order);
        break;
    }
    return text + parts.direction + char('0' + parts.number);
}

bool isOrderChar(char c) { return c == '+' || c == '-' || c == '='; }
bool isDigit(char c) { return c >= '1' && c <= '9'; }

std::optional<MoveParts> parseWxf(std::string_view text)
{
    while (!text.empty() && (text.back() == '!' || text.back() == '?' || text.back() == '#'))
        text.remove_suffix(1);
    if (text.size() == 5 && text.back() == '+') // a check mark after the move
        text.remove_suffix(1);
    if (text.size() != 4)
        return std::nullopt;
    MoveParts parts;
    const char a = text[0];
    const char b = text[1];
    if (wxfKind(a) != PieceKind::None && isDigit(b)) {
        parts.kind = wxfKind(a);
        parts.file = b - '0';
    } else if (wxfKind(a) != PieceKind::None && isOrderChar(b)) {
        parts.kind = wxfKind(a);
        parts.by = NamedBy::Order;
        parts.order = std::string(1, b);
    } else if (isOrderChar(a) && wxfKind(b) != PieceKind::None) { // "+R" puts the order first
        parts.kind = wxfKind(b);
        parts.by = NamedBy::Order;
        parts.order = std::string(1, a);
    } else if ((a == '+' || a == '-') && b == a) {
        parts.kind = PieceKind::Soldier;
        parts.by = NamedBy::Order;
        parts.order = std::string(2, a);
    } else if (isDigit(a) && (isOrderChar(b) || b == a)) { // 3+, 3-, and 33 for the middle
        parts.kind = PieceKind::Soldier;
        parts.by = NamedBy::FileAndOrder;
        parts.file = a - '0';
        parts.order = b == a ? "=" : std::string(1, b);
    } else {
        return std::nullopt;
    }
    parts.direction = text[2] == '=' ? '.' : text[2];
    if ((parts.direction != '+' && parts.direction != '-' && parts.direction != '.') || !isDigit(text[3]))
        return std::nullopt;
    parts.number = text[3] - '0';
    return parts;
}

// ---- Chinese --------------------------------------------------------------------------

constexpr std::array<const char*, 10> kNumerals = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
constexpr std::array<const char*, 10> kWideDigits = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

// The characters a Chinese move text is made of, in one encoding.
struct ChineseGlyphs {
    std::array<const char*, kPieceTypeCount> pieces; // by piece type
    const char* const* numerals;                     // 0..9, Red's files and the order words
    const char* const* wideDigits;                   // 0..9, Black's files
    const char* front;
    const char* middle;
    const char* rear;
    const char* forward;
    const char* back;
    const char* sideways;
    // The qualifier of two or three pieces on a file follows the piece (硨前進一), as the
    // text record writes it; otherwise it comes first (前俥進一).
    bool qualifierAfterPiece;
};

// UTF-8, as PGN files carry the notation.
const ChineseGlyphs kUtf8Glyphs = {{"將", "士", "象", "車", "馬", "包", "卒", "帥", "仕", "相", "俥", "傌", "炮", "兵"},
                                   kNumerals.data(), kWideDigits.data(), "前", "中", "後", "進", "退", "平",
                                   false};

// Big5, as the program's own records write it.
const ChineseGlyphs& big5Glyphs()
{
    static const ChineseGlyphs glyphs = [] {
        ChineseGlyphs g{{}, kChineseNumerals, kFullWidthDigits, kQualifierFront, kQualifierMiddle, kQualifierRear,
                        kDirectionForward, kDirectionBack, kDirectionSideways, true};
        for (int type = 0; type < kPieceTypeCount; ++type)
            g.pieces[static_cast<std::size_t>(type)] = kNotationPieceNames[type];
        return g;
    }();
    return glyphs;
}

std::string chineseText(const MoveParts& parts, bool red, const ChineseGlyphs& g)
{
    const auto digit = [&](int n) { return std::string(red ? g.numerals[n] : g.wideDigits[n]); };
    // Front, middle and rear for two or three pieces; four or five are counted 一..五.
    const auto order = [&]() -> std::string {
        if (parts.count > 3)
            return g.numerals[parts.index + 1];
        return parts.index == 0 ? g.front : parts.index + 1 == parts.count ? g.rear : g.middle;
    };
    const std::string piece = g.pieces[static_cast<std::size_t>(parts.type)];
    std::string text;
    switch (parts.by) {
    case NamedBy::File:
        text = piece + digit(parts.file);
        break;
    case NamedBy::Order:
        text = g.qualifierAfterPiece && parts.count <= 3 ? piece + order() : order() + piece;
        break;
    case NamedBy::FileAndOrder:
        text = order() + digit(parts.file);
        break;
    }
    text += parts.direction == '+' ? g.forward : parts.direction == '-' ? g.back : g.sideways;
    return text + digit(parts.number);
}

// The characters of a UTF-8 text, each as its bytes.
std::vector<std::string_view> utf8Characters(std::string_view text)
{
    std::vector<std::string_view> characters;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, text.size() - at);
        characters.push_back(text.substr(at, length));
        at += length;
    }
    return characters;
}

PieceKind chineseKind(std::string_view c)
{
    struct Name {
        std::string_view text;
        PieceKind kind;
    };
    static constexpr Name kNames[] = {
        {"帥", PieceKind::General}, {"帅", PieceKind::General}, {"將", PieceKind::General},
        {"将", PieceKind::General}, {"仕", PieceKind::Advisor}, {"士", PieceKind::Advisor},
        {"相", PieceKind::Elephant}, {"象", PieceKind::Elephant}, {"俥", PieceKind::Chariot},
        {"車", PieceKind::Chariot}, {"车", PieceKind::Chariot}, {"硨", PieceKind::Chariot},
        {"傌", PieceKind::Horse}, {"馬", PieceKind::Horse}, {"马", PieceKind::Horse},
        {"炮", PieceKind::Cannon}, {"砲", PieceKind::Cannon}, {"包", PieceKind::Cannon},
        {"兵", PieceKind::Soldier}, {"卒", PieceKind::Soldier}};
    for (const Name& name : kNames)
        if (name.text == c)
            return name.kind;
    return PieceKind::None;
}

// 1..9 for a numeral, a full-width or an ASCII digit; 0 for anything else.
int chineseDigit(std::string_view c)
{
    for (int n = 1; n <= 9; ++n)
        if (c == kNumerals[n] || c == kWideDigits[n] || (c.size() == 1 && c[0] == '0' + n))
            return n;
    return 0;
}

// Order symbols as the table writes them; the simplified rear (后) reads as 後.
std::string chineseOrder(std::string_view c)
{
    if (c == "后")
        return "後";
    if (c == "前" || c == "後" || c == "中")
        return std::string(c);
    const int n = chineseDigit(c);
    return n >= 1 && n <= 5 && c == kNumerals[n] ? std::string(c) : std::string();
}

std::optional<MoveParts> parseChinese(std::string_view text)
{
    std::vector<std::string_view> c = utf8Characters(text);
    while (!c.empty() && (c.back() == "!" || c.back() == "?" || c.back() == "+" || c.back() == "#"))
        c.pop_back();
    if (c.size() != 4)
        return std::nullopt;
    MoveParts parts;
    if (chineseKind(c[0]) != PieceKind::None && chineseDigit(c[1]) != 0) {
        parts.kind = chineseKind(c[0]);
        parts.file = chineseDigit(c[1]);
    } else if (chineseKind(c[1]) != PieceKind::None && !chineseOrder(c[0]).empty()) {
        parts.kind = chineseKind(c[1]);
        parts.by = NamedBy::Order;
        parts.order = chineseOrder(c[0]);
    } else if (chineseKind(c[0]) != PieceKind::None && !chineseOrder(c[1]).empty()) { // "車前" order
        parts.kind = chineseKind(c[0]);
        parts.by = NamedBy::Order;
        parts.order = chineseOrder(c[1]);
    } else if (!chineseOrder(c[0]).empty() && chineseDigit(c[1]) != 0) {
        parts.kind = PieceKind::Soldier;
        parts.by = NamedBy::FileAndOrder;
        parts.order = chineseOrder(c[0]);
        parts.file = chineseDigit(c[1]);
    } else {
        return std::nullopt;
    }
    if (c[2] == "進" || c[2] == "进")
        parts.direction = '+';
    else if (c[2] == "退")
        parts.direction = '-';
    else if (c[2] == "平")
        parts.direction = '.';
    else
        return std::nullopt;
    parts.number = chineseDigit(c[3]);
    if (parts.number == 0)
        return std::nullopt;
    return parts;
}

// ---- resolving parts on a board ------------------------------------------------------

// The square a piece on from reaches by direction and number; nothing when its kind
// cannot move so.
std::optional<Square> destination(const MoveParts& parts, Square from, bool red)
{
    const int row = RowOf(from);
    const int column = ColumnOf(from);
    const int ahead = red ? -1 : 1; // one row forward
    const int sign = parts.direction == '+' ? ahead : -ahead;
    int toRow = row;
    int toColumn = column;
    switch (parts.kind) {
    case PieceKind::Chariot:
    case PieceKind::Cannon:
    case PieceKind::Soldier:
    case PieceKind::General:
        if (parts.direction == '.')
            toColumn = columnOfFile(parts.number, red);
        else
            toRow = row + sign * parts.number;
        break;
    case PieceKind::Horse:
    case PieceKind::Elephant:
    case PieceKind::Advisor: {
        if (parts.direction == '.')
            return std::nullopt;
        toColumn = columnOfFile(parts.number, red);
        const int across = std::abs(toColumn - column);
        int rows = 0;
        if (parts.kind == PieceKind::Horse)
            rows = across == 1 ? 2 : across == 2 ? 1 : 0;
        else if (parts.kind == PieceKind::Elephant)
            rows = across == 2 ? 2 : 0;
        else
            rows = across == 1 ? 1 : 0;
        if (rows == 0)
            return std::nullopt;
        toRow = row + sign * rows;
        break;
    }
    default:
        return std::nullopt;
    }
    if (toRow < 0 || toRow > 9 || (toRow == row && toColumn == column))
        return std::nullopt;
    return SquareOf(toRow, toColumn);
}

// The place (0 = the foremost) that an order word names among count pieces on one file;
// nothing when the word does not fit that many. Front and rear fit any count; the middle
// (中, or "=" for WXF's 33 and P5 forms) an odd one; 一..五 any count they reach. WXF's
// "+" and "-" are the outer two of two or three pieces and the inner two of four or five,
// whose outer two are "++" and "--" (read as front and rear for two or three too).
std::optional<std::size_t> orderIndex(std::string_view order, std::size_t count)
{
    if (count < 2)
        return std::nullopt;
    if (order == "前" || order == "++")
        return 0;
    if (order == "後" || order == "--")
        return count - 1;
    if (order == "+")
        return count <= 3 ? 0 : 1;
    if (order == "-")
        return count <= 3 ? count - 1 : count - 2;
    if (order == "中" || order == "=")
        return count % 2 == 1 ? std::optional<std::size_t>(count / 2) : std::nullopt;
    for (std::size_t n = 1; n <= 5; ++n)
        if (order == kNumerals[n])
            return n <= count ? std::optional<std::size_t>(n - 1) : std::nullopt;
    return std::nullopt;
}

// How an order word was written, for messages ("=" stands for the middle's forms).
std::string orderWord(const MoveParts& parts)
{
    if (parts.order != "=")
        return "\"" + parts.order + "\"";
    return parts.by == NamedBy::FileAndOrder ? "the middle (" + std::string(2, char('0' + parts.file)) + ")"
                                             : "the middle";
}

std::string pieceWord(PieceKind kind)
{
    switch (kind) {
    case PieceKind::General: return "general";
    case PieceKind::Advisor: return "advisor";
    case PieceKind::Elephant: return "elephant";
    case PieceKind::Horse: return "horse";
    case PieceKind::Chariot: return "chariot";
    case PieceKind::Cannon: return "cannon";
    default: return "soldier";
    }
}

// The pieces an order word names, one per file it fits; error says why when there is none.
std::vector<Square> byOrder(const Board& board, bool red, const MoveParts& parts, std::string& error)
{
    std::vector<Square> candidates;
    std::string counts; // "2 on file 3, 4 on file 7": the files the word did not fit
    for (int column = 0; column < 9; ++column) {
        const std::vector<Square> file = piecesOnColumn(board, column, parts.kind, red);
        const int fileNumber = fileOfColumn(column, red);
        if (parts.by == NamedBy::FileAndOrder && fileNumber != parts.file)
            continue;
        if (file.size() < 2)
            continue;
        if (const auto index = orderIndex(parts.order, file.size())) {
            candidates.push_back(file[*index]);
        } else {
            counts += (counts.empty() ? "" : ", ") + std::to_string(file.size()) + " on file " + std::to_string(fileNumber);
        }
    }
    if (!candidates.empty())
        return candidates;
    if (counts.empty())
        error = parts.by == NamedBy::FileAndOrder
                    ? "no two " + pieceWord(parts.kind) + "s stand on file " + std::to_string(parts.file)
                    : "no two " + pieceWord(parts.kind) + "s stand on one file";
    else
        error = orderWord(parts) + " names none of the " + pieceWord(parts.kind) + "s (" + counts + ")";
    return {};
}

std::optional<SquarePair> resolve(const Board& board, bool red, const MoveParts& parts, std::string& error)
{
    std::vector<Square> candidates;
    if (parts.by != NamedBy::File) {
        candidates = byOrder(board, red, parts, error);
        if (candidates.empty())
            return std::nullopt;
    } else {
        const std::vector<Square> file = piecesOnColumn(board, columnOfFile(parts.file, red), parts.kind, red);
        if (file.empty()) {
            error = "no " + pieceWord(parts.kind) + " on file " + std::to_string(parts.file);
            return std::nullopt;
        }
        if (parts.kind == PieceKind::Soldier && file.size() % 2 == 1)
            candidates = {file[file.size() / 2]}; // the middle one is named by its file
        else
            candidates = file;
    }
    std::optional<SquarePair> found;
    for (Square from : candidates) {
        const auto to = destination(parts, from, red);
        if (!to || !IsMoveLegal(board, red, from, *to))
            continue;
        if (found) {
            error = "ambiguous: more than one " + pieceWord(parts.kind) + " can make it";
            return std::nullopt;
        }
        found = SquarePair{from, *to};
    }
    if (!found)
        error = "not a legal move";
    return found;
}

bool isIccsFile(char c) { return (c >= 'a' && c <= 'i') || (c >= 'A' && c <= 'I'); }
bool isIccsRank(char c) { return c >= '0' && c <= '9'; }

// "h2e2", "H2-E2": the two squares.
std::optional<SquarePair> parseIccs(std::string_view text)
{
    while (!text.empty() && (text.back() == '!' || text.back() == '?' || text.back() == '+' || text.back() == '#'))
        text.remove_suffix(1);
    std::string squares;
    for (char c : text)
        if (c != '-')
            squares += c;
    if (squares.size() != 4 || text.size() > 5 || !isIccsFile(squares[0]) || !isIccsRank(squares[1]) ||
        !isIccsFile(squares[2]) || !isIccsRank(squares[3]))
        return std::nullopt;
    const auto square = [](char file, char rank) {
        const int column = (file | 0x20) - 'a';
        return SquareOf(9 - (rank - '0'), column);
    };
    return SquarePair{square(squares[0], squares[1]), square(squares[2], squares[3])};
}

} // namespace

std::string_view NotationName(MoveNotation notation)
{
    switch (notation) {
    case MoveNotation::Iccs: return "ICCS";
    case MoveNotation::Wxf: return "WXF";
    case MoveNotation::Chinese: return "Chinese";
    }
    return "ICCS";
}

std::optional<MoveNotation> NotationFromName(std::string_view name)
{
    for (MoveNotation notation : {MoveNotation::Iccs, MoveNotation::Wxf, MoveNotation::Chinese}) {
        const std::string_view known = NotationName(notation);
        if (known.size() == name.size() &&
            std::equal(known.begin(), known.end(), name.begin(), [](char a, char b) { return (a | 0x20) == (b | 0x20); }))
            return notation;
    }
    return std::nullopt;
}

std::string MoveText(const Board& board, Square from, Square to, MoveNotation notation)
{
    if (notation == MoveNotation::Iccs) {
        const auto square = [](Square s) {
            return std::string{char('a' + ColumnOf(s)), char('0' + 9 - RowOf(s))};
        };
        return square(from) + square(to);
    }
    const MoveParts parts = describe(board, from, to, notation);
    return notation == MoveNotation::Wxf ? wxfText(parts) : chineseText(parts, SideOf(board[from]) == kRed, kUtf8Glyphs);
}

std::string RecordMoveText(const Board& board, Square from, Square to)
{
    const MoveParts parts = describe(board, from, to, MoveNotation::Chinese);
    return chineseText(parts, SideOf(board[from]) == kRed, big5Glyphs());
}

MoveNotation GuessNotation(std::string_view text)
{
    if (parseIccs(text))
        return MoveNotation::Iccs;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return MoveNotation::Chinese;
    return MoveNotation::Wxf;
}

std::optional<SquarePair> ReadMoveText(const Board& board, bool redToMove, std::string_view text,
                                       MoveNotation notation, std::string& error)
{
    if (notation == MoveNotation::Iccs) {
        const auto squares = parseIccs(text);
        if (!squares) {
            error = "not a move in ICCS notation";
            return std::nullopt;
        }
        if (!IsMoveLegal(board, redToMove, squares->from, squares->to)) {
            error = "not a legal move";
            return std::nullopt;
        }
        return squares;
    }
    const auto parts = notation == MoveNotation::Wxf ? parseWxf(text) : parseChinese(text);
    if (!parts) {
        error = std::string("not a move in ") + std::string(NotationName(notation)) + " notation";
        return std::nullopt;
    }
    return resolve(board, redToMove, *parts, error);
}

} // namespace marovin::model
