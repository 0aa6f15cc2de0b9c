// The stored form of a game: dates, results, and blobs that were damaged on the way.
#include <gtest/gtest.h>

#include <random>

#include "database/game_codec.h"
#include "model/game_file.h"
#include "testkit/offline_game_ports.h"
#include "testkit/random_game.h"

namespace marovin::database {
namespace {

TEST(GameCodec, DatesOfRealDaysAreStoredAsDayNumbers)
{
    const struct {
        const char* text;
        std::optional<std::int64_t> days;
    } cases[] = {
        {"1970-01-01", 0},          {"1970-01-02", 1},       {"1969-12-31", -1},
        {"2000-02-29", 11016},      {"2024-03-05", 19787},   {"1899-12-31", -25568},
        {"2023-02-29", std::nullopt}, // no such day
        {"2024-3-05", std::nullopt},  {"2024.03.05", std::nullopt}, {"", std::nullopt},
        {"spring 2024", std::nullopt}, {"2024-13-01", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateNumber(c.text), c.days) << c.text;
        if (c.days) {
            EXPECT_EQ(DateText(*c.days), c.text);
        }
    }
}

TEST(GameCodec, ResultTextsNameTheirOutcome)
{
    const struct {
        const char* text;
        Outcome outcome;
    } cases[] = {
        {"1-0", Outcome::RedWins},        {"0-1", Outcome::BlackWins},    {"1/2-1/2", Outcome::Draw},
        {"Red wins", Outcome::RedWins},   {"BLACK WINS on time", Outcome::BlackWins},
        {"Draw by agreement", Outcome::Draw}, {"\xac\xf5\xb3\xd3", Outcome::RedWins}, // 紅勝
        {"Unknown", Outcome::Unknown},    {"", Outcome::Unknown},         {"Red resigns", Outcome::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutcomeOf(c.text), c.outcome) << c.text;
}

// A stored blob cut short or changed anywhere never crashes or hangs the decoder: it
// either rebuilds some game or says the blob is damaged.
TEST(GameCodec, DamagedBlobsAreRefusedOrReadSafely)
{
    testkit::OfflineGamePorts ports;
    std::mt19937 random(3);
    model::CGame game(ports.ports());
    testkit::MakeRandomGame(game, random, {30, 40, 2, 10});
    std::string error;
    const auto encoded = EncodeGame(game, error);
    ASSERT_TRUE(encoded) << error;
    int refused = 0;
    for (std::size_t cut = 0; cut < encoded->data.size(); ++cut) {
        model::CGame back(ports.ports());
        refused += !DecodeGame("a", "b", "e", "", ResultColumn(*encoded), encoded->data.substr(0, cut), back, error);
    }
    EXPECT_GT(refused, 0);
    for (int trial = 0; trial < 300; ++trial) {
        std::string changed = encoded->data;
        changed[random() % changed.size()] = static_cast<char>(random());
        model::CGame back(ports.ports());
        DecodeGame("a", "b", "e", "", random() % 128, changed, back, error);
    }
}

} // namespace
} // namespace marovin::database
