#include "engine/engine_settings.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "support/paths.h"

namespace marovin::engine {

namespace {

std::optional<long> readNumber(std::string_view text)
{
    long value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

int clampedNumber(std::string_view text, int low, int high, int fallback)
{
    const auto value = readNumber(text);
    if (!value)
        return fallback;
    return static_cast<int>(std::clamp<long>(*value, low, high));
}

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

EngineSettings ReadEngineSettings(std::string_view text)
{
    EngineSettings settings;
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
        if (key == "path" && value.size() <= kLongestEnginePath && value.find('\0') == std::string_view::npos)
            settings.path = std::string(value);
        else if (key == "threads")
            settings.threads = clampedNumber(value, 1, kMaxThreads, settings.threads);
        else if (key == "hash")
            settings.hashMegabytes = clampedNumber(value, 1, kMaxHashMegabytes, settings.hashMegabytes);
        else if (key == "engines")
            settings.engines = clampedNumber(value, 1, kMostEngineProcesses, settings.engines);
        else if (key == "lines")
            settings.lines = clampedNumber(value, 1, kMostLines, settings.lines);
        else if (key == "ranks" && (value == "0" || value == "1"))
            settings.rankBase = value == "0" ? RankBase::FromZero : RankBase::FromOne;
    }
    return settings;
}

std::string WriteEngineSettings(const EngineSettings& settings)
{
    std::ostringstream out;
    out << "path=" << settings.path << '\n'
        << "threads=" << settings.threads << '\n'
        << "hash=" << settings.hashMegabytes << '\n'
        << "ranks=" << static_cast<int>(settings.rankBase) << '\n'
        << "lines=" << settings.lines << '\n'
        << "engines=" << settings.engines << '\n';
    return out.str();
}

EngineSettings LoadEngineSettings(const std::string& folder)
{
    std::ifstream file(folder + std::string(kEngineSettingsFileName), std::ios::binary);
    if (!file)
        return {};
    std::string text(64 * 1024, '\0'); // far more than any real settings file
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return ReadEngineSettings(text);
}

bool SaveEngineSettings(const std::string& folder, const EngineSettings& settings, std::string& error)
{
    const std::string path = folder + std::string(kEngineSettingsFileName);
    if (!ensureFolder(folder)) {
        error = "Cannot create the folder " + folder;
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << WriteEngineSettings(settings);
    file.close();
    if (!file) {
        error = "Cannot write " + path;
        return false;
    }
    return true;
}

std::optional<std::string> FindEngineProgram(std::string_view configured, std::string_view searchPath)
{
    const std::string name(configured.empty() ? kDefaultEngineProgram : configured);
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? std::optional<std::string>(name) : std::nullopt;
    std::string folders(searchPath);
    folders += ":/usr/games";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        std::string folder = folders.substr(start, end - start);
        start = end + 1;
        if (folder.empty())
            continue; // an empty entry would mean the current folder: not for a program we run
        const std::string candidate = folder + '/' + name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

std::optional<std::string> FindEngineProgram(std::string_view configured)
{
    const char* path = std::getenv("PATH");
    return FindEngineProgram(configured, path ? path : "");
}

EngineOptions OptionsFromSettings(const EngineSettings& settings)
{
    EngineOptions options;
    options.program = FindEngineProgram(settings.path).value_or("");
    options.threads = settings.threads;
    options.hashMegabytes = settings.hashMegabytes;
    options.rankBase = settings.rankBase;
    return options;
}

} // namespace marovin::engine
