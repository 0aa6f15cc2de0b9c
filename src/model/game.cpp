#include "model/game.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "model/numeric_notation.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

GameObserver& noObserver()
{
    static GameObserver none; // stateless: every method does nothing
    return none;
}

} // namespace

// ---- free helpers ----------------------------------------------------------------

std::optional<SquarePair> ParseCoordinateMove(std::string_view text, TerminalPort& terminal,
                                              DesktopPort& desktop)
{
    auto squares = ParseCoordinateMove(text);
    if (!squares) {
        terminal.writeClientText("This move may be wrong: " + std::string(text), false);
        desktop.beep();
    }
    return squares;
}

Piece MirrorPiece(Piece piece)
{
    if (piece == 0 || piece > 32)
        return piece;
    // Within a side: general 0, advisors 1-2, elephants 3-4, chariots 5-6, horses 7-8,
    // cannons 9-10, soldiers 11-15. Pairs swap; the soldiers mirror around the middle one.
    const int base = piece <= 16 ? 1 : 17;
    const int i = piece - base;
    int mirrored = i;
    if (i >= 1 && i <= 10)
        mirrored = (i % 2 == 1) ? i + 1 : i - 1;
    else if (i >= 11)
        mirrored = 26 - i;
    return static_cast<Piece>(base + mirrored);
}

PackedMove MirrorMove(const PackedMove& move)
{
    if (move.from >= kOffBoard || move.to >= kOffBoard)
        return move;
    return PackedMove{MirrorPiece(move.piece), MirrorSquare(move.from), MirrorPiece(move.captured),
                      MirrorSquare(move.to)};
}

// ---- construction ------------------------------------------------------------------

CGame::CGame(const GamePorts& ports) : m_ports(ports), m_observer(&noObserver())
{
    pieceList.fill(kOffBoard);
    const std::string& login = m_ports.settings.loginName;
    copyBounded(redName, login);
    copyBounded(blackName, login);
    copyBounded(result, "Unknown");
    ClearMoves();
    ResetPosition();
}

void CGame::setObserver(GameObserver* observer)
{
    m_observer = observer ? observer : &noObserver();
}

void CGame::ClearMoves()
{
    m_root = MakeBranchPoint(nullptr, PackedMove{kStartMarker, 0, 0, 0});
    m_current = m_root.get();
    m_index = 0;
    m_browsedPly = 0;
    m_pathLength = 0;
    m_gamePly = 0;
    m_openPlaceholders = 0;
    serverMoveCounter = 0;
}

// ---- positions ---------------------------------------------------------------------

Board CGame::startBoard() const
{
    if (!customPosition)
        return kStandardOpening;
    Board board{};
    for (int p = 1; p <= 32; ++p)
        if (pieceList[static_cast<std::size_t>(p)] < kOffBoard)
            board[pieceList[static_cast<std::size_t>(p)]] = static_cast<Piece>(p);
    return board;
}

void CGame::ResetPosition()
{
    browsedBoard = startBoard();
    gameBoard = browsedBoard;
    bottomSide = userSide;
    lastUpdateTime = m_ports.clock.nowSeconds();
    ComposeName(false);
    m_observer->positionReset(*this);
    if (mode == kModeNormal || mode >= kModeGameOver)
        m_observer->redraw(*this);
}

void CGame::SetOddsPosition(std::string_view text, bool redraw)
{
    const auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos)
        return;
    const auto end = text.find_first_of(" \t\r\n", begin);
    const std::string_view word = text.substr(begin, end == std::string_view::npos ? end : end - begin);
    const bool oneKnight = word == "KNIGHT";
    if (!oneKnight && word != "TWO-KNIGHTS")
        return;
    browsedBoard = kStandardOpening;
    browsedBoard[82] = 0;
    if (!oneKnight)
        browsedBoard[88] = 0;
    gameBoard = browsedBoard;
    customPosition = 1;
    startCounts = {};
    pieceList.fill(kOffBoard);
    for (int s = 0; s < kSquareCount; ++s)
        if (browsedBoard[static_cast<std::size_t>(s)] != 0)
            pieceList[browsedBoard[static_cast<std::size_t>(s)]] = static_cast<Square>(s);
    if (redraw)
        m_observer->redraw(*this);
}

