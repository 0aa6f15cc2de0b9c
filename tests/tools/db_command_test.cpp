// marovin-tool db: a folder of game and PGN files into a database, the explorer's lines,
// the position search, and the export that reads back in.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tool_runner.h"

namespace marovin::tool {
namespace {

using testing::RunToolProgram;
using testing::ToolRun;

const std::string kOldForm = "GAME\r\nTIME    0\t0\t0\t0\r\nSUBJECT club\r\nRESULT  1-0\r\nRED     alice; 1500\r\n"
                             "BLACK   bob; 1480\r\nDATE    2024-03-05\r\nPLACE   \r\nSTART\r\nH2-E2\r\n#central cannon\r\n"
                             "BB\r\nH9-G7\r\nH0-G2\r\nBE\r\nBB\r\nH7-E7\r\nBE\r\n";
const std::string kBraceForm = "GAME\r\nRESULT  0-1\r\nSTART {\r\n1. B0-C2 H9-G7\r\n2. H2-E2 I9-H9\r\n}\r\n";
const std::string kPgn = "[Event \"open\"]\n[Red \"carol\"]\n[Result \"1/2-1/2\"]\n\n1. h2e2 h9g7 2. h0g2 1/2-1/2\n\n"
                         "[Event \"open\"]\n[Red \"dave\"]\n\n1. h2e2 h9g7\n2. h2h9 *\n\n"
                         "[Event \"open\"]\n[Red \"erin\"]\n[Result \"0-1\"]\n\n1. c3c4 0-1\n";

TEST(ToolDatabase, ImportExploreSearchAndExport)
{
    testkit::TempFolder folder;
    std::filesystem::create_directories(folder.file("games/more"));
    folder.write("games/a.gam", kOldForm);
    folder.write("games/more/b.txt", kBraceForm);
    folder.write("games/c.pgn", kPgn);
    folder.write("games/notes.txt", "not a game, and not named like one\n");
    const std::string db = folder.file("games.mdb.sqlite");

    ToolRun run = RunToolProgram({"db", "import", db, folder.file("games")});
    EXPECT_EQ(run.status, 2) << run.err; // one game was bad
    EXPECT_EQ(run.out, "added 4, skipped 1 (0 already stored, 1 bad)\n");
    EXPECT_NE(run.err.find(folder.file("games/c.pgn") + ":11: game 2: move 2 by Red (h2h9)"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("file 3 of 3: 4 added, 1 skipped"), std::string::npos) << run.err;

    run = RunToolProgram({"db", "import", db, folder.file("games/a.gam"), folder.file("games/c.pgn")});
    EXPECT_EQ(run.out, "added 0, skipped 4 (3 already stored, 1 bad)\n");

    run = RunToolProgram({"db", "explore", db});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "H2-E2 2 1 1 0\nB0-C2 1 0 0 1\nC3-C4 1 0 0 1\n");
    run = RunToolProgram({"db", "explore", db, "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR", "b"});
    EXPECT_EQ(run.out, "H9-G7 2 1 1 0\nH7-E7 1 1 0 0\n");

    // Reached by the old-form game's side line and by the PGN game, in another order by the brace game.
    run = RunToolProgram({"db", "search", db, "--fen", "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2) << run.out;
    EXPECT_NE(run.out.find("\talice\tbob\t1-0\tclub\n"), std::string::npos) << run.out;
    run = RunToolProgram({"db", "search", db, "--player", "CAROL"});
    EXPECT_EQ(run.out.substr(run.out.find('\t')), "\t" + run.out.substr(run.out.find('\t') + 1, 10) +
                                                      "\tcarol\t\t1/2-1/2\topen\n");
    run = RunToolProgram({"db", "search", db, "--result", "0-1", "--event", "open"});
    EXPECT_NE(run.out.find("\terin\t"), std::string::npos) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;

    const std::string pgn = folder.file("all.pgn");
    run = RunToolProgram({"db", "export", db, pgn, "--notation", "wxf"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "exported 4 games\n");
    run = RunToolProgram({"db", "import", folder.file("again.sqlite"), pgn});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "added 4, skipped 0 (0 already stored, 0 bad)\n");
}

TEST(ToolDatabase, BadArgumentsAndFilesAreRefused)
{
    testkit::TempFolder folder;
    const std::string db = folder.file("games.sqlite");
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    } cases[] = {
        {{"db"}, 2, "usage: db import"},
        {{"db", "import", db}, 2, "usage: db import"},
        {{"db", "explore", db, "xyz"}, 2, "invalid FEN"},
        {{"db", "search", db, "--player"}, 2, "usage"},
        {{"db", "search", db, "--from", "yesterday"}, 2, "usage"},
        {{"db", "export", db, folder.file("no/such/folder/out.pgn")}, 1, "cannot be written"},
        {{"db", "explore", folder.file("no/such/folder/x.sqlite")}, 1, "unable to open"},
        {{"db", "import", db, folder.file("missing.pgn")}, 2, "missing.pgn: cannot be found"},
        {{"db", "explore", folder.write("text.sqlite", "plain text")}, 1, "not a database"},
    };
    for (const auto& c : cases) {
        const ToolRun run = RunToolProgram(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.back() << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace marovin::tool
