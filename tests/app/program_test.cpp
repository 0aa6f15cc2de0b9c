// The real program, run as a user would: the command line without a display, and a
// start-up on the offscreen platform that leaves the settings file behind.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "../options/default_image.h"
#include "testkit/temp_folder.h"

namespace marovin {
namespace {

using testkit::TempFolder;

const std::string kProgram = MAROVIN_BINARY_DIR "/bin/marovin";

struct ProgramRun {
    int status = -1;
    std::string output;
};

// Runs a shell command line, collecting what it prints (both streams).
ProgramRun run(const std::string& command)
{
    ProgramRun result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(Program, HelpAndVersionNeedNoDisplay)
{
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    const ProgramRun help = run(noDisplay + kProgram + " --help");
    EXPECT_EQ(help.status, 0) << help.output;
    EXPECT_EQ(help.output.rfind("Usage: ", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("--settings FILE"), std::string::npos);

    const ProgramRun version = run(noDisplay + kProgram + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, "Marovin " MAROVIN_VERSION "\n");

    const ProgramRun wrong = run(noDisplay + kProgram + " --settings");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.output.find("--settings needs a file name"), std::string::npos) << wrong.output;
}

TEST(Program, StartsAndLeavesTheDefaultSettingsFile)
{
    TempFolder folder;
    const std::string settings = folder.file("x/Marovin.dat");
    const ProgramRun started = run("env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + folder.file("config") +
                            " XDG_DATA_HOME=" + folder.file("data") + " MAROVIN_SETTINGS= " + kProgram +
                            " --settings " + settings + " --quit-after-start");
    ASSERT_EQ(started.status, 0) << started.output;

    const std::string image = TempFolder::read(settings);
    ASSERT_EQ(image.size(), 15258u);
    // The offscreen screen is 800 pixels wide: the smaller game window sizes.
    for (const auto& field : testkit::defaultImageFields(false))
        EXPECT_TRUE(image.substr(field.offset, field.bytes.size()) == field.bytes) << field.name;
    EXPECT_NE(image[12 + 24], 0) << "the input format names the platform's fixed-pitch font";
    struct stat info {};
    ASSERT_EQ(::stat(settings.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(Program, TheEnvironmentChoosesTheSettingsFile)
{
    TempFolder folder;
    const std::string settings = folder.file("from-env.dat");
    const ProgramRun started = run("env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + folder.file("config") +
                            " MAROVIN_SETTINGS=" + settings + " " + kProgram + " --quit-after-start");
    ASSERT_EQ(started.status, 0) << started.output;
    EXPECT_EQ(TempFolder::read(settings).size(), 15258u);
    struct stat info {};
    EXPECT_NE(::stat(folder.file("config/marovin/Marovin.dat").c_str(), &info), 0);
}

} // namespace
} // namespace marovin
