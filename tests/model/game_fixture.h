#pragma once
// A game with recording fakes for every port it reaches, and small helpers to play and
// inspect moves by their coordinate text.

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/game.h"
#include "testkit/fakes.h"
#include "testkit/send_form.h"

namespace marovin::model::testing {

// Answers the branch chooser from a script and records every list it was shown.
class FakeGameWindows : public GameWindowPort {
public:
    std::optional<int> chooseBranch(CGame&, const std::vector<BranchRow>& rows) override
    {
        shownRows.push_back(rows);
        if (answers.empty())
            return std::nullopt;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    CGame* openGameWindow() override;

    std::deque<std::optional<int>> answers;
    std::vector<std::vector<BranchRow>> shownRows;
    std::vector<std::unique_ptr<CGame>> opened; // games of windows opened on request
    bool refuseWindows = false;
    struct GameEnvironment* environment = nullptr;
};

struct GameEnvironment {
    GameEnvironment() { windows.environment = this; }
    GamePorts ports() { return GamePorts{terminal, desktop, clock, windows, settings}; }
    std::unique_ptr<CGame> newGame() { return std::make_unique<CGame>(ports()); }

    testkit::FakeTerminal terminal;
    testkit::FakeDesktop desktop;
    testkit::FakeClock clock;
    FakeGameWindows windows;
    GameSettings settings;
};

inline CGame* FakeGameWindows::openGameWindow()
{
    if (refuseWindows)
        return nullptr;
    opened.push_back(environment->newGame());
    return opened.back().get();
}

// Plays a move given as coordinate text ("H2-E2").
inline void play(CGame& game, const char* text, MoveKind kind = MoveKind::User)
{
    const auto squares = ParseCoordinateMove(text);
    game.PlayMove(squares->from, squares->to, kind);
}

inline std::string moveText(const MoveEntry& entry)
{
    return entry.isMove() ? FormatCoordinateMove(entry.move.from, entry.move.to) : std::string("*");
}

// The moves of a line as "A0-A1 B0-C2".
inline std::string lineText(const MoveLine& line)
{
    std::string text;
    for (const MoveEntry& entry : line.entries)
        text += (text.empty() ? "" : " ") + moveText(entry);
    return text;
}

// The moves from the start to the cursor, as played on the browsed path.
inline std::string pathText(const CGame& game)
{
    std::vector<std::string> moves;
    const BranchPoint* point = &game.currentBranchPoint();
    int last = game.indexInLine();
    while (point) {
        const MoveLine& line = point->followedLine();
        for (int i = last; i >= 0; --i)
            if (line.entries[static_cast<std::size_t>(i)].isMove())
                moves.push_back(moveText(line.entries[static_cast<std::size_t>(i)]));
        point = point->parent;
        if (point)
            last = point->followedLine().count() - 1;
    }
    std::string text;
    for (auto it = moves.rbegin(); it != moves.rend(); ++it)
        text += (text.empty() ? "" : " ") + *it;
    return text;
}

// The path length the game keeps up to date, against a count from the root.
inline int countedPathLength(CGame& game)
{
    const int kept = game.pathLength();
    game.RecomputePathLength(false);
    EXPECT_EQ(kept, game.pathLength()) << "path length kept up to date";
    return game.pathLength();
}

// The board reached by replaying the browsed path from the start position.
inline Board replayedBoard(const CGame& game)
{
    Board board = kStandardOpening;
    if (game.customPosition) {
        board.fill(0);
        for (int p = 1; p <= 32; ++p)
            if (game.pieceList[static_cast<std::size_t>(p)] < kOffBoard)
                board[game.pieceList[static_cast<std::size_t>(p)]] = static_cast<Piece>(p);
    }
    std::vector<PackedMove> moves;
    const BranchPoint* point = &game.currentBranchPoint();
    int last = game.indexInLine();
    while (point) {
        const MoveLine& line = point->followedLine();
        for (int i = last; i >= 0; --i)
            if (line.entries[static_cast<std::size_t>(i)].isMove())
                moves.push_back(line.entries[static_cast<std::size_t>(i)].move);
        point = point->parent;
        if (point)
            last = point->followedLine().count() - 1;
    }
    for (auto it = moves.rbegin(); it != moves.rend(); ++it)
        ApplyMove(board, it->from, it->to);
    return board;
}

// The send form's lines as the receiver's reader gets them, each a line of the form.
inline std::vector<std::string> sendLines(const std::string& text)
{
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find("\r\n", start), text.size());
        EXPECT_TRUE(text[start] == 'H' || text[start] == 'M') << text.substr(start, end - start);
        start = end + 2;
    }
    return testkit::sendFormGameLines(text);
}

} // namespace marovin::model::testing
