#include <algorithm>
#include <random>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "diagram.h"
#include "model/legality.h"
#include "model/perft.h"
#include "reference_rules.h"
#include "testkit/fakes.h"

namespace marovin::model {
namespace {

using testing::At;
using testing::Diagram;
using testing::ReferenceRules;
using testkit::FakeDesktop;

std::string Name(int square)
{
    return FormatCoordinateMove(static_cast<Square>(square), 0).substr(0, 2);
}

// The destinations of the legal moves leaving one square, as sorted coordinate names.
std::string TargetsFrom(const Board& board, bool redToMove, Square from)
{
    std::set<std::string> names;
    for (const SquarePair& m : GenerateLegalMoves(board, redToMove))
        if (m.from == from)
            names.insert(Name(m.to));
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

std::vector<ReferenceRules::Move> Sorted(const std::vector<SquarePair>& moves)
{
    std::vector<ReferenceRules::Move> out;
    for (const SquarePair& m : moves)
        out.emplace_back(m.from, m.to);
    std::sort(out.begin(), out.end());
    return out;
}

std::string Picture(const Board& board)
{
    std::ostringstream out;
    for (int s = 0; s < kSquareCount; ++s)
        out << int(board[s]) << (s % 9 == 8 ? "\n" : " ");
    return out.str();
}

TEST(LegalMoves, OpeningGivesBothSidesFortyFour)
{
    EXPECT_EQ(GenerateLegalMoves(kStandardOpening, true).size(), 44u);
    EXPECT_EQ(GenerateLegalMoves(kStandardOpening, false).size(), 44u);

    FakeDesktop desktop;
    EXPECT_TRUE(IsLegalMove(kStandardOpening, true, 70, 67, desktop));   // H2-E2
    EXPECT_TRUE(IsLegalMove(kStandardOpening, true, 70, 7, desktop));    // H2-H9 over the cannon
    EXPECT_FALSE(IsLegalMove(kStandardOpening, true, 70, 16, desktop));  // H2-H8: empty beyond a screen
    EXPECT_FALSE(IsLegalMove(kStandardOpening, false, 70, 67, desktop)); // not Black's piece
    EXPECT_TRUE(IsLegalMove(kStandardOpening, true, 70, kAnyTarget, desktop));
    EXPECT_FALSE(IsLegalMove(kStandardOpening, true, 0, kAnyTarget, desktop));  // a Black piece
    EXPECT_FALSE(IsLegalMove(kStandardOpening, true, 76, kAnyTarget, desktop)); // an empty square
    EXPECT_FALSE(IsLegalMove(kStandardOpening, true, 90, 67, desktop));
    EXPECT_FALSE(IsLegalMove(kStandardOpening, true, 70, 200, desktop));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST(Perft, OpeningCountsToDepthFour)
{
    const std::uint64_t expected[] = {1, 44, 1920, 79666, 3290240};
    for (int depth = 0; depth <= 4; ++depth)
        EXPECT_EQ(Perft(kStandardOpening, true, depth), expected[depth]) << "depth " << depth;
}

// Each piece kind near the edges and the river. Generals stand apart (D9 and F0) so that
// they constrain nothing unless a case says so.
TEST(LegalMoves, EveryKindNearEdgesAndRiver)
{
    struct Case {
        const char* what;
        std::array<std::string_view, 10> rows;
        bool redToMove;
        const char* from;
        const char* targets;
    };
    const Case cases[] = {
        {"chariot in the corner stops at its own general",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", "R....K..."},
         true,
         "A0",
         "A1 A2 A3 A4 A5 A6 A7 A8 A9 B0 C0 D0 E0"},
        {"chariot captures the first piece and stops",
         {"...k.....", ".........", ".........", "p........", ".........", ".........", ".........",
          ".........", ".........", "R....K..."},
         true,
         "A0",
         "A1 A2 A3 A4 A5 A6 B0 C0 D0 E0"},
        {"horse in the corner does not wrap around the edge",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", ".....K..N"},
         true,
         "I0",
         "G1 H2"},
        {"horse with its leg blocked loses the two jumps on that side",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", "........p", ".....K..N"},
         true,
         "I0",
         "G1"},
        {"horse on the left edge",
         {"...k.....", ".........", ".........", ".........", "N........", ".........", ".........",
          ".........", ".........", ".....K..."},
         true,
         "A5",
         "B3 B7 C4 C6"},
        {"cannon captures over one screen only",
         {"...k.....", "n........", ".........", ".........", "p........", ".........", ".........",
          ".........", ".........", "C....K..."},
         true,
         "A0",
         "A1 A2 A3 A4 A8 B0 C0 D0 E0"},
        {"cannon with two pieces before the target cannot capture",
         {"...k.....", "n........", "P........", ".........", "p........", ".........", ".........",
          ".........", ".........", "C....K..."},
         true,
         "A0",
         "A1 A2 A3 A4 B0 C0 D0 E0"},
        {"cannon screened next to the edge captures nothing beyond",
         {"...k.....", "p........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", "C....K..."},
         true,
         "A0",
         "A1 A2 A3 A4 A5 A6 A7 B0 C0 D0 E0"},
        {"soldiers before the river go forward only; after crossing also sideways",
         {"P..k.....", ".........", ".........", ".........", "....P....", "....P....", "....P....",
          ".........", ".........", ".....K..."},
         true,
         "E5",
         "D5 E6 F5"},
        {"red soldier on its own bank",
         {"...k.....", ".........", ".........", ".........", ".........", "....P....", ".........",
          ".........", ".........", ".....K..."},
         true,
         "E4",
         "E5"},
        {"red soldier at the far edge moves sideways only",
         {"P..k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", ".....K..."},
         true,
         "A9",
         "B9"},
        {"black soldier before the river",
         {"...k.....", ".........", ".........", ".........", "p........", ".........", ".........",
          ".........", ".........", ".....K..."},
         false,
         "A5",
         "A4"},
        {"black soldier across the river at the right edge",
         {"...k.....", ".........", ".........", ".........", ".........", "........p", ".........",
          ".........", ".........", ".....K..."},
         false,
         "I4",
         "H4 I3"},
        {"elephant on its back rank",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", "..B..K..."},
         true,
         "C0",
         "A2 E2"},
        {"elephant with a blocked eye",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", "...P.....", "..B..K..."},
         true,
         "C0",
         "A2"},
        {"elephant on the river bank cannot cross",
         {"...k.....", ".........", ".........", ".........", ".........", "..B...B..", ".........",
          ".........", ".........", ".....K..."},
         true,
         "G4",
         "E2 I2"},
        {"elephant on the side edge does not wrap",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          "........B", ".........", ".....K..."},
         true,
         "I2",
         "G0 G4"},
        {"advisor in a corner goes to the centre only",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", "...A.K..."},
         true,
         "D0",
         "E1"},
        {"advisor in the centre, one corner held by its general",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", "....A....", ".....K..."},
         true,
         "E1",
         "D0 D2 F2"},
        {"general stays in its palace",
         {"...k.....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", ".....K..."},
         true,
         "F0",
         "E0 F1"},
        {"general may not step onto the open file of the other general",
         {"....k....", ".........", ".........", ".........", ".........", ".........", ".........",
          ".........", ".........", ".....K..."},
         true,
         "F0",
         "F1"},
        {"a piece between the generals is pinned to their file",
         {"....k....", ".........", "....c....", ".........", ".........", ".........", ".........",
          ".........", ".........", "....K...."},
         false,
         "E7",
         "E1 E2 E3 E4 E5 E6 E8"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TargetsFrom(Diagram(c.rows), c.redToMove, At(c.from)), c.targets) << c.what;
}

TEST(LegalMoves, PinnedPieceHasNoMoveAndOpeningTheFileIsRefused)
{
    const Board board = Diagram({"....k....", ".........", ".........", ".........", ".........", ".........",
                                 ".........", "....N....", ".........", "....K...."});
    FakeDesktop desktop;
    EXPECT_FALSE(IsLegalMove(board, true, At("E2"), kAnyTarget, desktop));
    EXPECT_FALSE(IsLegalMove(board, true, At("E2"), At("D4"), desktop));
    EXPECT_TRUE(IsLegalMove(board, true, At("E0"), At("D0"), desktop));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST(LegalMoves, SingleCandidateIsAcceptedUntested)
{
    // Red's only candidate, D0-D1 (the elephant beside the general cannot move), walks into
    // the chariot's rank: the board window's question accepts it because a lone candidate
    // is not filtered, while the true legal moves are none.
    const Board board = Diagram({".....k...", ".........", ".........", ".........", ".........", ".........",
                                 ".........", ".........", "r........", "...KB...."});
    FakeDesktop desktop;
    EXPECT_TRUE(IsLegalMove(board, true, At("D0"), At("D1"), desktop));
    PackedMove only{};
    ASSERT_TRUE(FindOnlyMove(board, true, only, desktop));
    EXPECT_EQ(only, (PackedMove{17, At("D0"), 0, At("D1")}));
    EXPECT_TRUE(GenerateLegalMoves(board, true).empty());
    EXPECT_EQ(EvaluatePosition(board, true), GameStatus::Stalemate);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST(LegalMoves, FindOnlyMoveFindsTheForcedReplyWithItsCapture)
{
    // Black is in check along its back rank; the general cannot step away and only the
    // cannon, over the Red soldier, can take the chariot.
    const Board board = Diagram({"R..k.....", "...a.....", "P........", ".........", "c........", ".........",
                                 ".........", ".........", ".........", ".....K..."});
    FakeDesktop desktop;
    PackedMove only{};
    ASSERT_TRUE(FindOnlyMove(board, false, only, desktop));
    EXPECT_EQ(only, (PackedMove{10, At("A5"), 22, At("A9")}));
    EXPECT_FALSE(FindOnlyMove(kStandardOpening, true, only, desktop));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST(LegalMoves, CapturableGeneralAndMissingGeneralAreReported)
{
    // Red to move can take the Black general: the position is already lost for Black.
    const Board capture = Diagram({"....k....", ".........", ".........", ".........", ".........",
                                   ".........", ".........", ".........", "....R....", "...K....."});
    FakeDesktop desktop;
    EXPECT_FALSE(IsLegalMove(capture, true, At("E1"), At("E9"), desktop));
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"Checkmated"});

    const Board noRedGeneral = Diagram({"....k....", ".........", ".........", ".........", ".........",
                                        ".........", ".........", ".........", "R........", "........."});
    desktop.boxes.clear();
    PackedMove move{};
    EXPECT_FALSE(FindOnlyMove(noRedGeneral, true, move, desktop));
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"Bug in Legal.c"});

    // Without the Black general Red's candidates are still examined; the fault is told once.
    const Board noBlackGeneral = Diagram({".........", ".........", ".........", ".........", ".........",
                                          ".........", ".........", ".........", "R........", "...K....."});
    desktop.boxes.clear();
    EXPECT_TRUE(IsLegalMove(noBlackGeneral, true, At("A1"), At("A9"), desktop));
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"Bug in Legal.c"});
}

TEST(GameStatus, CheckmateStalemateAndPlay)
{
    // Two chariots mate on the back rank.
    const Board mate = Diagram({"R...k....", ".R.......", ".........", ".........", ".........", ".........",
                                ".........", ".........", ".........", "...K....."});
    EXPECT_EQ(EvaluatePosition(mate, false), GameStatus::Checkmate);
    EXPECT_TRUE(IsInCheck(mate, false));

    // The general is not attacked but every square it could take is.
    const Board stale = Diagram({"....k....", ".........", "...RPR...", ".........", ".........", ".........",
                                 ".........", ".........", ".........", "...K....."});
    EXPECT_EQ(EvaluatePosition(stale, false), GameStatus::Stalemate);
    EXPECT_FALSE(IsInCheck(stale, false));

    EXPECT_EQ(EvaluatePosition(kStandardOpening, true), GameStatus::Playing);
    EXPECT_FALSE(IsInCheck(kStandardOpening, true));

    // Facing generals count as check; a side without its general is in check.
    const Board facing = Diagram({"....k....", ".........", ".........", ".........", ".........",
                                  ".........", ".........", ".........", ".........", "....K...."});
    EXPECT_TRUE(IsInCheck(facing, true));
    EXPECT_TRUE(IsInCheck(facing, false));
    Board empty{};
    EXPECT_TRUE(IsInCheck(empty, true));
    EXPECT_EQ(EvaluatePosition(empty, true), GameStatus::Checkmate);
}

TEST(Perft, SmallEndgamesCountedByHand)
{
    // Red general D0, Black general E9: Red has D1 only (E0 faces), Black then E8 or F9 (D9 faces).
    const Board generals = Diagram({"....k....", ".........", ".........", ".........", ".........",
                                    ".........", ".........", ".........", ".........", "...K....."});
    EXPECT_EQ(Perft(generals, true, 1), 1u);
    EXPECT_EQ(Perft(generals, true, 2), 2u);
    // Mated side: no moves, branch ends.
    const Board mate = Diagram({"R...k....", ".R.......", ".........", ".........", ".........", ".........",
                                ".........", ".........", ".........", "...K....."});
    EXPECT_EQ(Perft(mate, false, 1), 0u);
    EXPECT_EQ(Perft(mate, false, 3), 0u);
}

// Play many games of random legal moves (leaning towards captures, to reach sparse
// endgames) and compare every position with the plain rules: the legal move set, the
// board window's questions, perft to depth two, and the check and mate status.
TEST(LegalMoves, AgreeWithPlainRulesOverRandomGames)
{
    std::mt19937 random(20240607);
    int positions = 0;
    for (int game = 0; game < 60; ++game) {
        Board board = kStandardOpening;
        bool red = true;
        for (int ply = 0; ply < 200; ++ply, ++positions) {
            const auto expected = ReferenceRules::legalMoves(board, red);
            const auto actual = GenerateLegalMoves(board, red);
            ASSERT_EQ(Sorted(actual), expected) << "game " << game << " ply " << ply << "\n"
                                                << Picture(board);

            const bool inCheck = ReferenceRules::attacked(board, red);
            ASSERT_EQ(IsInCheck(board, red), inCheck) << Picture(board);
            ASSERT_EQ(IsGeneralAttacked(board, red), inCheck) << Picture(board);
            ASSERT_EQ(IsGeneralAttacked(board, !red), ReferenceRules::attacked(board, !red)) << Picture(board);
            if (ply % 5 == 0) { // the one-move question, over every pair of squares
                for (int from = 0; from < kSquareCount; ++from)
                    for (int to = 0; to < kSquareCount; ++to)
                        ASSERT_EQ(IsMoveLegal(board, red, from, to),
                                  std::binary_search(expected.begin(), expected.end(), std::pair(from, to)))
                            << Name(from) << "-" << Name(to) << "\n"
                            << Picture(board);
            }
            const GameStatus status = expected.empty()
                                          ? (inCheck ? GameStatus::Checkmate : GameStatus::Stalemate)
                                          : GameStatus::Playing;
            ASSERT_EQ(EvaluatePosition(board, red), status) << Picture(board);

            FakeDesktop desktop;
            if (ReferenceRules::pseudoMoves(board, red).size() >= 2) {
                for (const auto& m : ReferenceRules::pseudoMoves(board, red)) {
                    const bool legal = std::binary_search(expected.begin(), expected.end(), m);
                    ASSERT_EQ(IsLegalMove(board, red, m.first, m.second, desktop), legal)
                        << Name(m.first) << "-" << Name(m.second) << "\n"
                        << Picture(board);
                }
                PackedMove only{};
                ASSERT_EQ(FindOnlyMove(board, red, only, desktop), expected.size() == 1) << Picture(board);
                if (expected.size() == 1) {
                    ASSERT_EQ((std::pair<int, int>(only.from, only.to)), expected[0]);
                }
            }
            ASSERT_TRUE(desktop.boxes.empty());
            if (ply % 25 == 0) {
                std::uint64_t leaves = 0;
                for (const auto& m : expected) {
                    Board after = board;
                    after[m.second] = after[m.first];
                    after[m.first] = 0;
                    leaves += ReferenceRules::legalMoves(after, !red).size();
                }
                ASSERT_EQ(Perft(board, red, 2), leaves) << Picture(board);
            }

            if (expected.empty())
                break;
            std::vector<ReferenceRules::Move> captures;
            for (const auto& m : expected)
                if (board[m.second] != 0)
                    captures.push_back(m);
            const auto& pool = !captures.empty() && random() % 3 != 0 ? captures : expected;
            const auto m = pool[random() % pool.size()];
            board[m.second] = board[m.first];
            board[m.first] = 0;
            red = !red;
        }
    }
    EXPECT_GT(positions, 3000);
}

} // namespace
} // namespace marovin::model
