#pragma once
// The low-time alarm of the user's clock in a live game: a small state machine fed the
// clock's seconds whenever they change. Under a threshold (30 s and again 10 s by default)
// the clock is drawn red and blinks, and the alarm sounds once per threshold: a clock that
// goes back over a threshold (time added, an increment) arms it again.
//
//   seconds   45 ... 31  30  29 ... 12  11  10  9 ...     (thresholds 30 and 10)
//   sounds                    *                  *
//   red                       ========================
//
// A clock first seen under a threshold (a game resumed late) sounds once, however many
// thresholds it is under.

#include <array>
#include <cstdint>

namespace marovin::board {

struct AlarmThresholds {
    int first = 30;  // seconds; 0 is off
    int second = 10; // seconds; 0 is off
};

class ClockAlarm {
public:
    // The user's clock shows seconds now. True when the alarm should sound: the clock fell
    // under a threshold that was armed.
    bool update(std::int64_t seconds, const AlarmThresholds& thresholds);
    // The clock is no longer the user's running clock (the game ended, or is not live):
    // everything is armed again and nothing is red.
    void reset();
    // The clock is under a threshold: it is drawn red and blinks.
    bool low() const { return m_low; }

    // Blinking: the red clock shows during the first 600 ms of every second and is hidden
    // for the rest.
    static bool blinkShown(std::int64_t milliseconds);

private:
    std::array<bool, 2> m_fired{false, false};
    bool m_low = false;
};

} // namespace marovin::board
