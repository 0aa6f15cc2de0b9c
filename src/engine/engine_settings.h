#pragma once
// The engine settings, kept in a small text file of their own in the data folder:
//
//   path=/usr/games/fairy-stockfish     empty: look for fairy-stockfish
//   threads=1
//   hash=64                             megabytes
//   ranks=1                             the engine's number for Red's back rank (0 or 1)
//   lines=1                             best lines shown while analysing (1..5)
//   engines=1                           engine processes the program may run at once (1..4)
//
// Unknown lines are ignored and values out of range are brought into it, so a damaged
// file gives usable settings. The program name is found on PATH and in /usr/games, where
// Debian puts game engines.

#include <optional>
#include <string>
#include <string_view>

#include "engine/engine_client.h"

namespace marovin::engine {

inline constexpr std::string_view kEngineSettingsFileName = "engine.txt";
inline constexpr std::string_view kDefaultEngineProgram = "fairy-stockfish";
constexpr int kMaxThreads = 256;
constexpr int kMaxHashMegabytes = 65536;
constexpr std::size_t kLongestEnginePath = 4096;
constexpr int kMostEngineProcesses = 4;

struct EngineSettings {
    std::string path; // a path or a program name; empty means the default program
    int threads = 1;
    int hashMegabytes = 64;
    RankBase rankBase = RankBase::FromOne;
    int lines = 1;   // MultiPV of the analysis strip
    int engines = 1; // processes shared by the windows and analyses
    friend bool operator==(const EngineSettings&, const EngineSettings&) = default;
};

EngineSettings ReadEngineSettings(std::string_view text);
std::string WriteEngineSettings(const EngineSettings& settings);

// The file in folder, read; the defaults when it is missing or unreadable.
EngineSettings LoadEngineSettings(const std::string& folder);
// Writes the file into folder (created when missing). False, with error, on failure.
bool SaveEngineSettings(const std::string& folder, const EngineSettings& settings, std::string& error);

// The program to run for a configured path or name: a name with a '/' is used as it is
// when it is an executable file; a bare name (the default one when empty) is looked up in
// the folders of searchPath and then /usr/games. Nothing when it is not found.
std::optional<std::string> FindEngineProgram(std::string_view configured, std::string_view searchPath);

// FindEngineProgram with the process's PATH.
std::optional<std::string> FindEngineProgram(std::string_view configured);

// The client options for settings: the program found (empty when none) and the figures.
EngineOptions OptionsFromSettings(const EngineSettings& settings);

} // namespace marovin::engine
