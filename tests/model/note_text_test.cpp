// Notes keep one form whatever way they come into a record, and every path out and back in
// (game file in both bodies, the send form as a transfer carries it, PGN) gives them back
// unchanged; a note longer than the limit is cut once, where it is read, and said so.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "model/game_file.h"
#include "model/pgn.h"

namespace marovin::model {
namespace {

using namespace std::string_literals;
using testing::GameEnvironment;
using testing::play;
using testing::sendLines;

// Plays H2-E2 with note, then H9-G7 with the note "after" (which must survive too).
std::unique_ptr<CGame> gameWithNote(GameEnvironment& env, std::string_view note)
{
    auto game = env.newGame();
    play(*game, "H2-E2");
    game->SetNote(note, false);
    play(*game, "H9-G7");
    game->SetNote("after", false);
    return game;
}

// The notes of ply 1 and ply 2 of a game.
std::pair<std::string, std::string> notesOf(CGame& game)
{
    game.Navigate(kGoToPly, 1);
    const std::string first = game.currentEntry().noteText();
    game.Navigate(kGoToPly, 2);
    return {first, game.currentEntry().noteText()};
}

std::unique_ptr<CGame> throughFile(GameEnvironment& env, CGame& game, GameFileForm form)
{
    auto copy = env.newGame();
    StringSource source(GameFileText(game, form));
    EXPECT_EQ(ReadGame(*copy, source, "copy", false), 1);
    return copy;
}

std::unique_ptr<CGame> throughTransfer(GameEnvironment& env, CGame& game)
{
    const std::string send = GameFileText(game, GameFileForm::Send);
    CGame* received = nullptr;
    int counter = 0;
    ReadBranches branches;
    for (const std::string& line : sendLines(send)) {
        ReadGameLine(received, line, counter, false, branches, env.ports());
        ++counter;
    }
    EXPECT_TRUE(received);
    auto copy = env.newGame();
    if (received) {
        received->Rewind();
        StringSource source(GameFileText(*received, GameFileForm::Old));
        ReadGame(*copy, source, "received", false);
    }
    return copy;
}

std::unique_ptr<CGame> throughPgn(GameEnvironment& env, CGame& game)
{
    PgnReader reader(PgnText(game, MoveNotation::Iccs));
    PgnGameText text;
    EXPECT_TRUE(reader.next(text));
    auto copy = env.newGame();
    std::string error, warning;
    EXPECT_TRUE(BuildPgnGame(text, *copy, error, warning)) << error;
    return copy;
}

struct NoteCase {
    const char* what;
    std::string written; // what a reader or the note pane hands the record
    std::string stored;  // what the record keeps, and every path gives back
    std::string pgn;     // what PGN gives back (no blank space at the ends)
};

TEST(NoteText, EveryNoteComesBackFromEveryPathAsItWasFirstStored)
{
    const std::string longLine(6000, 'x');
    std::string chinese;
    for (int i = 0; i < 2600; ++i)
        chinese += "\xA4\x5D\xA8\x7D"; // 也良: trail bytes "]" and "}"
    const NoteCase cases[] = {
        {"a CR before the line end (the fuzz finding)", "o8\r\r\n1. x", "o8\r\n1. x", "o8\r\n1. x"},
        {"a lone CR ends a line", "lone\rCR", "lone\r\nCR", "lone\r\nCR"},
        {"CRs in a row each end one", "two\r\rCRs", "two\r\n\r\nCRs", "two\r\n\r\nCRs"},
        {"a bare LF", "bare\nLF", "bare\r\nLF", "bare\r\nLF"},
        {"a CR at the end", "ends in CR\r", "ends in CR\r\n", "ends in CR"},
        {"NUL and other control bytes", "nul\0by\x1Ate\x01\x1F\x7F\xFF!"s, "nulbyte!", "nulbyte!"},
        {"a tab", "tab\there", "tab here", "tab here"},
        {"a leading blank and an indented line", " leading\r\n\r\n  indented", " leading\r\n\r\n  indented",
         "leading\r\n\r\n  indented"},
        {"a final line end", "line end\r\n", "line end\r\n", "line end"},
        {"lines ending in blanks", "blanks  \r\nat the end ", "blanks  \r\nat the end ", "blanks  \r\nat the end"},
        {"an empty note", "", "", ""},
        {"lines like body lines", "#x\r\nBB\r\nBE\r\nH2-E2\r\n}", "#x\r\nBB\r\nBE\r\nH2-E2\r\n}",
         "#x\r\nBB\r\nBE\r\nH2-E2\r\n\xA1\x62"},
        {"a line longer than a tell", longLine + "\r\n" + longLine, longLine + "\r\n" + longLine,
         longLine + "\r\n" + longLine},
        {"Big5 with ASCII trail bytes across tells", chinese, chinese, chinese},
    };
    for (const NoteCase& c : cases) {
        SCOPED_TRACE(c.what);
        GameEnvironment env;
        auto game = gameWithNote(env, c.written);
        EXPECT_EQ(notesOf(*game).first, c.stored);
        const std::pair<std::string, std::string> stored{c.stored, "after"};
        EXPECT_EQ(notesOf(*throughFile(env, *game, GameFileForm::Old)), stored) << "old body";
        EXPECT_EQ(notesOf(*throughFile(env, *game, GameFileForm::New)), stored) << "compact body";
        EXPECT_EQ(notesOf(*throughTransfer(env, *game)), stored) << "send form";
        EXPECT_EQ(notesOf(*throughPgn(env, *game)), std::make_pair(c.pgn, "after"s)) << "PGN";
        const std::string send = GameFileText(*game, GameFileForm::Send);
        for (std::size_t start = 0, end = 0; start < send.size(); start = end + 2) {
            end = send.find("\r\n", start);
            EXPECT_LE(end - start, kSendLineLimit) << "every line fits in one tell";
            const bool noteLine = send.compare(start, 2, "H#") == 0;
            EXPECT_FALSE(noteLine && send[end - 1] == ' ') << "no note line ends in a blank, which the server drops";
        }
    }
}

// The fuzz input of the finding: its second game's start note (a comment that is never
// closed) holds a CR before a line end and control bytes. Every game read is written as
// PGN and read back the same.
TEST(NoteText, TheFuzzFindingReadsBackFromPgnAsItWasStored)
{
    const std::string input = "[Evmnt \"\n\0]\n[Red )'[Eve ( 1. r\"]\n\n{startv/5K3-\xB3*r o8\r\r\n1. \xE7\x86\n1\x0E.\xE4"s +
                              std::string(19, '\x1F') + "Evmnt \"\n\0]\n[Red"s;
    GameEnvironment env;
    PgnReader reader(input);
    PgnGameText text;
    std::vector<std::string> startNotes;
    while (reader.next(text)) {
        auto game = env.newGame();
        std::string error, warning;
        BuildPgnGame(text, *game, error, warning);
        game->Rewind();
        startNotes.push_back(game->currentEntry().noteText());
        const std::string stored = GameFileText(*game, GameFileForm::New);
        for (const MoveNotation notation : {MoveNotation::Iccs, MoveNotation::Wxf, MoveNotation::Chinese}) {
            PgnReader again(PgnText(*game, notation));
            PgnGameText written;
            ASSERT_TRUE(again.next(written));
            auto copy = env.newGame();
            EXPECT_TRUE(BuildPgnGame(written, *copy, error, warning)) << error;
            EXPECT_EQ(GameFileText(*copy, GameFileForm::New), stored);
        }
    }
    ASSERT_GE(startNotes.size(), 2u);
    EXPECT_NE(startNotes[1].find(" o8\r\n1. "), std::string::npos) << startNotes[1];
}

TEST(NoteText, ANoteIsCutBetweenCharactersAtTheLimitOnceAndSaysSo)
{
    GameEnvironment env;
    // An old body may hold a note of lines that together pass the limit; the character
    // at the limit is left out whole, and the lines after it are left out too.
    const std::string file = "GAME\r\nSTART\r\nH2-E2\r\n#" + std::string(50000, 'a') + "\r\n#" +
                             std::string(39997, 'a') + "\xA4\x40\r\n#more\r\nH9-G7\r\n#after\r\n";
    auto game = env.newGame();
    StringSource source(file);
    ASSERT_EQ(ReadGame(*game, source, "long.gam", false), 1);
    const auto [note, after] = notesOf(*game);
    EXPECT_EQ(after, "after") << "what follows the note is read";
    ASSERT_EQ(note.size(), 89999u);
    EXPECT_EQ(note.substr(note.size() - 3), "aaa");
    const auto texts = env.terminal.texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "A note was cut to 90000 bytes, the most a note holds (move 1)."), 1)
        << "said once";
    EXPECT_EQ(notesOf(*throughFile(env, *game, GameFileForm::New)).first, note) << "and it reads back";

