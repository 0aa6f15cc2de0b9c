#pragma once
// The one order in which a move tree is written out (game file, text record) and merged:
// depth first from the root, a line's entries, then its continuation. A continuation with
// one alternative simply goes on with it; one with several visits each alternative in
// index order (the main line first), bracketed by begin/end notices.
//
//   start line [g] ── X: one alternative ── [m1 m2] ── Y: two alternatives
//                                                        ├─ [a1 a2]   begin(Y,0) a1 a2 leave end(Y,0)
//                                                        └─ [b1]      begin(Y,1) b1 leave end(Y,1)
//
// The walk keeps its own stack, so a tree of any depth is safe.

#include <cstddef>
#include <vector>

#include "model/move_tree.h"

namespace marovin::model {

// What a walk tells its visitor. Depth counts the branch points with several alternatives
// that enclose a line: 0 along the start of the record, 1 inside their alternatives, and
// so on.
//
//   void entry(const MoveEntry& entry, const MoveLine& line, std::size_t index);
//   void beginAlternative(const BranchPoint& point, int alternative, int depth);
//   void endAlternative(const BranchPoint& point, int alternative, int depth);
//   void leaveLine(const MoveLine& line); // after its entries and everything below it
//
// beginAlternative and endAlternative come only for branch points with several
// alternatives; depth is that of the alternative (1 for the outermost).
template <class Visitor>
void WalkTree(const BranchPoint& root, Visitor& visitor)
{
    struct Frame {
        const MoveLine* line;
        const BranchPoint* owner; // the branch point holding line when it has several alternatives
        int alternative;          // line's index in owner
        int depth;
        int next = 0;             // the next alternative of line's continuation to visit
        bool entered = false;     // line's entries visited
    };
    if (root.alternatives.empty())
        return;
    std::vector<Frame> stack{Frame{&root.alternatives[0], nullptr, 0, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.entered) {
            top.entered = true;
            for (std::size_t i = 0; i < top.line->entries.size(); ++i)
                visitor.entry(top.line->entries[i], *top.line, i);
        }
        const BranchPoint* x = top.line->continuation.get();
        const int count = x ? x->count() : 0;
        if (top.next < count) {
            const int a = top.next++;
            const MoveLine* next = &x->alternatives[static_cast<std::size_t>(a)];
            if (count == 1) {
                stack.push_back(Frame{next, nullptr, 0, top.depth});
            } else {
                const int depth = top.depth + 1;
                visitor.beginAlternative(*x, a, depth);
                stack.push_back(Frame{next, x, a, depth});
            }
            continue;
        }
        const Frame done = top;
        stack.pop_back();
        visitor.leaveLine(*done.line);
        if (done.owner)
            visitor.endAlternative(*done.owner, done.alternative, done.depth);
    }
}

// A visitor with nothing to do, to derive from when only some notices matter.
struct TreeVisitor {
    void entry(const MoveEntry&, const MoveLine&, std::size_t) {}
    void beginAlternative(const BranchPoint&, int, int) {}
    void endAlternative(const BranchPoint&, int, int) {}
    void leaveLine(const MoveLine&) {}
};

} // namespace marovin::model