bool CGame::SetStartPosition(const Board& board, int mover)
{
    std::array<Square, 33> list{};
    list.fill(kOffBoard);
    for (int s = 0; s < kSquareCount; ++s) {
        const Piece p = board[static_cast<std::size_t>(s)];
        if (p == 0)
            continue;
        if (p > 32 || list[p] != kOffBoard)
            return false;
        list[p] = static_cast<Square>(s);
    }
    ClearMoves();
    pieceList = list;
    startCounts = {};
    firstMover = mover ? 1 : 0;
    customPosition = (firstMover != 0 || board != kStandardOpening) ? 1 : 0;
    modified = true;
    ResetPosition();
    updateMoveScroll();
    return true;
}

// ---- names ---------------------------------------------------------------------------

void CGame::ComposeName(bool force)
{
    if (fieldEmpty(date)) {
        const std::time_t now = static_cast<std::time_t>(m_ports.clock.nowSeconds());
        std::tm local{};
        localtime_r(&now, &local);
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday);
        copyBounded(date, text);
    }
    if (!force && !fieldEmpty(subject))
        return;
    const int number = std::abs(gameNumber);
    std::string name;
    if (!fieldEmpty(redName) || !fieldEmpty(blackName)) {
        name.append(fieldText(redName)).append(".").append(fieldText(blackName));
        name.append(".").append(std::to_string(number)).append(".").append(fieldText(date));
    } else {
        name.append("NewGame.").append(std::to_string(number)).append(".").append(fieldText(date));
    }
    copyBounded(subject, name);
    m_observer->nameChanged(*this);
}

// ---- path bookkeeping ------------------------------------------------------------------

void CGame::RecomputePathLength(bool resetFollowed)
{
    int length = 0;
    BranchPoint* point = m_root->alternatives[0].continuation.get();
    while (point && !point->alternatives.empty()) {
        if (resetFollowed)
            point->followed = 0;
        point->followed = std::clamp(point->followed, 0, point->count() - 1);
        const MoveLine& l = point->followedLine();
        length += l.count();
        point = l.continuation.get();
    }
    m_pathLength = length;
}

void CGame::pathChanged(int plyAtCursor)
{
    // A file being read is rewound at its end, which counts the path once.
    if (mode == kModeReading)
        return;
    // The moves before the current line (at the root the start marker makes this -1),
    // then every line from the current one down the followed path: the cost grows with
    // what lies ahead of the cursor, not with the whole path.
    int length = plyAtCursor - m_index - 1;
    for (BranchPoint* point = m_current; point && !point->alternatives.empty();) {
        point->followed = std::clamp(point->followed, 0, point->count() - 1);
        const MoveLine& l = point->followedLine();
        length += l.count();
        point = l.continuation.get();
    }
    m_pathLength = length;
}

void CGame::updateMoveScroll()
{
    if (mode == kModeReading)
        return;
    m_observer->moveScroll(*this, m_pathLength > 0 ? m_pathLength : kEmptyScrollRange, m_browsedPly);
}

void CGame::showCurrentNote()
{
    m_observer->showNote(*this);
}

bool CGame::isOnCurrentPath(const BranchPoint* point) const
{
    for (const BranchPoint* p = m_current; p; p = p->parent)
        if (p == point)
            return true;
    return false;
}

CGame::LiveEnd CGame::findLiveEnd() const
{
    BranchPoint* point = m_root.get();
    int position = 1; // the start marker is not a move of the game
    int remaining = m_gamePly;
    while (remaining > 0) {
        MoveLine& l = point->alternatives[0];
        if (position < l.count()) {
            ++position;
            --remaining;
        } else if (l.continuation && !l.continuation->alternatives.empty()) {
            point = l.continuation.get();
            position = 0;
        } else {
            break; // the record is shorter than the live game (moves were deleted)
        }
    }
    return {point, position};
}

bool CGame::isBrowsingLive() const
{
    const LiveEnd live = findLiveEnd();
    return m_current == live.point && m_current->followed == 0 && m_index == live.position - 1;
}

// ---- adding moves --------------------------------------------------------------------

