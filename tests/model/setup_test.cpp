#include <algorithm>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "diagram.h"
#include "model/setup.h"

namespace marovin::model {
namespace {

using testing::Diagram;

} // namespace

void PrintTo(const SetupCheck& check, std::ostream* out)
{
    *out << "{" << SetupMessage(check.error) << " at " << check.square << "}";
}

namespace {

// The editor's palette places one fixed number per type; finishing renumbers them.
Board AsPlaced(const Board& numbered)
{
    Board board = numbered;
    for (Piece& p : board)
        if (p != 0)
            p = static_cast<Piece>(FirstPieceOfType(TypeOf(p)));
    return board;
}

struct Finished {
    Board board;
    std::array<Square, 33> list;
    std::uint8_t bottom;
    SetupCheck check;
};

Finished Finish(const Board& placed, std::uint8_t bottom = kRed)
{
    Finished f{placed, {}, bottom, {}};
    f.check = FinishSetup(f.board, f.list, f.bottom);
    return f;
}

TEST(Setup, OpeningArrangementGetsTheStandardNumbers)
{
    const Finished f = Finish(AsPlaced(kStandardOpening));
    ASSERT_TRUE(f.check.ok());
    EXPECT_EQ(f.board, kStandardOpening);
    EXPECT_EQ(f.bottom, kRed);
    for (int p = 1; p <= 32; ++p)
        EXPECT_EQ(f.board[f.list[p]], p) << p;
}

TEST(Setup, ErrorsNameTheOffendingSquare)
{
    struct Case {
        const char* what;
        std::array<std::string_view, 10> rows;
        SetupCheck expected;
    };
    const Case cases[] = {
        {"a sixth Red soldier, found last in square order",
         {"....k....", ".........", ".........", "P.P......", ".........", ".........", "P...P...P",
          "......P..", ".........", "....K...."},
         {SetupError::TooManyPieces, SquareOf(7, 6)}},
        {"no Red general",
         {"....k....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", "R........"},
         {SetupError::KingNotFound, -1}},
        {"both generals in one half, marked at Black's",
         {".........", "....k....", "....K....", ".........", ".........", ".........", ".........",
          ".........", ".........", "........."},
         {SetupError::PiecePositionError, 13}},
        {"Black soldier on its own side off the even columns",
         {"....k....", ".........", ".........", ".p.......", ".........", ".........", ".........",
          ".........", ".........", "....K...."},
         {SetupError::PiecePositionError, 28}},
        {"advisor on a palace edge square",
         {"....a....", "...k.....", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", "....K...."},
         {SetupError::PiecePositionError, 4}},
        {"the first bad piece in number order is reported",
         {"....k....", ".........", ".........", ".........", ".........", ".........", ".........",
          "P........", ".........", "B...K...."},
         {SetupError::PiecePositionError, SquareOf(9, 0)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Finish(AsPlaced(Diagram(c.rows))).check, c.expected) << c.what;

    Board twoGenerals = AsPlaced(Diagram({"....k....", ".........", ".........", ".........", ".........",
                                          ".........", ".........", ".........", ".........", "....K...."}));
    twoGenerals[3] = 1;
    EXPECT_EQ(Finish(twoGenerals).check, (SetupCheck{SetupError::TooManyPieces, 4}))
        << "second Black general";
    EXPECT_EQ(SetupMessage(SetupError::TooManyPieces), "Too many pieces");
    EXPECT_EQ(SetupMessage(SetupError::KingNotFound), "King not found");
    EXPECT_EQ(SetupMessage(SetupError::PiecePositionError), "Piece position error");
}

TEST(Setup, AcceptsEveryLegalPlaceOfTheConstrainedKinds)
{
    // Soldiers: on their own side only rows next to the river on even columns, anywhere across.
    for (int s = 0; s < kSquareCount; ++s) {
        if (s == 4 || s == 85)
            continue;
        Board board{};
        board[4] = 1;
        board[85] = 17;
        board[s] = 12; // a Black soldier
        const int row = RowOf(static_cast<Square>(s));
        const bool allowed = row >= 5 || (row >= 3 && ColumnOf(static_cast<Square>(s)) % 2 == 0);
        EXPECT_EQ(Finish(board).check.ok(), allowed) << "Black soldier on " << s;
    }
    // Advisors: the palace corners and centre of their own half; elephants: their seven points.
    const int advisorSquares[] = {3, 5, 13, 21, 23, 66, 68, 76, 84, 86};
    const int elephantSquares[] = {2, 6, 18, 22, 26, 38, 42, 47, 51, 63, 67, 71, 83, 87};
    for (int kind = 0; kind < 2; ++kind) {
        const auto& allowedSquares =
            kind == 0 ? std::vector<int>(std::begin(advisorSquares), std::end(advisorSquares))
                      : std::vector<int>(std::begin(elephantSquares), std::end(elephantSquares));
        for (int s = 0; s < kSquareCount; ++s) {
            if (s == 4 || s == 85)
                continue;
            for (Piece piece : {Piece(kind == 0 ? 2 : 4), Piece(kind == 0 ? 18 : 20)}) {
                Board board{};
                board[4] = 1;
                board[85] = 17;
                board[s] = piece;
                const bool ownHalf = (s < 45) == (piece < 17);
                const bool onPoint =
                    std::find(allowedSquares.begin(), allowedSquares.end(), s) != allowedSquares.end();
                EXPECT_EQ(Finish(board).check.ok(), ownHalf && onPoint)
                    << "piece " << int(piece) << " on " << s;
            }
        }
    }
}

TEST(Setup, BoardSetUpUpsideDownIsTurned)
{
    const Board placed = AsPlaced(Diagram({"...AK....", ".........", ".........", "....P....", ".........",
                                           ".........", "..p......", ".........", ".........", "....k...r"}));
    const Finished f = Finish(placed, kRed);
    ASSERT_TRUE(f.check.ok());
    EXPECT_EQ(f.bottom, kBlack);
    EXPECT_EQ(KindOf(f.board[89 - 3]), PieceKind::Advisor);
    EXPECT_EQ(f.board[89 - 4], 17);
    EXPECT_EQ(f.board[89 - 85], 1);
    EXPECT_EQ(KindOf(f.board[0]), PieceKind::Chariot);
    EXPECT_EQ(f.list[17], 85);
    EXPECT_EQ(f.list[1], 4);
    for (int p = 1; p <= 32; ++p)
        if (f.list[p] < kSquareCount) {
            EXPECT_EQ(f.board[f.list[p]], p) << p;
        }
    // The screen keeps its picture: the Red general is drawn where it was placed.
    EXPECT_EQ(ScreenSquare(f.list[17], f.bottom), 4);
}

} // namespace
} // namespace marovin::model
