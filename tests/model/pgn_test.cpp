#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#include "game_fixture.h"
#include "model/fen.h"
#include "model/game_file.h"
#include "model/legality.h"
#include "model/pgn.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {
namespace {

using testing::GameEnvironment;

FenPosition Position(const char* fen)
{
    std::string error;
    const auto position = ReadFen(fen, error);
    EXPECT_TRUE(position) << fen << ": " << error;
    return position.value_or(FenPosition{});
}

// Known positions and the texts of one move in each notation, from both sides, with every
// way pieces of one kind can share a file.
struct NotationCase {
    const char* what;
    const char* fen;
    const char* iccs;
    const char* wxf;
    const char* chinese;
};

const NotationCase kNotationCases[] = {
    {"opening cannon", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "h2e2", "C2.5", "炮二平五"},
    {"opening chariot", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "a0a1", "R9+1", "俥九進一"},
    {"black horse", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b", "h9g7", "H8+7", "馬８進７"},
    {"black cannon back", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b", "b7b8", "C2-1",
     "包２退１"},
    {"front chariot", "3k5/9/9/9/9/9/4R4/9/4R4/5K3 w", "e3g3", "R+.3", "前俥平三"},
    {"rear chariot", "3k5/9/9/9/9/9/4R4/9/4R4/5K3 w", "e1e2", "R-+1", "後俥進一"},
    {"black front horse", "3k5/9/4n4/9/4n4/9/9/9/9/4K4 b", "e5f3", "H++6", "前馬進６"},
    {"black rear horse", "3k5/9/4n4/9/4n4/9/9/9/9/4K4 b", "e7f9", "H--6", "後馬退６"},
    {"front of three soldiers", "3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", "e7d7", "P+.6", "前兵平六"},
    {"middle of three soldiers", "3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", "e6f6", "P5.4", "中兵平四"},
    {"rear of three soldiers", "3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", "e5d5", "P-.6", "後兵平六"},
    {"first of four soldiers", "3k5/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "e8f8", "++.4", "一兵平四"},
    {"second of four soldiers", "3k5/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "e7d7", "P+.6", "二兵平六"},
    {"third of four soldiers", "3k5/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "e6f6", "P-.4", "三兵平四"},
    {"last of four soldiers", "3k5/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "e5d5", "--.6", "四兵平六"},
    {"first of five soldiers", "3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/5K3 w", "e8d8", "++.6", "一兵平六"},
    {"middle of five soldiers", "3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/5K3 w", "e6f6", "P5.4", "三兵平四"},
    {"fourth of five soldiers", "3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/5K3 w", "e5d5", "P-.6", "四兵平六"},
    {"soldiers on two files, front", "3k5/9/9/2P3P2/2P3P2/9/9/9/9/5K3 w", "g6f6", "3+.4", "前三平四"},
    {"soldiers on two files, rear", "3k5/9/9/2P3P2/2P3P2/9/9/9/9/5K3 w", "c5b5", "7-.8", "後七平八"},
    {"three and two soldiers, the middle", "3k5/9/2P6/2P3P2/2P3P2/9/9/9/9/4K4 w", "c6b6", "77.8", "中七平八"},
    {"black three and two, the middle", "3k5/9/9/9/9/2p3p2/2p3p2/2p6/9/4K4 b", "c3d3", "33.4", "中３平４"},
    {"black three and two, the front", "3k5/9/9/9/9/2p3p2/2p3p2/2p6/9/4K4 b", "c2d2", "3+.4", "前３平４"},
    {"black three and two, the rear", "3k5/9/9/9/9/2p3p2/2p3p2/2p6/9/4K4 b", "c4d4", "3-.4", "後３平４"},
    {"black three and two, front of two", "3k5/9/9/9/9/2p3p2/2p3p2/2p6/9/4K4 b", "g3f3", "7+.6", "前７平６"},
    {"black front soldier", "3k5/9/9/9/9/4p4/4p4/9/9/5K3 b", "e3e2", "P++1", "前卒進１"},
    {"black rear soldier", "3k5/9/9/9/9/4p4/4p4/9/9/5K3 b", "e4d4", "P-.4", "後卒平４"},
    {"advisor forward on a shared file", "3k5/9/9/9/9/9/9/3A5/9/3AK4 w", "d0e1", "A6+5", "仕六進五"},
    {"advisor back on a shared file", "3k5/9/9/9/9/9/9/3A5/9/3AK4 w", "d2e1", "A6-5", "仕六退五"},
    {"elephant forward on a shared file", "3k5/9/9/9/9/2B6/9/9/9/2B1K4 w", "c0e2", "E7+5", "相七進五"},
    {"elephant back on a shared file", "3k5/9/9/9/9/2B6/9/9/9/2B1K4 w", "c4e2", "E7-5", "相七退五"},
    {"black general sideways", "3k5/9/9/9/9/9/9/9/9/5K3 b", "d9e9", "K4.5", "將４平５"},
};

TEST(MoveNotation, KnownPositionsGiveTheirTextsInEveryNotation)
{
    for (const NotationCase& c : kNotationCases) {
        SCOPED_TRACE(c.what);
        const FenPosition position = Position(c.fen);
        std::string error;
        const auto move = ReadMoveText(position.board, position.redToMove, c.iccs, MoveNotation::Iccs, error);
        ASSERT_TRUE(move) << error;
        EXPECT_EQ(MoveText(position.board, move->from, move->to, MoveNotation::Iccs), c.iccs);
        EXPECT_EQ(MoveText(position.board, move->from, move->to, MoveNotation::Wxf), c.wxf);
        EXPECT_EQ(MoveText(position.board, move->from, move->to, MoveNotation::Chinese), c.chinese);
        for (const auto& [text, notation] :
             {std::pair{c.wxf, MoveNotation::Wxf}, std::pair{c.chinese, MoveNotation::Chinese}}) {
            const auto read = ReadMoveText(position.board, position.redToMove, text, notation, error);
            ASSERT_TRUE(read) << text << ": " << error;
            EXPECT_EQ(*read, *move) << text;
            EXPECT_EQ(GuessNotation(text), notation) << text;
        }
    }
}

// Checks that the text of every legal move on board, in every notation, reads back as that
// move; returns the moves' WXF texts.
std::vector<std::string> EveryMoveReadsBack(const Board& board, bool red, const std::vector<SquarePair>& moves)
{
    std::vector<std::string> wxf;
    for (const SquarePair& move : moves) {
        for (MoveNotation notation : {MoveNotation::Iccs, MoveNotation::Wxf, MoveNotation::Chinese}) {
            const std::string text = MoveText(board, move.from, move.to, notation);
            std::string error;
            const auto read = ReadMoveText(board, red, text, notation, error);
            EXPECT_TRUE(read && *read == move) << WriteFen(board, red) << ": " << text << ": " << error;
            if (notation == MoveNotation::Wxf)
                wxf.push_back(text);
        }
    }
    return wxf;
}

// Forms other programs write, each read as the same move.
TEST(MoveNotation, ReadsTheFormsOtherProgramsWrite)
{
    const struct {
        const char* fen;
        const char* text;
        const char* iccs;
    } cases[] = {
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "炮2平5", "h2e2"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "砲二平五", "h2e2"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "c2=5", "h2e2"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "H2-E2", "h2e2"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "C2.5!?", "h2e2"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "N2+3", "h0g2"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b", "马8进7", "h9g7"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b", "馬８進７", "h9g7"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b", "砲8平5", "h7e7"},
        {"3k5/9/9/9/9/9/4R4/9/4R4/5K3 w", "俥前平三", "e3g3"},
        {"3k5/9/9/9/9/9/4R4/9/4R4/5K3 w", "硨前平三", "e3g3"},
        {"3k5/9/9/9/9/9/4R4/9/4R4/5K3 w", "+R.3", "e3g3"},
        {"3k5/9/9/9/9/9/4R4/9/4R4/5K3 w", "后车进一", "e1e2"},
        {"3k5/9/9/9/9/4p4/4p4/9/9/5K3 b", "前卒进1", "e3e2"},
        // Order words for any count they fit, and both spellings of WXF's middle soldier.
        {"3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", "一兵平六", "e7d7"},
        {"3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", "二兵平四", "e6f6"},
        {"3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", "三兵平六", "e5d5"},
        {"3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", "55.4", "e6f6"},
        {"3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/5K3 w", "中兵平四", "e6f6"},
        {"3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/5K3 w", "前兵平六", "e8d8"},
        {"3k5/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "後兵平六", "e5d5"},
        {"3k5/9/9/9/9/2p3p2/2p3p2/2p6/9/4K4 b", "P3.4", "c3d3"},
        {"3k5/9/9/9/9/2p3p2/2p3p2/2p6/9/4K4 b", "中卒平4", "c3d3"},
    };
    for (const auto& c : cases) {
        const FenPosition position = Position(c.fen);
        std::string error;
        const auto move = ReadMoveText(position.board, position.redToMove, c.text, GuessNotation(c.text), error);
        ASSERT_TRUE(move) << c.text << ": " << error;
        EXPECT_EQ(MoveText(position.board, move->from, move->to, MoveNotation::Iccs), c.iccs) << c.text;
    }
}

TEST(MoveNotation, RefusesTextsThatNameNoSingleLegalMove)
{
    const char* opening = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";
    const struct {
        const char* fen;
        const char* text;
        const char* why;
    } cases[] = {
        {opening, "a0a5", "not a legal move"},            // the chariot's way is blocked
        {opening, "h9g7", "not a legal move"},            // a Black move while Red is to move
        {opening, "C3.5", "no cannon on file 3"},
        {opening, "P5+2", "not a legal move"},
        {opening, "H2.3", "not a legal move"},            // a horse never moves sideways
        {opening, "Z2.5", "not a move in WXF notation"},
        {opening, "炮二走五", "not a move in Chinese notation"},
        {opening, "R+.3", "no two chariots stand on one file"},
        {"3k5/9/9/4P4/4P4/9/9/9/9/5K3 w", "P5.4", "ambiguous: more than one soldier can make it"},
        // An order word that fits no file says what it found.
        {"3k5/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "中兵平四", "\"中\" names none of the soldiers (4 on file 5)"},
        {"3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", "四兵平四", "\"四\" names none of the soldiers (3 on file 5)"},
        {"3k5/9/9/2P3P2/2P3P2/9/9/9/9/5K3 w", "33.4", "the middle (33) names none of the soldiers (2 on file 3)"},
        {"3k5/9/9/2P3P2/2P3P2/9/9/9/9/5K3 w", "5+.4", "no two soldiers stand on file 5"},
        {"3k5/9/9/2P3P2/2P3P2/9/9/9/9/5K3 w", "34.4", "not a move in WXF notation"},
    };
    for (const auto& c : cases) {
        const FenPosition position = Position(c.fen);
        std::string error;
        EXPECT_FALSE(ReadMoveText(position.board, position.redToMove, c.text, GuessNotation(c.text), error))
            << c.text;
        EXPECT_EQ(error, c.why) << c.text;
    }
}

// A soldier moving sideways onto a file where a soldier of its side stands.
bool JoinsSoldiers(const Board& board, SquarePair move)
{
    const Piece soldier = board[move.from];
    if (KindOf(soldier) != PieceKind::Soldier || ColumnOf(move.from) == ColumnOf(move.to))
        return false;
    for (int row = 0; row < 10; ++row) {
        const Piece p = board[SquareOf(row, ColumnOf(move.to))];
        if (KindOf(p) == PieceKind::Soldier && SideOf(p) == SideOf(soldier))
            return true;
    }
    return false;
}

// Random games from the opening and from positions crowded with pieces sharing files,
// steered to stack soldiers: most moves bring a soldier beside others of its side on one
// file. Every legal move of every position reached reads back from its text in each
// notation, and the whole game survives PGN in each notation.
TEST(MoveNotation, GamesThatStackSoldiersKeepEveryMoveText)
{
    const char* starts[] = {
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
        "3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/5K3 w",
        "2r1k4/2n1r4/2c1n4/2p1p1p2/2p1p4/2P1P1P2/2P1P4/2C1N4/2N1R4/2R1K4 w",
        "3k5/9/4n4/p3p4/p3p4/P3P4/P3P4/4N4/9/5K3 b",
        "3k5/9/9/p1p1p1p1p/9/P1P1P1P1P/9/9/9/4K4 w",
        "4k4/9/9/9/P1P1P1P1P/p1p1p1p1p/9/9/9/3K5 b",
        "2bak4/4a4/4b4/P1P1P1P1P/9/9/p1p1p1p1p/4B4/4A4/3AK1B2 w",
    };
    std::mt19937 random(29);
    int tandemTexts = 0;
    for (const char* fen : starts) {
        for (int round = 0; round < 4; ++round) {
            GameEnvironment environment;
            auto game = environment.newGame();
            std::string error;
            ASSERT_TRUE(SetFenPosition(*game, fen, error)) << error;
            for (int ply = 0; ply < 70; ++ply) {
                const Board& board = game->browsedBoard;
                const bool red = game->isRedToMoveBrowsed();
                const auto moves = GenerateLegalMoves(board, red);
                if (moves.empty())
                    break;
                for (const std::string& text : EveryMoveReadsBack(board, red, moves))
                    tandemTexts += std::isdigit(static_cast<unsigned char>(text[0])) ? 1 : 0;
                std::vector<SquarePair> stacking;
                for (const SquarePair& move : moves)
                    if (JoinsSoldiers(board, move))
                        stacking.push_back(move);
                const auto& pool = !stacking.empty() && random() % 4 != 0 ? stacking : moves;
                const SquarePair move = pool[random() % pool.size()];
                game->PlayMove(move.from, move.to, MoveKind::User);
            }
            game->Rewind();
            const std::string expected = GameFileText(*game, GameFileForm::Old);
            for (MoveNotation notation : {MoveNotation::Iccs, MoveNotation::Wxf, MoveNotation::Chinese}) {
                const std::string pgn = PgnText(*game, notation);
                PgnReader reader(pgn);
                PgnGameText text;
                ASSERT_TRUE(reader.next(text));
                auto imported = environment.newGame();
                std::string warning;
                ASSERT_TRUE(BuildPgnGame(text, *imported, error, warning)) << error << "\n" << pgn;
                EXPECT_EQ(GameFileText(*imported, GameFileForm::Old), expected) << pgn;
            }
        }
    }
    EXPECT_GT(tandemTexts, 300) << "the games stacked soldiers on two files";
}

// ---- round trips ----------------------------------------------------------------------

std::string Big5(const char* utf8) { return utf8ToBig5(utf8); }

// Plays random legal moves from the browsed position, branching at several depths, with
// notes on some moves (Big5, several lines).
class RandomGame {
public:
    RandomGame(CGame& game, unsigned seed) : m_game(game), m_random(seed) {}

    void grow(int length, int depth)
    {
        for (int i = 0; i < length; ++i) {
            const auto moves = GenerateLegalMoves(m_game.browsedBoard, m_game.isRedToMoveBrowsed());
            if (moves.empty())
                return;
            const SquarePair main = moves[pick(moves.size())];
            m_game.PlayMove(main.from, main.to, MoveKind::User);
            if (pick(4) == 0)
                m_game.SetNote(noteText(), false);
            if (depth > 0 && moves.size() > 1 && pick(6) == 0) {
                const int ply = m_game.browsedPly();
                for (int branches = 1 + static_cast<int>(pick(2)); branches > 0; --branches) {
                    m_game.TakeBack(TakeBackKind::User);
                    const SquarePair other = moves[pick(moves.size())];
                    if (other == main) {
                        m_game.PlayMove(main.from, main.to, MoveKind::User);
                        continue;
                    }
                    m_game.PlayMove(other.from, other.to, MoveKind::User);
                    grow(length / 3, depth - 1);
                    while (m_game.browsedPly() > ply - 1)
                        m_game.TakeBack(TakeBackKind::User);
                    m_game.PlayMove(main.from, main.to, MoveKind::User);
                }
            }
        }
    }

private:
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random); }
    std::string noteText()
    {
        const char* notes[] = {"好棋", "a note\r\nover two lines", "攻守兼備，黑方「反擊」。", "(see 3. h2e2) [sic]; 100%"};
        return Big5(notes[pick(4)]);
    }

    CGame& m_game;
    std::mt19937 m_random;
};

void FillHeader(CGame& game)
{
    copyBounded(game.redName, Big5("許銀川"));
    copyBounded(game.blackName, "bob");
    copyBounded(game.subject, Big5("全國賽 \"final\" round 3"));
    copyBounded(game.place, "Taipei");
    copyBounded(game.date, "2024-03-05");
    copyBounded(game.result, "Red resigns");
    game.redRating = 2650;
    game.blackRating = 1480;
    game.times = {0, 5, 600, 590};
}

TEST(Pgn, RoundTripsKeepMovesBranchesNotesAndHeadersInEveryNotation)
{
    for (unsigned seed = 1; seed <= 12; ++seed) {
        GameEnvironment environment;
        auto original = environment.newGame();
        if (seed % 4 == 0) { // a set-up start, Black to move
            std::string error;
            ASSERT_TRUE(SetFenPosition(*original, "2bak4/4a4/4b1n2/p3p1p1p/2r6/9/P1P3c1P/4B1N2/4A4/3AK1B2 b", error))
                << error;
        }
        FillHeader(*original);
        original->SetNote(Big5("開局前的說明"), false);
        RandomGame(*original, seed).grow(60, 3);
        original->Rewind();
        const std::string expected = GameFileText(*original, GameFileForm::Old);
        ASSERT_NE(expected.find("BB"), std::string::npos) << "the generated game has branches";

        for (MoveNotation notation : {MoveNotation::Iccs, MoveNotation::Wxf, MoveNotation::Chinese}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::string(NotationName(notation)));
            const std::string pgn = PgnText(*original, notation);
            PgnReader reader(pgn);
            PgnGameText text;
            ASSERT_TRUE(reader.next(text));
            EXPECT_EQ(PgnGameNotation(text), notation);
            auto imported = environment.newGame();
            std::string error, warning;
            ASSERT_TRUE(BuildPgnGame(text, *imported, error, warning)) << error << "\n" << pgn;
            EXPECT_EQ(warning, "");
            EXPECT_EQ(GameFileText(*imported, GameFileForm::Old), expected) << pgn;
            EXPECT_FALSE(reader.next(text));
        }
    }
}

// A game set up from a FEN keeps the FEN's move counts: the FEN of a later position goes
// on from them, the PGN numbers its moves from them, and reading the PGN brings them back.
TEST(Pgn, MoveCountsGoOnFromTheSetUpPosition)
{
    GameEnvironment environment;
    auto game = environment.newGame();
    std::string error;
    ASSERT_TRUE(SetFenPosition(*game, "3k5/9/9/9/9/2p3p2/2p3p2/2p6/9/4K4 b - - 5 20", error)) << error;
    const char* board = "3k5/9/9/9/9/2p3p2/2p3p2/2p6/9/4K4";
    EXPECT_EQ(GameFen(*game), std::string(board) + " b - - 5 20");
    for (const char* move : {"C3-D3", "E0-E1", "D3-E3", "E1-E0"})
        testing::play(*game, move);
    EXPECT_EQ(GameFen(*game), "3k5/9/9/9/9/2p3p2/4p1p2/2p6/9/4K4 b - - 9 22");
    game->Navigate(kGoToPly, 1);
    EXPECT_EQ(GameFen(*game), "3k5/9/9/9/9/2p3p2/3p2p2/2p6/9/4K4 w - - 6 21");
    game->Navigate(kGoToPly, 4);
    EXPECT_EQ(GameFen(*game), "3k5/9/9/9/9/2p3p2/4p1p2/2p6/9/4K4 b - - 9 22");

    const std::string pgn = PgnText(*game, MoveNotation::Wxf);
    EXPECT_NE(pgn.find("[FEN \"" + std::string(board) + " b - - 5 20\"]"), std::string::npos) << pgn;
    EXPECT_NE(pgn.find("20... 33.4 21. K5+1 P4.5 22. K5-1"), std::string::npos) << pgn;
    PgnReader reader(pgn);
    PgnGameText text;
    ASSERT_TRUE(reader.next(text));
    auto imported = environment.newGame();
    std::string warning;
    ASSERT_TRUE(BuildPgnGame(text, *imported, error, warning)) << error;
    EXPECT_EQ(StartFen(*imported), std::string(board) + " b - - 5 20");
    imported->Navigate(kGoToEnd);
    EXPECT_EQ(GameFen(*imported), "3k5/9/9/9/9/2p3p2/4p1p2/2p6/9/4K4 b - - 9 22");
}

TEST(Pgn, WritesTagsVariationsAndCommentsAsOtherProgramsExpect)
{
    GameEnvironment environment;
    auto game = environment.newGame();
    FillHeader(*game);
    copyBounded(game->result, "1-0");
    game->times = {};
    game->SetNote("start", false);
    testing::play(*game, "H2-E2");
    testing::play(*game, "H9-G7");
    game->SetNote("a } brace", false);
    game->TakeBack(TakeBackKind::User);
    testing::play(*game, "B9-C7");
    game->TakeBack(TakeBackKind::User);
    testing::play(*game, "H9-G7");
    testing::play(*game, "H0-G2");
    const std::string pgn = PgnText(*game, MoveNotation::Wxf);
    EXPECT_EQ(pgn, "[Game \"Chinese Chess\"]\n"
                   "[Event \"全國賽 \\\"final\\\" round 3\"]\n"
                   "[Site \"Taipei\"]\n"
                   "[Date \"2024.03.05\"]\n"
                   "[Red \"許銀川\"]\n"
                   "[Black \"bob\"]\n"
                   "[Result \"1-0\"]\n"
                   "[RedElo \"2650\"]\n"
                   "[BlackElo \"1480\"]\n"
                   "[Format \"WXF\"]\n"
                   "\n"
                   "{start} 1. C2.5 H8+7 {a ｝ brace} (1... H2+3) 2. H2+3 1-0\n"
                   "\n");
}

// ---- text written by hand, and bad text -----------------------------------------------

// The moves of a game as this program writes them in ICCS, without the tags.
std::string Moves(const CGame& game)
{
    const std::string pgn = PgnText(game, MoveNotation::Iccs);
    return pgn.substr(pgn.find("\n\n") + 2);
}

// The Result tag of the result texts that games hold: PGN tokens, stored games' results and
// the server's end lines.
TEST(Pgn, TheResultTagSaysWhoWonAsTheResultTextDoes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1-0", "1-0"},
        {"0-1", "0-1"},
        {"1/2-1/2", "1/2-1/2"},
        {"Unknown", "*"},
        {"", "*"},
        {"1-0 Black resigned", "1-0"},
        {"Black has been checkmated. 1-0", "1-0"},
        {"Black has been checkmated.", "1-0"},
        {"Red has been checkmated.", "0-1"},
        {"Red resigned.", "0-1"},
        {"Black has been stalemated.", "1-0"},
        {"Red has run out of time.", "0-1"},
        {"draw. Agreed by both players.", "1/2-1/2"},
        {"draw. 1/2", "1/2-1/2"},
        {"adjourned. alice adjourned it.", "*"},
        {"Red wins on points", "*"},
    };
    for (const auto& [text, token] : cases)
        EXPECT_EQ(PgnResultToken(text), token) << text;
}

// A PGN date with unknown parts is dropped; any other date text is kept as it stands, so
// that it reads back the same ("?" stands for a character that Big5 lacks).
TEST(Pgn, DatesWithUnknownPartsAreDroppedAndOtherDateTextIsKept)
{
    GameEnvironment environment;
    const std::pair<const char*, const char*> cases[] = {
        {"2024.03.05", "2024-03-05"}, {"2024.??.??", ""}, {"????.??.??", ""}, {"early ?? 1990", "early ?? 1990"}};
    for (const auto& [tag, date] : cases) {
        PgnReader reader("[Date \"" + std::string(tag) + "\"]\n1. h2e2 *");
        PgnGameText text;
        ASSERT_TRUE(reader.next(text));
        auto game = environment.newGame();
        std::string error, warning;
        ASSERT_TRUE(BuildPgnGame(text, *game, error, warning)) << error;
        if (*date)
            EXPECT_EQ(fieldText(game->date), date) << tag;
        else
            EXPECT_NE(fieldText(game->date).find('-'), std::string::npos) << tag << ": today's date";
    }
}

TEST(Pgn, ReadsHandWrittenFilesGameByGame)
{
    const std::string file =
        "\xEF\xBB\xBF[Event \"Odd\"]\r\n[Red \"alice\"]\r\n\r\n"
        "{ before the first move } 1.h2e2 {after red}; to the line's end\r\n"
        "h9g7 $1 2. h0g2!? ( {before the variation} 2. b0c2 ) {after it} 2... i9h9 *\r\n"
        "\n"
        "% an escaped line\n"
        "1. C2.5 ... 马8进7 2. 傌二進三 (2. c3c4) 1-0\n"
        "[Event \"third\"][Format \"ICCS\"]\n"
        "1. h2e2 h9g7 2. h0h5 i9h9 0-1\n"
        "[Event \"fourth\"]\n"
        "1. h2e2 {never closed\n";
    PgnReader reader(file);
    const struct {
        const char* event;
        bool whole;
        const char* error;
        const char* moves;
    } expected[] = {
        {"Odd", true, "",
         "{before the first move} 1. h2e2 {after red\nto the line's end} 1... h9g7 2. h0g2 {after it} "
         "(2. b0c2 {before the variation})\n2... i9h9 *\n\n"},
        {"", true, "", "1. h2e2 h9g7 2. h0g2 (2. c3c4) 1-0\n\n"},
        {"third", false, "line 10: move 2 by Red (h0h5): not a legal move", "1. h2e2 h9g7 0-1\n\n"},
        {"fourth", false, "line 12: a comment opened with \"{\" is never closed", "1. h2e2 {never closed} *\n\n"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.event);
        PgnGameText text;
        ASSERT_TRUE(reader.next(text));
        GameEnvironment environment;
        auto game = environment.newGame();
        std::string error, warning;
        EXPECT_EQ(BuildPgnGame(text, *game, error, warning), e.whole);
        EXPECT_EQ(error, e.error);
        EXPECT_EQ(fieldText(game->subject).substr(0, std::string_view(e.event).size()), e.event);
        EXPECT_EQ(Moves(*game), e.moves);
    }
    PgnGameText text;
    EXPECT_FALSE(reader.next(text));
}

// A PGN date with unknown parts is dropped; a date written any other way, question marks
// and all, is kept, so that a record's own date comes back from its PGN.
TEST(Pgn, OnlyPgnDatesWithUnknownPartsAreDropped)
{
    const struct {
        const char* tag;
        const char* date;
    } cases[] = {
        {"2024.03.05", "2024-03-05"}, {"2024.??.??", ""}, {"????.??.??", ""}, {"spring 1999?", "spring 1999?"},
    };
    for (const auto& c : cases) {
        PgnReader reader(std::string("[Date \"") + c.tag + "\"]\n*");
        PgnGameText text;
        ASSERT_TRUE(reader.next(text));
        GameEnvironment environment;
        auto game = environment.newGame();
        std::string error, warning;
        ASSERT_TRUE(BuildPgnGame(text, *game, error, warning)) << error;
        if (*c.date)
            EXPECT_EQ(fieldText(game->date), c.date) << c.tag;
        else
            EXPECT_NE(fieldText(game->date), c.tag) << "a date of unknown parts is no date";
        PgnReader again(PgnText(*game, MoveNotation::Iccs));
        ASSERT_TRUE(again.next(text));
        auto copy = environment.newGame();
        ASSERT_TRUE(BuildPgnGame(text, *copy, error, warning)) << error;
        EXPECT_EQ(fieldText(copy->date), fieldText(game->date)) << c.tag;
    }
}

TEST(Pgn, BadStructureStopsAGameWithAMessageAndKeepsWhatCameBefore)
{
    std::string deep;
    for (std::size_t i = 0; i <= kPgnDepthLimit; ++i)
        deep += "(1... h9i7 ";
    const struct {
        std::string text;
        const char* error;
        const char* moves;
    } cases[] = {
        {"1. h2e2 ) h9g7", "line 1: a \")\" closes no variation", "1. h2e2 *\n\n"},
        {"1. h2e2 } h9g7", "line 1: a \"}\" closes no comment", "1. h2e2 *\n\n"},
        {"1. h2e2 (1. c3c4 h9g7", "line 1: a variation opened with \"(\" is never closed",
         "1. h2e2 (1. c3c4 h9g7) *\n\n"},
        {"1. h2e2 h9g7 " + deep, "line 1: variations are nested deeper than 500", "1. h2e2 h9g7 (1... h9i7) *\n\n"},
        {"( 1. h2e2", "line 1: a variation stands where no move precedes it", "*\n\n"},
        {"1. h2e2 " + std::string(100, 'x'), "line 1: a move text is longer than 64 bytes", "1. h2e2 *\n\n"},
        {"[FEN \"9/9/9/9/9/9/9/9/9/9 w\"]\n1. h2e2", "the FEN tag: ", "*\n\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        PgnReader reader(c.text);
        PgnGameText text;
        ASSERT_TRUE(reader.next(text));
        GameEnvironment environment;
        auto game = environment.newGame();
        std::string error, warning;
        EXPECT_FALSE(BuildPgnGame(text, *game, error, warning));
        EXPECT_EQ(error.substr(0, std::string_view(c.error).size()), c.error) << error;
        EXPECT_EQ(Moves(*game), c.moves);
    }
}

TEST(Pgn, TextThatBig5CannotHoldIsCountedAndBig5FilesAreRead)
{
    GameEnvironment environment;
    {
        PgnReader reader("[Red \"马\"]\n1. h2e2 {简体} *");
        PgnGameText text;
        ASSERT_TRUE(reader.next(text));
        auto game = environment.newGame();
        std::string error, warning;
        EXPECT_TRUE(BuildPgnGame(text, *game, error, warning)) << error;
        EXPECT_EQ(warning, "2 characters that Big5 cannot hold were written as \"?\"");
    }
    {
        // A note longer than a game file can hold is cut, and the game still saves and reads.
        PgnReader reader("1. h2e2 {" + std::string(kPgnTokenLimit + 10, 'x') + "} *");
        PgnGameText text;
        ASSERT_TRUE(reader.next(text));
        auto game = environment.newGame();
        std::string error, warning;
        EXPECT_TRUE(BuildPgnGame(text, *game, error, warning)) << error;
        EXPECT_EQ(warning, "1 notes were cut to 90000 bytes");
        auto copy = environment.newGame();
        StringSource stored(GameFileText(*game, GameFileForm::Old));
        EXPECT_EQ(ReadGame(*copy, stored, "copy", false), 1);
        EXPECT_EQ(GameFileText(*copy, GameFileForm::New), GameFileText(*game, GameFileForm::New));
    }
    {
        PgnReader reader(Big5("[Red \"許銀川\"]\n1. 炮二平五 {好棋} *"));
        PgnGameText text;
        ASSERT_TRUE(reader.next(text));
        auto game = environment.newGame();
        std::string error, warning;
        EXPECT_TRUE(BuildPgnGame(text, *game, error, warning)) << error;
        EXPECT_EQ(fieldText(game->redName), Big5("許銀川"));
        EXPECT_EQ(Moves(*game), "1. h2e2 {好棋} *\n\n");
    }
}

} // namespace
} // namespace marovin::model
