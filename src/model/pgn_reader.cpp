// Reading PGN in two steps: PgnReader splits the text into games and their items (tags,
// moves, comments, parentheses) without knowing the rules; BuildPgnGame plays the items
// into a record, checking every move.
#include <algorithm>
#include <charconv>
#include <cstdint>

#include "model/byte_stream.h"
#include "model/fen.h"
#include "model/game_file.h"
#include "model/note_text.h"
#include "model/pgn.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr std::size_t kMoveTextLimit = 64;

bool isValidUtf8(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        if (lead < 0x80)
            length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else
            return false;
        if (at + length > text.size())
            return false;
        for (std::size_t i = 1; i < length; ++i)
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
                return false;
        at += length;
    }
    return true;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDigitChar(char c) { return c >= '0' && c <= '9'; }
// Characters that end a move text.
bool endsWord(char c) { return isSpace(c) || c == '{' || c == '}' || c == '(' || c == ')' || c == ';' || c == '['; }

// The length of the move number that begins a word ("12." or "12..." before the move or
// standing alone), 0 when there is none. WXF's middle soldier of three ("33.4", the file
// twice) has the form of a number and a dot, but a move never is a single digit: a word
// that would leave one is a move.
std::size_t moveNumberLength(std::string_view word)
{
    std::size_t digits = 0;
    while (digits < word.size() && isDigitChar(word[digits]))
        ++digits;
    if (digits == 0 || digits == word.size() || word[digits] != '.')
        return 0;
    std::size_t end = digits;
    while (end < word.size() && word[end] == '.')
        ++end;
    const bool singleDigitLeft = end + 1 == word.size() && isDigitChar(word[end]);
    return singleDigitLeft && end == digits + 1 ? 0 : end;
}

bool isResult(std::string_view word)
{
    return word == "1-0" || word == "0-1" || word == "1/2-1/2" || word == "*";
}

} // namespace

std::string_view PgnGameText::tag(std::string_view name) const
{
    for (const auto& [key, value] : tags)
        if (key == name)
            return value;
    return {};
}

bool ReadPgnFile(const std::string& path, std::string& text, std::string& error)
{
    FileStream file(path, false);
    if (!file.ok()) {
        error = "cannot be opened";
        return false;
    }
    text.clear();
    char buffer[1 << 16];
    while (const std::size_t n = file.read(buffer, sizeof buffer)) {
        if (text.size() + n > kPgnFileLimit) {
            error = "is larger than " + std::to_string(kPgnFileLimit >> 20) + " MiB";
            return false;
        }
        text.append(buffer, n);
    }
    return true;
}

PgnReader::PgnReader(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    m_text = isValidUtf8(text) ? std::string(text) : big5ToUtf8(text);
}

void PgnReader::skipSpace()
{
    while (m_at < m_text.size()) {
        const char c = m_text[m_at];
        const bool lineStart = m_at == 0 || m_text[m_at - 1] == '\n';
        if (c == '\n') {
            ++m_line;
            ++m_at;
        } else if (isSpace(c)) {
            ++m_at;
        } else if (c == '%' && lineStart) { // an escape line: ignored whole
            while (m_at < m_text.size() && m_text[m_at] != '\n')
                ++m_at;
        } else {
            return;
        }
    }
}

// [Name "value"], with \" and \\ in the value. A tag without quotes takes the rest up to
// "]" as its value; one without "]" ends at the line's end.
bool PgnReader::readTag(PgnGameText& game)
{
    ++m_at; // "["
    std::string name;
    while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '"' && m_text[m_at] != ']' &&
           name.size() < 64)
        name += m_text[m_at++];
    while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t'))
        ++m_at;
    std::string value;
    const bool quoted = m_at < m_text.size() && m_text[m_at] == '"';
    if (quoted)
        ++m_at;
    while (m_at < m_text.size() && m_text[m_at] != '\n') {
        char c = m_text[m_at];
        if (quoted && c == '"') {
            ++m_at;
            break;
        }
        if (!quoted && c == ']')
            break;
        if (quoted && c == '\\' && m_at + 1 < m_text.size() && m_text[m_at + 1] != '\n')
            c = m_text[++m_at];
        if (value.size() < kPgnTokenLimit)
            value += c;
        ++m_at;
    }
    while (m_at < m_text.size() && m_text[m_at] != '\n' && m_text[m_at] != ']')
        ++m_at;
    if (m_at < m_text.size() && m_text[m_at] == ']')
        ++m_at;
    if (!quoted)
        while (!value.empty() && isSpace(value.back()))
            value.pop_back();
    if (game.tags.size() < kPgnTagLimit)
        game.tags.emplace_back(std::move(name), std::move(value));
    return true;
}

