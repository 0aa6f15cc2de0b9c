#pragma once
// A game as the database stores it: the searchable header fields as values of their own,
// and everything else (ratings, clocks, set-up position, result and place texts, notes and
// the move tree) packed into one blob, so that a game takes a few dozen bytes and comes
// back exactly as it went in.
//
// The move tree is written as the game file's compact body is, item by item in the same
// depth-first order (a move, a note after the move it belongs to, branch begin and end),
// but each item becomes a digit: a move is its rank among the moves the rules allow its
// piece kinds from that position (every candidate, own general safe or not, ordered by
// from- then to-square), and the "special" digit one past them is followed by a digit of
// three (note, branch begin, branch end; a branch end outside every branch ends the game).
// The digits are packed as one mixed-radix number, which costs log2(candidates + 1) bits a
// move. Encoding replays every move and refuses one that the rules do not allow.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/zobrist.h"
#include "model/game.h"

namespace marovin::database {

// How a game ended, for the explorer's counts and the search.
enum class Outcome : std::uint8_t { Unknown = 0, RedWins = 1, Draw = 2, BlackWins = 3 };

// The outcome a result text names ("1-0", "0-1", "1/2-1/2", "Red wins", "draw", 紅勝 ...).
Outcome OutcomeOf(std::string_view result);

// One position of a game for the position index: its key, and the move played from it
// (from and to squares; kNoMove when the line ends there).
struct IndexedPosition {
    PositionKey key = 0;
    std::uint16_t move = 0;
    bool inVariation = false;
};
constexpr std::uint16_t kNoMove = 0xffff;
constexpr std::uint16_t PackMove(model::Square from, model::Square to) { return std::uint16_t(from | to << 8); }

struct EncodedGame {
    std::string red, black, event; // Big5 bytes, as in the game
    std::string date;              // the date text
    Outcome outcome = Outcome::Unknown;
    std::uint8_t parts = 0;        // which optional parts the blob holds
    std::string data;              // the blob
    std::vector<IndexedPosition> positions; // every position of every line, each (key, move) once
    std::uint64_t hash = 0;        // of everything stored above but the positions (IdentityHash)
};

// Encodes a game. On a move that its position does not allow, error says which ("move 12 by
// Red (H2-E2) is not allowed here") and nothing is returned.
std::optional<EncodedGame> EncodeGame(const model::CGame& game, std::string& error);

// The result column: the outcome in bits 0-1, the blob's optional parts in bits 2-6 (so
// that the blob needs no byte of its own to say which it holds).
inline int ResultColumn(const EncodedGame& game) { return static_cast<int>(game.outcome) | game.parts << 2; }
inline Outcome OutcomeOfColumn(std::int64_t result) { return static_cast<Outcome>(result & 3); }

// Rebuilds a stored game into game (a fresh record): header, start position, moves, notes.
// False, with error, when the blob is damaged; what was rebuilt before stays.
bool DecodeGame(std::string_view red, std::string_view black, std::string_view event, std::string_view date,
                std::int64_t result, std::string_view data, model::CGame& game, std::string& error);

// The header fields of a stored game that the blob holds, without its moves.
struct StoredHeader {
    int redRating = 0;
    int blackRating = 0;
    std::string result;
    std::string place;
};
bool DecodeHeader(std::int64_t result, std::string_view data, StoredHeader& header);

// The date column: the day's number (days from 1970-01-01) when the text is exactly a day
// written "YYYY-MM-DD", else none (the text is then stored as it is). Small numbers take
// two bytes, where the text would take ten.
std::optional<std::int64_t> DateNumber(std::string_view date);
std::string DateText(std::int64_t days);
std::int64_t DayNumber(int year, int month, int day);

// A 64-bit hash of bytes (for finding a game that is already stored).
std::uint64_t HashBytes(std::string_view bytes, std::uint64_t seed = 0);
// The hash of what makes a stored game the same game: names, event, date, result and blob.
std::uint64_t IdentityHash(const EncodedGame& game);

} // namespace marovin::database
