#include <random>

#include <gtest/gtest.h>

#include "model/fen.h"
#include "model/legality.h"

namespace marovin::model {
namespace {

constexpr const char* kOpening = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

TEST(Fen, OpeningReadsAndWritesBothWays)
{
    EXPECT_EQ(OpeningFen(), kOpening);
    std::string error;
    const auto position = ReadFen(kOpening, error);
    ASSERT_TRUE(position) << error;
    EXPECT_EQ(position->board, kStandardOpening);
    EXPECT_TRUE(position->redToMove);
    EXPECT_TRUE(error.empty());

    // The other letter set, "r" for Red, the short form and surrounding blanks.
    const auto other = ReadFen("  rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR r\n", error);
    ASSERT_TRUE(other) << error;
    EXPECT_EQ(*other, *position);

    const auto black =
        ReadFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 1 1", error);
    ASSERT_TRUE(black) << error;
    EXPECT_FALSE(black->redToMove);
    EXPECT_EQ(WriteFen(black->board, false, black->counts),
              "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 1 1");
}

// The two move counts: read from six fields or from the four of the short form, 0 and 1
// when missing; a full move 0 is taken as 1.
TEST(Fen, MoveCountsAreReadWhereGiven)
{
    const std::string board = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR";
    const struct {
        const char* rest;
        MoveCounts counts;
    } cases[] = {
        {" w - - 7 23", {7, 23}}, {" b 3 9", {3, 9}},   {" w", {0, 1}},
        {" w - - 0 0", {0, 1}},  {" w - -", {0, 1}},   {" b - - 120 999999999", {120, 999999999}},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto position = ReadFen(board + c.rest, error);
        ASSERT_TRUE(position) << c.rest << ": " << error;
        EXPECT_EQ(position->counts, c.counts) << c.rest;
    }
}

TEST(Fen, PiecesAreNumberedPerTypeInSquareOrder)
{
    std::string error;
    const auto position = ReadFen("3k5/9/9/9/9/P1P6/9/R3K3R/9/4C4 w", error);
    ASSERT_TRUE(position) << error;
    EXPECT_EQ(position->board[SquareOf(0, 3)], 1);
    EXPECT_EQ(position->board[SquareOf(5, 0)], 28);
    EXPECT_EQ(position->board[SquareOf(5, 2)], 29);
    EXPECT_EQ(position->board[SquareOf(7, 0)], 22);
    EXPECT_EQ(position->board[SquareOf(7, 8)], 23);
    EXPECT_EQ(position->board[SquareOf(7, 4)], 17);
    EXPECT_EQ(position->board[SquareOf(9, 4)], 26);
}

TEST(Fen, BadTextIsRefusedWithAReason)
{
    struct Case {
        const char* text;
        const char* reason; // a part of the message
    };
    const Case cases[] = {
        {"", "found 0"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR", "found 1"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1 x", "found 7"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/RNBAKABNR w", "9 ranks"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/9/RNBAKABNR w", "11 ranks"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNX w",
         "unknown piece letter 'X' in rank 10"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/0/RNBAKABNR w", "unknown piece letter '0'"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKAB\x01R w", "'\\x01'"},
        {"rnbakabnr/8/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
         "rank 2 (counted from Black's side) '8' has 8"},
        {"rnbakabnrr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
         "rank 1 (counted from Black's side) 'rnbakabnrr' is longer"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABN9 w", "is longer than 9"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/PPPPPPPPP/1C5C1/9/RNBAKABNR w",
         "too many Red soldiers (at most 5)"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RRBAKABNR w",
         "too many Red chariots (at most 2)"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBA1ABNR w", "no Red general"},
        {"rnba1abnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBA1ABNR w", "no generals"},
        {"RNBAKABNR/9/1C5C1/P1P1P1P1P/9/9/p1p1p1p1p/1c5c1/9/rnbakabnr w", "upper half"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/B8/RN1AKABNR w", "Red elephant on A1"},
        {"4k4/9/9/9/9/9/9/9/9/4K4 w", "Black is in check but Red is to move"},
        {"4k4/9/9/9/9/9/9/9/9/3RK4 b", "Red is in check but Black is to move"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR x", "side to move is 'x'"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - a 1", "field 5 'a'"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ReadFen(c.text, error)) << c.text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << "\n  gave: " << error;
    }
}

// Positions of random games survive a write and a read: the same text, and the same moves.
TEST(Fen, RandomGamePositionsRoundTrip)
{
    std::mt19937 random(7);
    for (int game = 0; game < 20; ++game) {
        Board board = kStandardOpening;
        bool red = true;
        std::vector<PackedMove> played;
        MoveCounts counts;
        for (int ply = 0; ply < 120; ++ply) {
            const auto moves = GenerateLegalMoves(board, red);
            const std::string text = WriteFen(board, red, counts);
            std::string error;
            const auto read = ReadFen(text, error);
            ASSERT_TRUE(read) << text << ": " << error;
            ASSERT_EQ(WriteFen(read->board, read->redToMove, read->counts), text);
            ASSERT_EQ(read->counts, counts) << text;
            ASSERT_EQ(GenerateLegalMoves(read->board, red).size(), moves.size()) << text;
            if (moves.empty())
                break;
            const SquarePair m = moves[random() % moves.size()];
            played.push_back(ApplyMove(board, m.from, m.to));
            red = !red;
            // Counted by hand: the full move goes up after Black's move, a capture clears the
            // half-moves.
            counts.fullMove = ply / 2 + 1 + (ply % 2);
            counts.halfMoves = played.back().captured != 0 ? 0 : counts.halfMoves + 1;
            ASSERT_EQ(CountsAfter({}, true, played), counts);
        }
    }
}

} // namespace
} // namespace marovin::model
