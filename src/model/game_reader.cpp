#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "model/game_file.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr std::string_view kSeparators = " \t\r\n";

// Prefixes here are a few characters long: a plain loop beats a library compare.
bool startsWith(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != prefix[i])
            return false;
    return true;
}

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// The words of text, split at blanks, tabs, CR and LF.
std::vector<std::string_view> wordsOf(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t pos = text.find_first_not_of(kSeparators);
    while (pos != std::string_view::npos) {
        const std::size_t end = text.find_first_of(kSeparators, pos);
        words.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        pos = end == std::string_view::npos ? end : text.find_first_not_of(kSeparators, end);
    }
    return words;
}

// The first word of text (empty when there is none).
std::string_view firstWord(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isSeparator(text[start]))
        ++start;
    std::size_t end = start;
    while (end < text.size() && !isSeparator(text[end]))
        ++end;
    return text.substr(start, end - start);
}

// The value of a header line: after the keyword and the blanks that follow it.
std::string_view valueAfter(std::string_view line, std::string_view keyword)
{
    std::string_view value = line.substr(keyword.size());
    const std::size_t start = value.find_first_not_of(" \t");
    return value.substr(start == std::string_view::npos ? value.size() : start);
}

// A decimal integer at the start of text (after separators); 0 when there is none.
// Values beyond the range of the result are clamped.
template <class Int>
bool readInteger(std::string_view& text, Int& value)
{
    std::size_t pos = text.find_first_not_of(kSeparators);
    if (pos == std::string_view::npos)
        return false;
    bool negative = false;
    if (text[pos] == '-' || text[pos] == '+')
        negative = text[pos++] == '-';
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
        return false;
    long long magnitude = 0;
    constexpr long long limit = std::numeric_limits<Int>::max();
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
        const int digit = text[pos] - '0';
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    value = static_cast<Int>(negative ? -magnitude : magnitude);
    text.remove_prefix(pos);
    return true;
}

int integerOrZero(std::string_view text)
{
    int value = 0;
    return readInteger(text, value) ? value : 0;
}

// ---- the body ----------------------------------------------------------------------

} // namespace

void PlayReadMove(CGame& game, Square from, Square to, bool merge, ReadBranches& branches)
{
    if (game.browsedPly() == 0)
        game.mirror = merge && !game.customPosition && CGame::OpensFromLeft(from);
    if (game.mirror) {
        from = MirrorSquare(from);
        to = MirrorSquare(to);
    }
    game.observer().moveRead(game, from, to);
    const int before = game.browsedPly();
    game.PlayMove(from, to, MoveKind::User);
    if (merge && branches.depth >= 0) {
        branches.counters.resize(std::max<std::size_t>(branches.counters.size(), branches.depth + 1u));
        branches.counters[static_cast<std::size_t>(branches.depth)] += game.browsedPly() - before;
    }
}

