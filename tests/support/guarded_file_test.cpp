#include "support/guarded_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "testkit/fakes.h"
#include "testkit/temp_folder.h"

namespace marovin {
namespace {

using testkit::FakeDesktop;
using testkit::ProgramExit;
using testkit::TempFolder;

std::vector<std::string> readAllLines(GuardedFile& file)
{
    std::vector<std::string> lines;
    std::string line;
    while (file.readLine(line))
        lines.push_back(line);
    return lines;
}

TEST(GuardedFileLines, SplitOnlyAtCarriageReturnLineFeed)
{
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\rb\r\n", {"a\rb"}},
        {"a\nb\r\n", {"a\nb"}},
        {"\r\n\r\n", {"", ""}},
        {"x\r", {"x"}},            // a return held at the end is dropped
        {"x\r\r\ny", {"x\r", "y"}}, // the second return pairs with the line feed
        {"", {}},
    };
    TempFolder folder;
    FakeDesktop desktop;
    for (const auto& c : cases) {
        GuardedFile file(desktop);
        ASSERT_TRUE(file.openForReading(folder.write("lines", c.bytes)));
        EXPECT_EQ(readAllLines(file), c.lines) << "over \"" << c.bytes << "\"";
    }
    EXPECT_TRUE(desktop.fatalTexts.empty());
}

TEST(GuardedFileLines, WriteLineEndsEachLineWithReturnAndLineFeed)
{
    TempFolder folder;
    FakeDesktop desktop;
    GuardedFile file(desktop);
    ASSERT_TRUE(file.openForWriting(folder.file("out")));
    EXPECT_TRUE(file.writeLine(""));
    EXPECT_TRUE(file.writeLine("one"));
    EXPECT_TRUE(file.closeFile());
    EXPECT_EQ(TempFolder::read(folder.file("out")), "\r\none\r\n");
}

TEST(GuardedFile, ReadingAfterWritingAndWritingAfterReadingShareOnePosition)
{
    TempFolder folder;
    FakeDesktop desktop;
    GuardedFile file(desktop);
    ASSERT_TRUE(file.openForReading(folder.write("mixed", "abcdef")));
    char two[2];
    ASSERT_TRUE(file.readBytes(two, 2));
    ASSERT_TRUE(file.writeBytes("XY", 2));
    EXPECT_EQ(file.length(), 6);
    char rest[2];
    ASSERT_TRUE(file.readBytes(rest, 2));
    EXPECT_EQ(std::string(rest, 2), "ef");
    EXPECT_TRUE(file.closeFile());
    EXPECT_TRUE(file.closeFile()) << "closing a closed file succeeds";
    EXPECT_EQ(TempFolder::read(folder.file("mixed")), "abXYef");
}

TEST(GuardedFile, OpenForReadingCreatesAMissingFileAndNeverTruncates)
{
    TempFolder folder;
    FakeDesktop desktop;
    GuardedFile file(desktop);
    ASSERT_TRUE(file.openForReading(folder.file("new")));
    EXPECT_EQ(file.length(), 0);
    file.closeFile();
    struct stat info {};
    ASSERT_EQ(::stat(folder.file("new").c_str(), &info), 0);

    ASSERT_TRUE(file.openForReading(folder.write("kept", "1234")));
    EXPECT_EQ(file.length(), 4);
    ASSERT_TRUE(file.openForWriting(folder.file("kept"))) << "opening anew closes the old file";
    EXPECT_EQ(file.length(), 0);
}

TEST(GuardedFile, OwnerOnlyFilesAreMode0600EvenWhenTheyExistedBefore)
{
    TempFolder folder;
    FakeDesktop desktop;
    const std::string path = folder.write("secret", "old");
    ::chmod(path.c_str(), 0644);
    GuardedFile file(desktop);
    ASSERT_TRUE(file.openForWriting(path, FileAccess::OwnerOnly));
    ASSERT_TRUE(file.closeFile());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// Every reported failure: the box's text names the file, the cause and the operation, and
// the only way on ends the program with status 1.
TEST(GuardedFileFailures, AreReportedWithPathCauseAndOperation)
{
    TempFolder folder;
    const std::string data = folder.write("data", "abc");
    struct Case {
        const char* what;
        std::function<void(GuardedFile&)> act;
        std::string expected;
    };
    char buffer[8];
    const Case cases[] = {
        {"open in a missing folder", [&](GuardedFile& f) { f.openForReading(folder.file("no/such")); },
         folder.file("no/such") + "\nThe file could not be located/found.\nCan not open file!"},
        {"open a folder for writing", [&](GuardedFile& f) { f.openForWriting(folder.path()); },
         folder.path() + "\nThe file could not be accessed.\nCan not open file!"},
        {"read into no buffer", [&](GuardedFile& f) { f.openForReading(data), f.readBytes(nullptr, 1); },
         data + "\nMaybe no error occurred.\nNULL buffer pointer: Cread()!"},
        {"read nothing", [&](GuardedFile& f) { f.openForReading(data), f.readBytes(buffer, 0); },
         data + "\nMaybe no error occurred.\nCread size is zero!"},
        {"read past the end", [&](GuardedFile& f) { f.openForReading(data), f.readBytes(buffer, 4); },
         data + "\nMaybe no error occurred.\nRead Lost or Read Error!"},
        {"write from no buffer", [&](GuardedFile& f) { f.openForReading(data), f.writeBytes(nullptr, 1); },
         data + "\nMaybe no error occurred.\nNULL buffer pointer:Cwrite!"},
        {"write nothing", [&](GuardedFile& f) { f.openForReading(data), f.writeBytes("x", 0); },
         data + "\nMaybe no error occurred.\nCwrite Size Zero!"},
        {"write to a full disk", [&](GuardedFile& f) { f.openForWriting("/dev/full"), f.writeBytes("x", 1), f.closeFile(); },
         "/dev/full\nThe disk is full.\nClose!"},
    };
    for (const auto& c : cases) {
        FakeDesktop desktop;
        GuardedFile file(desktop);
        try {
            c.act(file);
            ADD_FAILURE() << c.what << ": no failure reported";
        } catch (const ProgramExit& exit) {
            EXPECT_EQ(exit.status, 1) << c.what;
        }
        ASSERT_EQ(desktop.fatalTexts.size(), 1u) << c.what;
        EXPECT_EQ(desktop.fatalTexts[0], c.expected) << c.what;
        EXPECT_EQ(desktop.fatalCaptions[0], "File operation error!") << c.what;
    }
}

TEST(GuardedFileFailures, RetryIsNotAWayOn)
{
    TempFolder folder;
    FakeDesktop desktop;
    desktop.fatalAnswers = {FatalBoxAnswer::Retry, FatalBoxAnswer::Ignore, FatalBoxAnswer::Abort};
    GuardedFile file(desktop);
    EXPECT_THROW(file.openForReading(folder.file("missing/x")), ProgramExit);
    EXPECT_EQ(desktop.fatalTexts.size(), 3u);
}

TEST(FileErrorCauses, MapTheSystemsErrorsToTheirTexts)
{
    const std::pair<int, std::string_view> cases[] = {
        {ENOENT, "The file could not be located/found."},
        {ENOTDIR, "All or part of the path is invalid."},
        {EMFILE, "The permitted number of open files was exceeded."},
        {EACCES, "The file could not be accessed."},
        {EBADF, "There was an attempt to use an invalid file handle."},
        {ESPIPE, "There was an error trying to set the file pointer."},
        {EIO, "There was a hardware error."},
        {ENOLCK, "There was an attempt to lock a region that was already locked."},
        {ENOSPC, "The disk is full."},
        {EPROTO, "An unspecified error occurred."},
    };
    for (const auto& [err, text] : cases)
        EXPECT_EQ(fileErrorText(static_cast<int>(fileErrorCause(err))), text) << "errno " << err;
    EXPECT_EQ(fileErrorText(14), "The end of file was reached.");
    EXPECT_EQ(fileErrorText(15), "Unknown CFileException");
    EXPECT_EQ(fileErrorText(-1), "Unknown CFileException");
}

TEST(FileHelpers, FileExistsCountsAnEmptyFileAsAbsent)
{
    TempFolder folder;
    EXPECT_TRUE(fileExists(folder.path()));
    EXPECT_TRUE(fileExists(folder.write("one", "x")));
    EXPECT_FALSE(fileExists(folder.write("empty", "")));
    EXPECT_FALSE(fileExists(folder.file("missing")));
}

TEST(FileHelpers, ReadWholeFileHonoursItsMaximum)
{
    TempFolder folder;
    FakeDesktop desktop;
    std::string bytes(250, 'b');
    bytes[0] = 'a';
    const std::string path = folder.write("f", bytes);
    std::vector<char> out;
    ASSERT_TRUE(readWholeFile(desktop, path, out, 100));
    EXPECT_EQ(std::string(out.begin(), out.end()), bytes.substr(0, 100));
    ASSERT_TRUE(readWholeFile(desktop, path, out, 0));
    EXPECT_EQ(out.size(), 250u);
    ASSERT_TRUE(readWholeFile(desktop, path, out, 250));
    EXPECT_EQ(out.size(), 250u);

    EXPECT_FALSE(readWholeFile(desktop, folder.write("empty", ""), out, 0));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(desktop.fatalTexts.empty());
}

TEST(FileHelpers, WriteWholeFileOverwritesOnlyItsBytes)
{
    TempFolder folder;
    FakeDesktop desktop;
    const std::string path = folder.write("f", std::string(20, '.'));
    ASSERT_TRUE(writeWholeFile(desktop, path, "0123456789", 10));
    EXPECT_EQ(TempFolder::read(path), "0123456789..........");
    EXPECT_FALSE(writeWholeFile(desktop, path, "x", 0));
    EXPECT_EQ(TempFolder::read(path).size(), 20u);
}

TEST(FileHelpers, AFileThatMayNotBeWrittenCanStillBeRead)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    TempFolder folder;
    FakeDesktop desktop;
    const std::string path = folder.write("ro", "readable");
    ::chmod(path.c_str(), 0444);
    std::vector<char> out;
    ASSERT_TRUE(readWholeFile(desktop, path, out, 0));
    EXPECT_EQ(std::string(out.begin(), out.end()), "readable");
}

} // namespace
} // namespace marovin
