#include "board/clock_alarm.h"

namespace marovin::board {

bool ClockAlarm::update(std::int64_t seconds, const AlarmThresholds& thresholds)
{
    const std::array<int, 2> limits{thresholds.first, thresholds.second};
    bool sound = false;
    m_low = false;
    for (std::size_t i = 0; i < limits.size(); ++i) {
        if (limits[i] <= 0) {
            m_fired[i] = false;
            continue;
        }
        if (seconds >= limits[i]) {
            m_fired[i] = false; // over it again: armed
            continue;
        }
        m_low = true;
        if (!m_fired[i]) {
            m_fired[i] = true;
            sound = true;
        }
    }
    return sound;
}

void ClockAlarm::reset()
{
    m_fired = {false, false};
    m_low = false;
}

bool ClockAlarm::blinkShown(std::int64_t milliseconds)
{
    const std::int64_t phase = ((milliseconds % 1000) + 1000) % 1000;
    return phase < 600;
}

} // namespace marovin::board