namespace {

// A move word of a text body: coordinate text, or "undo".
void playMoveWord(CGame& game, std::string_view word, bool merge, ReadBranches& branches)
{
    const GamePorts& ports = game.ports();
    if (word == "undo") {
        branches.starts.clear(); // the path may now leave the positions kept
        const int before = game.browsedPly();
        game.TakeBack(game.participation <= kPlaying ? TakeBackKind::Game : TakeBackKind::User,
                      game.mode == kModeNormal);
        if (merge && branches.depth >= 0 && static_cast<std::size_t>(branches.depth) < branches.counters.size())
            branches.counters[static_cast<std::size_t>(branches.depth)] += game.browsedPly() - before;
        return;
    }
    if (const auto squares = ParseCoordinateMove(word, ports.terminal, ports.desktop))
        PlayReadMove(game, squares->from, squares->to, merge, branches);
}

// A note, or a line of one, read. A merge adds what the note does not hold yet; so does
// the rest of a line written in parts (it then stands on a line of its own). When the note
// reaches its limit the user is told, once for each note that had room left.
void addReadNote(CGame& game, std::string_view text, bool merge, bool continuation = false)
{
    const std::size_t before = game.currentEntry().noteText().size();
    const std::size_t dropped = merge          ? game.AddNoteOnce(text)
                                : continuation ? game.ContinueNote(text)
                                               : game.SetNote(text, true);
    if (dropped > 0 && before + 2 < kNoteLimit)
        game.ports().terminal.writeClientText(NoteCutMessage(game.browsedPly()), false);
}

void beginBranch(CGame& game, bool merge, ReadBranches& branches)
{
    if (!merge) {
        game.OpenBranch();
        const int ply = game.browsedPly();
        while (!branches.starts.empty() && branches.starts.back().ply > ply)
            branches.starts.pop_back(); // not on the path any more
        if (!branches.starts.empty() && branches.starts.back().ply == ply)
            ++branches.starts.back().open; // kept once, however many branches begin here
        else
            branches.starts.push_back({ply, game.browsedBoard, 1});
        return;
    }
    branches.depth = game.browsedPly() == 0 ? 0 : branches.depth + 1;
    branches.counters.resize(std::max<std::size_t>(branches.counters.size(), branches.depth + 1u));
    branches.counters[static_cast<std::size_t>(branches.depth)] = 0;
}

// A branch end goes back to the position where its branch began, however the branch's
// moves were recorded: first along existing moves and then splitting them, the cursor's
// line begins after the branch start. A branch whose moves began a line of their own at
// the start (as written files have it) is left at once for the kept position; otherwise
// the moves are taken back one by one. Without a kept start (more ends than begins, or
// after an "undo" word) the moves of the cursor's line are taken back.
void endBranch(CGame& game, bool merge, ReadBranches& branches)
{
    int target = game.browsedPly() - game.indexInLine() - 1;
    if (merge) {
        if (branches.depth < 0 || static_cast<std::size_t>(branches.depth) >= branches.counters.size())
            return; // more ends than begins
        target = game.browsedPly() - branches.counters[static_cast<std::size_t>(branches.depth)];
        --branches.depth;
    } else if (!branches.starts.empty()) {
        ReadBranches::Start& start = branches.starts.back();
        target = start.ply;
        const bool leftAtOnce = game.mode == kModeReading &&
                                game.browsedPly() - game.indexInLine() - 1 == target && game.LeaveLine(start.board);
        if (--start.open == 0)
            branches.starts.pop_back();
        if (leftAtOnce)
            return;
    }
    while (game.browsedPly() > std::max(target, 0)) {
        const int before = game.browsedPly();
        game.TakeBack(TakeBackKind::User);
        if (game.browsedPly() >= before)
            break;
    }
}

void readBodyLine(CGame& game, std::string_view line, int& lineCounter, bool merge, ReadBranches& branches)
{
    TerminalPort& terminal = game.ports().terminal;
    if (startsWith(line, "}")) {
        // It closes a brace body, which is then whole; in any other body it cuts the game short.
        terminal.writeServerLine(line);
        lineCounter = game.format == kFormatBrace ? kReadComplete : kReadStopped;
        game.ComposeName(false);
    } else if (startsWith(line, "#")) {
        if (game.mode == kModeBusy)
            terminal.writeServerLine(line);
        std::string_view text = line.substr(1);
        const bool continuation = !text.empty() && text[0] == kNoteContinuation;
        if (continuation || (!text.empty() && (text[0] == ' ' || text[0] == '\t')))
            text.remove_prefix(1);
        if (!text.empty() && text.back() == kNoteContinuation)
            text.remove_suffix(1);
        addReadNote(game, text, merge, continuation);
    } else if (startsWith(line, "BB") || equalsIgnoringCase(line, "VAR")) {
        beginBranch(game, merge, branches);
    } else if (startsWith(line, "BE") || equalsIgnoringCase(line, "END")) {
        endBranch(game, merge, branches);
    } else if (game.format == kFormatOld) {
        if (game.mode == kModeBusy) {
            char number[16];
            std::snprintf(number, sizeof number, "%3d) ", game.browsedPly() + 1);
            terminal.writeServerLine(std::string(number).append(line));
        }
        playMoveWord(game, firstWord(line), merge, branches);
    } else if (game.format == kFormatBrace) {
        if (game.mode == kModeBusy)
            terminal.writeServerLine(line);
        const auto words = wordsOf(line);
        for (std::size_t i = 1; i < 3 && i < words.size(); ++i) {
            if (words[i][0] == '}')
                break;
            if (static_cast<unsigned char>(words[i][0]) >= 'A')
                playMoveWord(game, words[i], merge, branches);
        }
    }
}

// ---- the header ----------------------------------------------------------------------

void readPlayerLine(CGame& game, std::string_view line, bool red)
{
    const std::string_view value = valueAfter(line, red ? "RED" : "BLACK");
    const std::size_t semicolon = value.find(';');
    const std::string_view name = value.substr(0, semicolon);
    const int rating = semicolon == std::string_view::npos ? 0 : integerOrZero(value.substr(semicolon + 1));
    if (red) {
        copyBounded(game.redName, name);
        game.redRating = rating;
    } else {
        copyBounded(game.blackName, name);
        game.blackRating = rating;
    }
    if (!startsWith(name, game.ports().settings.loginName))
        return;
    if (!red && fieldText(game.blackName) != fieldText(game.redName)) {
        game.userSide = kBlack;
    } else {
        game.userSide = kRed;
        game.bottomSide = kRed;
    }
}

void readPositionLine(CGame& game, std::string_view line)
{
    const std::string_view value = valueAfter(line, "POSITION");
    if (!value.empty() && value[0] == 'B')
        game.firstMover = 1;
    for (int piece = 1; piece <= 32; ++piece) {
        const std::size_t at = static_cast<std::size_t>(piece);
        const int code = at < value.size() ? static_cast<unsigned char>(value[at]) : 0;
        const int square = code - 33;
        game.pieceList[at] = square >= 0 && square < kSquareCount ? static_cast<Square>(square) : kOffBoard;
        if (game.pieceList[at] < kOffBoard)
            game.browsedBoard[game.pieceList[at]] = static_cast<Piece>(piece);
    }
    game.customPosition = 1;
}

void startBody(CGame& game, std::uint8_t format)
{
    game.format = format;
    const bool subjectWasEmpty = fieldEmpty(game.subject);
    game.ResetPosition();
    if (subjectWasEmpty)
        copyBounded(game.subject, "");
}

void refuseMiddleGame(CGame& game, int& lineCounter)
{
    game.ports().desktop.messageBox("Can not merge Middle game");
    lineCounter = kReadStopped;
}

void readHeaderLine(CGame& game, std::string_view line, int& lineCounter, bool merge)
{
    if (startsWith(line, "TIME")) {
        if (merge)
            return;
        std::string_view rest = line.substr(4);
        for (auto& value : game.times)
            if (!readInteger(rest, value))
                value = 0;
    } else if (startsWith(line, "RED") || startsWith(line, "BLACK")) {
        if (!merge)
            readPlayerLine(game, line, startsWith(line, "RED"));
    } else if (startsWith(line, "DATE")) {
        if (!merge) {
            copyBounded(game.date, valueAfter(line, "DATE"));
            game.ComposeName(false);
        }
    } else if (startsWith(line, "SUBJECT")) {
        if (!merge)
            copyBounded(game.subject, valueAfter(line, "SUBJECT"));
    } else if (startsWith(line, "POSITION")) {
        if (merge)
            refuseMiddleGame(game, lineCounter);
        else
            readPositionLine(game, line);
    } else if (startsWith(line, "PLACE")) {
        if (!merge)
            copyBounded(game.place, valueAfter(line, "PLACE"));
    } else if (startsWith(line, "RESULT")) {
        if (!merge)
            copyBounded(game.result, valueAfter(line, "RESULT"));
    } else if (startsWith(line, "CSTART")) {
        startBody(game, kFormatNew);
    } else if (startsWith(line, "START{") || startsWith(line, "START {")) {
        startBody(game, kFormatBrace);
    } else if (startsWith(line, "START")) {
        startBody(game, kFormatOld);
    } else if (startsWith(line, "ODDS")) {
        if (merge)
            refuseMiddleGame(game, lineCounter);
        else
            game.SetOddsPosition(line.substr(4), false);
    }
}

} // namespace