std::string PgnReader::readComment(PgnGameText& game, int line)
{
    ++m_at; // "{"
    const std::size_t end = m_text.find('}', m_at);
    const std::size_t stop = end == std::string::npos ? m_text.size() : end;
    std::size_t length = std::min(stop - m_at, kPgnCommentLimit);
    while (length < stop - m_at && length > 0 && (static_cast<unsigned char>(m_text[m_at + length]) & 0xC0) == 0x80)
        --length; // a character cut in two would come back as a "?"
    std::string text = m_text.substr(m_at, length);
    for (std::size_t i = m_at; i < stop; ++i)
        m_line += m_text[i] == '\n' ? 1 : 0;
    m_at = end == std::string::npos ? stop : stop + 1;
    if (end == std::string::npos) {
        game.error = "a comment opened with \"{\" is never closed";
        game.errorLine = line;
    }
    return text;
}

void PgnReader::readBody(PgnGameText& game)
{
    std::size_t depth = 0;
    std::size_t moves = 0;
    const auto fail = [&](std::string text) {
        game.error = std::move(text);
        game.errorLine = m_line;
    };
    while (game.error.empty()) {
        skipSpace();
        if (m_at >= m_text.size())
            break;
        const char c = m_text[m_at];
        const int line = m_line;
        if (c == '[') {
            if (depth > 0)
                fail("a variation is not closed before the next game");
            break; // the next game's tags
        }
        if (c == '{') {
            std::string comment = readComment(game, line);
            game.items.push_back({PgnItem::Kind::Comment, std::move(comment), line});
        } else if (c == ';') {
            const std::size_t end = std::min(m_text.find('\n', m_at), m_text.size());
            game.items.push_back({PgnItem::Kind::Comment, m_text.substr(m_at + 1, std::min(end - m_at - 1, kPgnCommentLimit)), line});
            m_at = end;
        } else if (c == '(') {
            if (++depth > kPgnDepthLimit)
                return fail("variations are nested deeper than " + std::to_string(kPgnDepthLimit));
            game.items.push_back({PgnItem::Kind::Open, {}, line});
            ++m_at;
        } else if (c == ')') {
            if (depth == 0)
                return fail("a \")\" closes no variation");
            --depth;
            game.items.push_back({PgnItem::Kind::Close, {}, line});
            ++m_at;
        } else if (c == '}') {
            return fail("a \"}\" closes no comment");
        } else {
            std::size_t end = m_at;
            while (end < m_text.size() && !endsWord(m_text[end]))
                ++end;
            std::string_view word(m_text.data() + m_at, end - m_at);
            m_at = end;
            if (isResult(word)) {
                if (depth > 0)
                    continue; // some programs end variations with one
                game.result = word;
                break;
            }
            if (word[0] == '$' || word.find_first_not_of("!?") == std::string_view::npos ||
                word.find_first_not_of('.') == std::string_view::npos)
                continue; // an annotation glyph, or the dots of "1. ... h9g7"
            word.remove_prefix(moveNumberLength(word));
            if (word.empty())
                continue;
            if (word.size() > kMoveTextLimit)
                return fail("a move text is longer than " + std::to_string(kMoveTextLimit) + " bytes");
            if (++moves > kPgnMoveLimit)
                return fail("the game has more than " + std::to_string(kPgnMoveLimit) + " moves");
            game.items.push_back({PgnItem::Kind::Move, std::string(word), line});
        }
    }
    if (game.error.empty() && depth > 0)
        fail("a variation opened with \"(\" is never closed");
}

bool PgnReader::next(PgnGameText& game)
{
    game = PgnGameText{};
    skipSpace();
    if (m_at >= m_text.size())
        return false;
    game.line = m_line;
    while (m_at < m_text.size() && m_text[m_at] == '[') {
        readTag(game);
        skipSpace();
    }
    readBody(game);
    if (!game.error.empty()) { // go on with the next game's tags
        while (m_at < m_text.size() && !(m_text[m_at] == '[' && (m_at == 0 || m_text[m_at - 1] == '\n'))) {
            m_line += m_text[m_at] == '\n' ? 1 : 0;
            ++m_at;
        }
    }
    return true;
}

