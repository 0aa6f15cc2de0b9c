#include "model/text_record.h"

#include <algorithm>
#include <cstdio>

#include "model/chinese_notation.h"
#include "model/move_notation.h"
#include "model/tree_walk.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr const char* kIndent = "    ";
constexpr const char* kMissingMove = "........"; // the empty half of a pair
constexpr int kMovesPerLine = 4;
constexpr int kMaxListedAlternatives = 5; // more get the header line only

constexpr const char* kOpenLabel = "\xA1\x69";  // 【
constexpr const char* kCloseLabel = "\xA1\x6A"; // 】

std::string format(const char* pattern, auto... values)
{
    char text[160];
    const int n = std::snprintf(text, sizeof text, pattern, values...);
    return std::string(text, n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1));
}

// Gathers the text and hands it to the sink in pieces.
class ChunkWriter {
public:
    explicit ChunkWriter(ByteSink& sink) : m_sink(sink) {}

    ChunkWriter& operator<<(std::string_view text)
    {
        m_buffer.append(text);
        m_total += text.size();
        if (m_buffer.size() > kTextChunkLimit)
            flush();
        return *this;
    }

    std::size_t total() const { return m_total; }

    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    void flush()
    {
        if (!m_buffer.empty() && !m_sink.write(m_buffer))
            m_ok = false;
        m_buffer.clear();
    }

    ByteSink& m_sink;
    std::string m_buffer;
    std::size_t m_total = 0; // bytes written, handed on or not
    bool m_ok = true;
};

void writeHeader(const CGame& game, ChunkWriter& out)
{
    const auto field = [&](const char* label, std::string_view value) {
        out << kIndent << label << " " << value << "\r\n";
    };
    field("\xA7\xBD\xA6\x57\xA1\x47", fieldText(game.subject));   // 局名：
    field("\xAC\xF5\xA4\xE8\xA1\x47", fieldText(game.redName));   // 紅方：
    field("\xB6\xC2\xA4\xE8\xA1\x47", fieldText(game.blackName)); // 黑方：
    field("\xB5\xB2\xAA\x47\xA1\x47", fieldText(game.result));    // 結果：
    field("\xA5\xCE\xAE\xC9\xA1\x47",                             // 用時：
          format("%lld %lld %lld %lld", static_cast<long long>(game.times[0]),
                 static_cast<long long>(game.times[1]), static_cast<long long>(game.times[2]),
                 static_cast<long long>(game.times[3])));
    field("\xA4\xE9\xB4\xC1\xA1\x47", fieldText(game.date));  // 日期：
    field("\xA6\x61\xC2\x49\xA1\x47", fieldText(game.place)); // 地點：
    out << "\r\n";
    if (game.customPosition)
        out << kIndent << "\xB4\xDD\xA7\xBD\xA1\x47 "               // 殘局：
            << (game.firstMover ? " \xB6\xC2" : " \xAC\xF5")         // 黑 / 紅
            << "\xA4\xE8\xA5\xFD\xA6\xE6" << "\r\n\r\n";             // 方先行
}

// A note under its move, every line indented. Lone CR and LF bytes end a line as CR LF
// does, so that every line of the record ends with CR LF.
void writeNote(std::string_view note, ChunkWriter& out)
{
    std::string text = kIndent;
    for (std::size_t i = 0; i < note.size(); ++i) {
        const char c = note[i];
        if (c != '\r' && c != '\n') {
            text += c;
            continue;
        }
        if (c == '\r' && i + 1 < note.size() && note[i + 1] == '\n')
            ++i;
        text += "\r\n";
        if (i + 1 < note.size())
            text += kIndent;
    }
    const char last = note.empty() ? '\0' : note.back();
    if (last != '\n' && last != '\r')
        text += "\r\n";
    out << text;
}

// A recorded move in the notation, from board (the position before it).
std::string moveText(const Board& board, const MoveEntry& entry)
{
    return entry.isMove() ? RecordMoveText(board, entry.move.from, entry.move.to) : std::string();
}

// The first move of an alternative, in the notation (empty when it holds no move).
std::string firstMoveText(const Board& board, const BranchPoint& point, int alternative)
{
    const MoveLine& line = point.alternatives[static_cast<std::size_t>(alternative)];
    return line.entries.empty() ? std::string() : moveText(board, line.entries[0]);
}

