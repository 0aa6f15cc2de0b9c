#include "database/position_index.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace marovin::database {

static_assert(std::endian::native == std::endian::little, "chunks are stored little-endian as they are in memory");
static_assert(sizeof(IndexEntry) == 16);

namespace {

constexpr int kMaxLevel = 30;

// A chunk blob holds entries back to back, 16 bytes each: key, game, info.
std::size_t entryCount(std::string_view blob)
{
    return blob.size() / sizeof(IndexEntry);
}

IndexEntry entryAt(std::string_view blob, std::size_t i)
{
    IndexEntry entry;
    std::memcpy(&entry, blob.data() + i * sizeof(IndexEntry), sizeof entry);
    return entry;
}

// Counts per move of a run of entries with one key.
void countMove(std::vector<MoveStatistics>& counts, const IndexEntry& entry)
{
    if (entry.move() == kNoMove)
        return;
    auto it = std::find_if(counts.begin(), counts.end(), [&](const MoveStatistics& m) { return m.move == entry.move(); });
    if (it == counts.end())
        it = counts.insert(counts.end(), MoveStatistics{entry.move()});
    ++it->games;
    switch (entry.outcome()) {
    case Outcome::RedWins: ++it->redWins; break;
    case Outcome::Draw: ++it->draws; break;
    case Outcome::BlackWins: ++it->blackWins; break;
    case Outcome::Unknown: break;
    }
}

// A summary blob: per move, the move (2 bytes) and four counts (8 bytes each).
std::string summaryBlob(const std::vector<MoveStatistics>& counts)
{
    std::string blob;
    for (const MoveStatistics& m : counts) {
        blob.append(reinterpret_cast<const char*>(&m.move), 2);
        for (std::int64_t value : {m.games, m.redWins, m.draws, m.blackWins})
            blob.append(reinterpret_cast<const char*>(&value), 8);
    }
    return blob;
}

void addSummary(std::vector<MoveStatistics>& total, std::string_view blob)
{
    constexpr std::size_t kSize = 2 + 4 * 8;
    for (std::size_t at = 0; at + kSize <= blob.size(); at += kSize) {
        MoveStatistics m;
        std::memcpy(&m.move, blob.data() + at, 2);
        std::int64_t values[4];
        std::memcpy(values, blob.data() + at + 2, sizeof values);
        auto it = std::find_if(total.begin(), total.end(), [&](const MoveStatistics& t) { return t.move == m.move; });
        if (it == total.end())
            it = total.insert(total.end(), MoveStatistics{m.move});
        it->games += values[0];
        it->redWins += values[1];
        it->draws += values[2];
        it->blackWins += values[3];
    }
}

} // namespace

struct PositionIndex::Statements {
    explicit Statements(Connection& c)
        : insertSegment(c, "INSERT INTO position_segment(level, entries) VALUES(?1, 0)"),
          setEntries(c, "UPDATE position_segment SET entries = ?2 WHERE id = ?1"),
          insertChunk(c, "INSERT INTO position_chunk(segment, first_key, last_key, data) VALUES(?1, ?2, ?3, ?4)"),
          insertSummary(c, "INSERT INTO position_summary(key, segment, data) VALUES(?1, ?2, ?3)"),
          findChunks(c, "SELECT first_key, data FROM position_chunk WHERE segment = ?1 AND last_key >= ?2 "
                        "ORDER BY last_key"),
          findSummaries(c, "SELECT segment, data FROM position_summary WHERE key = ?1"),
          deleteChunks(c, "DELETE FROM position_chunk WHERE segment = ?1"),
          deleteSummaries(c, "DELETE FROM position_summary WHERE segment = ?1"),
          deleteSegment(c, "DELETE FROM position_segment WHERE id = ?1"),
          allSegments(c, "SELECT id FROM position_segment ORDER BY id"),
          levelSegments(c, "SELECT id FROM position_segment WHERE level = ?1 ORDER BY id")
    {
    }
    Statement insertSegment, setEntries, insertChunk, insertSummary, findChunks, findSummaries, deleteChunks,
        deleteSummaries, deleteSegment, allSegments, levelSegments;
};

namespace {

// Writes a sorted stream of entries as a new segment: chunks, and the counts of every key
// with many entries.
class SegmentWriter {
public:
    SegmentWriter(Connection& connection, Statement& insertSegment, Statement& insertChunk, Statement& insertSummary,
                  int level)
        : m_insertChunk(insertChunk), m_insertSummary(insertSummary)
    {
        insertSegment.bind(1, level).run();
        m_segment = connection.lastInsertId();
        m_chunk.reserve(PositionIndex::kChunkEntries);
    }
    std::int64_t segment() const { return m_segment; }
    std::int64_t entries() const { return m_entries; }