void ReadGameLine(CGame*& game, std::string_view line, int& lineCounter, bool merge, ReadBranches& branches,
                  const GamePorts& ports)
{
    // A second character "a" marks a line that is not part of the body ("Game ..." notices
    // between server lines), except for a note or a "var" branch line. The "a" that ends a
    // Big5 first character is not a second character.
    const bool foreign = line.size() >= 2 && line[1] == 'a' && big5CharLength(line, 0) == 1 &&
                         !startsWith(line, "#") && !equalsIgnoringCase(line, "VAR");
    const bool body =
        lineCounter != 0 && game && game->format != kFormatNone && !startsWith(line, "{") && !foreign;
    if (body) {
        readBodyLine(*game, line, lineCounter, merge, branches);
        return;
    }
    ports.terminal.writeServerLine(line);
    if (lineCounter == 0) {
        if (!startsWith(line, "GAME")) {
            lineCounter = kReadStopped;
            return;
        }
        if (!game) {
            game = ports.windows.openGameWindow();
            if (!game) {
                ports.terminal.writeClientText("Cannot create GAME!", false);
                ports.desktop.messageBox("Cannot create GAME!");
                return;
            }
        }
        game->participation = kLocalGame;
        game->userSide = kRed;
        game->gameNumber = -1;
        game->mode = kModeBusy;
        if (!merge)
            copyBounded(game->subject, "");
    }
    if (game)
        readHeaderLine(*game, line, lineCounter, merge);
}

