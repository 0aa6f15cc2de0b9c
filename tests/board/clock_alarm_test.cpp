// The low-time alarm fed the user's clock second by second, as the clock timer and the
// server's move reports give it.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/clock_alarm.h"

namespace marovin::board {
namespace {

TEST(ClockAlarm, SoundsOncePerThresholdAndTurnsRedUnderIt)
{
    struct Case {
        const char* name;
        AlarmThresholds thresholds;
        std::vector<std::int64_t> clock; // the seconds the clock shows, in order
        std::string sounds;              // per update: '*' sounds, '.' silent
        std::string red;                 // per update: 'r' red, '.' not
    };
    const Case cases[] = {
        {"counting down", {30, 10}, {32, 31, 30, 29, 28, 11, 10, 9, 0, -3}, "...*...*..", "...rrrrrrr"},
        {"time added arms the threshold again", {30, 10}, {29, 40, 29, 28}, "*.*.", "r.rr"},
        {"first seen under both sounds once", {30, 10}, {5, 4}, "*.", "rr"},
        {"a second threshold only", {0, 10}, {30, 20, 9, 8}, "..*.", "..rr"},
        {"both off", {0, 0}, {30, 5, 0}, "...", "..."},
        {"an increment hovering at the threshold", {30, 10}, {29, 30, 29, 31, 29}, "*.*.*", "r.r.r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClockAlarm alarm;
        std::string sounds;
        std::string red;
        for (const std::int64_t seconds : c.clock) {
            sounds += alarm.update(seconds, c.thresholds) ? '*' : '.';
            red += alarm.low() ? 'r' : '.';
        }
        EXPECT_EQ(sounds, c.sounds);
        EXPECT_EQ(red, c.red);
    }
}

TEST(ClockAlarm, AResetStandsDownAndArmsEverything)
{
    ClockAlarm alarm;
    ASSERT_TRUE(alarm.update(25, {}));
    alarm.reset();
    EXPECT_FALSE(alarm.low());
    EXPECT_TRUE(alarm.update(25, {})) << "a game that is live again sounds again";
}

TEST(ClockAlarm, TheRedClockBlinksWithinEachSecond)
{
    std::string shown;
    for (std::int64_t ms = 0; ms < 2000; ms += 200)
        shown += ClockAlarm::blinkShown(ms) ? '#' : ' ';
    EXPECT_EQ(shown, "###  ###  ");
}

} // namespace
} // namespace marovin::board
