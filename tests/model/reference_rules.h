#pragma once
// A deliberately plain second implementation of the moves of Chinese chess, written from
// the rules by rows and columns (no square arithmetic, no piece list, no tables), used to
// check the real generator on many positions. Slow and obvious on purpose.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "model/position.h"

namespace marovin::model::testing {

class ReferenceRules {
public:
    using Move = std::pair<int, int>; // from, to

    static std::vector<Move> legalMoves(const Board& board, bool red)
    {
        std::vector<Move> legal;
        for (const Move& m : pseudoMoves(board, red)) {
            Board after = board;
            after[m.second] = after[m.first];
            after[m.first] = 0;
            if (!attacked(after, red))
                legal.push_back(m);
        }
        std::sort(legal.begin(), legal.end());
        return legal;
    }

    // The side's general is missing, capturable, or faces the other general.
    static bool attacked(const Board& board, bool red)
    {
        const int own = find(board, red ? 17 : 1);
        const int other = find(board, red ? 1 : 17);
        if (own < 0)
            return true;
        if (other >= 0 && own % 9 == other % 9) {
            const int lo = std::min(own, other), hi = std::max(own, other);
            bool open = true;
            for (int s = lo + 9; s < hi; s += 9)
                open = open && board[s] == 0;
            if (open)
                return true;
        }
        for (const Move& m : pseudoMoves(board, !red))
            if (m.second == own)
                return true;
        return false;
    }

    static std::vector<Move> pseudoMoves(const Board& board, bool red)
    {
        std::vector<Move> moves;
        for (int s = 0; s < kSquareCount; ++s) {
            const int p = board[s];
            if (p == 0 || SideOf(p) != (red ? kRed : kBlack))
                continue;
            const int r = s / 9, c = s % 9;
            auto add = [&](int nr, int nc) {
                if (nr < 0 || nr > 9 || nc < 0 || nc > 8)
                    return;
                const int t = board[nr * 9 + nc];
                if (t != 0 && SideOf(t) == SideOf(p))
                    return;
                moves.emplace_back(s, nr * 9 + nc);
            };
            auto empty = [&](int nr, int nc) { return board[nr * 9 + nc] == 0; };
            auto inPalace = [&](int nr, int nc) {
                return nc >= 3 && nc <= 5 && (red ? nr >= 7 && nr <= 9 : nr >= 0 && nr <= 2);
            };
            const int dirs[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
            switch (KindOf(p)) {
            case PieceKind::General:
                for (auto& d : dirs)
                    if (inPalace(r + d[0], c + d[1]))
                        add(r + d[0], c + d[1]);
                break;
            case PieceKind::Advisor:
                for (int dr : {-1, 1})
                    for (int dc : {-1, 1})
                        if (inPalace(r + dr, c + dc))
                            add(r + dr, c + dc);
                break;
            case PieceKind::Elephant:
                for (int dr : {-2, 2})
                    for (int dc : {-2, 2}) {
                        const int nr = r + dr, nc = c + dc;
                        const bool ownHalf = red ? nr >= 5 : nr <= 4;
                        if (nr >= 0 && nr <= 9 && nc >= 0 && nc <= 8 && ownHalf &&
                            empty(r + dr / 2, c + dc / 2))
                            add(nr, nc);
                    }
                break;
            case PieceKind::Horse:
                for (int dr : {-2, -1, 1, 2})
                    for (int dc : {-2, -1, 1, 2}) {
                        if (std::abs(dr) == std::abs(dc))
                            continue;
                        const int nr = r + dr, nc = c + dc;
                        if (nr < 0 || nr > 9 || nc < 0 || nc > 8)
                            continue;
                        const int lr = std::abs(dr) == 2 ? r + dr / 2 : r;
                        const int lc = std::abs(dc) == 2 ? c + dc / 2 : c;
                        if (empty(lr, lc))
                            add(nr, nc);
                    }
                break;
            case PieceKind::Chariot:
            case PieceKind::Cannon:
                for (auto& d : dirs) {
                    bool screened = false;
                    for (int nr = r + d[0], nc = c + d[1]; nr >= 0 && nr <= 9 && nc >= 0 && nc <= 8;
                         nr += d[0], nc += d[1]) {
                        const bool occupied = !empty(nr, nc);
                        if (KindOf(p) == PieceKind::Chariot) {
                            add(nr, nc);
                            if (occupied)
                                break;
                        } else if (!screened) {
                            if (occupied)
                                screened = true;
                            else
                                add(nr, nc);
                        } else if (occupied) {
                            add(nr, nc);
                            break;
                        }
                    }
                }
                break;
            case PieceKind::Soldier: {
                add(r + (red ? -1 : 1), c);
                const bool crossed = red ? r <= 4 : r >= 5;
                if (crossed) {
                    add(r, c - 1);
                    add(r, c + 1);
                }
                break;
            }
            default:
                break;
            }
        }
        return moves;
    }

private:
    static int find(const Board& board, int piece)
    {
        for (int s = 0; s < kSquareCount; ++s)
            if (board[s] == piece)
                return s;
        return -1;
    }
};

} // namespace marovin::model::testing