// ---- whole files ----------------------------------------------------------------------

namespace {

// The read buffer: kReadBufferSize bytes of the file followed by the sentinel NUL "h".
// Whenever the scan comes within 3 bytes of the end of the data, the unprocessed rest (from
// the start of the current line or item) moves to the front and the buffer is refilled.
class GameFileScanner {
public:
    GameFileScanner(CGame& game, ByteSource& source, bool merge)
        : m_game(game), m_source(source), m_merge(merge), m_location(game.ports().location),
          m_buffer(kReadBufferSize + 2)
    {
        m_length = 0;
        fill();
    }

    bool startsWithGame() const { return m_length >= 4 && std::memcmp(m_buffer.data(), "GAME", 4) == 0; }

    enum class Result { Done, Failed, TooLong };

    Result scan()
    {
        Result result = scanText();
        if (result == Result::Done && m_game.format == kFormatNew && !m_stopped)
            result = scanBinary();
        return result;
    }

    // Whether a brace body ended at its closing "}" line.
    bool closed() const { return m_lineCounter == kReadComplete; }
    // Whether the text ended with more than blanks left unread: a last line without its
    // line end, or anything after a NUL byte.
    bool unread() const { return m_unread; }

private:
    void fill()
    {
        while (!m_end && m_length < kReadBufferSize) {
            const std::size_t n = m_source.read(m_buffer.data() + m_length, kReadBufferSize - m_length);
            if (n == 0)
                m_end = true;
            m_length += n;
        }
        m_buffer[m_length] = '\0';
        m_buffer[m_length + 1] = 'h';
    }

    // Moves the data from itemStart on to the front and reads more. False when the item
    // already fills the whole buffer.
    bool refill(std::size_t& itemStart)
    {
        if (itemStart == 0 && m_length == kReadBufferSize)
            return false;
        std::memmove(m_buffer.data(), m_buffer.data() + itemStart, m_length - itemStart);
        m_consumed += itemStart;
        m_length -= itemStart;
        m_position -= itemStart;
        itemStart = 0;
        fill();
        return true;
    }

    bool nearEnd() const { return !m_end && m_position + 3 >= m_length; }

    bool holdsText(std::size_t begin, std::size_t end) const
    {
        return std::any_of(m_buffer.begin() + static_cast<std::ptrdiff_t>(begin),
                           m_buffer.begin() + static_cast<std::ptrdiff_t>(end),
                           [](char c) { return !isSeparator(c) && c != '\0'; });
    }

    // The end of the reading after the parser ended it or the text ended: a failure only
    // when the parser stopped a game that is not whole.
    Result endOfText() const
    {
        return m_lineCounter < 0 && m_lineCounter != kReadComplete ? Result::Failed : Result::Done;
    }

    // Where messages about the line about to be handed to the parser arise.
    void locateLine()
    {
        if (m_location)
            m_location->line = m_lineCounter + 1; // the counter holds the lines read so far
    }

    // Where messages about the compact body's item at position arise.
    void locateByte(std::size_t position)
    {
        if (m_location)
            m_location->byte = m_consumed + position;
    }

    // Hands one line to the parser; false when the parser ended the reading.
    bool feed(std::string_view line)
    {
        CGame* game = &m_game;
        ReadGameLine(game, line, m_lineCounter, m_merge, m_branches, m_game.ports());
        if (m_lineCounter < 0) {
            m_stopped = true;
            return false;
        }
        ++m_lineCounter;
        m_game.mode = kModeReading;
        return true;
    }

