// The game database on real SQLite files in a temporary folder: games come back byte for
// byte, positions are found in any move order, duplicates and broken games are left out,
// and a cancelled import leaves the file as it was.
#include <gtest/gtest.h>

#include <random>

#include "database/game_import.h"
#include "database/game_search.h"
#include "model/fen.h"
#include "model/game_file.h"
#include "support/fixed_text.h"
#include "testkit/offline_game_ports.h"
#include "testkit/random_game.h"
#include "testkit/temp_folder.h"

namespace marovin::database {
namespace {

using model::GameFileForm;

// An import port that keeps what it was told and can cancel after a number of progress reports.
struct RecordingImport : ImportPort {
    void badGame(const BadGame& bad) override { bad_games.push_back(bad); }
    bool cancelled() override { return ++asked > cancelAfter; }
    std::vector<BadGame> bad_games;
    int asked = 0;
    int cancelAfter = 1 << 30;
};

class DatabaseTest : public ::testing::Test {
protected:
    std::unique_ptr<GameDatabase> open(const std::string& name = "games.mdb.sqlite")
    {
        std::string error;
        auto db = GameDatabase::open(folder.file(name), error);
        EXPECT_TRUE(db) << error;
        return db;
    }
    // Imports texts (game files or PGN) as one batch.
    ImportResult importTexts(GameDatabase& db, const std::vector<std::string>& texts, RecordingImport& port)
    {
        GameImporter importer(db, port);
        std::string error;
        EXPECT_TRUE(importer.begin(error)) << error;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::string name = "text" + std::to_string(i);
            if (!(texts[i].starts_with("GAME") ? importer.importGameText(texts[i], name)
                                               : importer.importPgnText(texts[i], name)))
                break;
        }
        return importer.finish();
    }
    std::string exported(GameDatabase& db, std::int64_t id, GameFileForm form)
    {
        model::CGame game(ports.ports());
        std::string error;
        EXPECT_TRUE(db.loadGame(id, game, error)) << error;
        return model::GameFileText(game, form);
    }
    std::vector<ExplorerMove> explore(GameDatabase& db, std::string_view fen)
    {
        std::string error;
        const auto position = model::ReadFen(fen, error);
        EXPECT_TRUE(position) << error;
        return ExploreMoves(db, position->board, position->redToMove);
    }

    static std::vector<std::int64_t> foundIds(GameDatabase& db, const SearchQuery& query)
    {
        std::vector<std::int64_t> found;
        for (const GameSummary& g : SearchGames(db, query))
            found.push_back(g.id);
        return found;
    }

    testkit::TempFolder folder;
    testkit::OfflineGamePorts ports;
};

// Random games with variations and notes, some from a set-up position, with headers that
// use every optional part of the stored form.
std::vector<std::string> randomGameTexts(testkit::OfflineGamePorts& ports, int count, GameFileForm form)
{
    std::mt19937 random(7);
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        model::CGame game(ports.ports());
        if (i % 5 == 4) {
            std::string error;
            EXPECT_TRUE(model::SetFenPosition(game, "4k4/9/9/9/9/9/9/9/4A4/R2K4C b - - 0 1", error)) << error;
        }
        testkit::MakeRandomGame(game, random, {10, 30, i % 3, i % 2 ? 20 : 0});
        copyBounded(game.redName, i % 2 ? "\xa4\xfd\xa4\x40" : "alice"); // 王一 in Big5
        copyBounded(game.blackName, "bob");
        copyBounded(game.subject, "Club " + std::to_string(i % 3));
        copyBounded(game.result, std::vector<const char*>{"1-0", "0-1", "1/2-1/2", "Unknown", "Red resigns"}[i % 5]);
        copyBounded(game.date, i % 4 ? "2024-03-0" + std::to_string(i % 9 + 1) : "spring 2024");
        copyBounded(game.place, i % 2 ? "Taipei" : "");
        game.redRating = 1500 + i;
        game.blackRating = i % 3 ? -5 : 0;
        game.times = {0, i % 2 ? 7 : 0, 600, 600 - i};
        if (i == 0)
            game.SetNote("a note on the start", false);
        texts.push_back(model::GameFileText(game, form));
    }
    return texts;
}

