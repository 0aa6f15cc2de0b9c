#include "game_window/move_list_items.h"

#include <algorithm>

#include "model/chinese_notation.h"

namespace marovin::board {

using model::BranchPoint;
using model::MoveEntry;
using model::MoveLine;

int MoveNumberAt(int ply, int firstMover)
{
    return (ply + (firstMover ? 1 : 0)) / 2 + 1;
}

bool IsRedMoveAt(int ply, int firstMover)
{
    return (ply + (firstMover ? 1 : 0)) % 2 == 0;
}

namespace {

// A run of entries to show: entries [from, to) of one alternative, then, when it
// continues, what follows the line.
struct Segment {
    const BranchPoint* point;
    int alternative;
    int from;
    int to;
    int depth;
    int ply;
    bool opensBlock;
    bool continues;     // what follows the line comes after these entries
    model::Board board; // the position before entry from
};

std::string moveText(const MoveEntry& entry, const model::Board& board, model::MoveNotation notation)
{
    // The Chinese text is the one the text record writes.
    if (notation == model::MoveNotation::Chinese)
        return model::RecordMoveText(board, entry.move.from, entry.move.to);
    return model::MoveText(board, entry.move.from, entry.move.to, notation);
}

bool sameShape(const MoveItem& item, const MoveItem& candidate)
{
    return item.move.piece == candidate.move.piece && item.move.from == candidate.move.from &&
           item.move.to == candidate.move.to && item.move.captured == candidate.move.captured &&
           item.tag == candidate.tag && item.ply == candidate.ply && item.depth == candidate.depth &&
           item.opensBlock == candidate.opensBlock && item.runStart == candidate.runStart &&
           item.hasNote == candidate.hasNote && item.mark == candidate.mark;
}

} // namespace

struct MoveListItems::Walk {
    MoveListItems& list;
    const model::CGame& game;
    std::vector<Segment> pending;
    int next = 0;      // the index the next item takes
    int changed = -1;  // the first item made anew; -1 while every item was as before

    // Queues what follows line (which ends at ply with board): one alternative goes on at
    // the same depth; several show the main one's first move, then each other one a level
    // deeper, then the rest of the main one.
    void queueAfter(const MoveLine& line, int depth, int ply, const model::Board& board)
    {
        const BranchPoint* x = line.continuation.get();
        if (!x || x->alternatives.empty())
            return;
        const MoveLine& main = x->alternatives[0];
        if (x->count() == 1) {
            pending.push_back({x, 0, 0, main.count(), depth, ply, false, true, board});
            return;
        }
        model::Board afterFirst = board;
        if (!main.entries.empty() && main.entries[0].isMove())
            model::ApplyMove(afterFirst, main.entries[0].move);
        pending.push_back({x, 0, 1, main.count(), depth, ply + 1, false, true, afterFirst});
        for (int a = x->count() - 1; a >= 1; --a)
            pending.push_back({x, a, 0, x->alternatives[static_cast<std::size_t>(a)].count(), depth + 1, ply, true,
                               true, board});
        pending.push_back({x, 0, 0, std::min(1, main.count()), depth, ply, false, false, board});
    }

    void run(model::MoveNotation notation)
    {
        const MoveLine& start = game.root().alternatives[0];
        queueAfter(start, 0, 0, game.startBoard());
        while (!pending.empty()) {
            Segment s = pending.back();
            pending.pop_back();
            const MoveLine& line = s.point->alternatives[static_cast<std::size_t>(s.alternative)];
            bool opens = s.opensBlock;
            for (int i = s.from; i < s.to; ++i) {
                const MoveEntry& entry = line.entries[static_cast<std::size_t>(i)];
                if (entry.isMove()) {
                    emit(entry, MoveRef{s.point, s.alternative, i}, s, opens, notation);
                    opens = false;
                    model::ApplyMove(s.board, entry.move);
                }
                ++s.ply;
            }
            if (s.continues)
                queueAfter(line, s.depth, s.ply, s.board);
        }
        list.m_items.resize(static_cast<std::size_t>(next));
    }

    void emit(const MoveEntry& entry, const MoveRef& ref, const Segment& s, bool opens, model::MoveNotation notation)
    {
        MoveItem item;
        item.ref = ref;
        item.move = entry.move;
        item.tag = entry.tag;
        item.ply = s.ply;
        item.depth = s.depth;
        item.opensBlock = opens;
        item.runStart = opens || next == 0 || list.m_items[static_cast<std::size_t>(next - 1)].depth != s.depth;
        item.hasNote = entry.hasNote() && !entry.noteText().empty();
        item.mark = item.hasNote ? model::MarkOfNote(entry.noteText()) : model::MoveMark::None;
        std::vector<MoveItem>& items = list.m_items;
        const auto at = static_cast<std::size_t>(next++);
        if (changed < 0 && at < items.size() && sameShape(items[at], item)) {
            items[at].ref = ref;
            return;
        }
        if (changed < 0) {
            changed = static_cast<int>(at);
            items.resize(at);
        }
        item.text = moveText(entry, s.board, notation);
        item.label = item.text + std::string(model::MarkText(item.mark));
        if (s.depth > 0 && IsRedMoveAt(s.ply, game.firstMover))
            item.label = std::to_string(MoveNumberAt(s.ply, game.firstMover)) + ". " + item.label;
        else if (s.depth > 0 && item.runStart)
            item.label = std::to_string(MoveNumberAt(s.ply, game.firstMover)) + "... " + item.label;
        items.push_back(std::move(item));
    }
};

int MoveListItems::sync(const model::CGame& game, model::MoveNotation notation)
{
    const model::Board start = game.startBoard();
    if (notation != m_notation || start != m_start || game.firstMover != m_firstMover) {
        m_items.clear();
        m_notation = notation;
        m_start = start;
        m_firstMover = game.firstMover;
    }
    Walk walk{*this, game, {}};
    const int before = size();
    walk.run(notation);
    if (walk.changed >= 0)
        return walk.changed;
    return walk.next < before ? walk.next : -1; // moves taken off the end, or nothing new
}

void MoveListItems::clear()
{
    m_items.clear();
    m_firstMover = -1;
}

int MoveListItems::find(const MoveRef& ref, int hint) const
{
    const int count = size();
    if (!ref.point || count == 0)
        return -1;
    // The shown move is mostly at or just after the one shown before.
    hint = std::clamp(hint, 0, count - 1);
    for (int step = 0; step < count; ++step) {
        const int i = (hint + step) % count;
        if (m_items[static_cast<std::size_t>(i)].ref == ref)
            return i;
    }
    return -1;
}

int MoveListItems::liveEnd(const model::CGame& game) const
{
    if (game.participation > model::kPlaying || game.gamePly() <= 0)
        return -1;
    // The main line is depth 0 all the way, in ply order; the live end is near its end.
    for (int i = size() - 1; i >= 0; --i) {
        const MoveItem& item = m_items[static_cast<std::size_t>(i)];
        if (item.depth == 0 && item.ply <= game.gamePly() - 1)
            return item.ply == game.gamePly() - 1 ? i : -1;
    }
    return -1;
}

} // namespace marovin::board
