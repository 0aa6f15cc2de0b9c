#include "model/move_tree.h"

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

} // namespace marovin::model