    void push(const IndexEntry& entry)
    {
        if (m_runLength == 0 || entry.key != m_runKey) {
            endRun();
            m_runKey = entry.key;
        }
        ++m_runLength;
        countMove(m_runCounts, entry);
        m_chunk.push_back(entry);
        ++m_entries;
        if (m_chunk.size() == PositionIndex::kChunkEntries)
            writeChunk();
    }

    void finish()
    {
        endRun();
        writeChunk();
    }

private:
    void endRun()
    {
        if (m_runLength >= PositionIndex::kSummaryThreshold)
            m_insertSummary.bind(1, m_runKey).bind(2, m_segment).bindBlob(3, summaryBlob(m_runCounts)).run();
        m_runLength = 0;
        m_runCounts.clear();
    }

    void writeChunk()
    {
        if (m_chunk.empty())
            return;
        const std::string_view bytes(reinterpret_cast<const char*>(m_chunk.data()), m_chunk.size() * sizeof(IndexEntry));
        m_insertChunk.bind(1, m_segment).bind(2, m_chunk.front().key).bind(3, m_chunk.back().key).bindBlob(4, bytes).run();
        m_chunk.clear();
    }

    Statement& m_insertChunk;
    Statement& m_insertSummary;
    std::int64_t m_segment = 0;
    std::int64_t m_entries = 0;
    std::vector<IndexEntry> m_chunk;
    std::int64_t m_runKey = 0;
    std::int64_t m_runLength = 0;
    std::vector<MoveStatistics> m_runCounts;
};

// Reads one segment's entries in order.
class SegmentCursor {
public:
    SegmentCursor(Connection& connection, std::int64_t segment)
        : m_statement(connection, "SELECT data FROM position_chunk WHERE segment = ?1 ORDER BY last_key")
    {
        m_statement.bind(1, segment);
        advance();
    }
    bool done() const { return m_done; }
    const IndexEntry& current() const { return m_entries[m_at]; }
    void advance()
    {
        if (++m_at < m_entries.size())
            return;
        m_at = 0;
        m_entries.clear();
        while (m_entries.empty()) {
            if (!m_statement.step()) {
                m_done = true;
                return;
            }
            const std::string_view blob = m_statement.blob(0);
            m_entries.resize(entryCount(blob));
            std::memcpy(m_entries.data(), blob.data(), m_entries.size() * sizeof(IndexEntry));
        }
    }

private:
    Statement m_statement;
    std::vector<IndexEntry> m_entries;
    std::size_t m_at = static_cast<std::size_t>(-1);
    bool m_done = false;
};

} // namespace

PositionIndex::PositionIndex(Connection& connection)
    : m_connection(connection), m_statements(std::make_unique<Statements>(connection))
{
}

PositionIndex::~PositionIndex() = default;

void PositionIndex::createSchema(Connection& connection)
{
    connection.execute(
        "CREATE TABLE IF NOT EXISTS position_segment(id INTEGER PRIMARY KEY, level INTEGER NOT NULL, "
        "entries INTEGER NOT NULL);"
        "CREATE TABLE IF NOT EXISTS position_chunk(id INTEGER PRIMARY KEY, segment INTEGER NOT NULL, "
        "first_key INTEGER NOT NULL, last_key INTEGER NOT NULL, data BLOB NOT NULL);"
        "CREATE INDEX IF NOT EXISTS position_chunk_range ON position_chunk(segment, last_key);"
        "CREATE TABLE IF NOT EXISTS position_summary(key INTEGER NOT NULL, segment INTEGER NOT NULL, "
        "data BLOB NOT NULL, PRIMARY KEY(key, segment)) WITHOUT ROWID;");
}

void PositionIndex::add(std::int64_t game, Outcome outcome, const std::vector<IndexedPosition>& positions)
{
    const std::uint32_t common = static_cast<std::uint32_t>(outcome) << 16;
    for (const IndexedPosition& p : positions)
        m_pending.push_back({static_cast<std::int64_t>(p.key), static_cast<std::uint32_t>(game),
                             common | p.move | (p.inVariation ? 1u << 18 : 0u)});
    if (m_pending.size() >= kFlushEntries)
        flush();
}

