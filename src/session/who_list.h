#pragma once
// The server's player list, as the who window keeps it: fixed records parsed from the
// answer of a "who" command, their order, and the lines the window shows.
//
// The answer's lines that hold players (the first line, "N players online", ends in "e"
// and is skipped like every line that does):
//
//   Reg. 12   - alice           1532   3m                  38 bytes: one player
//   <38 bytes: a player>  <39 bytes: a player>              79 bytes: the second at 40
//   Reg. 12   - alice           1532/1480   3m             43 bytes: both ratings
//
// Six words a player: kind with the open mark as its fourth byte ("X": not open for
// matches), the game played, the game observed, the name, the rating (slow for "who",
// fast for "who -f"; both as SSSS/FFFF in a 43-byte line), the idle time.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "support/memory.h"

namespace marovin::session {

// One player: a fixed record of 52 bytes. Every field is NUL-terminated; a word longer
// than its field keeps its first bytes.
struct WhoRecord {
    char name[21];
    char slowRating[5];
    char fastRating[5];
    char info[5];  // the first word, cut to its first three bytes
    char openMark; // 'X' when the player is not open for matches, else a blank
    char play[5];  // number of the game the player plays
    char obs[5];   // number of the game the player observes
    char idle[5];
};
static_assert(sizeof(WhoRecord) == 52);

constexpr int kWhoRecordCapacity = 250;
constexpr int kWhoCountLimit = 249; // records in use at most; the rest of a longer list is ignored

using WhoRecords = std::unique_ptr<WhoRecord[], FreeMemDeleter>;

// The zero-filled array of all records (never fails: out of memory is reported and retried).
WhoRecords allocateWhoRecords();

// Parses an answer (lines each followed by "\r\n") into records[0...], replacing what
// they held; returns the number of players read, at most kWhoCountLimit. slowList: the
// answer of a plain "who" (its ratings are slow ones), else of "who -f". A player without
// a name is not taken.
int parseWhoList(std::string_view answer, bool slowList, WhoRecord* records);

// The who window's sort settings: key 0 by name, 1 by slow rating, 2 by fast rating
// (higher first); openFirst puts every player marked "X" after every unmarked one.
struct WhoOrder {
    int sortKey = 0;
    bool openFirst = false;
};

// The list order: true when a comes before b. Records equal under it keep their order.
bool whoRecordBefore(const WhoRecord& a, const WhoRecord& b, WhoOrder order);
void sortWhoRecords(WhoRecord* records, int count, WhoOrder order);

// The heading of the list and one line of it ("%3c%5s/%4s %-15s%4s%5s%4s%5s").
inline constexpr std::string_view kWhoHeading = "Open Slow/Fast Name           Info Play Obs Idle";
std::string whoListLine(const WhoRecord& record);

// The first record whose name is exactly name, or -1.
int findWhoRecord(const WhoRecord* records, int count, std::string_view name);

// 0 when the user's own record (name loggedInName) carries the mark "X", else 1.
int whoImOpen(const WhoRecord* records, int count, std::string_view loggedInName);

// Whether the user may challenge record: it is open, the user is open (imOpen 1), and it
// is not the user.
bool whoCanMatch(const WhoRecord& record, int imOpen, std::string_view loggedInName);
// Whether record's player plays a game that can be observed.
bool whoCanObserve(const WhoRecord& record);

// The commands that the who window sends for a selected player, each with its line end.
enum class WhoCommand { Stored, Finger, Observe, AliasList, History };
std::string whoCommandLine(WhoCommand command, const WhoRecord& record);

} // namespace marovin::session
