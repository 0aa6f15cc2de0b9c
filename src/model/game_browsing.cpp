// Walking a game's move tree and editing the shown line: navigation, alternatives, deleting
// and promoting lines, notes and mirrored openings.
#include "model/game.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "model/numeric_notation.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

// The first bytes of a note for a one-line list row: line ends become blanks, and a Big5
// character is never cut in half.
std::string NotePreview(const std::string& note, std::size_t limit)
{
    std::string text;
    for (std::size_t i = 0; i < note.size() && text.size() < limit;) {
        const std::size_t length = big5CharLength(note, i);
        if (text.size() + length > limit)
            break;
        if (length == 2)
            text.append(note, i, 2);
        else
            text += (note[i] == '\r' || note[i] == '\n') ? ' ' : note[i];
        i += length;
    }
    return text;
}


} // namespace

// ---- navigation --------------------------------------------------------------------------

void CGame::Navigate(int command, int ply)
{
    if (m_pathLength == 0)
        return;
    int target = m_browsedPly;
    bool askBranch = false;
    switch (command) {
    case kStepBack:
    case kPageBack:
        if (m_browsedPly == 0)
            return;
        target = m_browsedPly - 1;
        break;
    case kStepForward:
    case kPageForward:
        if (m_browsedPly >= m_pathLength)
            return;
        target = m_browsedPly + 1;
        askBranch = true;
        break;
    case kGoToPly:
    case kTrackToPly:
        target = ply;
        break;
    case kGoToStart:
        if (m_browsedPly == 0)
            return;
        target = 0;
        break;
    case kGoToEnd:
        target = m_pathLength;
        break;
    default:
        return;
    }
    target = std::clamp(target, 0, m_pathLength);
    while (m_browsedPly < target) {
        if (m_index + 1 < line().count()) {
            ++m_index;
        } else if (!line().continuation || line().continuation->alternatives.empty()) {
            break;
        } else if (askBranch) {
            if (!ChooseBranch())
                break;
        } else {
            FollowAlternative(line().continuation->followed);
        }
        replayTail(currentEntry().move);
    }
    while (m_browsedPly > target) {
        const int before = m_browsedPly;
        TakeBack(TakeBackKind::User);
        if (m_browsedPly == before)
            break;
    }
    showCurrentNote();
}

void CGame::GoToLive()
{
    if (m_pathLength == 0 || mode != kModeNormal)
        return;
    if (participation <= kPlaying) {
        if (isBrowsingLive())
            return;
        mode = kModeBusy;
        Rewind();
        RecomputePathLength(true);
        Navigate(kGoToPly, m_gamePly);
    } else {
        if (m_browsedPly >= m_pathLength)
            return;
        mode = kModeBusy;
        Navigate(kGoToEnd);
    }
    mode = kModeNormal;
    updateMoveScroll();
    m_observer->redraw(*this);
}

void CGame::Rewind()
{
    m_current = m_root.get();
    m_index = 0;
    m_browsedPly = 0;
    browsedBoard = startBoard();
    RecomputePathLength(false);
}

void CGame::FollowAlternative(int a)
{
    BranchPoint* x = line().continuation.get();
    if (!x || x->alternatives.empty())
        return;
    if (a >= x->count())
        a = 0;
    if (a < 0)
        a = x->count() - 1;
    m_current = x;
    x->followed = a;
    m_index = 0;
    pathChanged(m_browsedPly + 1); // the cursor stands on a move not applied yet
}

bool CGame::ChooseBranch()
{
    BranchPoint* x = line().continuation.get();
    if (!x || x->alternatives.empty())
        return false;
    if (x->count() == 1) {
        FollowAlternative(0);
        return true;
    }
    std::vector<BranchRow> rows;
    rows.reserve(x->alternatives.size());
    for (const MoveLine& alternative : x->alternatives) {
        BranchRow row;
        if (alternative.count() > 0) {
            const MoveEntry& first = alternative.entries[0];
            row.pieceType = TypeOf(first.move.piece);
            row.text = NumericNotation(first);
            if (first.hasNote())
                row.text += "    (" + NotePreview(first.noteText(), 20) + ")";
        }
        rows.push_back(std::move(row));
    }
    const std::optional<int> chosen = m_ports.windows.chooseBranch(*this, rows);
    if (!chosen)
        return false;
    FollowAlternative(*chosen >= 0 && *chosen < x->count() ? *chosen : 0);
    return true;
}

// ---- deleting ----------------------------------------------------------------------------

