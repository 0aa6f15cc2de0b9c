#include "options/alert_settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/paths.h"

namespace marovin {

namespace {

int clampedNumber(std::string_view text, int low, int high, int fallback)
{
    long value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size())
        return fallback;
    return static_cast<int>(std::clamp<long>(value, low, high));
}

// "1" or "0"; anything else keeps the value.
void readSwitch(std::string_view text, bool& value)
{
    if (text == "1" || text == "0")
        value = text == "1";
}

template <std::size_t N>
bool readNamedSwitch(std::string_view key, std::string_view prefix, const std::array<std::string_view, N>& names,
                     std::string_view value, std::array<bool, N>& switches)
{
    if (key.substr(0, prefix.size()) != prefix)
        return false;
    const auto it = std::find(names.begin(), names.end(), key.substr(prefix.size()));
    if (it != names.end())
        readSwitch(value, switches[static_cast<std::size_t>(it - names.begin())]);
    return true;
}

} // namespace

AlertSettings ReadAlertSettings(std::string_view text)
{
    AlertSettings settings;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (key == "reconnect")
            readSwitch(value, settings.reconnect);
        else if (key == "volume")
            settings.volume = clampedNumber(value, 0, kMaxVolume, settings.volume);
        else if (key == "alarm.first")
            settings.alarmFirstSeconds = clampedNumber(value, 0, kLongestAlarmSeconds, settings.alarmFirstSeconds);
        else if (key == "alarm.second")
            settings.alarmSecondSeconds = clampedNumber(value, 0, kLongestAlarmSeconds, settings.alarmSecondSeconds);
        else if (!readNamedSwitch(key, "sound.", kSoundNames, value, settings.sounds))
            readNamedSwitch(key, "notify.", kNoticeNames, value, settings.notices);
    }
    return settings;
}

std::string WriteAlertSettings(const AlertSettings& settings)
{
    std::ostringstream out;
    out << "reconnect=" << (settings.reconnect ? 1 : 0) << '\n' << "volume=" << settings.volume << '\n';
    for (std::size_t i = 0; i < kSoundCount; ++i)
        out << "sound." << kSoundNames[i] << '=' << (settings.sounds[i] ? 1 : 0) << '\n';
    for (std::size_t i = 0; i < kNoticeCount; ++i)
        out << "notify." << kNoticeNames[i] << '=' << (settings.notices[i] ? 1 : 0) << '\n';
    out << "alarm.first=" << settings.alarmFirstSeconds << '\n'
        << "alarm.second=" << settings.alarmSecondSeconds << '\n';
    return out.str();
}

AlertSettings LoadAlertSettings(const std::string& folder)
{
    std::ifstream file(folder + std::string(kAlertSettingsFileName), std::ios::binary);
    if (!file)
        return {};
    std::string text(16 * 1024, '\0'); // far more than any real settings file
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return ReadAlertSettings(text);
}

bool SaveAlertSettings(const std::string& folder, const AlertSettings& settings, std::string& error)
{
    const std::string path = folder + std::string(kAlertSettingsFileName);
    if (!ensureFolder(folder)) {
        error = "Cannot create the folder " + folder;
        return false;
    }
    // Written beside and renamed over the old file, so that a failed write keeps it.
    const std::string temporary = path + ".new";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << WriteAlertSettings(settings);
    file.close();
    if (!file || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "Cannot write " + path;
        return false;
    }
    return true;
}

} // namespace marovin
