#include "model/move_notation.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

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
    NamedBy by = NamedBy::File;
    int file = 0;         // 1..9 from the mover's right (File, FileAndOrder)
    std::string order;    // the order symbol as written ("+", "--", "前", "三")
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

// The order symbols by the number of pieces on the file, foremost first. The middle one
// of an odd count is "=" in WXF, which the letter form writes as the file digit.
const std::vector<std::string>& orderSymbols(MoveNotation notation, std::size_t count)
{
    static const std::array<std::vector<std::string>, 6> wxf = {
        std::vector<std::string>{}, {}, {"+", "-"}, {"+", "=", "-"}, {"++", "+", "-", "--"},
        {"++", "+", "=", "-", "--"}};
    static const std::array<std::vector<std::string>, 6> chinese = {
        std::vector<std::string>{}, {}, {"前", "後"}, {"前", "中", "後"}, {"一", "二", "三", "四"},
        {"一", "二", "三", "四", "五"}};
    return (notation == MoveNotation::Wxf ? wxf : chinese)[std::min<std::size_t>(count, 5)];
}

MoveParts describe(const Board& board, Square from, Square to, MoveNotation notation)
{
    MoveParts parts;
    const Piece piece = board[from];
    const bool red = SideOf(piece) == kRed;
    parts.kind = KindOf(piece);
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
    const auto index = static_cast<std::size_t>(std::find(file.begin(), file.end(), from) - file.begin());
    parts.order = orderSymbols(notation, file.size())[index];
    if (parts.kind == PieceKind::Soldier && soldierFileCount(board, red) >= 2)
        parts.by = NamedBy::FileAndOrder;
    else if (parts.order != "=") // the middle one of one file keeps its file digit
        parts.by = NamedBy::Order;
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
    case NamedBy::FileAndOrder:
        text = std::string{char('0' + parts.file)} + parts.order;
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
    } else if (isDigit(a) && isOrderChar(b)) {
        parts.kind = PieceKind::Soldier;
        parts.by = NamedBy::FileAndOrder;
        parts.file = a - '0';
        parts.order = std::string(1, b);
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

const char* chinesePiece(PieceKind kind, bool red)
{
    switch (kind) {
    case PieceKind::General: return red ? "帥" : "將";
    case PieceKind::Advisor: return red ? "仕" : "士";
    case PieceKind::Elephant: return red ? "相" : "象";
    case PieceKind::Horse: return red ? "傌" : "馬";
    case PieceKind::Chariot: return red ? "俥" : "車";
    case PieceKind::Cannon: return red ? "炮" : "包";
    default: return red ? "兵" : "卒";
    }
}

std::string chineseText(const MoveParts& parts, bool red)
{
    const auto digit = [red](int n) { return std::string(red ? kNumerals[n] : kWideDigits[n]); };
    std::string text;
    switch (parts.by) {
    case NamedBy::File:
        text = chinesePiece(parts.kind, red) + digit(parts.file);
        break;
    case NamedBy::Order:
        text = parts.order + chinesePiece(parts.kind, red);
        break;
    case NamedBy::FileAndOrder:
        text = parts.order + digit(parts.file);
        break;
    }
    text += parts.direction == '+' ? "進" : parts.direction == '-' ? "退" : "平";
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

// Which pieces on a file an order symbol names.
std::vector<Square> byOrder(const std::vector<Square>& file, const std::string& order, MoveNotation notation)
{
    const std::vector<std::string>& symbols = orderSymbols(notation, file.size());
    const auto at = std::find(symbols.begin(), symbols.end(), order);
    if (at != symbols.end())
        return {file[static_cast<std::size_t>(at - symbols.begin())]};
    if (file.size() >= 2 && (order == "前" || order == "+" || order == "++"))
        return {file.front()};
    if (file.size() >= 2 && (order == "後" || order == "-" || order == "--"))
        return {file.back()};
    return {};
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

std::optional<SquarePair> resolve(const Board& board, bool red, const MoveParts& parts, MoveNotation notation,
                                  std::string& error)
{
    std::vector<Square> candidates;
    if (parts.by == NamedBy::Order) {
        for (int column = 0; column < 9; ++column) {
            const std::vector<Square> file = piecesOnColumn(board, column, parts.kind, red);
            if (file.size() >= 2)
                for (Square s : byOrder(file, parts.order, notation))
                    candidates.push_back(s);
        }
        if (candidates.empty()) {
            error = "no two " + pieceWord(parts.kind) + "s stand on one file";
            return std::nullopt;
        }
    } else {
        const std::vector<Square> file = piecesOnColumn(board, columnOfFile(parts.file, red), parts.kind, red);
        if (file.empty()) {
            error = "no " + pieceWord(parts.kind) + " on file " + std::to_string(parts.file);
            return std::nullopt;
        }
        if (parts.by == NamedBy::FileAndOrder)
            candidates = byOrder(file, parts.order, notation);
        else if (parts.kind == PieceKind::Soldier && file.size() % 2 == 1)
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
    return notation == MoveNotation::Wxf ? wxfText(parts) : chineseText(parts, SideOf(board[from]) == kRed);
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
    return resolve(board, redToMove, *parts, notation, error);
}

} // namespace marovin::model
