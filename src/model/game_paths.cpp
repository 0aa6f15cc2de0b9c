// Lines of the record named by the moves that lead to them: the browsed line, and the
// entry at the end of any line (an analysis that ran on a copy of the moves finds its
// move again this way, or learns that it was deleted meanwhile).
#include "model/game.h"

namespace marovin::model {

std::vector<SquarePair> CGame::browsedMoves() const
{
    std::vector<SquarePair> moves;
    moves.reserve(static_cast<std::size_t>(m_browsedPly));
    const BranchPoint* point = m_root.get();
    while (static_cast<int>(moves.size()) < m_browsedPly && point && !point->alternatives.empty()) {
        const MoveLine& l = point->followedLine();
        for (const MoveEntry& entry : l.entries) {
            if (static_cast<int>(moves.size()) == m_browsedPly)
                break;
            if (entry.isMove())
                moves.push_back({entry.move.from, entry.move.to});
        }
        point = l.continuation.get();
    }
    return moves;
}

CGame::EntryPlace CGame::findEntryPlace(std::span<const SquarePair> moves) const
{
    if (moves.empty() || m_root->alternatives.empty())
        return {};
    const MoveLine* l = &m_root->alternatives[0];
    std::size_t index = 0; // the entry reached so far (the start marker at first)
    const auto matches = [](const MoveEntry& entry, SquarePair move) {
        return entry.isMove() && entry.move.from == move.from && entry.move.to == move.to;
    };
    for (const SquarePair move : moves) {
        if (index + 1 < l->entries.size()) {
            if (!matches(l->entries[index + 1], move))
                return {};
            ++index;
            continue;
        }
        const BranchPoint* next = l->continuation.get();
        if (!next)
            return {};
        const MoveLine* found = nullptr;
        for (const MoveLine& alternative : next->alternatives)
            if (!alternative.entries.empty() && matches(alternative.entries[0], move)) {
                found = &alternative;
                break;
            }
        if (!found)
            return {};
        l = found;
        index = 0;
    }
    return {l, index};
}

const MoveEntry* CGame::findEntry(std::span<const SquarePair> moves) const
{
    const EntryPlace place = findEntryPlace(moves);
    return place.line ? &place.line->entries[place.index] : nullptr;
}

bool CGame::editNoteAt(std::span<const SquarePair> moves, const std::function<std::string(std::string_view)>& edit)
{
    const EntryPlace place = findEntryPlace(moves);
    if (!place.line)
        return false;
    // The tree is ours; the search above is shared with the const lookup.
    auto& l = const_cast<MoveLine&>(*place.line);
    MoveEntry& entry = l.entries[place.index];
    std::string note = edit(entry.noteText());
    if (note == entry.noteText() && (entry.note || note.empty()))
        return true;
    entry.note = std::make_unique<std::string>(std::move(note));
    l.hasNotes = 1;
    modified = true;
    if (&entry == &currentEntry())
        showCurrentNote();
    return true;
}

} // namespace marovin::model
