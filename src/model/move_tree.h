#pragma once
// The move tree of a game record.
//
//   root BranchPoint ── alternative 0: the start line [start marker]
//                                          └─ continuation BranchPoint
//                                               ├─ alternative 0 (main line) [m1 m2 m3] ─ continuation …
//                                               └─ alternative 1             [m1' m2']  ─ continuation …
//
// A MoveLine is a run of moves played one after the other; its continuation (a
// BranchPoint) holds the alternatives that may follow its last entry. Alternative 0 of
// every BranchPoint is the main line; the live game of a server always runs along it.
// Lines own their continuations, branch points own their lines. A tree of any depth is
// destroyed without recursion.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/position.h"

namespace marovin::model {

// Piece bytes of entries that are not moves.
constexpr Piece kStartMarker = 103; // "g": the entry before the first move
constexpr Piece kPlaceholder = 102; // "f", from-square 90: a branch being read

struct MoveEntry {
    // The tag sits beside the move so that an entry takes 16 bytes, not 24.
    PackedMove move;
    std::uint8_t tag = kTagNone;       // notation tag (front, rear, middle)
    std::unique_ptr<std::string> note; // CR LF line ends; null when the entry has none

    bool isMove() const { return move.piece < kOffBoard && move.from < kOffBoard && move.to < kOffBoard; }
    bool isPlaceholder() const { return move.piece == kPlaceholder && move.from == kOffBoard; }
    bool hasNote() const { return note != nullptr; }
    // The note's text, empty when there is none.
    const std::string& noteText() const;
};
static_assert(sizeof(MoveEntry) <= 2 * sizeof(void*), "move entries are the bulk of a large record");

struct BranchPoint;

struct MoveLine {
    std::vector<MoveEntry> entries;
    std::unique_ptr<BranchPoint> continuation; // what may follow the last entry, or null
    int hasNotes = 0;                          // set once a note was written into the line

    int count() const { return static_cast<int>(entries.size()); }
};

struct BranchPoint {
    BranchPoint* parent = nullptr;   // the branch point holding the line that owns this one
    int followed = 0;                // alternative on the browsed path
    std::vector<MoveLine> alternatives;

    BranchPoint() = default;
    BranchPoint(const BranchPoint&) = delete;
    BranchPoint& operator=(const BranchPoint&) = delete;
    ~BranchPoint(); // iterative: any depth of nesting is safe

    int count() const { return static_cast<int>(alternatives.size()); }
    MoveLine& followedLine() { return alternatives[static_cast<std::size_t>(followed)]; }
    const MoveLine& followedLine() const { return alternatives[static_cast<std::size_t>(followed)]; }
};

// A new branch point under parent whose alternative 0 holds one entry with move.
std::unique_ptr<BranchPoint> MakeBranchPoint(BranchPoint* parent, const PackedMove& move, std::uint8_t tag = 0);

// Whether note already holds text at its start or at the start of one of its lines.
bool NoteHolds(std::string_view note, std::string_view text);

// Adds text (a note of another record) to entry's note on a line of its own, unless the
// note holds it already; the joined note is cut to the note limit.
void AppendNoteOnce(MoveEntry& entry, std::string_view text);

// Joins the alternatives of point (and, where that makes them meet, of the branch points
// below it) that begin with the same move, so that no branch point holds two alternatives
// with the same first move: shared moves become one line, where they part a branch point
// holds both continuations, and the notes of joined moves are kept (one after the other).
// Branch points that the joining empties are destroyed: a game's cursor must not stand
// below point.
void JoinEqualAlternatives(BranchPoint& point);

// The index of the alternative of point's parent whose line point continues; -1 for the
// root.
int AlternativeHolding(const BranchPoint& point);

// Makes the line on point's followed alternative the main line: at point and at every
// branch point above it, the alternative on the way down to that line moves to index 0
// (the others keep their order behind it) and the followed indices move along, so a
// cursor in the tree keeps standing on the same entry. Returns whether anything moved.
bool PromoteToMainLine(BranchPoint& point);

// Calls visit(line) once for every line of bp and of every branch point below it (in no
// particular order; the file writer has its own walk).
template <class Point, class Visit>
void ForEachLine(Point& bp, Visit&& visit)
{
    std::vector<Point*> pending{&bp};
    while (!pending.empty()) {
        Point* point = pending.back();
        pending.pop_back();
        for (auto& line : point->alternatives) {
            if (line.continuation)
                pending.push_back(line.continuation.get());
            visit(line);
        }
    }
}

} // namespace marovin::model