    Result scanText()
    {
        std::size_t lineStart = m_position;
        for (;;) {
            if (nearEnd()) {
                if (!refill(lineStart)) {
                    locateLine();
                    return Result::TooLong;
                }
                continue;
            }
            // Ordinary bytes need no test each: every byte that matters is below 27, and the
            // data ends in the sentinel NUL.
            const std::size_t limit = m_end ? m_length : m_length - 3;
            while (m_position < limit && static_cast<unsigned char>(m_buffer[m_position]) > 26)
                ++m_position;
            if (m_position >= limit && !m_end)
                continue;
            const char c = m_buffer[m_position];
            // A line ends in CR LF, as the program writes it, or in a bare LF, as editors on
            // this system write it; a CR alone is a byte of the line.
            const bool crLf = c == '\r' && m_buffer[m_position + 1] == '\n';
            if (crLf || c == '\n') {
                const std::string_view line(m_buffer.data() + lineStart, m_position - lineStart);
                m_position += crLf ? 2 : 1;
                lineStart = m_position;
                locateLine();
                if (!feed(line))
                    return endOfText();
                if (m_game.format == kFormatNew)
                    return Result::Done;
            } else if (c == 26) { // Ctrl-Z ends the text
                if (m_position > lineStart) {
                    locateLine();
                    feed(std::string_view(m_buffer.data() + lineStart, m_position - lineStart));
                }
                m_stopped = true;
                return endOfText();
            } else if (c == '\0') { // the end of the data, or a NUL byte inside it
                m_stopped = true;
                m_unread = !m_end || holdsText(lineStart, m_length);
                return Result::Done;
            } else {
                ++m_position;
            }
        }
    }

    Result scanBinary()
    {
        for (;;) {
            std::size_t itemStart = m_position;
            if (nearEnd()) {
                if (!refill(itemStart)) {
                    locateByte(itemStart);
                    return Result::TooLong;
                }
                continue;
            }
            playMoveRun();
            itemStart = m_position;
            if (nearEnd())
                continue;
            if (m_position + 1 > m_length)
                return Result::Done;
            const auto byte = static_cast<unsigned char>(m_buffer[m_position]);
            locateByte(m_position);
            if (byte == 'd' || byte == 'e') {
                ++m_position;
                if (!feed(byte == 'd' ? "BB" : "BE"))
                    return endOfText();
            } else if (byte == 'g') {
                const char* text = m_buffer.data() + m_position + 1;
                const void* nul = std::memchr(text, 0, m_length - m_position - 1);
                if (!nul && !m_end) {
                    if (!refill(itemStart)) {
                        locateByte(itemStart);
                        return Result::TooLong;
                    }
                    continue;
                }
                const std::size_t size = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text)
                                             : m_length - m_position - 1;
                addReadNote(m_game, std::string_view(text, size), m_merge);
                m_position += size + 2;
                if (!nul)
                    return Result::Done; // the note ran to the end of the file
            } else if (m_position + 2 > m_length || (byte == 0 && m_buffer[m_position + 1] == 'h')) {
                return Result::Done; // the end, or a single byte left over
            } else {
                const auto to = static_cast<unsigned char>(m_buffer[m_position + 1]);
                m_position += 2;
                playBinaryMove(byte, to);
            }
        }
    }

    // Moves are the bulk of a body: plays the run of them at the scan position, up to the
    // first other item or to where the buffer needs refilling.
    void playMoveRun()
    {
        const char* data = m_buffer.data();
        const std::size_t limit = m_end ? m_length : std::max<std::size_t>(m_length, 3) - 3; // see nearEnd()
        std::size_t position = m_position;
        while (position + 2 <= limit) {
            const auto from = static_cast<unsigned char>(data[position]);
            const auto to = static_cast<unsigned char>(data[position + 1]);
            if (from >= kOffBoard || to >= kOffBoard || (from == 0 && to == 'h'))
                break; // other items, and bad moves, which are reported where they stand
            position += 2;
            playBinaryMove(from, to);
        }
        m_position = position;
    }

    void playBinaryMove(unsigned from, unsigned to)
    {
        if (from >= kOffBoard || to >= kOffBoard) {
            const GamePorts& ports = m_game.ports();
            ports.terminal.writeClientText(
                "This move may be wrong: " + std::to_string(from) + "-" + std::to_string(to), false);
            ports.desktop.beep();
            return;
        }
        PlayReadMove(m_game, static_cast<Square>(from), static_cast<Square>(to), m_merge, m_branches);
    }

