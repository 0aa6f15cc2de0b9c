#pragma once
// Decoders of the server's game lines: plain functions from a line to its fields, with no
// effect on any game. The parsers of game_updates.h act on what they return.
//
//   notice:        Game 12 alice vs bob created. 20 min 1200 1200 10 1532 1480 0 rated even
//                  Game 12 alice vs bob 3 H2-E2 1187 1195 10 1532 1480 2
//                  Game 12 alice vs bob Black has been checkmated. 1-0
//   observe:       Game 7 BotMa vs BotPao added to your observation list. 10 min 600 600 5 0 0 1
//   numbered move: (3) H2-E2
//   look header:   Game: alice.bob.12 ...
//   look date:     Date: 2024-03-05 1-0 Black resigned
//
// Words are separated by blanks, tabs, CR or LF. A game number is a word of digits only.
// Numbers are read as C's "%d" and "%ld" read them (leading blanks, a sign, digits), with
// values beyond 32 bits clamped.

#include <cstdint>
#include <optional>
#include <string_view>

namespace marovin::session {

// Reads fields one after the other from the front of a text.
class FieldCursor {
public:
    explicit FieldCursor(std::string_view text) : m_text(text) {}

    // A decimal integer after any separators; false (nothing consumed) without one.
    bool readInteger(std::int32_t& value);
    // The next word; false when only separators remain.
    bool readWord(std::string_view& word);
    // The next character when it is c (no separators skipped).
    bool skipCharacter(char c);
    void skipSeparators();
    std::string_view rest() const { return m_text; }

private:
    std::string_view m_text;
};

// The numbers of a notice after its move or terms: the two clocks (seconds), a number not
// used, the two ratings and the observer count. Fields the line lacks are absent, and so
// is every field after the first missing one.
struct GameNumbers {
    std::optional<std::int32_t> redClock;
    std::optional<std::int32_t> blackClock;
    std::optional<std::int32_t> redRating;
    std::optional<std::int32_t> blackRating;
    std::optional<std::int32_t> observers;
};
GameNumbers readGameNumbers(FieldCursor& cursor);

// The numbers after "created." or "added ... .": a number and a word not used, then the
// GameNumbers.
GameNumbers readTermsAndNumbers(std::string_view text);

// "Game n A word B rest".
struct GameLineHead {
    int number = 0;
    std::string_view red;   // A, whole (the caller keeps 15 bytes)
    std::string_view black; // B, whole
    std::string_view rest;  // everything after B, leading separators removed
};
// Nothing when a field is missing or the number is not all digits (or beyond 999999999).
std::optional<GameLineHead> decodeGameLineHead(std::string_view line);

// The status word of a notice: the first word of rest that is not "Black", "Red", "has" or
// "been", and the text after it. Nothing when there is none.
struct NoticeStatus {
    std::string_view word;
    std::string_view after;
};
std::optional<NoticeStatus> noticeStatus(std::string_view rest);

// A game number word: digits only, at most nine of them.
std::optional<int> gameNumberWord(std::string_view word);
bool isAllDigits(std::string_view word);

// "(%d) %s": the number and the move text. Nothing unless both are there.
struct NumberedMove {
    int number = 0;
    std::string_view text;
};
std::optional<NumberedMove> decodeNumberedMove(std::string_view line);

// The header of a "look:" block, "Game:" then "A.B.n": Red and Black names (whole) and n.
struct BoardDisplayHead {
    std::string_view red;
    std::string_view black;
    int number = 0;
};
std::optional<BoardDisplayHead> decodeBoardDisplayHead(std::string_view text);

// "Date:" line of a "look:" block: its first word and the rest after blanks.
struct DateLine {
    std::string_view date;
    std::string_view result;
};
DateLine decodeDateLine(std::string_view line);

} // namespace marovin::session