TEST_F(DatabaseTest, GamesComeBackByteForByteInBothStoredForms)
{
    const auto oldTexts = randomGameTexts(ports, 25, GameFileForm::Old);
    const auto newTexts = randomGameTexts(ports, 25, GameFileForm::New);
    for (const auto* texts : {&oldTexts, &newTexts}) {
        auto db = open(texts == &oldTexts ? "old.sqlite" : "new.sqlite");
        RecordingImport port;
        const ImportResult result = importTexts(*db, *texts, port);
        ASSERT_TRUE(result.ok()) << result.error;
        for (const BadGame& bad : port.bad_games)
            ADD_FAILURE() << bad.file << ":" << bad.line << ": " << bad.reason;
        ASSERT_EQ(result.added, 25);
        for (std::size_t i = 0; i < texts->size(); ++i) {
            const auto id = static_cast<std::int64_t>(i + 1);
            EXPECT_EQ(exported(*db, id, GameFileForm::Old), oldTexts[i]) << "game " << i;
            EXPECT_EQ(exported(*db, id, GameFileForm::New), newTexts[i]) << "game " << i;
        }
    }
}


// Four games by hand: A and C reach the same position in different move orders, D plays A's
// line as a variation of its own.
const std::string kHandMade =
    "[Result \"1-0\"]\n\n1. h2e2 h9g7 2. b0c2 1-0\n\n"                   // A
    "[Result \"0-1\"]\n\n1. h2e2 h7e7 0-1\n\n"                             // B
    "[Result \"1/2-1/2\"]\n\n1. b0c2 h9g7 2. h2e2 1/2-1/2\n\n"             // C
    "[Result \"1-0\"]\n\n1. h2e2 h9g7 2. h0g2 (2. b0c2 i9h9) 1-0\n\n";      // D
const std::string kAfterThreeMoves = "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN1C4/9/R1BAKABNR b";

std::string explorerText(const std::vector<ExplorerMove>& moves)
{
    std::string text;
    for (const ExplorerMove& m : moves)
        text += model::FormatCoordinateMove(m.move.from, m.move.to) + " " + std::to_string(m.games) + " " +
                std::to_string(m.redWins) + " " + std::to_string(m.draws) + " " + std::to_string(m.blackWins) + "\n";
    return text;
}