    // Text added to a full note is left out, the note unchanged; blank space left at the
    // end of a cut goes with it.
    std::string full(kNoteLimit, 'n');
    EXPECT_EQ(StoreNote(full, "more", NoteJoin::NewLine), 4u);
    EXPECT_EQ(full, std::string(kNoteLimit, 'n'));
    std::string note2(kNoteLimit - 10, 'n');
    EXPECT_EQ(StoreNote(note2, "ab" + std::string(20, ' ') + "cd", NoteJoin::SameLine), 24u - 2u);
    EXPECT_EQ(note2, std::string(kNoteLimit - 10, 'n') + "ab");
}

TEST(NoteText, AWriterRefusesANoteThatCouldNotBeReadBack)
{
    GameEnvironment env;
    auto game = gameWithNote(env, "fine");
    game->Navigate(kGoToPly, 1);
    // Only a note that got past every reader could be like this.
    *const_cast<MoveEntry&>(game->currentEntry()).note = std::string(kNoteLimit + 1, 'x');
    StringSink sink;
    game->modified = true;
    EXPECT_FALSE(WriteGame(*game, sink, GameFileVariant::File));
    EXPECT_TRUE(game->modified);
    EXPECT_FALSE(CheckNotesStorable(*game));
    EXPECT_EQ(env.desktop.boxes.size(), 1u);
    *const_cast<MoveEntry&>(game->currentEntry()).note = "a\rb";
    EXPECT_FALSE(CheckNotesStorable(*game));
}

} // namespace
} // namespace marovin::model
