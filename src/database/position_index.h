#pragma once
// The position index: for every position of every stored game, the game and the move
// played from it, so that the explorer and the position search never replay games.
//
// SQLite's b-trees are slow to take millions of rows with random keys, so the index is
// kept as sorted runs ("segments"), as a log-structured store keeps them: an import
// gathers its entries in memory, sorts them and writes them as one new segment of packed
// chunks (appended, so cheap); when four segments of one size class exist they are merged
// into one of the next class. A lookup asks each segment (a handful) for its chunk of the
// key. Positions that many games of a segment reach get their move counts written beside
// the segment, so that the explorer reads a few rows instead of thousands of entries.
// docs/database.md shows the tables and the chunk layout.

#include <cstdint>
#include <functional>
#include <vector>

#include "database/game_codec.h"
#include "database/sqlite.h"

namespace marovin::database {

// One entry: the position, the game, and the move, outcome and variation flag packed.
struct IndexEntry {
    std::int64_t key;
    std::uint32_t game;
    std::uint32_t info; // move (from | to << 8, or kNoMove) | outcome << 16 | in variation << 18

    std::uint16_t move() const { return static_cast<std::uint16_t>(info); }
    Outcome outcome() const { return static_cast<Outcome>(info >> 16 & 3); }
    friend bool operator<(const IndexEntry& a, const IndexEntry& b)
    {
        return a.key != b.key ? a.key < b.key : a.game != b.game ? a.game < b.game : a.info < b.info;
    }
};

// What the explorer shows for one move from a position.
struct MoveStatistics {
    std::uint16_t move = 0; // from | to << 8
    std::int64_t games = 0, redWins = 0, draws = 0, blackWins = 0;
};

class PositionIndex {
public:
    static constexpr std::size_t kChunkEntries = 240;        // 3,840 bytes: a lookup reads one such chunk
    static constexpr std::size_t kFlushEntries = 1u << 22;   // entries gathered before a segment is written
    static constexpr int kMergeFanIn = 4;
    static constexpr std::int64_t kSummaryThreshold = 64;    // entries of one key that get counts of their own

    explicit PositionIndex(Connection& connection);
    ~PositionIndex();
    static void createSchema(Connection& connection);

    // Gathers the positions of one game (written at the next flush).
    void add(std::int64_t game, Outcome outcome, const std::vector<IndexedPosition>& positions);
    // Writes what was gathered as a segment and merges segments as needed. Runs inside the
    // caller's transaction.
    void flush();
    // Forgets what was gathered (the transaction it belonged to was rolled back).
    void discard() { m_pending.clear(); }
    // Merges every segment into one (after a large import): lookups then ask one segment.
    void mergeAll();

    // The moves played from a position, with their counts, in no particular order.
    std::vector<MoveStatistics> moves(PositionKey key);
    // The games that reach a position, in the order of the index (oldest segment first),
    // at most limit of them.
    std::vector<std::int64_t> games(PositionKey key, std::size_t limit);
    int segmentCount();

private:
    struct Statements;
    // Every segment (level -1) or those of one level, oldest first.
    std::vector<std::int64_t> segments(int level = -1);
    void forEachEntry(std::int64_t segment, PositionKey key, const std::function<bool(const IndexEntry&)>& visit);
    void mergeLevel(int level);
    void merge(const std::vector<std::int64_t>& inputs, int level);

    Connection& m_connection;
    std::unique_ptr<Statements> m_statements;
    std::vector<IndexEntry> m_pending;
};

} // namespace marovin::database