TEST_F(DatabaseTest, ExplorerCountsGamesPerMoveWithTheirResults)
{
    auto db = open();
    RecordingImport port;
    ASSERT_EQ(importTexts(*db, {kHandMade}, port).added, 4);
    const struct {
        std::string fen, moves;
    } cases[] = {
        {model::OpeningFen(), "H2-E2 3 2 0 1\nB0-C2 1 0 1 0\n"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b", "H9-G7 2 2 0 0\nH7-E7 1 0 0 1\n"},
        {"rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w", "B0-C2 2 2 0 0\nH0-G2 1 1 0 0\n"},
        {kAfterThreeMoves, "I9-H9 1 1 0 0\n"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/P8/2P1P1P1P/1C5C1/9/RNBAKABNR b", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(explorerText(explore(*db, c.fen)), c.moves) << c.fen;
}

TEST_F(DatabaseTest, PositionSearchFindsEveryMoveOrderAndFiltersTheRest)
{
    auto db = open();
    RecordingImport port;
    ASSERT_EQ(importTexts(*db, {kHandMade}, port).added, 4);
    std::string error;
    const auto position = model::ReadFen(kAfterThreeMoves, error);
    ASSERT_TRUE(position) << error;
    const auto ids = [&](const SearchQuery& query) { return foundIds(*db, query); };
    SearchQuery byPosition;
    byPosition.position = std::pair(position->board, position->redToMove);
    EXPECT_EQ(ids(byPosition), (std::vector<std::int64_t>{1, 3, 4}));
    SearchQuery redWon = byPosition;
    redWon.outcome = Outcome::RedWins;
    EXPECT_EQ(ids(redWon), (std::vector<std::int64_t>{1, 4}));
    SearchQuery limited = byPosition;
    limited.limit = 2;
    EXPECT_EQ(ids(limited), (std::vector<std::int64_t>{1, 3}));
    SearchQuery drawn;
    drawn.outcome = Outcome::Draw;
    EXPECT_EQ(ids(drawn), (std::vector<std::int64_t>{3}));
}

TEST_F(DatabaseTest, HeaderSearchByPlayerEventAndDate)
{
    auto db = open();
    RecordingImport port;
    const std::string games =
        "[Event \"Spring Open\"]\n[Red \"Wang_Li\"]\n[Black \"Chen\"]\n[Date \"2024.03.05\"]\n\n1. h2e2 *\n\n"
        "[Event \"Autumn Cup\"]\n[Red \"Chen\"]\n[Black \"Wang%Li\"]\n[Date \"2023.10.01\"]\n\n1. h2e2 *\n\n"
        "[Event \"Spring Open\"]\n[Red \"Lin\"]\n[Black \"Wu\"]\n[Date \"????.??.??\"]\n\n1. h2e2 *\n\n";
    ASSERT_EQ(importTexts(*db, {games}, port).added, 3);
    const auto ids = [&](const SearchQuery& query) { return foundIds(*db, query); };
    SearchQuery q;
    q.player = "chen"; // either side, any case
    EXPECT_EQ(ids(q), (std::vector<std::int64_t>{1, 2}));
    q.player = "Wang_"; // "_" and "%" are plain characters
    EXPECT_EQ(ids(q), (std::vector<std::int64_t>{1}));
    q = {};
    q.event = "Spring";
    EXPECT_EQ(ids(q), (std::vector<std::int64_t>{1, 3}));
    q.dateFrom = DayNumber(2024, 1, 1); // the third game has no date: it gets the day it was read
    q.dateTo = DayNumber(2024, 12, 31);
    EXPECT_EQ(ids(q), (std::vector<std::int64_t>{1}));
    q = {};
    q.dateTo = DayNumber(2023, 12, 31);
    EXPECT_EQ(ids(q), (std::vector<std::int64_t>{2}));
}

TEST_F(DatabaseTest, AGameAlreadyStoredIsSkippedInTheSameBatchAndLater)
{
    auto db = open();
    RecordingImport port;
    const std::string a = "[Date \"2024.01.01\"]\n\n1. h2e2 h9g7 *\n\n";
    const std::string otherDate = "[Date \"2024.01.02\"]\n\n1. h2e2 h9g7 *\n\n";
    ImportResult first = importTexts(*db, {a, a + a, otherDate}, port);
    EXPECT_EQ(first.added, 2);
    EXPECT_EQ(first.duplicates, 2);
    ImportResult second = importTexts(*db, {otherDate, a}, port);
    EXPECT_EQ(second.added, 0);
    EXPECT_EQ(second.duplicates, 2);
    EXPECT_EQ(db->gameCount(), 2);
    EXPECT_EQ(explorerText(explore(*db, model::OpeningFen())), "H2-E2 2 0 0 0\n");
}

TEST_F(DatabaseTest, ABrokenGameInTheMiddleOfAPgnFileIsReportedAndLeftOut)
{
    auto db = open();
    const std::string path = folder.write("three.pgn", "[Event \"one\"]\n\n1. h2e2 h9g7 *\n\n"
                                                       "[Event \"two\"]\n\n1. h2e2 h9g7\n2. h2e2 *\n\n"
                                                       "[Event \"three\"]\n\n1. c3c4 *\n");
    RecordingImport port;
    const ImportResult result = ImportGames(*db, {path}, port);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.bad, 1);
    ASSERT_EQ(port.bad_games.size(), 1u);
    EXPECT_EQ(port.bad_games[0].file, path);
    EXPECT_EQ(port.bad_games[0].game, 2);
    EXPECT_EQ(port.bad_games[0].line, 8);
    EXPECT_NE(port.bad_games[0].reason.find("h2e2"), std::string::npos) << port.bad_games[0].reason;
    // Nothing of the broken game is in the index: only the first moves of the other two.
    EXPECT_EQ(explorerText(explore(*db, model::OpeningFen())), "C3-C4 1 0 0 0\nH2-E2 1 0 0 0\n");
}

TEST_F(DatabaseTest, AnIllegalMoveInAGameFileLeavesTheGameOut)
{
    auto db = open();
    // The old form takes any move its text names; the rules do not allow a chariot's jump.
    const std::string file = "GAME\r\nSTART\r\nH2-E2\r\nH9-G7\r\nA0-A5\r\n";
    RecordingImport port;
    const ImportResult result = importTexts(*db, {file}, port);
    EXPECT_EQ(result.added, 0);
    ASSERT_EQ(port.bad_games.size(), 1u);
    EXPECT_NE(port.bad_games[0].reason.find("A0-A5"), std::string::npos) << port.bad_games[0].reason;
    EXPECT_EQ(port.bad_games[0].line, 5);
    EXPECT_EQ(db->gameCount(), 0);
}

TEST_F(DatabaseTest, CancellingAnImportLeavesTheDatabaseAsItWas)
{
    auto db = open();
    RecordingImport port;
    ASSERT_EQ(importTexts(*db, {kHandMade}, port).added, 4);
    const std::string before = explorerText(explore(*db, model::OpeningFen()));
    const int segments = db->index().segmentCount();

    const auto texts = randomGameTexts(ports, 30, GameFileForm::New);
    RecordingImport cancelling;
    cancelling.cancelAfter = 20;
    const ImportResult result = importTexts(*db, texts, cancelling);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.added, 0);
    // Reopened from the file, as after a crash.
    db.reset();
    db = open();
    EXPECT_EQ(db->gameCount(), 4);
    EXPECT_EQ(explorerText(explore(*db, model::OpeningFen())), before);
    EXPECT_EQ(db->index().segmentCount(), segments);
    // The names the cancelled batch brought are gone with it: the next import stores them again.
    EXPECT_EQ(importTexts(*db, texts, port).added, 30);
    EXPECT_EQ(exported(*db, 5, GameFileForm::New), texts[0]);
}

// The index gives the same answers however it was written: in one batch, in many batches
// whose runs were merged, and merged into one run.
TEST_F(DatabaseTest, TheIndexAnswersAlikeAfterMerges)
{
    std::mt19937 random(11);
    std::vector<std::string> texts;
    std::vector<std::string> fens{model::OpeningFen()};
    for (int i = 0; i < 96; ++i) {
        model::CGame game(ports.ports());
        testkit::MakeRandomGame(game, random, {4, 12, 1, 0});
        copyBounded(game.result, i % 3 == 0 ? "1-0" : i % 3 == 1 ? "0-1" : "1/2-1/2");
        texts.push_back(model::GameFileText(game, GameFileForm::New));
        game.Navigate(model::kGoToPly, 2);
        fens.push_back(model::GameFen(game));
    }
    auto whole = open("whole.sqlite");
    RecordingImport port;
    ASSERT_EQ(importTexts(*whole, texts, port).added, 96);
    auto pieces = open("pieces.sqlite");
    for (std::size_t i = 0; i < texts.size(); i += 12)
        importTexts(*pieces, std::vector<std::string>(texts.begin() + i, texts.begin() + i + 12), port);
    EXPECT_EQ(pieces->gameCount(), 96);
    EXPECT_LT(pieces->index().segmentCount(), 8); // eight batches, merged four at a time
    const auto compare = [&](const char* stage) {
        for (const std::string& fen : fens)
            EXPECT_EQ(explorerText(explore(*pieces, fen)), explorerText(explore(*whole, fen))) << stage << " " << fen;
    };
    compare("merged by size");
    std::string error;
    ASSERT_TRUE(pieces->optimize(error)) << error;
    EXPECT_EQ(pieces->index().segmentCount(), 1);
    compare("merged into one");
    // Every game opens with one move from the start: the counts there add up to the games.
    std::int64_t total = 0;
    for (const ExplorerMove& m : explore(*whole, model::OpeningFen()))
        total += m.games;
    EXPECT_EQ(total, 96);
}

TEST_F(DatabaseTest, AFileOfAnotherKindIsNotOpened)
{
    const std::string path = folder.write("other.sqlite", "");
    {
        Connection other(path);
        other.execute("CREATE TABLE notes(text TEXT)");
    }
    std::string error;
    EXPECT_FALSE(GameDatabase::open(path, error));
    EXPECT_NE(error.find("not a game database"), std::string::npos) << error;
    EXPECT_FALSE(GameDatabase::open(folder.write("text.sqlite", "plain text, not SQLite"), error));
}

} // namespace
} // namespace marovin::database
