#include "record_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>

#include "storage.h"

namespace marovin::server {

namespace {

// The key of a record: its first field, in lower case.
std::string keyOf(std::string_view record)
{
    std::string key(record.substr(0, record.find('\t')));
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

std::string_view after(std::string_view line, std::size_t prefix) { return line.substr(prefix); }

// Applies the journal's complete batches to the records by key.
void replay(const std::vector<std::string>& journal, std::map<std::string, std::vector<std::string>>& byKey)
{
    RecordChanges batch;
    bool open = false;
    for (const std::string& line : journal) {
        if (line == "B") {
            batch.clear();
            open = true;
        } else if (open && line.rfind("K\t", 0) == 0) {
            batch.emplace_back(keyOf(after(line, 2)), std::vector<std::string>{});
        } else if (open && line.rfind("L\t", 0) == 0 && !batch.empty()) {
            batch.back().second.emplace_back(after(line, 2));
        } else if (open && line == "C") {
            for (auto& [key, records] : batch) {
                if (records.empty())
                    byKey.erase(key);
                else
                    byKey[key] = std::move(records);
            }
            batch.clear();
            open = false;
        }
        // Anything else is the rest of an append that failed half-way: skipped.
    }
}

std::string writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::strerror(n < 0 ? errno : EIO);
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

std::size_t sizeOf(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 1;
    return size;
}

} // namespace

std::vector<std::string> mergeRecords(std::vector<std::string> base, const std::vector<std::string>& journal)
{
    std::map<std::string, std::vector<std::string>> byKey;
    for (std::string& record : base)
        if (!record.empty())
            byKey[keyOf(record)].push_back(std::move(record));
    replay(journal, byKey);
    std::vector<std::string> records;
    for (auto& [key, list] : byKey)
        for (std::string& record : list)
            records.push_back(std::move(record));
    return records;
}

RecordFile::RecordFile(std::string path) : m_path(std::move(path)) {}

std::vector<std::string> RecordFile::load(std::string& error)
{
    std::vector<std::string> base;
    std::vector<std::string> journal;
    error = readLines(m_path, base);
    if (const std::string journalError = readLines(journalPath(), journal); error.empty())
        error = journalError;
    m_baseSize = sizeOf(base);
    m_journalSize = sizeOf(journal);
    return mergeRecords(std::move(base), journal);
}

std::string RecordFile::batch(const RecordChanges& changes)
{
    std::string text = "\nB\n";
    for (const auto& [key, records] : changes) {
        text += "K\t" + key + "\n";
        for (const std::string& record : records)
            text += "L\t" + record + "\n";
    }
    text += "C\n";
    return text;
}

std::string RecordFile::append(std::string_view text)
{
    const std::string path = journalPath();
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return "cannot write " + path + ": " + std::strerror(errno);
    std::string error = writeAll(fd, text);
    if (error.empty() && fdatasync(fd) != 0)
        error = std::strerror(errno);
    close(fd);
    if (!error.empty())
        return "cannot write " + path + ": " + error;
    if (m_journalSize == 0)
        syncFolderOf(path); // a new journal: its name must last too
    m_journalSize += text.size();
    return {};
}

bool RecordFile::wantsCompaction() const
{
    return m_journalSize >= kMinJournalToCompact && m_journalSize > m_baseSize;
}

std::string RecordFile::compact()
{
    std::string error;
    const std::vector<std::string> records = load(error);
    if (!error.empty())
        return error;
    std::string content;
    for (const std::string& record : records)
        content += record + "\n";
    if (error = writeFileAtomically(m_path, content); !error.empty())
        return error;
    // The base file holds every change now; a crash before the journal is emptied only
    // means that it is replayed once more over the new base, changing nothing.
    const std::string path = journalPath();
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0 || fsync(fd) != 0)
        error = "cannot empty " + path + ": " + std::strerror(errno);
    if (fd >= 0)
        close(fd);
    m_baseSize = content.size();
    if (error.empty())
        m_journalSize = 0;
    return error;
}

} // namespace marovin::server
