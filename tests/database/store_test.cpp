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

} // namespace
} // namespace marovin::database