void CGame::DeleteFromHere(std::string_view windowTitle)
{
    const std::string question = std::string(windowTitle) +
                                 "\n\nAre you sure to delete the current move and\nall its following moves "
                                 "and branches ?";
    if (!m_ports.desktop.askYesNo(question, true))
        return;
    BranchPoint* n = m_current;
    const int k = m_index;
    const int alternative = n->followed;
    TakeBack(TakeBackKind::User, true);
    if (n == m_root.get()) {
        m_root->alternatives[0].continuation.reset();
    } else if (k > 0) {
        MoveLine& l = n->alternatives[static_cast<std::size_t>(alternative)];
        l.entries.erase(l.entries.begin() + k, l.entries.end());
        l.continuation.reset();
    } else if (n->count() == 1) {
        line().continuation.reset(); // the line the cursor stands on owns n
    } else {
        n->alternatives.erase(n->alternatives.begin() + alternative);
        n->followed = 0;
    }
    modified = true;
    RecomputePathLength(false);
    updateMoveScroll();
    m_observer->redraw(*this);
}

bool CGame::isBrowsingMainLine() const
{
    for (const BranchPoint* point = m_current; point; point = point->parent)
        if (point->followed != 0)
            return false;
    return true;
}

bool CGame::PromoteCurrentLine()
{
    if (mode != kModeNormal || participation <= kPlaying || !PromoteToMainLine(*m_current))
        return false;
    modified = true;
    m_observer->redraw(*this);
    return true;
}

// ---- notes -------------------------------------------------------------------------------

std::size_t CGame::SetNote(std::string_view text, bool append)
{
    return joinNote(text, append ? NoteJoin::NewLine : NoteJoin::Replace);
}

std::size_t CGame::ContinueNote(std::string_view text)
{
    return joinNote(text, NoteJoin::SameLine);
}

std::size_t CGame::joinNote(std::string_view text, NoteJoin join)
{
    MoveLine& l = line();
    if (l.entries.empty())
        return 0;
    MoveEntry& entry = l.entries[static_cast<std::size_t>(std::clamp(m_index, 0, l.count() - 1))];
    modified = true;
    l.hasNotes = 1;
    if (!entry.note) {
        entry.note = std::make_unique<std::string>();
        join = NoteJoin::Replace;
    }
    return StoreNote(*entry.note, text, join);
}

std::size_t CGame::AddNoteOnce(std::string_view text)
{
    if (!m_ports.settings.mergeAppendNotes)
        return 0;
    const std::string note = NormalNoteText(text);
    const MoveEntry& entry = currentEntry();
    if (entry.note && NoteHolds(*entry.note, note))
        return 0;
    return SetNote(note, true);
}

// ---- mirroring ---------------------------------------------------------------------------

bool CGame::OpensFromLeft(Square from)
{
    return from < kOffBoard && from != 56 && (from == 60 || ColumnOf(from) <= 3);
}

void CGame::MirrorOpenings()
{
    if (customPosition)
        return;
    BranchPoint* first = m_root->alternatives[0].continuation.get();
    if (!first)
        return;
    for (MoveLine& alternative : first->alternatives) {
        if (alternative.entries.empty() || !OpensFromLeft(alternative.entries[0].move.from))
            continue;
        for (MoveEntry& entry : alternative.entries)
            entry.move = MirrorMove(entry.move);
        if (alternative.continuation)
            ForEachLine(*alternative.continuation, [](MoveLine& l) {
                for (MoveEntry& entry : l.entries)
                    entry.move = MirrorMove(entry.move);
            });
        modified = true;
    }
    // A mirrored opening may now begin like another one: they become one branch. The
    // cursor goes to the start first, as the joining may remove what lies below it.
    Rewind();
    JoinEqualAlternatives(*first);
    RecomputePathLength(false);
}

void CGame::OpenBranch()
{
    MoveLine& l = line();
    if (l.continuation)
        return;
    l.continuation = MakeBranchPoint(m_current, PackedMove{kPlaceholder, kOffBoard, 0, 0});
    ++m_openPlaceholders;
    pathChanged(m_browsedPly);
}

void CGame::RemoveEmptyBranches()
{
    // A placeholder can only stand first in alternative 0 of a branch point made by a
    // branch-begin line whose branch then received no move.
    if (m_openPlaceholders <= 0)
        return;
    std::vector<BranchPoint*> pending{m_root.get()};
    while (!pending.empty()) {
        BranchPoint* point = pending.back();
        pending.pop_back();
        for (MoveLine& l : point->alternatives) {
            BranchPoint* x = l.continuation.get();
            if (!x)
                continue;
            if (!x->alternatives.empty() && x->alternatives[0].count() == 1 &&
                x->alternatives[0].entries[0].isPlaceholder() && !x->alternatives[0].continuation) {
                if (isOnCurrentPath(x))
                    continue; // never pull the cursor's ground away
                --m_openPlaceholders;
                if (x->count() == 1) {
                    l.continuation.reset();
                    continue;
                }
                x->alternatives.erase(x->alternatives.begin());
                x->followed = std::max(0, x->followed - 1);
            }
            pending.push_back(x);
        }
    }
    RecomputePathLength(false);
}

} // namespace marovin::model
