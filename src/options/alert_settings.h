#pragma once
// The settings of staying connected and being alerted, kept in a small text file of their
// own in the data folder (the options record is a fixed byte image that cannot grow):
//
//   reconnect=1                 reconnect by itself when the connection drops
//   volume=70                   0..100
//   sound.move=1                one line per sound (names in kSoundNames), 1 on, 0 off
//   notify.move=0               one line per desktop notification (kNoticeNames)
//   alarm.first=30              the user's clock turns red and sounds under these
//   alarm.second=10             seconds (0: that threshold is off)
//
// Unknown lines are ignored and values out of range are brought into it, so a damaged
// file gives usable settings.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace marovin {

// The sounds, in the order of the options dialog.
enum class SoundEvent : std::uint8_t {
    Move,      // a move on the board of the user's game
    Capture,   // the same move took a piece
    Check,     // the same move gives check
    GameStart, // the user's game starts (or resumes)
    GameEnd,   // the user's game ends
    Tell,      // a player wrote to the user
    Challenge, // a player challenges the user
    LowTime,   // the user's clock fell under an alarm threshold
};
constexpr std::size_t kSoundCount = 8;
inline constexpr std::array<std::string_view, kSoundCount> kSoundNames = {
    "move", "capture", "check", "start", "end", "tell", "challenge", "alarm"};

// The desktop notifications, shown while Marovin's windows are not active.
enum class NoticeEvent : std::uint8_t {
    OpponentMoved,
    Tell,
    Challenge,
    GameEnded,
};
constexpr std::size_t kNoticeCount = 4;
inline constexpr std::array<std::string_view, kNoticeCount> kNoticeNames = {"move", "tell", "challenge", "end"};

inline constexpr std::string_view kAlertSettingsFileName = "alerts.txt";
constexpr int kMaxVolume = 100;
constexpr int kLongestAlarmSeconds = 3600;

struct AlertSettings {
    bool reconnect = true;
    int volume = 70;
    std::array<bool, kSoundCount> sounds{true, true, true, true, true, true, true, true};
    // Off for moves (a game gives many), on for what needs an answer.
    std::array<bool, kNoticeCount> notices{false, true, true, true};
    int alarmFirstSeconds = 30;
    int alarmSecondSeconds = 10;

    bool soundOn(SoundEvent event) const { return sounds[static_cast<std::size_t>(event)]; }
    bool noticeOn(NoticeEvent event) const { return notices[static_cast<std::size_t>(event)]; }
    friend bool operator==(const AlertSettings&, const AlertSettings&) = default;
};

AlertSettings ReadAlertSettings(std::string_view text);
std::string WriteAlertSettings(const AlertSettings& settings);

// The file in folder (ending in '/'), read; the defaults when it is missing or unreadable.
AlertSettings LoadAlertSettings(const std::string& folder);
// Writes the file into folder (created when missing). False, with error, on failure.
bool SaveAlertSettings(const std::string& folder, const AlertSettings& settings, std::string& error);

} // namespace marovin
