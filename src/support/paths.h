#pragma once
// Where the program's files live. Every folder name ends in '/'.
//
//   settings file   $XDG_CONFIG_HOME/marovin/Marovin.dat (~/.config when unset);
//                   --settings FILE, then $MAROVIN_SETTINGS, override it
//   data folder     $XDG_DATA_HOME/marovin/ (~/.local/share when unset): files the program
//                   writes beside its settings (command texts, the transfer file)
//   asset folder    read-only files shipped with the program (board bitmaps, images)

#include <string>
#include <string_view>

namespace marovin {

inline constexpr std::string_view kSettingsFileName = "Marovin.dat";

std::string configFolder();
std::string dataFolder();
// The settings file: commandLineFile when not empty, else $MAROVIN_SETTINGS when set and
// not empty, else the configuration folder's Marovin.dat.
std::string settingsFilePath(std::string_view commandLineFile);
// The folder of the running executable.
std::string executableFolder();
// The first of: <exe>/../share/marovin/, <exe>/assets/, the source tree's assets/ that
// exists; the executable's folder when none does.
std::string assetFolder();
// The folder part of a path, ending in '/' ("./" when it has none).
std::string folderOf(std::string_view path);
// Creates folder and its missing parents (new ones readable by the owner only).
bool ensureFolder(std::string_view folder);

} // namespace marovin
