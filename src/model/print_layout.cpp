#include "model/print_layout.h"

#include <algorithm>
#include <set>

#include "model/byte_stream.h"
#include "model/move_notation.h"
#include "model/text_diagram.h"
#include "model/text_record.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr const char* kStartCaption = "\xB0\x5F\xA9\x6C\xA7\xBD\xAD\xB1"; // 起始局面
constexpr std::string_view kIndent = "    ";
constexpr int kMinColumns = 12;

// Where a wanted move went in the record.
struct WrittenMove {
    const MoveEntry* entry;
    Board before;
    int ply;
    std::size_t end; // bytes of the record up to the end of the move's text
};

class MoveFinder : public RecordMoveObserver {
public:
    explicit MoveFinder(std::set<const MoveEntry*> wanted) : m_wanted(std::move(wanted)) {}

    void headerWritten(std::size_t end) override { headerEnd = end; }
    void moveWritten(const MoveEntry& entry, const Board& board, int ply, std::size_t end) override
    {
        if (m_wanted.contains(&entry))
            found.push_back({&entry, board, ply, end});
    }

    std::size_t headerEnd = 0;
    std::vector<WrittenMove> found; // in the order of the record

private:
    std::set<const MoveEntry*> m_wanted;
};

// Calls visit for each entry of the main line, in order, until it returns false.
template <class Visit>
void walkMainLine(const CGame& game, Visit visit)
{
    const BranchPoint* point = &game.root();
    while (point && !point->alternatives.empty()) {
        const MoveLine& line = point->alternatives[0];
        for (const MoveEntry& entry : line.entries)
            if (!visit(entry))
                return;
        point = line.continuation.get();
    }
}

const MoveEntry* lastMainLineMove(const CGame& game)
{
    const MoveEntry* last = nullptr;
    walkMainLine(game, [&](const MoveEntry& entry) {
        if (entry.isMove())
            last = &entry;
        return true;
    });
    return last;
}

PrintDiagram diagramOf(const CGame& game, const Board& board, bool redToMove, std::string caption)
{
    PrintDiagram diagram;
    diagram.board = board;
    diagram.redAtBottom = game.bottomSide == kRed;
    const int top = diagram.redAtBottom ? kBlack : kRed;
    const auto label = [&](int side) {
        return DiagramSideLabel(fieldText(side == kRed ? game.redName : game.blackName), side,
                                redToMove == (side == kRed));
    };
    diagram.topLabel = label(top);
    diagram.bottomLabel = label(kRed + kBlack - top);
    diagram.caption = std::move(caption);
    return diagram;
}

PrintDiagram diagramAfter(const CGame& game, const WrittenMove& move)
{
    Board after = move.before;
    ApplyMove(after, move.entry->move);
    const bool redMoved = SideOf(move.entry->move.piece) == kRed;
    std::string caption = std::to_string(move.ply / 2 + 1) + (redMoved ? ". " : ". ... ");
    caption += RecordMoveText(move.before, move.entry->move.from, move.entry->move.to);
    return diagramOf(game, after, !redMoved, std::move(caption));
}

// The record's lines, each with the offset of its first byte.
struct RecordLine {
    std::string_view text;
    std::size_t start;
};

std::vector<RecordLine> splitLines(std::string_view text)
{
    std::vector<RecordLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back({text.substr(start, end - start), start});
        start = end + 2;
    }
    return lines;
}

// The index of the line that holds byte offset (the last line when it lies beyond).
std::size_t lineHolding(const std::vector<RecordLine>& lines, std::size_t offset)
{
    const auto after = std::upper_bound(lines.begin(), lines.end(), offset,
                                        [](std::size_t at, const RecordLine& line) { return at < line.start; });
    return after == lines.begin() ? 0 : static_cast<std::size_t>(after - lines.begin()) - 1;
}

} // namespace

PrintDocument BuildPrintDocument(const CGame& game, std::span<const MoveEntry* const> marked)
{
    const MoveEntry* end = lastMainLineMove(game);
    std::set<const MoveEntry*> wanted(marked.begin(), marked.end());
    wanted.erase(nullptr);
    if (end)
        wanted.insert(end);
    MoveFinder finder(wanted);
    StringSink sink;
    WriteTextRecord(game, sink, &finder);

    PrintDocument document;
    document.title = fieldText(game.subject);
    const std::vector<RecordLine> lines = splitLines(sink.text);
    // Diagrams wait for the line after which they go: the start's after the header.
    std::vector<std::pair<std::size_t, int>> after; // (line index, diagram)
    const auto add = [&](std::size_t line, PrintDiagram diagram) {
        document.diagrams.push_back(std::move(diagram));
        after.emplace_back(line, static_cast<int>(document.diagrams.size()) - 1);
    };
    const std::size_t headerLines = finder.headerEnd == 0 ? 0 : lineHolding(lines, finder.headerEnd - 1) + 1;
    add(headerLines, diagramOf(game, game.startBoard(), game.firstMover == 0, kStartCaption));
    for (const WrittenMove& move : finder.found)
        if (move.entry != end)
            add(lineHolding(lines, move.end - 1) + 1, diagramAfter(game, move));
    for (const WrittenMove& move : finder.found)
        if (move.entry == end)
            add(lines.size(), diagramAfter(game, move));
    std::stable_sort(after.begin(), after.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    auto next = after.begin();
    for (std::size_t i = 0; i <= lines.size(); ++i) {
        for (; next != after.end() && next->first == i; ++next)
            document.items.push_back({std::string(), next->second});
        if (i < lines.size())
            document.items.push_back({std::string(lines[i].text), -1});
    }
    return document;
}

std::vector<PrintPage> LayOutPages(const PrintDocument& document, const PageMetrics& metrics)
{
    const int lineHeight = std::max(1, metrics.lineHeight);
    const std::size_t columns = static_cast<std::size_t>(std::max(kMinColumns, metrics.columns));
    std::vector<PrintPage> pages(1);
    int y = 0;
    const auto place = [&](PlacedItem item, int height) {
        if (y > 0 && y + height > metrics.height) {
            pages.emplace_back();
            y = 0;
        }
        if (y == 0 && item.diagram < 0 && item.text.find_first_not_of(' ') == std::string::npos)
            return; // a blank line at the top of a page
        item.y = y;
        pages.back().items.push_back(std::move(item));
        y += height;
    };
    for (const PrintItem& item : document.items) {
        if (item.diagram >= 0) {
            place({std::string(), item.diagram, 0}, std::max(1, metrics.diagramHeight));
            continue;
        }
        std::string_view rest = item.text;
        bool first = true;
        do {
            const std::size_t room = first ? columns : columns - kIndent.size();
            std::size_t cut = big5PrefixLength(rest, room);
            if (cut == 0 && !rest.empty())
                cut = big5CharLength(rest, 0);
            // Words of Latin letters stay whole where a blank in the line's second half allows.
            if (cut < rest.size() && rest[cut] != ' ') {
                const std::size_t blank = rest.substr(0, cut).rfind(' ');
                if (blank != std::string_view::npos && blank >= room / 2)
                    cut = blank + 1;
            }
            place({(first ? std::string() : std::string(kIndent)) + std::string(rest.substr(0, cut)), -1, 0},
                  lineHeight);
            rest.remove_prefix(cut);
            first = false;
        } while (!rest.empty());
    }
    return pages;
}

std::string PageNumberText(int page, int pages)
{
    return std::to_string(page) + " / " + std::to_string(pages);
}

} // namespace marovin::model