void PositionIndex::flush()
{
    if (m_pending.empty())
        return;
    // Millions of entries: each half is sorted on a core of its own, then the two are merged.
    const auto middle = m_pending.begin() + static_cast<std::ptrdiff_t>(m_pending.size() / 2);
    std::thread lower([&] { std::sort(m_pending.begin(), middle); });
    std::sort(middle, m_pending.end());
    lower.join();
    std::inplace_merge(m_pending.begin(), middle, m_pending.end());
    Statements& s = *m_statements;
    SegmentWriter writer(m_connection, s.insertSegment, s.insertChunk, s.insertSummary, 0);
    for (const IndexEntry& entry : m_pending)
        writer.push(entry);
    writer.finish();
    s.setEntries.bind(1, writer.segment()).bind(2, writer.entries()).run();
    m_pending.clear();
    m_pending.shrink_to_fit();
    for (int level = 0; level < kMaxLevel; ++level)
        mergeLevel(level);
}

std::vector<std::int64_t> PositionIndex::segments(int level)
{
    Statement& list = level < 0 ? m_statements->allSegments : m_statements->levelSegments.bind(1, level);
    std::vector<std::int64_t> ids;
    while (list.step())
        ids.push_back(list.integer(0));
    list.reset();
    return ids;
}

int PositionIndex::segmentCount()
{
    return static_cast<int>(segments().size());
}

void PositionIndex::mergeLevel(int level)
{
    const std::vector<std::int64_t> ids = segments(level);
    if (ids.size() >= static_cast<std::size_t>(kMergeFanIn))
        merge(ids, level + 1);
}

void PositionIndex::mergeAll()
{
    const std::vector<std::int64_t> ids = segments();
    if (ids.size() > 1)
        merge(ids, kMaxLevel);
}

void PositionIndex::merge(const std::vector<std::int64_t>& inputs, int level)
{
    Statements& s = *m_statements;
    std::vector<std::unique_ptr<SegmentCursor>> cursors;
    for (std::int64_t id : inputs)
        cursors.push_back(std::make_unique<SegmentCursor>(m_connection, id));
    SegmentWriter writer(m_connection, s.insertSegment, s.insertChunk, s.insertSummary, level);
    for (;;) {
        SegmentCursor* least = nullptr;
        for (auto& cursor : cursors)
            if (!cursor->done() && (!least || cursor->current() < least->current()))
                least = cursor.get();
        if (!least)
            break;
        writer.push(least->current());
        least->advance();
    }
    writer.finish();
    cursors.clear();
    s.setEntries.bind(1, writer.segment()).bind(2, writer.entries()).run();
    for (std::int64_t id : inputs) {
        s.deleteChunks.bind(1, id).run();
        s.deleteSummaries.bind(1, id).run();
        s.deleteSegment.bind(1, id).run();
    }
}

void PositionIndex::forEachEntry(std::int64_t segment, PositionKey key, const std::function<bool(const IndexEntry&)>& visit)
{
    const auto wanted = static_cast<std::int64_t>(key);
    Statement& find = m_statements->findChunks;
    find.bind(1, segment).bind(2, wanted);
    while (find.step() && find.integer(0) <= wanted) {
        const std::string_view blob = find.blob(1);
        const std::size_t count = entryCount(blob);
        // Entries are sorted: find the first of the key by bisection.
        std::size_t low = 0, high = count;
        while (low < high) {
            const std::size_t middle = (low + high) / 2;
            if (entryAt(blob, middle).key < wanted)
                low = middle + 1;
            else
                high = middle;
        }
        bool more = true;
        for (std::size_t i = low; i < count && more; ++i) {
            const IndexEntry entry = entryAt(blob, i);
            if (entry.key != wanted) {
                more = false;
                break;
            }
            more = visit(entry);
        }
        if (!more || count == 0 || entryAt(blob, count - 1).key != wanted)
            break;
    }
    find.reset();
}

std::vector<MoveStatistics> PositionIndex::moves(PositionKey key)
{
    std::vector<MoveStatistics> total;
    std::vector<std::int64_t> summarised;
    Statement& summaries = m_statements->findSummaries;
    summaries.bind(1, static_cast<std::int64_t>(key));
    while (summaries.step()) {
        summarised.push_back(summaries.integer(0));
        addSummary(total, summaries.blob(1));
    }
    summaries.reset();
    for (std::int64_t segment : segments()) {
        if (std::find(summarised.begin(), summarised.end(), segment) != summarised.end())
            continue;
        forEachEntry(segment, key, [&](const IndexEntry& entry) {
            countMove(total, entry);
            return true;
        });
    }
    return total;
}

std::vector<std::int64_t> PositionIndex::games(PositionKey key, std::size_t limit)
{
    std::vector<std::int64_t> found;
    for (std::int64_t segment : segments()) {
        if (found.size() >= limit)
            break;
        std::int64_t last = -1;
        forEachEntry(segment, key, [&](const IndexEntry& entry) {
            if (entry.game != last) {
                last = entry.game;
                found.push_back(entry.game);
            }
            return found.size() < limit;
        });
    }
    return found;
}

} // namespace marovin::database