bool CGame::AddMoveAt(BranchPoint& n, int k, PackedMove m, const Board& tagBoard, bool isGameMove)
{
    if (n.alternatives.empty())
        return false;
    MoveLine& l = isGameMove ? n.alternatives[0] : m_current->followedLine();
    const bool isCurrentLine = &l == &m_current->followedLine();
    bool follows = isCurrentLine && k == m_index + 1;
    k = std::clamp(k, 0, l.count());
    if (k < l.count() && SameMove(l.entries[static_cast<std::size_t>(k)].move, m)) {
        if (follows)
            ++m_index;
        return follows;
    }
    const MoveEntry entry{m, m.from < kOffBoard ? ComputeNotationTag(tagBoard, m.from) : kTagNone, nullptr};

    if (k == l.count()) {
        if (BranchPoint* x = l.continuation.get()) {
            int f = 0;
            while (f < x->count() && !(x->alternatives[static_cast<std::size_t>(f)].count() > 0 &&
                                       SameMove(x->alternatives[static_cast<std::size_t>(f)].entries[0].move, m)))
                ++f;
            if (f == x->count()) {
                modified = true;
                MoveLine& first = x->alternatives[0];
                if (first.count() > 0 && first.entries[0].isPlaceholder()) {
                    --m_openPlaceholders;
                    f = 0;
                    follows = true;
                    first.entries[0] = MoveEntry{m, entry.tag, nullptr};
                } else {
                    x->alternatives.emplace_back();
                    x->alternatives.back().entries.push_back(MoveEntry{m, entry.tag, nullptr});
                }
            }
            if (isGameMove && f != 0) {
                // The live game stays in alternative 0; a browsed path through this point
                // keeps following the same line record.
                std::swap(x->alternatives[0], x->alternatives[static_cast<std::size_t>(f)]);
                if (isOnCurrentPath(x)) {
                    if (x->followed == 0)
                        x->followed = f;
                    else if (x->followed == f)
                        x->followed = 0;
                }
            }
            if (follows) {
                m_current = x;
                m_index = 0;
                x->followed = isGameMove ? 0 : f;
            }
        } else if (&n == m_root.get()) {
            l.continuation = MakeBranchPoint(&n, m, entry.tag);
            modified = true;
            if (follows) {
                m_current = l.continuation.get();
                m_index = 0;
            }
        } else {
            appendEntry(l, m, entry.tag);
            if (follows)
                ++m_index;
        }
    } else {
        splitLine(n, l, k, entry, isGameMove, follows);
    }
    pathChanged(m_browsedPly + (follows ? 1 : 0));
    return follows;
}

void CGame::appendEntry(MoveLine& l, const PackedMove& m, std::uint8_t tag)
{
    // Lines are short as a rule; starting at 8 entries saves the smallest regrowths.
    constexpr std::size_t kFirstCapacity = 8;
    if (l.entries.size() < kFirstCapacity && l.entries.size() == l.entries.capacity())
        l.entries.reserve(kFirstCapacity);
    l.entries.push_back(MoveEntry{m, tag, nullptr});
    modified = true;
}

bool CGame::appendAtLineEnd(const PackedMove& m)
{
    MoveLine& l = line();
    if (m_index + 1 != l.count() || l.continuation || m_current == m_root.get())
        return false;
    appendEntry(l, m, ComputeNotationTag(browsedBoard, m.from));
    ++m_index;
    return true;
}

// Splits line l of n before entry k: a new branch point S takes the tail and the new move
// as its two alternatives (a server move in alternative 0, a user's move in alternative 1).
void CGame::splitLine(BranchPoint& n, MoveLine& l, int k, const MoveEntry& entry, bool isGameMove, bool follows)
{
    const bool lIsCurrent = &l == &m_current->followedLine();
    // Whether the browsed position lies at or past entry k of l: on l itself, or anywhere
    // below its continuation. That browsed path must go on through the tail.
    const bool browsedInTail =
        (lIsCurrent && m_index >= k) || (l.continuation && !lIsCurrent && isOnCurrentPath(l.continuation.get()));

    auto s = std::make_unique<BranchPoint>();
    s->parent = &n;
    s->alternatives.resize(2);
    MoveLine& tail = s->alternatives[isGameMove ? 1 : 0];
    MoveLine& added = s->alternatives[isGameMove ? 0 : 1];
    added.entries.push_back(MoveEntry{entry.move, entry.tag, nullptr});
    tail.entries.assign(std::make_move_iterator(l.entries.begin() + k), std::make_move_iterator(l.entries.end()));
    tail.continuation = std::move(l.continuation);
    if (tail.continuation)
        tail.continuation->parent = s.get();
    tail.hasNotes = l.hasNotes;
    l.entries.erase(l.entries.begin() + k, l.entries.end());
    l.entries.shrink_to_fit();

    BranchPoint* point = s.get();
    l.continuation = std::move(s);
    modified = true;
    if (isGameMove) {
        point->followed = browsedInTail ? 1 : 0;
        if (follows) {
            m_current = point;
            m_index = 0;
        } else if (lIsCurrent && m_index >= k) {
            m_current = point;
            m_index -= k;
        }
    } else {
        point->followed = browsedInTail && !follows ? 0 : 1;
        if (follows) {
            m_current = point;
            m_index = 0;
        } else if (lIsCurrent && m_index >= k) {
            m_current = point;
            m_index -= k;
        }
    }
}

