#include <gtest/gtest.h>

#include "model/position.h"

namespace marovin::model {
namespace {

TEST(CoordinateMove, NamesCornerSquares)
{
    EXPECT_EQ(ParseCoordinateMove("A9-A8"), (SquarePair{0, 9}));
    EXPECT_EQ(ParseCoordinateMove("I0-I1"), (SquarePair{89, 80}));
    EXPECT_EQ(ParseCoordinateMove("H2-E2"), (SquarePair{70, 67}));
}

TEST(CoordinateMove, RejectsMalformedText)
{
    for (const char* text : {"h2-e2", "H2E2", "H2+E2", "J2-E2", "H2-E", "", "H:-E2", "H2-E/", "H2-e2"})
        EXPECT_FALSE(ParseCoordinateMove(text)) << text;
}

TEST(CoordinateMove, FormatIsTheInverseOfParse)
{
    for (int from = 0; from < kSquareCount; ++from)
        for (int to = 0; to < kSquareCount; to += 7) {
            const auto text = FormatCoordinateMove(static_cast<Square>(from), static_cast<Square>(to));
            ASSERT_EQ(text.size(), 5u);
            EXPECT_EQ(ParseCoordinateMove(text), (SquarePair{static_cast<Square>(from), static_cast<Square>(to)}))
                << text;
        }
}

TEST(Mirror, ReflectsColumnsOnly)
{
    EXPECT_EQ(MirrorSquare(0), 8);
    EXPECT_EQ(MirrorSquare(4), 4);
    EXPECT_EQ(MirrorSquare(70), 64);
    for (int s = 0; s < kSquareCount; ++s)
        EXPECT_EQ(MirrorSquare(MirrorSquare(static_cast<Square>(s))), s);
}

TEST(SideToMove, FollowsFirstMoverAndPly)
{
    EXPECT_TRUE(IsRedToMove(0, 0));
    EXPECT_FALSE(IsRedToMove(0, 1));
    EXPECT_FALSE(IsRedToMove(1, 0));
    EXPECT_TRUE(IsRedToMove(1, 1));
}

TEST(PieceTables, OpeningPositionHasEveryPieceOnceOnItsSide)
{
    int seen[33] = {};
    for (int s = 0; s < kSquareCount; ++s) {
        const int p = kStandardOpening[s];
        ++seen[p];
        if (p != 0) {
            EXPECT_EQ(SideOf(p), RowOf(static_cast<Square>(s)) <= 4 ? kBlack : kRed) << s;
        }
    }
    for (int p = 1; p <= 32; ++p)
        EXPECT_EQ(seen[p], 1) << p;
    EXPECT_EQ(KindOf(17), PieceKind::General);
    EXPECT_EQ(TypeOf(27), 12);
    EXPECT_EQ(SideOf(0), kNoSide);
}

TEST(ApplyMove, RecordsCaptureAndTakesBack)
{
    Board board = kStandardOpening;
    const PackedMove move = ApplyMove(board, 70, 7); // Red cannon takes the Black horse
    EXPECT_EQ(move, (PackedMove{27, 70, 9, 7}));
    EXPECT_EQ(board[70], 0);
    EXPECT_EQ(board[7], 27);
    TakeBackMove(board, move);
    EXPECT_EQ(board, kStandardOpening);
}

TEST(NotationTag, FrontRearAndMiddleFollowTheSide)
{
    Board board{};
    board[SquareOf(3, 4)] = 22; // Red chariots on one file, rows 3 and 6
    board[SquareOf(6, 4)] = 23;
    EXPECT_EQ(ComputeNotationTag(board, SquareOf(3, 4)), kTagFront);
    EXPECT_EQ(ComputeNotationTag(board, SquareOf(6, 4)), kTagRear);

    Board black{};
    black[SquareOf(3, 4)] = 6; // the same for Black: the one on row 6 is the front one
    black[SquareOf(6, 4)] = 7;
    EXPECT_EQ(ComputeNotationTag(black, SquareOf(6, 4)), kTagFront);
    EXPECT_EQ(ComputeNotationTag(black, SquareOf(3, 4)), kTagRear);

    Board soldiers{};
    soldiers[SquareOf(2, 0)] = 28;
    soldiers[SquareOf(3, 0)] = 29;
    soldiers[SquareOf(4, 0)] = 30;
    EXPECT_EQ(ComputeNotationTag(soldiers, SquareOf(3, 0)), kTagMiddle);

    // Only pieces of the mover's own type count: not the other side's chariot, not a
    // cannon or soldier of the mover's side (whose numbers lie next to the chariots'),
    // and not a stray byte on the board.
    Board mixed{};
    mixed[SquareOf(1, 7)] = 22;  // Red chariot
    mixed[SquareOf(2, 7)] = 6;   // Black chariot
    mixed[SquareOf(3, 7)] = 21;  // Red elephant
    mixed[SquareOf(4, 7)] = 24;  // Red horse
    mixed[SquareOf(5, 7)] = 200; // stray value
    EXPECT_EQ(ComputeNotationTag(mixed, SquareOf(1, 7)), kTagNone);
    mixed[SquareOf(9, 7)] = 23; // the other Red chariot
    EXPECT_EQ(ComputeNotationTag(mixed, SquareOf(1, 7)), kTagFront);
    EXPECT_EQ(ComputeNotationTag(mixed, SquareOf(9, 7)), kTagRear);

    EXPECT_EQ(ComputeNotationTag(kStandardOpening, 82), kTagNone); // a horse alone on its file
    EXPECT_EQ(ComputeNotationTag(kStandardOpening, 85), kTagNone); // the general
}

TEST(PieceNames, RedChariotDiffersOnlyInTheNotationCopy)
{
    for (int t = 0; t < kPieceTypeCount; ++t) {
        if (t == 10) {
            EXPECT_STRNE(kPieceNames[t], kNotationPieceNames[t]);
        } else {
            EXPECT_STREQ(kPieceNames[t], kNotationPieceNames[t]);
        }
    }
}

} // namespace
} // namespace marovin::model