class RecordWriter : public TreeVisitor {
public:
    RecordWriter(const CGame& game, ChunkWriter& out, RecordMoveObserver* observer)
        : m_out(out), m_observer(observer), m_board(game.startBoard()), m_ply(game.firstMover ? 1 : 0)
    {
    }

    void entry(const MoveEntry& entry, const MoveLine& line, std::size_t)
    {
        if (entry.isMove()) {
            writeMove(entry);
            ApplyMove(m_board, entry.move);
        }
        if (!entry.hasNote())
            return;
        // A Red move with a note is paired with an empty Black half before the note; the
        // start position's note follows no move, even when Black moves first.
        if (entry.isMove() && line.continuation && m_ply % 2 == 1)
            m_out << "   " << kMissingMove;
        breakLine();
        writeNote(entry.noteText(), m_out);
    }

    void beginAlternative(const BranchPoint& point, int alternative, int depth)
    {
        if (alternative == 0) {
            breakLine();
            m_out << "\r\n" << kIndent << "\xA5\x48\xA4\x55\xA6\x40\xA6\xB3" // 以下共有
                  << format(" %d ", point.count()) << "\xBA\xD8\xC5\xDC\xA4\xC6\xA1\x47\r\n"; // 種變化：
            if (point.count() <= kMaxListedAlternatives) {
                m_out << kIndent;
                for (int i = 0; i < point.count(); ++i)
                    m_out << format("  %d.", i + 1) << firstMoveText(m_board, point, i);
                m_out << "\r\n";
            }
        }
        m_out << "\r\n" << kIndent << VariationLabel(depth, alternative + 1) << " "
              << firstMoveText(m_board, point, alternative) << "\r\n\r\n";
    }

    void endAlternative(const BranchPoint&, int, int) { breakLine(); }

    // The board goes back to where the line began, for the next alternative.
    void leaveLine(const MoveLine& line)
    {
        for (auto entry = line.entries.rbegin(); entry != line.entries.rend(); ++entry) {
            if (entry->isMove()) {
                TakeBackMove(m_board, entry->move);
                --m_ply;
            }
        }
    }

    // The last line of moves ends like every other line.
    void finish() { breakLine(); }

private:
    void breakLine()
    {
        if (m_lineMoves > 0)
            m_out << "\r\n";
        m_lineMoves = 0;
    }

    void writeMove(const MoveEntry& entry)
    {
        if (m_lineMoves == kMovesPerLine)
            breakLine();
        const int number = m_ply / 2 + 1;
        if (m_ply % 2 == 0) {
            m_out << (m_lineMoves == 0 ? format("%s%3d. ", kIndent, number) : format("      %3d. ", number));
        } else {
            if (m_lineMoves == 0)
                m_out << format("%s%3d. %s", kIndent, number, kMissingMove);
            m_out << "   ";
        }
        m_out << moveText(m_board, entry);
        if (m_observer)
            m_observer->moveWritten(entry, m_board, m_ply, m_out.total());
        ++m_lineMoves;
        ++m_ply;
    }

    ChunkWriter& m_out;
    RecordMoveObserver* m_observer;
    Board m_board; // the position before the next entry
    int m_ply;           // counts the written moves; a record that Black begins starts at 1
    int m_lineMoves = 0; // moves on the current output line
};

} // namespace

std::string VariationLabel(int depth, int n)
{
    if (depth <= 1)
        return std::string(kOpenLabel) + ChineseNumber(n) + kCloseLabel;
    if (depth == 2 && n >= 1 && n <= 10)
        return std::string("   ") + kOpenLabel + kStems[n - 1] + kCloseLabel;
    const std::string blanks(depth > 5 ? 10 : static_cast<std::size_t>(2 * depth), ' ');
    return blanks + kOpenLabel + format("%d.%d", depth, n) + kCloseLabel;
}

bool WriteTextRecord(const CGame& game, ByteSink& sink, RecordMoveObserver* observer)
{
    ChunkWriter out(sink);
    writeHeader(game, out);
    if (observer)
        observer->headerWritten(out.total());
    RecordWriter writer(game, out, observer);
    WalkTree(game.root(), writer);
    writer.finish();
    return out.finish();
}

} // namespace marovin::model
