// Reading whole game files: the buffered scan of the text and compact bodies, and the
// file-level entry points built on it (read, read from a path, convert between forms).
#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "model/game_file.h"

namespace marovin::model {

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
                           [](char c) { return !IsReadSeparator(c) && c != '\0'; });
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
                AddReadNote(m_game, std::string_view(text, size), m_merge);
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
