#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "support/big5.h"
#include "tool.h"
#include "tool_runner.h"

namespace marovin::tool {
namespace {

using testing::RunToolProgram;

const std::string& kGameFile = testing::kSampleGameFile;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(ToolMoves, OpeningMovesAreSortedCoordinateTexts)
{
    const auto run = RunToolProgram({"moves"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    EXPECT_EQ(lines.size(), 44u);
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "H2-E2"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "H2-H9"), lines.end());
    EXPECT_TRUE(run.err.empty());
}

TEST(ToolMoves, FenAsOneArgumentOrAsFields)
{
    const char* fen = "R2k5/9/P2P5/9/c8/9/9/9/9/5K3 b - - 0 1";
    const auto quoted = RunToolProgram({"moves", fen});
    ASSERT_EQ(quoted.status, 0) << quoted.err;
    EXPECT_EQ(quoted.out, "A5-A9\n");
    const auto fields = RunToolProgram({"moves", "R2k5/9/P2P5/9/c8/9/9/9/9/5K3", "b"});
    EXPECT_EQ(fields.out, quoted.out);
    // A mated side has no moves: empty output, still a success.
    const auto mated = RunToolProgram({"moves", "R3k4/1R7/9/9/9/9/9/9/9/3K5 b"});
    EXPECT_EQ(mated.status, 0);
    EXPECT_EQ(mated.out, "");
}

TEST(ToolPerft, CountsAndDepthLimits)
{
    const struct {
        std::vector<std::string> arguments;
        const char* out;
    } good[] = {
        {{"perft", "0"}, "1\n"},
        {{"perft", "1"}, "44\n"},
        {{"perft", "3"}, "79666\n"},
        {{"perft", "2", "3k5/9/9/9/9/9/9/9/9/4K4 w"}, "3\n"}, // F0: D8 or E9; E1: D8 only
    };
    for (const auto& c : good) {
        const auto run = RunToolProgram(c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments[1] << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.arguments[1];
    }
    for (const char* depth : {"9", "-1", "abc", "", "1x", "+3", " 3", "100000000000000000000"}) {
        const auto run = RunToolProgram({"perft", depth});
        EXPECT_EQ(run.status, 2) << depth;
        EXPECT_NE(run.err.find("depth"), std::string::npos) << depth << ": " << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(RunToolProgram({"perft"}).status, 2);
}

TEST(ToolErrors, BadFenAndUnknownSubcommands)
{
    const auto badFen = RunToolProgram({"moves", "rnbakabnr/9/9 w"});
    EXPECT_EQ(badFen.status, 2);
    EXPECT_NE(badFen.err.find("invalid FEN: the placement has 3 ranks"), std::string::npos) << badFen.err;
    const auto perftFen = RunToolProgram({"perft", "1", "4k4/9/9/9/9/9/9/9/9/4K4 w"});
    EXPECT_EQ(perftFen.status, 2);
    EXPECT_NE(perftFen.err.find("in check"), std::string::npos) << perftFen.err;

    const auto unknown = RunToolProgram({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown subcommand 'frobnicate'"), std::string::npos);
    EXPECT_EQ(RunToolProgram({}).status, 2);
    const auto help = RunToolProgram({"help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("perft DEPTH [FEN]"), std::string::npos);
}

TEST(ToolFiles, FenAndShowReadTheMainLine)
{
    testkit::TempFolder folder;
    const std::string path = folder.write("game.txt", kGameFile);
    const auto fen = RunToolProgram({"fen", path});
    ASSERT_EQ(fen.status, 0) << fen.err;
    EXPECT_EQ(fen.out, "rnbakabnr/9/1c2c4/p1p1p1p1p/9/9/P1P1P1P1P/1CN1C4/9/R1BAKABNR b - - 3 2\n");

    const auto show = RunToolProgram({"show", path});
    ASSERT_EQ(show.status, 0) << show.err;
    const auto lines = Lines(show.out);
    ASSERT_GE(lines.size(), 13u) << show.out;
    EXPECT_EQ(lines[0], "Subject: \u4E2D\u570B test");
    EXPECT_EQ(lines[1], "Red:     alice (1500)");
    EXPECT_EQ(lines[2], "Black:   bob (1480)");
    EXPECT_EQ(lines[3], "Result:  Unknown");
    EXPECT_EQ(lines[4], "Date:    2024-03-05");
    EXPECT_EQ(lines[5], "Place:   club");
    EXPECT_EQ(lines[6], "Time:    0 0 600 540");
    EXPECT_EQ(lines[7], "    # start note");
    EXPECT_EQ(lines[8].substr(0, 3), "1. ");
    EXPECT_EQ(lines[9], "    # central cannon");
    EXPECT_EQ(lines[10], "    # second line");
    EXPECT_EQ(lines[11].substr(0, 5), "1... ");
    EXPECT_EQ(lines[12].substr(0, 3), "2. ");
    EXPECT_EQ(lines.size(), 13u) << show.out;
}

TEST(ToolFiles, ConvertKeepsHeadersNotesAndMoves)
{
    testkit::TempFolder folder;
    const std::string path = folder.write("game.txt", kGameFile);
    const auto before = RunToolProgram({"show", path});

    const auto toNew = RunToolProgram({"convert", "--to", "new", path});
    ASSERT_EQ(toNew.status, 0) << toNew.err;
    const std::string newForm = testkit::TempFolder::read(path);
    EXPECT_NE(newForm.find("CSTART\r\n"), std::string::npos);
    EXPECT_EQ(RunToolProgram({"show", path}).out, before.out);

    const auto toOld = RunToolProgram({"convert", "--to", "old", path});
    ASSERT_EQ(toOld.status, 0) << toOld.err;
    const std::string oldForm = testkit::TempFolder::read(path);
    EXPECT_NE(oldForm.find("START\r\n#start note\r\nH2-E2\r\n"), std::string::npos) << oldForm;
    EXPECT_EQ(RunToolProgram({"show", path}).out, before.out);
}

TEST(ToolPgn, GamesGoToPgnAndBackInEveryNotation)
{
    testkit::TempFolder folder;
    const std::string path = folder.write("game.txt", kGameFile);
    ASSERT_EQ(RunToolProgram({"convert", "--to", "new", path}).status, 0);
    const std::string stored = testkit::TempFolder::read(path);
    const struct {
        const char* notation;
        const char* moves;
    } cases[] = {
        {"iccs", "1. h2e2 {central cannon\nsecond line} 1... h7e7 (1... b9c7) 2. b0c2 *"},
        {"wxf", "1. C2.5 {central cannon\nsecond line} 1... C8.5 (1... H2+3) 2. H8+7 *"},
        {"chinese", "1. 炮二平五 {central cannon\nsecond line} 1... 包８平５"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notation);
        const auto pgn = RunToolProgram({"pgn", path, "--notation", c.notation});
        ASSERT_EQ(pgn.status, 0) << pgn.err;
        EXPECT_NE(pgn.out.find("[Event \"\u4E2D\u570B test\"]\n"), std::string::npos) << pgn.out;
        EXPECT_NE(pgn.out.find("[Times \"0 0 600 540\"]\n"), std::string::npos) << pgn.out;
        EXPECT_NE(pgn.out.find(c.moves), std::string::npos) << pgn.out;
        const std::string pgnPath = folder.write(std::string(c.notation) + ".pgn", pgn.out);
        const std::string out = folder.file(std::string(c.notation) + ".gam");
        const auto imported = RunToolProgram({"import", pgnPath, out});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(testkit::TempFolder::read(out), stored);
    }
}

TEST(ToolPgn, ImportChoosesGamesAndNamesTheGameAndMoveThatFail)
{
    testkit::TempFolder folder;
    const std::string pgn = folder.write("games.pgn", "[Event \"one\"]\n1. h2e2 *\n\n"
                                                      "[Event \"two\"]\n1. h2e2 h9g7\n2. h0h5 *\n");
    const auto second = RunToolProgram({"import", pgn, folder.file("two.gam"), "--game", "2"});
    EXPECT_EQ(second.status, 2);
    EXPECT_EQ(second.err, "marovin-tool: " + pgn + ": game 2: line 6: move 2 by Red (h0h5): not a legal move; " +
                              folder.file("two.gam") + " holds the moves before it\n");
    EXPECT_NE(testkit::TempFolder::read(folder.file("two.gam")).find("SUBJECT two\r\n"), std::string::npos);

    const auto all = RunToolProgram({"import", pgn, folder.file("all.gam"), "--all"});
    EXPECT_EQ(all.status, 2);
    EXPECT_NE(testkit::TempFolder::read(folder.file("all-1.gam")).find("SUBJECT one\r\n"), std::string::npos);
    EXPECT_NE(testkit::TempFolder::read(folder.file("all-2.gam")).find("SUBJECT two\r\n"), std::string::npos);

    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } refused[] = {
        {{"import", pgn, folder.file("x.gam"), "--game", "3"}, pgn + ": the PGN file holds 2 games, not 3"},
        {{"import", pgn, folder.file("x.gam"), "--game", "0"}, "usage: import PGN OUT [--game N | --all]"},
        {{"import", folder.file("missing.pgn"), folder.file("x.gam")},
         folder.file("missing.pgn") + ": the PGN file cannot be opened"},
        {{"import", folder.write("empty.pgn", "\n\n"), folder.file("x.gam")},
         folder.file("empty.pgn") + ": the PGN file holds no game"},
        {{"pgn", pgn, "--notation", "fen"}, "usage: pgn FILE [--notation iccs|wxf|chinese]"},
        {{"pgn", pgn}, pgn + ": Wrong game file"},
    };
    for (const auto& r : refused) {
        const auto run = RunToolProgram(r.arguments);
        EXPECT_EQ(run.status, 2) << r.err;
        EXPECT_EQ(run.err.substr(0, ("marovin-tool: " + r.err).size()), "marovin-tool: " + r.err) << run.err;
    }
}

TEST(ToolFiles, FilesThatAreNotGamesAreRefused)
{
    testkit::TempFolder folder;
    const std::string text = folder.write("notes.txt", "hello\r\n");
    const std::string good = folder.write("good.txt", kGameFile);
    for (const char* command : {"fen", "show"}) {
        const auto wrong = RunToolProgram({command, text});
        EXPECT_EQ(wrong.status, 2) << command;
        EXPECT_NE(wrong.err.find("Wrong game file"), std::string::npos) << wrong.err;
        const auto missing = RunToolProgram({command, folder.file("absent.txt")});
        EXPECT_EQ(missing.status, 2) << command;
        EXPECT_FALSE(missing.err.empty());
        EXPECT_EQ(RunToolProgram({command}).status, 2) << command;
    }
    // A bad file among good ones: the good ones are converted, the status says 2.
    const auto mixed = RunToolProgram({"convert", "--to", "new", text, good});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_EQ(testkit::TempFolder::read(text), "hello\r\n");
    EXPECT_NE(testkit::TempFolder::read(good).find("CSTART"), std::string::npos);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"convert"}, {"convert", "--to", "new"}, {"convert", "--to", "mid", good}, {"convert", good}})
        EXPECT_EQ(RunToolProgram(bad).status, 2) << bad.size();
}

TEST(ToolFiles, RecordInUtf8OrAsBig5Bytes)
{
    testkit::TempFolder folder;
    const std::string path = folder.write("game.txt", kGameFile);
    const auto utf8 = RunToolProgram({"record", path});
    ASSERT_EQ(utf8.status, 0) << utf8.err;
    EXPECT_TRUE(utf8.out.starts_with("    局名： 中國 test\r\n")) << utf8.out;
    EXPECT_NE(utf8.out.find("\r\n      1. 炮二平五   ........\r\n"   // 炮二平五
                            "    central cannon\r\n    second line\r\n"),
              std::string::npos)
        << utf8.out;
    EXPECT_NE(utf8.out.find("以下共有 2 種變化："), std::string::npos); // 以下共有 2 種變化：

    const auto big5 = RunToolProgram({"--big5", "record", path});
    EXPECT_EQ(big5.status, 2) << "the option belongs to the subcommand";
    const auto raw = RunToolProgram({"record", "--big5", path});
    ASSERT_EQ(raw.status, 0) << raw.err;
    EXPECT_NE(raw.out.find("\xAC\xB6\xA4\x47\xA5\xAD\xA4\xAD"), std::string::npos); // 炮二平五 in Big5
    EXPECT_EQ(big5ToUtf8(raw.out), utf8.out);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"record"}, {"record", path, path}, {"record", "--utf16", path}, {"record", folder.file("absent")}})
        EXPECT_EQ(RunToolProgram(bad).status, 2) << bad.back();
}

TEST(ToolFiles, DiagramAfterAnyPlyOfTheMainLine)
{
    testkit::TempFolder folder;
    const std::string path = folder.write("game.txt", kGameFile);
    const auto end = RunToolProgram({"diagram", path});
    ASSERT_EQ(end.status, 0) << end.err;
    const auto rows = Lines(end.out);
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(rows[0], "          黑方  bob （起）          "); // 黑方  bob （起）
    EXPECT_EQ(rows[6], "├─包─┼─┼─包─┼─┼─"
                       "┼─┤  "); // ├─包─┼─┼─包─┼─┼─┼─┤: Black's cannon moved
    EXPECT_EQ(rows[22].find("（"), std::string::npos) << "Red is not to move";

    const auto start = RunToolProgram({"diagram", path, "0"});
    ASSERT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(Lines(start.out)[6], "├─包─┼─┼─┼─┼─"
                                   "┼─包─┤  ");
    EXPECT_NE(Lines(start.out)[22].find("紅方  alice （起）"), std::string::npos);

    const auto beyond = RunToolProgram({"diagram", path, "4"});
    EXPECT_EQ(beyond.status, 2);
    EXPECT_NE(beyond.err.find("only 3 moves"), std::string::npos) << beyond.err;
    for (const char* ply : {"-1", "x", "", "2x", "99999999999"})
        EXPECT_EQ(RunToolProgram({"diagram", path, ply}).status, 2) << ply;
}

TEST(ToolFiles, MergeBuildsOneTreeFromManyFiles)
{
    testkit::TempFolder folder;
    const std::string game = folder.write("game.txt", kGameFile);
    // The same opening from the other side, and a new reply.
    const std::string mirrored = folder.write("left.txt", "GAME\r\nSTART\r\n#other\r\nB2-E2\r\nB7-E7\r\nB0-C2\r\n");
    const std::string out = folder.file("book.gam");

    const auto plain = RunToolProgram({"merge", out, game, mirrored, "--old"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("2 of 2 files merged"), std::string::npos) << plain.out;
    const std::string book = testkit::TempFolder::read(out);
    EXPECT_NE(book.find("START\r\nH2-E2\r\nBB\r\nH7-E7\r\nBB\r\nB0-C2\r\nBE\r\nBB\r\nH0-G2\r\nBE\r\nBE\r\n"
                        "BB\r\nB9-C7\r\nBE\r\n"),
              std::string::npos)
        << book;
    EXPECT_EQ(book.find('#'), std::string::npos) << "no notes without --notes";

    const auto withNotes = RunToolProgram({"merge", "--notes", out, game, game, mirrored});
    ASSERT_EQ(withNotes.status, 0) << withNotes.err;
    const auto record = RunToolProgram({"record", out});
    EXPECT_NE(record.out.find("    start note\r\n    other\r\n"), std::string::npos) << record.out;
    EXPECT_EQ(record.out.find("second line", record.out.find("second line") + 1), std::string::npos)
        << "each note once";
    EXPECT_NE(testkit::TempFolder::read(out).find("CSTART\r\n"), std::string::npos);

    // A file that is not a game is skipped and said so; with nothing to merge OUT stays away.
    const std::string text = folder.write("notes.txt", "hello\r\n");
    const auto mixed = RunToolProgram({"merge", out, text, game});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_NE(mixed.err.find(text + ": Wrong game file"), std::string::npos) << mixed.err;
    EXPECT_NE(mixed.out.find("1 of 2 files merged"), std::string::npos);
    const std::string none = folder.file("none.gam");
    EXPECT_EQ(RunToolProgram({"merge", none, text}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(none));
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"merge"}, {"merge", out}, {"merge", out, game, "--new"}})
        EXPECT_EQ(RunToolProgram(bad).status, 2) << bad.size();
}

