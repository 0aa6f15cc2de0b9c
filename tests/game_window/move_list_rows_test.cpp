// The move list's items and rows without a screen: kept up to date step by step, they
// must always equal the ones made afresh from the record, whatever the record went through
// (moves at the end, new variations, notes, promotions, deletions, a cleared record), in
// every notation; and the list's keys walk the record as the list shows it.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game_window/move_list_keys.h"
#include "game_window/move_list_layout.h"
#include "model/legality.h"
#include "testkit/offline_game_ports.h"

namespace marovin::board {
namespace {

using model::CGame;

// Widths as a font would give them: a fixed advance per byte.
void measure(std::vector<MoveItem>& items, int from)
{
    for (std::size_t i = static_cast<std::size_t>(std::max(from, 0)); i < items.size(); ++i)
        items[i].width = 7 * static_cast<int>(items[i].label.size());
}

std::string describe(const std::vector<MoveItem>& items, const MoveListLayout& layout)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < items.size(); ++i)
        out << layout.rowOf(static_cast<int>(i)) << '@' << layout.xOf(static_cast<int>(i)) << ' ' << items[i].label
            << (items[i].hasNote ? "*" : "") << ' ' << items[i].ref.point << '/' << items[i].ref.alternative << '/'
            << items[i].ref.index << '\n';
    return out.str();
}

struct KeptList {
    MoveListItems items;
    MoveListLayout layout;

    void update(const CGame& game, model::MoveNotation notation, const MoveListMetrics& metrics)
    {
        const int first = items.sync(game, notation);
        if (first < 0)
            return;
        measure(items.items(), first);
        layout.layout(items.items(), first, metrics, game.firstMover);
    }
};

// A pseudo-random walk through a record: mostly moves, sometimes a step or two back (so
// that the next move opens a variation), a note, a promotion or a deletion.
class RecordWalk {
public:
    explicit RecordWalk(CGame& game) : m_game(game) {}

    void step()
    {
        switch (next(16)) {
        case 0:
        case 1: m_game.Navigate(model::kGoToPly, std::max(0, m_game.browsedPly() - 1 - next(3))); break;
        case 2: m_game.SetNote(next(2) ? "a note\r\nwith two lines" : "", false); break;
        case 3: m_game.PromoteCurrentLine(); break;
        case 4:
            if (next(4) == 0)
                m_game.DeleteFromHere("walk");
            break;
        default: play(); break;
        }
    }

private:
    void play()
    {
        const auto moves = model::GenerateLegalMoves(m_game.browsedBoard, m_game.isRedToMoveBrowsed());
        if (moves.empty()) {
            m_game.Navigate(model::kGoToStart);
            return;
        }
        const model::SquarePair move = moves[static_cast<std::size_t>(next(static_cast<int>(moves.size())))];
        m_game.PlayMove(move.from, move.to, model::MoveKind::User);
    }
    int next(int bound)
    {
        m_seed = m_seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((m_seed >> 33) % static_cast<std::uint64_t>(bound));
    }

    CGame& m_game;
    std::uint64_t m_seed = 0x5EED;
};

TEST(MoveListRows, KeptUpToDateTheyEqualRowsMadeAfreshAfterEveryChange)
{
    MoveListMetrics narrow;
    narrow.paneWidth = 150; // variations wrap often
    for (const model::MoveNotation notation :
         {model::MoveNotation::Chinese, model::MoveNotation::Wxf, model::MoveNotation::Iccs}) {
        testkit::OfflineGamePorts ports;
        ports.desktop.answerYesNo = true; // every deletion goes ahead
        CGame game(ports.ports());
        RecordWalk walk(game);
        KeptList kept;
        for (int step = 0; step < 600; ++step) {
            walk.step();
            kept.update(game, notation, narrow);
            KeptList fresh;
            fresh.update(game, notation, narrow);
            ASSERT_EQ(describe(kept.items.items(), kept.layout), describe(fresh.items.items(), fresh.layout))
                << model::NotationName(notation) << ", step " << step;
            ASSERT_EQ(kept.layout.rows().size(), fresh.layout.rows().size());
        }
        EXPECT_GT(kept.items.size(), 40) << "the walk made a record worth the name";
        game.ClearMoves();
        game.Rewind();
        kept.update(game, notation, narrow);
        EXPECT_EQ(kept.items.size(), 0);
        EXPECT_TRUE(kept.layout.rows().empty());
    }
}

TEST(MoveListRows, EveryMoveOfTheRecordIsListedOnceAndTheKeysReachItsEnds)
{
    testkit::OfflineGamePorts ports;
    CGame game(ports.ports());
    RecordWalk walk(game);
    for (int step = 0; step < 300; ++step)
        walk.step();
    MoveListItems items;
    items.sync(game, model::MoveNotation::Iccs);
    int moves = 0;
    model::ForEachLine(game.root(), [&moves](const model::MoveLine& line) {
        for (const model::MoveEntry& entry : line.entries)
            moves += entry.isMove() ? 1 : 0;
    });
    ASSERT_EQ(items.size(), moves);
    // Every listed move can be shown, and then it is the one the list marks.
    for (int i = 0; i < items.size(); i += 7) {
        const MoveRef ref = items.items()[static_cast<std::size_t>(i)].ref;
        goToMove(game, ref);
        items.sync(game, model::MoveNotation::Iccs);
        ASSERT_EQ(items.find(CurrentMoveRef(game)), i);
        EXPECT_EQ(game.browsedPly(), items.items()[static_cast<std::size_t>(i)].ply + 1) << "item " << i;
    }
    // Home goes to the start; Down from there and End reach the main line's last move.
    goToMove(game, *moveListKeyTarget(game, MoveListKey::Home));
    EXPECT_EQ(game.browsedPly(), 0);
    EXPECT_FALSE(moveListKeyTarget(game, MoveListKey::Up)) << "nothing before the start";
    goToMove(game, *moveListKeyTarget(game, MoveListKey::End));
    items.sync(game, model::MoveNotation::Iccs);
    const int shown = items.find(CurrentMoveRef(game));
    int lastMain = -1;
    for (int i = 0; i < items.size(); ++i)
        if (items.items()[static_cast<std::size_t>(i)].depth == 0)
            lastMain = i;
    EXPECT_EQ(shown, lastMain);
    EXPECT_FALSE(moveListKeyTarget(game, MoveListKey::Down)) << "nothing after the end";
    EXPECT_FALSE(moveListKeyTarget(game, MoveListKey::Left)) << "the main line is left of everything";
}

} // namespace
} // namespace marovin::board
