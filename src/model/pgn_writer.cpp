#include <cctype>
#include <vector>

#include "model/byte_stream.h"
#include "model/fen.h"
#include "model/game_file.h"
#include "model/pgn.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr std::size_t kLineWidth = 79;

// Big5 with CR LF line ends -> UTF-8 with LF.
std::string utf8Text(std::string_view big5)
{
    std::string text = big5ToUtf8(big5);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

std::string tagValue(std::string_view big5)
{
    std::string value;
    for (char c : utf8Text(big5)) {
        if (c == '"' || c == '\\')
            value += '\\';
        value += c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
    }
    return value;
}

void writeTag(std::string& out, std::string_view name, std::string_view value)
{
    out.append("[").append(name).append(" \"").append(value).append("\"]\n");
}

// "2024-03-05" and "2024/03/05" as PGN writes dates; any other text as it stands.
std::string pgnDate(std::string_view date)
{
    std::string text(date);
    if (text.size() == 10 && (text[4] == '-' || text[4] == '/') && text[7] == text[4]) {
        text[4] = '.';
        text[7] = '.';
    }
    return text;
}

// Words and comments laid out in lines of at most kLineWidth characters where they fit.
class Layout {
public:
    explicit Layout(std::string& out) : m_out(out) {}
    void word(std::string_view text)
    {
        if (m_column > 0 && !m_glue && m_column + 1 + width(text) > kLineWidth) {
            m_out += '\n';
            m_column = 0;
        } else if (m_column > 0 && !m_glue) {
            m_out += ' ';
            ++m_column;
        }
        m_glue = false;
        m_out.append(text);
        const std::size_t newline = text.rfind('\n');
        if (newline != std::string_view::npos) {
            m_column = 0;
            text.remove_prefix(newline + 1);
        }
        m_column += width(text);
    }
    // The next word follows without a space ("(" and what comes after it).
    void glue() { m_glue = true; }
    // A word that follows the last without a space (")").
    void attach(std::string_view text)
    {
        glue();
        word(text);
    }
    void end()
    {
        if (m_column > 0)
            m_out += '\n';
        m_column = 0;
    }

private:
    // Columns on a screen: a character outside ASCII (Chinese, full-width) takes two.
    static std::size_t width(std::string_view text)
    {
        std::size_t columns = 0;
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            columns += byte < 0x80 ? 1 : (byte & 0xC0) == 0xC0 ? 2 : 0;
        }
        return columns;
    }

    std::string& m_out;
    std::size_t m_column = 0;
    bool m_glue = false;
};

std::string commentOf(const MoveEntry& entry)
{
    std::string text = utf8Text(entry.noteText());
    std::string comment = "{";
    for (char c : text) {
        if (c == '}')
            comment += "｝"; // a "}" would end the comment
        else
            comment += c;
    }
    return comment + "}";
}

// Writes the moves: a line's entries, and at a branch point the main line's first move,
// then each other alternative in parentheses, then the rest of the main line. The walk
// keeps its own stack, so variations nested to any depth are written.
class MoveWriter {
public:
    MoveWriter(const CGame& game, MoveNotation notation, Layout& layout)
        : m_game(game), m_notation(notation), m_layout(layout)
    {
    }

    void write()
    {
        m_stack.push_back(Frame{&m_game.root().alternatives[0], 0, m_game.startBoard(), 0, true, false});
        while (!m_stack.empty())
            step();
    }

private:
    struct Frame {
        const MoveLine* line;
        std::size_t index; // the next entry of line to write
        Board board;       // the position before it
        int ply;
        bool numbered;     // the next move needs its number (Black's "N...")
        bool variation;    // the frame is a variation: its end closes a parenthesis
        const BranchPoint* branches = nullptr; // alternatives still to write after the first move
        int nextAlternative = 0;
        Board branchBoard{}; // the position the alternatives start from
        int branchPly = 0;
    };