// A brace-form game: notes whose last Big5 characters end in "}" (良) and "]" (也), and a
// branch for Red's second move.
const std::string kBraceFile = "GAME\r\n"
                               "SUBJECT brace\r\n"
                               "RED     alice; 1500\r\n"
                               "BLACK   bob; 1480\r\n"
                               "START {\r\n"
                               "#\xA8\x7D\r\n"
                               "1. H2-E2 H9-G7\r\n"
                               "#\xA4\x5D\r\n"
                               "#\xA8\x7D}\r\n"
                               "BB\r\n"
                               "2. H0-G2 I9-H9\r\n"
                               "BE\r\n"
                               "BB\r\n"
                               "2. B0-C2\r\n"
                               "BE\r\n";

TEST(ToolFiles, BraceFilesShowConvertAndMergeLikeTheOthers)
{
    testkit::TempFolder folder;
    const std::string path = folder.write("brace.txt", kBraceFile + "}\r\n");
    const auto show = RunToolProgram({"show", path});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(show.err, "");
    EXPECT_NE(show.out.find("    # \u4E5F\n    # \u826F}\n2. "), std::string::npos) << show.out; // 也, 良}
    for (const char* command : {"fen", "record", "diagram"})
        EXPECT_EQ(RunToolProgram({command, path}).status, 0) << command;

    for (const char* form : {"new", "old"}) {
        const auto convert = RunToolProgram({"convert", "--to", form, path});
        ASSERT_EQ(convert.status, 0) << convert.err;
        EXPECT_EQ(RunToolProgram({"show", path}).out, show.out) << form;
    }
    const std::string brace = folder.write("brace2.txt", kBraceFile + "}\r\n");
    const auto merge = RunToolProgram({"merge", folder.file("book.gam"), brace, path});
    EXPECT_EQ(merge.status, 0) << merge.err;
    EXPECT_NE(merge.out.find("2 of 2 files merged, main line of 4 moves"), std::string::npos) << merge.out;

    // Without its closing brace the game is kept as far as it goes, and the user is told.
    const std::string cut = folder.write("cut.txt", kBraceFile);
    const auto shown = RunToolProgram({"show", cut});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, show.out);
    EXPECT_EQ(shown.err, "marovin-tool: " + cut + ":15: warning: The game file ends before its closing \"}\"\n");
}

