// The folders of src/ form a one-way stack: a file may include its own folder and folders
// of a lower rank, never one of its own rank or above, and the core folders include no Qt.
// A new folder gets a line in kStack; a folder missing from it fails the sweep.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace marovin {
namespace {

namespace fs = std::filesystem;

struct Layer {
    std::string_view folder;
    int rank;  // a folder may include only folders of a lower rank
    bool core; // plain C++: no Qt header
};

// Bottom to top; see docs/architecture.md.
constexpr Layer kStack[] = {
    {"support", 0, true},
    {"model", 1, true},
    {"engine", 2, true},
    {"options", 2, true},
    {"database", 2, true},
    {"session", 3, true},
    {"platform", 4, false},
    {"board", 5, false},
    {"widgets", 5, false},
    {"printing", 5, false},
    {"game_window", 6, false},
    {"terminal", 6, false},
    {"windows", 6, false},
    {"frame", 7, false},
    {"app", 8, false},
};

constexpr int kLineLimit = 700;

std::optional<Layer> layerOf(std::string_view folder)
{
    for (const Layer& layer : kStack)
        if (layer.folder == folder)
            return layer;
    return std::nullopt;
}

struct Include {
    std::string target; // as written between the quotes or brackets
    bool angled = false;
};

// What is wrong with one include of a file in folder, or empty.
std::string includeFault(std::string_view folder, const Include& include)
{
    const std::optional<Layer> own = layerOf(folder);
    if (!own)
        return "folder " + std::string(folder) + " is not in the stack";
    if (include.angled)
        return own->core && include.target.starts_with('Q') ? "a core folder includes Qt" : "";
    const std::size_t slash = include.target.find('/');
    if (slash == std::string::npos)
        return "";
    const std::string target = include.target.substr(0, slash);
    if (target == folder)
        return "";
    const std::optional<Layer> included = layerOf(target);
    if (!included)
        return "includes " + target + ", which is not in the stack";
    if (included->rank >= own->rank)
        return "includes " + target + ", which is not below " + std::string(folder);
    return "";
}

std::vector<Include> includesOf(const fs::path& file)
{
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> includes;
    std::ifstream in(file);
    std::string line;
    std::smatch match;
    while (std::getline(in, line))
        if (std::regex_search(line, match, kInclude))
            includes.push_back({match[2].str(), match[1].str() == "<"});
    return includes;
}

int lineCount(const fs::path& file)
{
    std::ifstream in(file);
    return static_cast<int>(std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
}

bool isSource(const fs::path& path)
{
    const std::string extension = path.extension().string();
    return extension == ".h" || extension == ".cpp";
}

// Every source file under src/, as its path relative to src/.
std::vector<fs::path> sourceFiles()
{
    const fs::path root = fs::path(MAROVIN_SOURCE_DIR) / "src";
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && isSource(entry.path()))
            files.push_back(fs::relative(entry.path(), root));
    std::sort(files.begin(), files.end());
    return files;
}

TEST(IncludeDirection, TheRuleRefusesUpwardSidewaysUnknownAndQtInTheCore)
{
    struct Case {
        std::string_view folder;
        Include include;
        bool allowed;
    };
    const Case cases[] = {
        {"game_window", {"board/board_painter.h"}, true},
        {"game_window", {"game_window/game_view.h"}, true},
        {"game_window", {"offscreen.h"}, true},
        {"frame", {"QMainWindow", true}, true},
        {"session", {"model/game.h"}, true},
        {"database", {"model/game.h"}, true},
        {"board", {"game_window/game_frame.h"}, false},
        {"windows", {"terminal/terminal_frame.h"}, false},
        {"engine", {"options/options.h"}, false},
        {"platform", {"widgets/font_faces.h"}, false},
        {"model", {"session/client_context.h"}, false},
        {"model", {"QString", true}, false},
        {"session", {"QtCore/QObject", true}, false},
        {"frame", {"shell/input_bar.h"}, false},
        {"shell", {"support/big5.h"}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(includeFault(c.folder, c.include).empty(), c.allowed)
            << c.folder << " including " << c.include.target;
}

TEST(IncludeDirection, EveryFolderOfSrcIncludesOnlyItselfAndFoldersBelowIt)
{
    const std::vector<fs::path> files = sourceFiles();
    ASSERT_GT(files.size(), 100u) << "the sources were not found under " << MAROVIN_SOURCE_DIR;
    const fs::path root = fs::path(MAROVIN_SOURCE_DIR) / "src";
    for (const fs::path& file : files) {
        const std::string folder = file.begin()->string();
        EXPECT_TRUE(layerOf(folder)) << file.string() << ": its folder is not in the stack";
        for (const Include& include : includesOf(root / file)) {
            const std::string fault = includeFault(folder, include);
            EXPECT_TRUE(fault.empty()) << file.string() << ": " << include.target << ": " << fault;
        }
    }
}

TEST(SourceLength, NoFileOfSrcPassesTheLimit)
{
    const fs::path root = fs::path(MAROVIN_SOURCE_DIR) / "src";
    for (const fs::path& file : sourceFiles())
        EXPECT_LE(lineCount(root / file), kLineLimit) << file.string();
}

} // namespace
} // namespace marovin
