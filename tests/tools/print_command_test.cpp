// marovin-tool print end to end: a game file in, a PDF out whose text a PDF reader finds
// (names, Chinese moves, notes, variation labels, diagram captions, page numbers), and
// the arguments it refuses.

#include <gtest/gtest.h>

#include <string>

#include "testkit/pdf_text.h"
#include "tool_runner.h"

namespace marovin::tool {
namespace {

using testing::RunToolProgram;

// Main line H2-E2 H7-E7 B0-C2 (Black's reply B9-C7 as a side line), notes, a Chinese subject.
const std::string& kGameFile = testing::kSampleGameFile;

// The main line of 60 moves: both sides' horses go out and come back.
std::string longGame()
{
    std::string file = "GAME\r\nRED     alice\r\nBLACK   bob\r\nSTART\r\n";
    for (int i = 0; i < 15; ++i)
        file += "B0-C2\r\nB9-C7\r\nC2-B0\r\nC7-B9\r\n";
    return file;
}

TEST(ToolPrint, WritesTheRecordAndItsDiagramsAsSearchableText)
{
    testkit::TempFolder folder;
    const std::string game = folder.write("game.txt", kGameFile);
    const std::string pdf = folder.file("game.pdf");
    const auto run = RunToolProgram({"print", game, "-o", pdf, "--diagram", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    const auto text = testkit::PdfText(pdf);
    ASSERT_TRUE(text) << "pdftotext (poppler-utils) could not read " << pdf;
    for (const char* wanted : {"alice", "bob", "中國 test", "紅方", "黑方", "炮二平五", "包８平５", "傌八進七",
                               "馬２進３", "start note", "central cannon", "【一】", "【二】", "起始局面",
                               "1. 炮二平五", "2. 傌八進七", "1 / "})
        EXPECT_NE(text->find(wanted), std::string::npos) << wanted << " is missing from:\n" << *text;
}

TEST(ToolPrint, EveryDiagramAddsToThePagesAndOneTooManyIsRefused)
{
    testkit::TempFolder folder;
    const std::string game = folder.write("long.txt", longGame());
    const std::string plain = folder.file("plain.pdf"), marked = folder.file("marked.pdf");
    ASSERT_EQ(RunToolProgram({"print", game, "-o", plain}).status, 0);
    std::vector<std::string> arguments{"print", game, "-o", marked};
    for (const char* ply : {"5", "10", "15", "20", "25", "30", "35", "40", "0"})
        arguments.insert(arguments.end(), {"--diagram", ply});
    const auto run = RunToolProgram(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    const int plainPages = testkit::PdfPages(plain), markedPages = testkit::PdfPages(marked);
    EXPECT_GE(plainPages, 1);
    // Three diagrams at most fit on a page: eight more need at least two more pages.
    EXPECT_GE(markedPages, plainPages + 2);
    const auto text = testkit::PdfText(marked);
    ASSERT_TRUE(text);
    // Captions of Black's moves (the record itself writes them beside Red's).
    for (const char* caption : {"5. ... 馬２進３", "10. ... 馬３退２", "20. ... 馬３退２"})
        EXPECT_NE(text->find(caption), std::string::npos) << caption << " is missing from:\n" << *text;
    EXPECT_NE(text->find(std::to_string(markedPages) + " / " + std::to_string(markedPages)), std::string::npos);

    const auto beyond = RunToolProgram({"print", game, "-o", folder.file("x.pdf"), "--diagram", "61"});
    EXPECT_EQ(beyond.status, 2);
    EXPECT_NE(beyond.err.find("only 60 moves"), std::string::npos) << beyond.err;
}

TEST(ToolPrint, RefusesBadArgumentsAndUnwritableFiles)
{
    testkit::TempFolder folder;
    const std::string game = folder.write("game.txt", kGameFile);
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* error;
    } cases[] = {
        {{"print", game}, 2, "-o OUT.pdf"},
        {{"print", game, "-o"}, 2, "-o needs a value"},
        {{"print", game, "-o", folder.file("a.pdf"), "--diagram", "x"}, 2, "--diagram takes a number"},
        {{"print", game, "-o", folder.file("a.pdf"), "--diagram", "-3"}, 2, "--diagram takes a number"},
        {{"print", game, "-o", folder.file("a.pdf"), "--size"}, 2, "unknown option '--size'"},
        {{"print", folder.file("absent.txt"), "-o", folder.file("a.pdf")}, 2, "absent.txt"},
        {{"print", game, "-o", folder.file("no/such/folder/a.pdf")}, 1, "cannot write"},
    };
    for (const auto& c : cases) {
        const auto run = RunToolProgram(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.error << ": " << run.err;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace marovin::tool
