#include "support/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "testkit/temp_folder.h"

namespace marovin {
namespace {

// Sets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old, m_had = true;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { m_had ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

TEST(Paths, SettingsFileComesFromTheCommandLineThenTheEnvironmentThenTheConfigFolder)
{
    ScopedVariable home("HOME", "/home/u");
    ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    ScopedVariable settings("MAROVIN_SETTINGS", nullptr);
    EXPECT_EQ(settingsFilePath(""), "/home/u/.config/marovin/Marovin.dat");
    {
        ScopedVariable xdg("XDG_CONFIG_HOME", "/cfg/");
        EXPECT_EQ(settingsFilePath(""), "/cfg/marovin/Marovin.dat");
    }
    {
        ScopedVariable relative("XDG_CONFIG_HOME", "relative"); // not absolute: ignored
        EXPECT_EQ(configFolder(), "/home/u/.config/marovin/");
    }
    ScopedVariable fromEnvironment("MAROVIN_SETTINGS", "/env/M.dat");
    EXPECT_EQ(settingsFilePath(""), "/env/M.dat");
    EXPECT_EQ(settingsFilePath("/cli/M.dat"), "/cli/M.dat");
}

TEST(Paths, DataFolderFollowsXdgDataHome)
{
    ScopedVariable home("HOME", "/home/u");
    {
        ScopedVariable data("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(dataFolder(), "/home/u/.local/share/marovin/");
    }
    ScopedVariable data("XDG_DATA_HOME", "/d");
    EXPECT_EQ(dataFolder(), "/d/marovin/");
}

TEST(Paths, EnsureFolderCreatesMissingParentsForTheOwnerOnly)
{
    testkit::TempFolder temp;
    const std::string deep = temp.file("a/b/c/");
    ASSERT_TRUE(ensureFolder(deep));
    struct stat info {};
    ASSERT_EQ(::stat(deep.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(ensureFolder(deep)) << "an existing folder is fine";
    EXPECT_FALSE(ensureFolder(temp.write("file", "x") + "/sub"));

    EXPECT_EQ(folderOf("/x/y/M.dat"), "/x/y/");
    EXPECT_EQ(folderOf("M.dat"), "./");
    EXPECT_EQ(executableFolder().back(), '/');
}

} // namespace
} // namespace marovin
