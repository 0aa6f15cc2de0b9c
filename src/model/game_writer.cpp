#include <cstdio>
#include <filesystem>
#include <vector>

#include "model/game_file.h"
#include "model/note_text.h"
#include "model/tree_walk.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr int kPairsPerLine = 91;

// Gathers the body and hands it to the sink in chunks.
class BodyWriter {
public:
    BodyWriter(ByteSink& sink, GameFileForm form) : m_sink(sink), m_form(form)
    {
        m_prefix = form == GameFileForm::Send ? "H" : "";
        m_buffer.reserve(kWriteFlushSize + 256);
    }

    void move(const PackedMove& move)
    {
        switch (m_form) {
        case GameFileForm::Old:
            m_buffer += FormatCoordinateMove(move.from, move.to);
            m_buffer += "\r\n";
            break;
        case GameFileForm::New:
            m_buffer += static_cast<char>(move.from);
            m_buffer += static_cast<char>(move.to);
            break;
        case GameFileForm::Send:
            if (m_pairs == kPairsPerLine)
                endPairs();
            if (m_pairs == 0)
                m_buffer += 'M';
            m_buffer += static_cast<char>(move.from + 33);
            m_buffer += static_cast<char>(move.to + 33);
            ++m_pairs;
            break;
        }
        flushIfFull();
    }

    // A note that the reader could not read back is not written (false).
    bool note(const std::string& text)
    {
        if (!IsStorableNote(text)) {
            m_ok = false;
            return false;
        }
        if (m_form == GameFileForm::New) {
            m_buffer += 'g';
            m_buffer += text;
            m_buffer += '\0';
        } else {
            endPairs();
            ForEachNoteLine(text, [this](std::string_view line) { noteLine(line); });
        }
        flushIfFull();
        return true;
    }

    void branchBegin() { bracket('d', "BB"); }
    void branchEnd() { bracket('e', "BE"); }

    bool finish()
    {
        endPairs();
        if (!m_buffer.empty() && !m_sink.write(m_buffer))
            m_ok = false;
        m_buffer.clear();
        return m_ok;
    }

private:
    void bracket(char code, const char* line)
    {
        if (m_form == GameFileForm::New) {
            m_buffer += code;
        } else {
            endPairs();
            m_buffer.append(m_prefix).append(line).append("\r\n");
        }
        flushIfFull();
    }

    void noteLine(std::string_view line)
    {
        const std::string_view head = !line.empty() && line.front() == ' ' ? "# " : "#";
        if (m_form != GameFileForm::Send) {
            m_buffer.append(head).append(line).append("\r\n");
            return;
        }
        // A line too long for one tell goes on in continuation lines; a part that ends in a
        // blank is closed by the mark, as the server drops blanks at the end of a line.
        std::string_view lead = head;
        do {
            const std::size_t length = big5PrefixLength(line, kSendLineLimit - m_prefix.size() - lead.size() - 1);
            const std::string_view part = line.substr(0, length);
            m_buffer.append(m_prefix).append(lead).append(part);
            if (!part.empty() && part.back() == ' ')
                m_buffer += kNoteContinuation;
            m_buffer += "\r\n";
            line.remove_prefix(length);
            lead = kContinuationHead;
        } while (!line.empty());
    }

    void endPairs()
    {
        if (m_pairs > 0)
            m_buffer += "\r\n";
        m_pairs = 0;
    }

    void flushIfFull()
    {
        if (m_buffer.size() >= kWriteFlushSize) {
            if (!m_sink.write(m_buffer))
                m_ok = false;
            m_buffer.clear();
        }
    }

    ByteSink& m_sink;
    GameFileForm m_form;
    std::string m_prefix;
    std::string m_buffer;
    int m_pairs = 0; // pairs on the open "M" line
    bool m_ok = true;
};

