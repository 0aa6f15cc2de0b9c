#pragma once
// One table of the data folder as it lies on disk: a base file of records, one a line
// (accounts.txt), and beside it a journal of the changes since (accounts.txt.journal).
// A record belongs to the key in its first field, without regard to case; a change gives
// all the records of one key anew (none: the key is gone).
//
// The journal is a list of batches, each appended whole and synced:
//
//   (an empty line)       ends whatever line a failed append may have left half-written
//   B                     a batch begins: a batch that never ended is forgotten
//   K <TAB> key           the records of key are now the L lines that follow
//   L <TAB> record
//   C                     the batch is complete; only complete batches count
//
// Once the journal has grown larger than the base file (and past a floor), the two are
// merged into a new base file, written beside it and renamed over it, and the journal is
// emptied. A crash at any point leaves either the old base file and a journal that still
// holds every change, or the new one (a journal replayed over it changes nothing).
//
// Only one thread may use a RecordFile at a time.

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace marovin::server {

// Changes to a table: for each key changed, all its records now (none: the key is gone).
using RecordChanges = std::vector<std::pair<std::string, std::vector<std::string>>>;

// Takes up to limit keys out of a set of changed keys and makes their changes with
// recordsOf(key).
template <typename Key, typename RecordsOf>
RecordChanges takeChanges(std::set<Key>& changed, std::size_t limit, RecordsOf recordsOf)
{
    RecordChanges changes;
    auto it = changed.begin();
    for (; it != changed.end() && changes.size() < limit; ++it) {
        if constexpr (std::is_same_v<Key, std::string>)
            changes.emplace_back(*it, recordsOf(*it));
        else
            changes.emplace_back(std::to_string(*it), recordsOf(*it));
    }
    changed.erase(changed.begin(), it);
    return changes;
}

// The records of a base file with a journal's complete batches applied, key after key
// (what RecordFile::load gives for the lines of both files).
std::vector<std::string> mergeRecords(std::vector<std::string> base, const std::vector<std::string>& journal);

class RecordFile {
public:
    // Journals smaller than this are never merged, however small the base file.
    static constexpr std::size_t kMinJournalToCompact = 256 * 1024;

    explicit RecordFile(std::string path);
    const std::string& path() const { return m_path; }
    std::string journalPath() const { return m_path + ".journal"; }

    // The records of the base file with the journal's complete batches applied, key after
    // key. error gets what could not be read ("" when all was read or nothing exists yet).
    std::vector<std::string> load(std::string& error);

    // The journal text of one batch of changes.
    static std::string batch(const RecordChanges& changes);
    // Appends text (whole batches) to the journal and syncs it. Returns "" or what went
    // wrong; then no part of text counts, and it may be appended again later.
    std::string append(std::string_view text);
    // Whether the journal has grown enough to be merged into the base file.
    bool wantsCompaction() const;
    // Merges the journal into the base file. Returns "" or what went wrong (then both
    // files stay as they were, and together still hold every change).
    std::string compact();

private:
    std::string m_path;
    std::size_t m_baseSize = 0;
    std::size_t m_journalSize = 0;
};

} // namespace marovin::server