// Every failure says what went wrong and where, on one line of the error stream.
TEST(ToolFiles, BareLineFeedFilesReadLikeCrLfFiles)
{
    testkit::TempFolder folder;
    std::string bare = kGameFile;
    for (std::size_t at = bare.find("\r\n"); at != std::string::npos; at = bare.find("\r\n", at))
        bare.erase(at, 1);
    const std::string crLf = folder.write("crlf.txt", kGameFile);
    const std::string lf = folder.write("lf.txt", bare);
    for (const char* command : {"show", "record", "fen"}) {
        const auto fromCrLf = RunToolProgram({command, crLf});
        const auto fromLf = RunToolProgram({command, lf});
        EXPECT_EQ(fromLf.status, 0) << command << fromLf.err;
        EXPECT_EQ(fromLf.out, fromCrLf.out) << command;
        EXPECT_EQ(fromLf.err, "") << command;
    }
    const auto noGame = RunToolProgram({"show", folder.write("nogame.txt", "START\nH2-E2\n")});
    EXPECT_EQ(noGame.status, 2);
    EXPECT_NE(noGame.err.find("Wrong game file"), std::string::npos) << noGame.err;
}

TEST(ToolErrors, EveryFailureSaysWhatAndWhere)
{
    testkit::TempFolder folder;
    const std::string good = folder.write("good.txt", kGameFile);
    const std::string stray = folder.write("stray.txt", "GAME\r\nSTART\r\nH2-E2\r\n}\r\nH9-G7\r\n");
    const std::string warned = folder.write("warned.txt", "GAME\r\nSTART\r\nZ2-E2\r\n}\r\n");
    const std::string notGame = folder.write("notes.txt", "hello\r\n");
    const std::string absent = folder.file("absent.txt");
    const std::string tooLong = folder.write("long.txt", "GAME\r\nSTART\r\n#" + std::string(100001, 'x') + "\r\n");
    const std::string setUp = folder.write("setup.txt", "GAME\r\nPOSITION R" + std::string(32, '{') + "\r\nSTART\r\n");
    const std::string unterminated = folder.write("cut.txt", "GAME\r\nSTART\r\nH2-E2\r\nH9-G7");
    const std::string directory = folder.file("folder.gam");
    std::filesystem::create_directory(directory);
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    } cases[] = {
        {{"show", stray}, 2, stray + ":4: reading stopped at a line beginning with \"}\""},
        {{"convert", "--to", "new", stray}, 2, stray + ":4: reading stopped"},
        {{"fen", warned}, 2, warned + ":4: reading stopped"}, // a warning before it is no explanation
        {{"convert", "--to", "new", unterminated}, 2, unterminated + ": not converted: the text at its end"},
        {{"fen", notGame}, 2, notGame + ": Wrong game file"},
        {{"record", absent}, 2, absent + ": Can not open file"},
        {{"show", tooLong}, 2, tooLong + ":3: Line too long in game file"},
        {{"merge", folder.file("out.gam"), setUp, good}, 2, setUp + ":2: Can not merge Middle game"},
        {{"merge", directory, good}, 1, "Can not write file: " + directory},
        {{"diagram", good, "9"}, 2, good + ": diagram: the main line has only 3 moves"},
        {{}, 2, "no subcommand given"},
    };
    for (const auto& c : cases) {
        const auto run = RunToolProgram(c.arguments);
        const std::string name = c.arguments.empty() ? "(none)" : c.arguments[0] + " " + c.arguments.back();
        EXPECT_EQ(run.status, c.status) << name;
        EXPECT_NE(run.err.find("marovin-tool: " + c.message), std::string::npos) << name << ": " << run.err;
        for (const std::string& line : Lines(run.err))
            EXPECT_TRUE(line.starts_with("marovin-tool: ") || line.starts_with("  ") || line.starts_with("usage:") ||
                        line.empty())
                << name << ": " << line;
    }
    EXPECT_EQ(testkit::TempFolder::read(stray), "GAME\r\nSTART\r\nH2-E2\r\n}\r\nH9-G7\r\n") << "left as it was";
    EXPECT_EQ(testkit::TempFolder::read(unterminated), "GAME\r\nSTART\r\nH2-E2\r\nH9-G7") << "nothing lost";

    // A warning inside a compact body says at which byte.
    const std::string badMove = folder.write("bad.gam", std::string("GAME\r\nCSTART\r\n\x5F\x03", 16));
    const auto offset = RunToolProgram({"show", badMove});
    EXPECT_EQ(offset.status, 0);
    EXPECT_EQ(offset.err, "marovin-tool: " + badMove + ": offset 14: warning: This move may be wrong: 95-3\n");
}

