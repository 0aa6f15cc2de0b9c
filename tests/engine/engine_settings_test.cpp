#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "engine/engine_settings.h"
#include "testkit/temp_folder.h"

namespace marovin::engine {
namespace {

TEST(EngineSettingsFile, ReadsWritesAndRepairsValues)
{
    const EngineSettings custom{"/opt/engines/xq", 4, 256, RankBase::FromZero, 3, 2};
    EXPECT_EQ(ReadEngineSettings(WriteEngineSettings(custom)), custom);

    const struct {
        const char* text;
        EngineSettings expected;
    } cases[] = {
        {"", EngineSettings{}},
        {"path=eng\r\nthreads=3\r\nhash=128\r\nranks=0\r\n", {"eng", 3, 128, RankBase::FromZero}},
        {"threads=0\nhash=999999999\n", {"", 1, kMaxHashMegabytes, RankBase::FromOne}},
        {"threads=-5\nhash=-1\n", {"", 1, 1, RankBase::FromOne}},
        {"threads=lots\nhash=12MB\nranks=7\nnoise\n=\ncolour=red\n", EngineSettings{}},
        {"threads=99999999999999999999\n", EngineSettings{}},
        {"lines=4\n", {"", 1, 64, RankBase::FromOne, 4}},
        {"lines=0\n", {"", 1, 64, RankBase::FromOne, 1}},
        {"lines=12\n", {"", 1, 64, RankBase::FromOne, kMostLines}},
        {"engines=3\nlines=2\n", {"", 1, 64, RankBase::FromOne, 2, 3}},
        {"engines=9\n", {"", 1, 64, RankBase::FromOne, 1, kMostEngineProcesses}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadEngineSettings(c.text), c.expected) << c.text;

    const std::string longPath = "path=" + std::string(kLongestEnginePath + 1, 'a') + "\n";
    EXPECT_TRUE(ReadEngineSettings(longPath).path.empty());
}

TEST(EngineSettingsFile, SavesIntoTheFolderAndLoadsBack)
{
    testkit::TempFolder temp;
    const std::string folder = temp.path() + "/data/";
    EXPECT_EQ(LoadEngineSettings(folder), EngineSettings{}); // missing: defaults
    const EngineSettings settings{"fairy-stockfish", 2, 32, RankBase::FromOne};
    std::string error;
    ASSERT_TRUE(SaveEngineSettings(folder, settings, error)) << error;
    EXPECT_EQ(LoadEngineSettings(folder), settings);
}

TEST(EngineProgramLookup, SearchesThePathThenUsrGames)
{
    testkit::TempFolder temp;
    const std::string folder = temp.path();
    const std::string program = folder + "/xq-engine";
    std::ofstream(program) << "#!/bin/sh\n";
    const std::string plain = folder + "/not-executable";
    std::ofstream(plain) << "text\n";
    ASSERT_EQ(::chmod(program.c_str(), 0755), 0);

    EXPECT_EQ(FindEngineProgram("xq-engine", "/nonexistent:" + folder), program);
    EXPECT_EQ(FindEngineProgram(program, ""), program);
    EXPECT_FALSE(FindEngineProgram("xq-engine", "/nonexistent::"));
    EXPECT_FALSE(FindEngineProgram("not-executable", folder));
    EXPECT_FALSE(FindEngineProgram(plain, ""));
    EXPECT_FALSE(FindEngineProgram(folder, "")); // a folder is no program
    // The default name is found in /usr/games when the path does not have it.
    struct stat info {};
    if (::stat("/usr/games/fairy-stockfish", &info) == 0) {
        EXPECT_EQ(FindEngineProgram("", "/nonexistent"), "/usr/games/fairy-stockfish");
    }
}

} // namespace
} // namespace marovin::engine
