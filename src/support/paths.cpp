#include "support/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace marovin {
namespace {

std::string withSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// An XDG base folder: the variable when it holds an absolute path, else the fallback
// under the home folder.
std::string baseFolder(const char* variable, const char* fallback)
{
    std::string base = environment(variable);
    if (base.empty() || base.front() != '/') {
        std::string home = environment("HOME");
        if (home.empty())
            home = "/tmp";
        base = withSlash(home) + fallback;
    }
    return withSlash(base);
}

bool isFolder(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

} // namespace

std::string configFolder()
{
    return baseFolder("XDG_CONFIG_HOME", ".config") + "marovin/";
}

std::string dataFolder()
{
    return baseFolder("XDG_DATA_HOME", ".local/share") + "marovin/";
}

std::string settingsFilePath(std::string_view commandLineFile)
{
    if (!commandLineFile.empty())
        return std::string(commandLineFile);
    std::string fromEnvironment = environment("MAROVIN_SETTINGS");
    if (!fromEnvironment.empty())
        return fromEnvironment;
    return configFolder() + std::string(kSettingsFileName);
}

std::string executableFolder()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "./";
    return withSlash(exe.parent_path().string());
}

std::string assetFolder()
{
    const std::string exe = executableFolder();
    const std::string candidates[] = {exe + "../share/marovin/", exe + "assets/",
                                      std::string(MAROVIN_SOURCE_DIR) + "/assets/"};
    for (const auto& candidate : candidates)
        if (isFolder(candidate))
            return candidate;
    return exe;
}

std::string folderOf(std::string_view path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return "./";
    return std::string(path.substr(0, slash + 1));
}

bool ensureFolder(std::string_view folder)
{
    std::string path(folder);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty() || isFolder(path))
        return true;
    const auto slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !ensureFolder(path.substr(0, slash)))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace marovin