// ---- playing a game's text -------------------------------------------------------------

namespace {

// UTF-8 text in Big5, as the record keeps it. Characters that Big5 lacks are counted.
std::string recordText(std::string_view utf8, int& lost)
{
    std::vector<std::string> unencodable;
    std::string big5 = utf8ToBig5(utf8, unencodable);
    lost += static_cast<int>(unencodable.size());
    return big5;
}

// A header field holds one line: control characters become blanks.
template <std::size_t N>
void copyField(char (&field)[N], std::string_view utf8, int& lost)
{
    std::string text = recordText(utf8, lost);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    copyBounded(field, std::string_view(text).substr(0, big5PrefixLength(text, N - 1)));
}

template <class Int>
bool readNumber(std::string_view text, Int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// "2024.03.05" as the record keeps dates ("2024-03-05"); a date of that form with unknown
// parts ("????.??.??", "2024.??.??") is dropped. Any other text is a date as someone wrote
// it, question marks and all, and stays as it is.
std::string recordDate(std::string_view date)
{
    std::string text(date);
    const bool pgnForm = text.size() == 10 && text[4] == '.' && text[7] == '.' &&
                         std::all_of(text.begin(), text.end(), [](char c) { return c == '.' || c == '?' || isDigitChar(c); });
    if (!pgnForm)
        return text;
    if (text.find('?') != std::string::npos)
        return {};
    text[4] = '-';
    text[7] = '-';
    return text;
}

void readHeader(const PgnGameText& text, CGame& game, int& lost)
{
    copyField(game.subject, text.tag("Event"), lost);
    copyField(game.place, text.tag("Site"), lost);
    copyField(game.date, recordDate(text.tag("Date")), lost);
    copyField(game.redName, text.tag("Red"), lost);
    copyField(game.blackName, text.tag("Black"), lost);
    int rating = 0;
    game.redRating = readNumber(text.tag("RedElo"), rating) ? rating : 0;
    rating = 0;
    game.blackRating = readNumber(text.tag("BlackElo"), rating) ? rating : 0;
    const std::string_view result = text.tag("Result").empty() ? std::string_view(text.result) : text.tag("Result");
    if (!text.tag("ResultText").empty())
        copyField(game.result, text.tag("ResultText"), lost);
    else if (!result.empty() && result != "*")
        copyField(game.result, result, lost);
    else
        copyBounded(game.result, "Unknown");
    std::string_view times = text.tag("Times");
    for (auto& value : game.times) {
        while (!times.empty() && times.front() == ' ')
            times.remove_prefix(1);
        const std::size_t end = std::min(times.find(' '), times.size());
        if (!readNumber(times.substr(0, end), value))
            value = 0;
        times.remove_prefix(end);
    }
}

// Plays the body items into the record.
class GameBuilder {
public:
    GameBuilder(CGame& game, int& lost) : m_game(game), m_lost(lost) {}

    bool play(const std::vector<PgnItem>& items, std::string& error)
    {
        for (const PgnItem& item : items) {
            switch (item.kind) {
            case PgnItem::Kind::Move:
                if (!move(item.text, error)) {
                    error = "line " + std::to_string(item.line) + ": " + error;
                    return false;
                }
                break;
            case PgnItem::Kind::Comment:
                comment(item.text);
                break;
            case PgnItem::Kind::Open:
                if (!open(error)) {
                    error = "line " + std::to_string(item.line) + ": " + error;
                    return false;
                }
                break;
            case PgnItem::Kind::Close:
                close();
                break;
            }
        }
        while (!m_open.empty())
            close();
        return true;
    }

    // Notes that were cut to fit.
    int cutNotes() const { return m_cutNotes; }

private:
    struct OpenVariation {
        int ply;         // where the variation starts
        PackedMove main; // the move it stands beside, followed again at its end
    };

    std::string moveName(std::string_view text) const
    {
        const int ply = m_game.browsedPly();
        const std::string number = std::to_string((ply + m_game.firstMover) / 2 + m_game.startCounts.fullMove);
        return "move " + number + (m_game.isRedToMoveBrowsed() ? " by Red (" : " by Black (") +
               std::string(text) + ")";
    }

    bool move(std::string_view text, std::string& error)
    {
        std::string why;
        const auto squares = ReadMoveText(m_game.browsedBoard, m_game.isRedToMoveBrowsed(), text,
                                          GuessNotation(text), why);
        if (!squares) {
            error = moveName(text) + ": " + why;
            return false;
        }
        m_game.PlayMove(squares->from, squares->to, MoveKind::User);
        m_variationStart = false;
        addNote(m_pending);
        m_pending.clear();
        return true;
    }

    // A comment belongs to the move before it; one at the start of a variation to the
    // variation's first move; one before the first move to the start position. It is kept
    // as every note is (note_text.h), without the blank space around it.
    void comment(std::string_view text)
    {
        std::string note = NormalNoteText(recordText(text, m_lost));
        const std::size_t end = note.find_last_not_of(" \r\n");
        note.erase(end == std::string::npos ? 0 : end + 1);
        note.erase(0, std::min(note.find_first_not_of(" \r\n"), note.size()));
        if (note.empty())
            return;
        if (!m_variationStart)
            addNote(note);
        else
            countCut(StoreNote(m_pending, note, m_pending.empty() ? NoteJoin::Replace : NoteJoin::NewLine));
    }

    void addNote(std::string_view text)
    {
        if (!text.empty())
            countCut(m_game.SetNote(text, true));
    }

    void countCut(std::size_t dropped) { m_cutNotes += dropped > 0 ? 1 : 0; }

    bool open(std::string& error)
    {
        if (m_game.browsedPly() == 0 || m_variationStart) {
            error = "a variation stands where no move precedes it";
            return false;
        }
        m_open.push_back({m_game.browsedPly() - 1, m_game.currentEntry().move});
        m_game.TakeBack(TakeBackKind::User);
        m_variationStart = true;
        return true;
    }

    void close()
    {
        const OpenVariation variation = m_open.back();
        m_open.pop_back();
        while (m_game.browsedPly() > variation.ply) {
            const int before = m_game.browsedPly();
            m_game.TakeBack(TakeBackKind::User);
            if (m_game.browsedPly() >= before)
                break;
        }
        m_game.PlayMove(variation.main.from, variation.main.to, MoveKind::User);
        addNote(m_pending); // an empty variation's comment goes to the move it stood beside
        m_pending.clear();
        m_variationStart = false;
    }

    CGame& m_game;
    int& m_lost;
    std::vector<OpenVariation> m_open;
    std::string m_pending; // a comment waiting for the first move of its variation
    bool m_variationStart = false;
    int m_cutNotes = 0;
};

} // namespace

bool BuildPgnGame(const PgnGameText& text, CGame& game, std::string& error, std::string& warning)
{
    int lost = 0;
    error.clear();
    warning.clear();
    const std::string_view fen = text.tag("FEN");
    bool ok = true;
    if (!fen.empty() && text.tag("SetUp") != "0" && !SetFenPosition(game, fen, error)) {
        error = "the FEN tag: " + error;
        ok = false;
    }
    readHeader(text, game, lost);
    game.mode = kModeReading;
    game.Rewind();
    GameBuilder builder(game, lost);
    if (ok)
        ok = builder.play(text.items, error);
    if (ok && !text.error.empty()) {
        error = "line " + std::to_string(text.errorLine) + ": " + text.error;
        ok = false;
    }
    if (lost > 0)
        warning = std::to_string(lost) + " characters that Big5 cannot hold were written as \"?\"";
    if (builder.cutNotes() > 0)
        warning += std::string(warning.empty() ? "" : "; ") + std::to_string(builder.cutNotes()) +
                   " notes were cut to " + std::to_string(kNoteLimit) + " bytes";
    EndReading(game, false);
    return ok;
}

MoveNotation PgnGameNotation(const PgnGameText& text)
{
    if (const auto declared = NotationFromName(text.tag("Format")))
        return *declared;
    for (const PgnItem& item : text.items)
        if (item.kind == PgnItem::Kind::Move)
            return GuessNotation(item.text);
    return MoveNotation::Iccs;
}

} // namespace marovin::model