    void step()
    {
        Frame& top = m_stack.back();
        if (top.branches) {
            if (top.nextAlternative < top.branches->count()) {
                const MoveLine& alternative = top.branches->alternatives[static_cast<std::size_t>(top.nextAlternative++)];
                m_layout.word("(");
                m_layout.glue();
                m_stack.push_back(Frame{&alternative, 0, top.branchBoard, top.branchPly, true, true});
                return;
            }
            top.branches = nullptr;
            top.numbered = true;
            return;
        }
        if (top.index < top.line->entries.size()) {
            writeEntry(top, top.line->entries[top.index++]);
            return;
        }
        const BranchPoint* next = top.line->continuation.get();
        if (next && next->count() == 1) {
            top.line = &next->alternatives[0];
            top.index = 0;
            return;
        }
        if (next && next->count() > 1) {
            const Board before = top.board;
            const int plyBefore = top.ply;
            top.line = &next->alternatives[0];
            top.index = 0;
            while (top.index < top.line->entries.size() && top.ply == plyBefore)
                writeEntry(top, top.line->entries[top.index++]);
            top.branches = next;
            top.nextAlternative = 1;
            top.branchBoard = before;
            top.branchPly = plyBefore;
            return;
        }
        const bool variation = top.variation;
        m_stack.pop_back();
        if (variation)
            m_layout.attach(")");
    }

    void writeEntry(Frame& frame, const MoveEntry& entry)
    {
        if (entry.isMove()) {
            const bool red = IsRedToMove(m_game.firstMover, frame.ply);
            const int number = (frame.ply + m_game.firstMover) / 2 + m_game.startCounts.fullMove;
            // The number and its move stay on one line.
            std::string text;
            if (red)
                text = std::to_string(number) + ". ";
            else if (frame.numbered)
                text = std::to_string(number) + "... ";
            m_layout.word(text + MoveText(frame.board, entry.move.from, entry.move.to, m_notation));
            ApplyMove(frame.board, entry.move.from, entry.move.to);
            ++frame.ply;
            frame.numbered = false;
        }
        if (entry.hasNote()) {
            m_layout.word(commentOf(entry));
            frame.numbered = true;
        }
    }

    const CGame& m_game;
    MoveNotation m_notation;
    Layout& m_layout;
    std::vector<Frame> m_stack;
};

} // namespace

void WritePgn(const CGame& game, MoveNotation notation, std::string& out)
{
    const std::string_view result = fieldText(game.result);
    const std::string_view token = PgnResultToken(result);
    writeTag(out, "Game", "Chinese Chess");
    writeTag(out, "Event", tagValue(fieldText(game.subject)));
    writeTag(out, "Site", tagValue(fieldText(game.place)));
    writeTag(out, "Date", tagValue(pgnDate(fieldText(game.date))));
    writeTag(out, "Red", tagValue(fieldText(game.redName)));
    writeTag(out, "Black", tagValue(fieldText(game.blackName)));
    writeTag(out, "Result", token);
    if (result != token && result != "Unknown" && !result.empty())
        writeTag(out, "ResultText", tagValue(result));
    if (game.redRating != 0)
        writeTag(out, "RedElo", std::to_string(game.redRating));
    if (game.blackRating != 0)
        writeTag(out, "BlackElo", std::to_string(game.blackRating));
    if (game.customPosition) {
        writeTag(out, "SetUp", "1");
        writeTag(out, "FEN", StartFen(game));
    }
    writeTag(out, "Format", NotationName(notation));
    if (game.times != decltype(game.times){}) {
        std::string times;
        for (const auto value : game.times)
            times += (times.empty() ? "" : " ") + std::to_string(value);
        writeTag(out, "Times", times);
    }
    out += '\n';
    Layout layout(out);
    MoveWriter(game, notation, layout).write();
    layout.word(token);
    layout.end();
    out += '\n';
}

std::string PgnText(const CGame& game, MoveNotation notation)
{
    std::string out;
    WritePgn(game, notation, out);
    return out;
}

bool WritePgnFile(CGame& game, const std::string& path, MoveNotation notation)
{
    if (!CheckNotesStorable(game))
        return false;
    if (!ReplaceFile(path, [&](ByteSink& file) { return file.write(PgnText(game, notation)); })) {
        game.ports().desktop.messageBox("Can not write file: " + path);
        return false;
    }
    game.modified = false;
    return true;
}

} // namespace marovin::model