// ---- playing and taking back ------------------------------------------------------------

void CGame::PlayMove(Square from, Square to, MoveKind kind)
{
    if (kind == MoveKind::Replay) {
        replayTail(currentEntry().move);
        return;
    }
    if (from >= kOffBoard || to >= kOffBoard)
        return;
    if (kind == MoveKind::Game) {
        modified = true;
        const PackedMove m{gameBoard[from], from, gameBoard[to], to};
        const LiveEnd live = findLiveEnd();
        const bool follows = AddMoveAt(*live.point, live.position, m, gameBoard, true);
        ApplyMove(gameBoard, from, to);
        ++m_gamePly;
        ++serverMoveCounter;
        if (!follows) {
            updateMoveScroll();
            return;
        }
        replayTail(m);
        return;
    }
    const PackedMove m{browsedBoard[from], from, browsedBoard[to], to};
    // While a file is read nearly every move goes on at the end of the cursor's line, and
    // nothing but the record and the board need to know.
    if (mode == kModeReading && appendAtLineEnd(m)) {
        applyToBrowsedBoard(m);
        return;
    }
    AddMoveAt(*m_current, m_index + 1, m, browsedBoard, false);
    replayTail(m);
}

void CGame::applyToBrowsedBoard(const PackedMove& move)
{
    if (move.piece < kOffBoard && move.from < kOffBoard && move.to < kOffBoard)
        ApplyMove(browsedBoard, move.from, move.to);
    ++m_browsedPly;
}

void CGame::replayTail(const PackedMove& move)
{
    applyToBrowsedBoard(move);
    // A file being read is drawn once at its end.
    if (mode == kModeReading)
        return;
    updateMoveScroll();
    m_observer->moveMade(*this, move);
    if (mode == kModeNormal)
        showCurrentNote();
}

void CGame::stepBack()
{
    if (m_index > 0) {
        --m_index;
    } else if (m_current->parent) {
        m_current = m_current->parent;
        m_index = m_current->followedLine().count() - 1;
    }
}

void CGame::TakeBack(TakeBackKind kind, bool showNote)
{
    if (kind == TakeBackKind::Game) {
        ++serverMoveCounter;
        if (m_gamePly == 0)
            return;
        const bool wasLive = isBrowsingLive();
        const LiveEnd live = findLiveEnd();
        const MoveLine& l = live.point->alternatives[0];
        if (live.position >= 1 && live.position <= l.count()) {
            const PackedMove& m = l.entries[static_cast<std::size_t>(live.position - 1)].move;
            if (m.piece < kOffBoard && m.from < kOffBoard && m.to < kOffBoard)
                TakeBackMove(gameBoard, m);
        }
        --m_gamePly;
        if (participation <= kPlaying && !wasLive)
            return;
    }
    if (m_browsedPly == 0 || (m_current == m_root.get() && m_index == 0))
        return;
    const PackedMove move = currentEntry().move;
    stepBack();
    --m_browsedPly;
    if (move.piece < kOffBoard && move.from < kOffBoard && move.to < kOffBoard)
        TakeBackMove(browsedBoard, move);
    if (mode == kModeReading)
        return;
    updateMoveScroll();
    m_observer->moveTakenBack(*this, move);
    if (showNote)
        showCurrentNote();
}

bool CGame::LeaveLine(const Board& boardBefore)
{
    if (!m_current->parent || m_browsedPly <= m_index)
        return false;
    m_browsedPly -= m_index + 1;
    m_current = m_current->parent;
    m_index = m_current->followedLine().count() - 1;
    browsedBoard = boardBefore;
    if (mode != kModeReading) {
        updateMoveScroll();
        m_observer->redraw(*this);
    }
    return true;
}

} // namespace marovin::model
