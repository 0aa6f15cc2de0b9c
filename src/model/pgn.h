#pragma once
// Games as PGN, the exchange form of other Xiangqi programs. UTF-8 text:
//
//   [Game "Chinese Chess"]
//   [Event "Club final"]          the game's name (subject)
//   [Site "Taipei"]               the place
//   [Date "2024.03.05"]
//   [Red "alice"]  [Black "bob"]  [RedElo "1500"]  [BlackElo "1480"]
//   [Result "1-0"]                1-0, 0-1, 1/2-1/2 or *; a result text that is none of
//   [ResultText "Red resigns"]    these is kept in ResultText
//   [SetUp "1"] [FEN "..."]       only for a game that starts from a set-up position
//   [Format "WXF"]                the move notation: ICCS, WXF or Chinese
//   [Times "0 0 600 600"]         the record's four time values, when any is not 0
//
//   {note on the start position}
//   1. C2.5 H8+7 {note on Black's move} 2. H2+3 (2. P7+1 P7+1) 2... R9.8 1-0
//
// Variations follow the move they replace, in parentheses, nested to any depth; a note is
// a comment after its move. Reading takes every game of a file in turn, with or without
// tags, CR LF or LF line ends, a UTF-8 byte-order mark, ";" and "%" comment lines,
// numeric annotation glyphs (skipped), and move texts in any of the three notations
// (each move is judged by its form; the Format tag is not needed). Text that is not
// UTF-8 is taken as Big5.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/game.h"
#include "model/move_notation.h"

namespace marovin::model {

// ---- writing --------------------------------------------------------------------------

// Appends the PGN of game to out (tags, a blank line, the moves, the result, a blank line).
// Notes and names are turned from Big5 into UTF-8; a "}" in a note, which would end the
// comment, is written as the full-width "｝". A note comes back as it was written except
// for blank space at its start and end, which the reader takes as padding.
void WritePgn(const CGame& game, MoveNotation notation, std::string& out);
// The Result tag of a game's result text: "1-0", "0-1" or "1/2-1/2" when the text holds one
// as a word ("1-0 Black resigned", "draw. 1/2") or says who lost or that the game was
// drawn, as the server's end lines do ("Black has been checkmated.", "Red resigned.", "Red
// has run out of time.", "draw."); "*" when it says neither.
std::string_view PgnResultToken(std::string_view result);
std::string PgnText(const CGame& game, MoveNotation notation);
// Writes the game as the only game of a PGN file at path, replacing it whole or leaving it
// as it was. A failure is reported in a message box ("Can not write file: PATH"); success
// clears the modified flag.
bool WritePgnFile(CGame& game, const std::string& path, MoveNotation notation);

// ---- reading --------------------------------------------------------------------------

// Bounds that keep any input within memory and time.
constexpr std::size_t kPgnTokenLimit = 100000; // a tag value (bytes)
constexpr std::size_t kPgnCommentLimit = 200000; // a comment (UTF-8 bytes): a whole note and more
constexpr std::size_t kPgnDepthLimit = 500;    // variations inside variations
constexpr std::size_t kPgnMoveLimit = 100000;  // moves of one game, variations included
constexpr std::size_t kPgnTagLimit = 200;      // tags of one game

constexpr std::size_t kPgnFileLimit = std::size_t(256) << 20; // bytes of a PGN file read

// Reads a whole PGN file into text. False, with error saying why ("cannot be opened",
// "is larger than 256 MiB"), when it cannot.
bool ReadPgnFile(const std::string& path, std::string& text, std::string& error);

// One game as written, before its moves are played: the tags in order and the body as a
// flat list of items.
struct PgnItem {
    enum class Kind { Move, Comment, Open, Close } kind;
    std::string text; // the move text or the comment (UTF-8)
    int line = 0;     // where it stands in the file, from 1
};

struct PgnGameText {
    std::vector<std::pair<std::string, std::string>> tags;
    std::vector<PgnItem> items;
    std::string result; // the result that ends the moves ("1-0", "0-1", "1/2-1/2", "*"), or empty
    int line = 0;       // the line the game begins on
    std::string error; // what stopped the reading of its text; items before it stand
    int errorLine = 0;

    // The value of a tag, empty when missing.
    std::string_view tag(std::string_view name) const;
};

// Splits PGN text into games, one at a time.
class PgnReader {
public:
    // text is the whole file; a UTF-8 byte-order mark is skipped, and text that is not
    // UTF-8 is taken as Big5.
    explicit PgnReader(std::string_view text);

    // Reads the next game; false when no game is left.
    bool next(PgnGameText& game);

private:
    void skipSpace();
    bool readTag(PgnGameText& game);
    void readBody(PgnGameText& game);
    std::string readComment(PgnGameText& game, int line);

    std::string m_text;
    std::size_t m_at = 0;
    int m_line = 1;
};

// Plays a game's text into game (a fresh record): the tags into the header and start
// position, the moves, variations and comments into the move tree. Every move is checked;
// at the first that cannot be played, error says "move N (TEXT): why" and what was read
// before it stays in the game. Returns whether the whole text was played. warning gets
// notes on what was changed to fit the record (characters Big5 lacks), empty otherwise.
bool BuildPgnGame(const PgnGameText& text, CGame& game, std::string& error, std::string& warning);

// The notation a game declares with its Format tag, or the one its first move is written
// in (ICCS when it has none).
MoveNotation PgnGameNotation(const PgnGameText& text);

} // namespace marovin::model