    CGame& m_game;
    ByteSource& m_source;
    bool m_merge;
    ReadLocation* m_location;
    std::vector<char> m_buffer;
    std::size_t m_consumed = 0; // bytes of the file before the buffer's first
    std::size_t m_length = 0;
    std::size_t m_position = 0;
    bool m_end = false;
    bool m_stopped = false;
    bool m_unread = false;
    int m_lineCounter = 0;
    ReadBranches m_branches;
};

} // namespace

namespace {

// Messages of the reading of name say so from now on, until endLocation.
void beginLocation(const GamePorts& ports, std::string_view name)
{
    if (ports.location)
        *ports.location = ReadLocation{std::string(name), 0, 0, true};
}

void endLocation(const GamePorts& ports)
{
    if (ports.location)
        ports.location->reading = false;
}

} // namespace

void EndReading(CGame& game, bool merge)
{
    game.Rewind(); // the cursor stands nowhere near a branch that is to go
    game.RemoveEmptyBranches();
    if (merge) {
        game.MirrorOpenings();
    } else {
        game.ComposeName(false);
        game.modified = false;
    }
    game.mode = kModeNormal;
    game.Rewind();
    game.updateMoveScroll();
    game.observer().redraw(game);
}

int ReadGame(CGame& game, ByteSource& source, std::string_view name, bool merge, bool* leftUnread)
{
    const GamePorts& ports = game.ports();
    beginLocation(ports, name);
    GameFileScanner scanner(game, source, merge);
    // Nothing of the game changes before the file is known to be a game file.
    if (!scanner.startsWithGame()) {
        ports.desktop.messageBox("Wrong game file: " + std::string(name));
        endLocation(ports);
        return 0;
    }
    game.format = kFormatNone;
    game.mirror = false;
    if (merge)
        game.MirrorOpenings();
    game.mode = kModeReading;
    game.Rewind();
    const auto result = scanner.scan();
    if (result == GameFileScanner::Result::TooLong)
        ports.desktop.messageBox("Line too long in game file: " + std::string(name));
    else if (result == GameFileScanner::Result::Done && game.format == kFormatBrace && !scanner.closed())
        ports.terminal.writeClientText("The game file ends before its closing \"}\": " + std::string(name),
                                       false);
    if (leftUnread)
        *leftUnread = scanner.unread();
    if (scanner.unread())
        ports.terminal.writeClientText(
            "Text at the end of the game file has no line end or follows a NUL byte; it is not read: " +
                std::string(name),
            false);

    EndReading(game, merge);
    ports.terminal.writeServerLine("OMRA% ");
    endLocation(ports);
    return result == GameFileScanner::Result::Done ? 1 : 0;
}

namespace {

// A source that reports every piece it hands on.
class ReportingSource : public ByteSource {
public:
    ReportingSource(ByteSource& source, const std::function<void()>& afterRead)
        : m_source(source), m_afterRead(afterRead)
    {
    }
    std::size_t read(char* buffer, std::size_t size) override
    {
        const std::size_t n = m_source.read(buffer, size);
        m_afterRead();
        return n;
    }

private:
    ByteSource& m_source;
    const std::function<void()>& m_afterRead;
};

} // namespace

int ReadGameFile(CGame& game, const std::string& path, bool merge, bool* leftUnread,
                 const std::function<void()>& afterRead)
{
    FileStream file(path, false);
    if (!file.ok()) {
        beginLocation(game.ports(), path);
        game.ports().desktop.messageBox("Can not open file: " + path);
        endLocation(game.ports());
        return 0;
    }
    if (!afterRead)
        return ReadGame(game, file, path, merge, leftUnread);
    ReportingSource reporting(file, afterRead);
    return ReadGame(game, reporting, path, merge, leftUnread);
}

bool ConvertGameFile(const std::string& path, bool toNewFormat, const GamePorts& ports)
{
    CGame game(ports);
    bool leftUnread = false;
    if (!ReadGameFile(game, path, false, &leftUnread))
        return false;
    if (leftUnread) {
        ports.terminal.writeClientText("Not converted, as the text at its end would be lost: " + path, false);
        return false;
    }
    return WriteGameFile(game, path, toNewFormat ? GameFileForm::New : GameFileForm::Old);
}

} // namespace marovin::model