TEST(ToolErrors, ASubcommandThatFailsSilentlyIsStillExplained)
{
    const Subcommand silent{"quiet", "", "", [](Arguments, Streams&) { return kExitBadInput; }};
    const Subcommand explained{"loud", "", "", [](Arguments, Streams& streams) {
                                   return Fail(streams, kExitFailure, "broke", Place{"f.gam", 3});
                               }};
    std::ostringstream out, err;
    Streams streams{out, err};
    EXPECT_EQ(RunSubcommand(silent, {}, streams), kExitBadInput);
    EXPECT_EQ(err.str(), "marovin-tool: quiet failed (exit status 2)\n");
    err.str("");
    EXPECT_EQ(RunSubcommand(explained, {}, streams), kExitFailure);
    EXPECT_EQ(err.str(), "marovin-tool: f.gam:3: broke\n");
}

// Whatever the arguments, the program ends by itself with 0 or 2, never a crash.
TEST(ToolErrors, SurvivesAnyArguments)
{
    std::mt19937 random(11);
    const std::vector<std::string> words = {
        "moves", "perft", "fen", "show", "convert", "--to", "old", "record", "diagram", "--big5",
        "new",   "8",     "1",   "w",    "b",       "/",    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9"};
    for (int i = 0; i < 40; ++i) {
        std::vector<std::string> arguments;
        const int count = static_cast<int>(random() % 5);
        for (int k = 0; k < count; ++k) {
            if (random() % 3 == 0) {
                std::string bytes(random() % 30, ' ');
                for (char& c : bytes)
                    c = static_cast<char>(1 + random() % 255);
                arguments.push_back(bytes);
            } else {
                arguments.push_back(words[random() % words.size()]);
            }
        }
        if (arguments.size() >= 2 && arguments[0] == "perft")
            arguments[1] = "2"; // keep the run short
        const auto run = RunToolProgram(arguments);
        EXPECT_TRUE(run.status == 0 || run.status == 2) << "case " << i << " ended with " << run.status;
    }
}

} // namespace
} // namespace marovin::tool
