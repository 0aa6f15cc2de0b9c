#include "model/move_tree.h"

#include <algorithm>
#include <iterator>

#include "model/note_text.h"

namespace marovin::model {

const std::string& MoveEntry::noteText() const
{
    static const std::string empty;
    return note ? *note : empty;
}

BranchPoint::~BranchPoint()
{
    // Detach every continuation below this point before any is destroyed, so that each
    // destructor runs on a branch point whose lines no longer own anything deeper.
    std::vector<std::unique_ptr<BranchPoint>> pending;
    for (MoveLine& line : alternatives)
        if (line.continuation)
            pending.push_back(std::move(line.continuation));
    while (!pending.empty()) {
        std::unique_ptr<BranchPoint> point = std::move(pending.back());
        pending.pop_back();
        for (MoveLine& line : point->alternatives)
            if (line.continuation)
                pending.push_back(std::move(line.continuation));
    }
}

std::unique_ptr<BranchPoint> MakeBranchPoint(BranchPoint* parent, const PackedMove& move, std::uint8_t tag)
{
    auto point = std::make_unique<BranchPoint>();
    point->parent = parent;
    point->alternatives.emplace_back();
    point->alternatives[0].entries.push_back(MoveEntry{move, tag, nullptr});
    return point;
}

bool NoteHolds(std::string_view note, std::string_view text)
{
    if (note.starts_with(text))
        return true;
    for (std::size_t lf = note.find('\n'); lf != std::string_view::npos; lf = note.find('\n', lf + 1))
        if (note.substr(lf + 1).starts_with(text))
            return true;
    return false;
}

void AppendNoteOnce(MoveEntry& entry, std::string_view text)
{
    if (!entry.note) {
        entry.note = std::make_unique<std::string>();
        StoreNote(*entry.note, text, NoteJoin::Replace);
    } else if (!NoteHolds(*entry.note, text)) {
        StoreNote(*entry.note, text, NoteJoin::NewLine);
    }
}

namespace {

bool sameMove(const MoveEntry& a, const MoveEntry& b)
{
    return a.move.from == b.move.from && a.move.to == b.move.to;
}

// Gives the lines of from to point, keeping their order after point's own.
void adoptAlternatives(BranchPoint& point, std::vector<MoveLine>&& from)
{
    for (MoveLine& line : from) {
        if (line.continuation)
            line.continuation->parent = &point;
        point.alternatives.push_back(std::move(line));
    }
}

// Cuts line (held by holder) before entry at: the cut-off tail becomes alternative 0 of a
// new branch point that continues the line. Returns that point.
BranchPoint& splitLine(MoveLine& line, BranchPoint& holder, std::size_t at)
{
    auto point = std::make_unique<BranchPoint>();
    point->parent = &holder;
    MoveLine tail;
    tail.entries.assign(std::make_move_iterator(line.entries.begin() + static_cast<std::ptrdiff_t>(at)),
                        std::make_move_iterator(line.entries.end()));
    tail.continuation = std::move(line.continuation);
    tail.hasNotes = line.hasNotes;
    if (tail.continuation)
        tail.continuation->parent = point.get();
    line.entries.resize(at);
    point->alternatives.push_back(std::move(tail));
    line.continuation = std::move(point);
    return *line.continuation;
}

// Joins other into line (both held by holder and beginning with the same move). Branch
// points where alternatives may now meet again are added to pending.
void joinLine(MoveLine& line, BranchPoint& holder, MoveLine&& other, std::vector<BranchPoint*>& pending)
{
    std::size_t shared = 0;
    while (shared < line.entries.size() && shared < other.entries.size() &&
           sameMove(line.entries[shared], other.entries[shared])) {
        if (other.entries[shared].note)
            AppendNoteOnce(line.entries[shared], *other.entries[shared].note);
        ++shared;
    }
    line.hasNotes |= other.hasNotes;
    const bool lineGoesOn = shared < line.entries.size();
    const bool otherGoesOn = shared < other.entries.size();
    if (otherGoesOn) {
        MoveLine tail;
        tail.entries.assign(std::make_move_iterator(other.entries.begin() + static_cast<std::ptrdiff_t>(shared)),
                            std::make_move_iterator(other.entries.end()));
        tail.continuation = std::move(other.continuation);
        tail.hasNotes = other.hasNotes;
        if (lineGoesOn) {
            std::vector<MoveLine> tails;
            tails.push_back(std::move(tail));
            adoptAlternatives(splitLine(line, holder, shared), std::move(tails));
        } else if (line.continuation) {
            std::vector<MoveLine> tails;
            tails.push_back(std::move(tail));
            adoptAlternatives(*line.continuation, std::move(tails));
            pending.push_back(line.continuation.get());
        } else {
            for (MoveEntry& entry : tail.entries)
                line.entries.push_back(std::move(entry));
            line.continuation = std::move(tail.continuation);
            if (line.continuation)
                line.continuation->parent = &holder;
        }
        return;
    }
    if (!other.continuation)
        return; // other is a part of line
    BranchPoint* into = line.continuation.get();
    if (lineGoesOn)
        into = &splitLine(line, holder, shared);
    if (!into) {
        line.continuation = std::move(other.continuation);
        line.continuation->parent = &holder;
        return;
    }
    adoptAlternatives(*into, std::move(other.continuation->alternatives));
    pending.push_back(into);
}

} // namespace

void JoinEqualAlternatives(BranchPoint& start)
{
    // A work list, not recursion: a tree may be nested many thousands of points deep.
    std::vector<BranchPoint*> pending{&start};
    while (!pending.empty()) {
        BranchPoint& point = *pending.back();
        pending.pop_back();
        for (std::size_t i = 0; i < point.alternatives.size(); ++i) {
            for (std::size_t j = i + 1; j < point.alternatives.size();) {
                MoveLine& first = point.alternatives[i];
                MoveLine& other = point.alternatives[j];
                if (first.entries.empty() || other.entries.empty() || !sameMove(first.entries[0], other.entries[0])) {
                    ++j;
                    continue;
                }
                MoveLine taken = std::move(other);
                point.alternatives.erase(point.alternatives.begin() + static_cast<std::ptrdiff_t>(j));
                joinLine(point.alternatives[i], point, std::move(taken), pending);
            }
        }
    }
}

bool PromoteToMainLine(BranchPoint& point)
{
    bool moved = false;
    // Moves alternative a of bp to the front, keeping the followed index on its line.
    const auto toFront = [&moved](BranchPoint& bp, int a) {
        if (a <= 0 || a >= bp.count())
            return;
        const auto first = bp.alternatives.begin();
        std::rotate(first, first + a, first + a + 1);
        if (bp.followed == a)
            bp.followed = 0;
        else if (bp.followed < a)
            ++bp.followed;
        moved = true;
    };
    toFront(point, point.followed);
    for (BranchPoint* child = &point; child->parent; child = child->parent)
        toFront(*child->parent, AlternativeHolding(*child));
    return moved;
}

int AlternativeHolding(const BranchPoint& point)
{
    const BranchPoint* parent = point.parent;
    for (int a = 0; parent && a < parent->count(); ++a)
        if (parent->alternatives[static_cast<std::size_t>(a)].continuation.get() == &point)
            return a;
    return -1;
}

} // namespace marovin::model