std::string headerText(const CGame& game, GameFileForm form)
{
    const std::string p = form == GameFileForm::Send ? "H" : "";
    std::string text = p + "GAME\r\n";
    char times[128];
    std::snprintf(times, sizeof times, "%sTIME    %lld\t%lld\t%lld\t%lld\r\n", p.c_str(),
                  static_cast<long long>(game.times[0]), static_cast<long long>(game.times[1]),
                  static_cast<long long>(game.times[2]), static_cast<long long>(game.times[3]));
    text += times;
    if (game.customPosition) {
        text += p + "POSITION ";
        text += game.firstMover ? 'B' : 'R';
        for (int piece = 1; piece <= 32; ++piece) {
            const int square = std::min<int>(game.pieceList[static_cast<std::size_t>(piece)], kOffBoard);
            text += static_cast<char>(square + 33);
        }
        text += "\r\n";
    }
    const auto field = [&](const char* keyword, std::string_view value) {
        text.append(p).append(keyword).append(value).append("\r\n");
    };
    field("SUBJECT ", fieldText(game.subject));
    field("RESULT  ", fieldText(game.result));
    field("RED     ", std::string(fieldText(game.redName)) + "; " + std::to_string(game.redRating));
    field("BLACK   ", std::string(fieldText(game.blackName)) + "; " + std::to_string(game.blackRating));
    field("DATE    ", fieldText(game.date));
    field("PLACE   ", fieldText(game.place));
    text += form == GameFileForm::New ? "CSTART\r\n" : p + "START\r\n";
    return text;
}

// Depth first from the root: a line's entries, then its continuation; a branch point
// with several alternatives writes each between branch brackets.
void writeBody(const CGame& game, BodyWriter& out)
{
    struct Writer : TreeVisitor {
        BodyWriter& out;
        explicit Writer(BodyWriter& body) : out(body) {}
        void entry(const MoveEntry& entry, const MoveLine&, std::size_t)
        {
            if (entry.isMove())
                out.move(entry.move);
            if (entry.note)
                out.note(*entry.note);
        }
        void beginAlternative(const BranchPoint&, int, int) { out.branchBegin(); }
        void endAlternative(const BranchPoint&, int, int) { out.branchEnd(); }
    } writer(out);
    WalkTree(game.root(), writer);
}

} // namespace

bool WriteGame(CGame& game, ByteSink& sink, GameFileForm form)
{
    bool ok = sink.write(headerText(game, form));
    BodyWriter body(sink, form);
    writeBody(game, body);
    ok = body.finish() && ok;
    game.format = form == GameFileForm::New ? kFormatNew : kFormatOld;
    return ok;
}

bool WriteGame(CGame& game, ByteSink& sink, GameFileVariant variant)
{
    if (variant == GameFileVariant::Send)
        return WriteGame(game, sink, GameFileForm::Send);
    const bool ok =
        WriteGame(game, sink, game.ports().settings.saveNewFormat ? GameFileForm::New : GameFileForm::Old);
    if (ok)
        game.modified = false;
    return ok;
}

std::string GameFileText(CGame& game, GameFileForm form)
{
    StringSink sink;
    WriteGame(game, sink, form);
    return std::move(sink.text);
}

bool CheckNotesStorable(const CGame& game)
{
    bool storable = true;
    ForEachLine(game.root(), [&storable](const MoveLine& line) {
        for (const MoveEntry& entry : line.entries)
            storable = storable && (!entry.note || IsStorableNote(*entry.note));
    });
    if (!storable)
        game.ports().desktop.messageBox("A note of this game is longer than " + std::to_string(kNoteLimit) +
                                        " bytes or holds control characters, and could not be read back: "
                                        "nothing is written.");
    return storable;
}

bool WriteGameFile(CGame& game, const std::string& path, GameFileForm form)
{
    if (!CheckNotesStorable(game))
        return false;
    if (!ReplaceFile(path, [&](ByteSink& file) { return WriteGame(game, file, form); })) {
        game.ports().desktop.messageBox("Can not write file: " + path);
        return false;
    }
    if (form != GameFileForm::Send)
        game.modified = false;
    return true;
}

} // namespace marovin::model
