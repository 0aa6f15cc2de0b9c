#pragma once
// The server's data folder: accounts.txt, messages.txt and games.txt, each with its
// journal (see RecordFile).
//
// The event loop hands over changes as text and goes on at once; a thread of its own
// appends them to the journals, syncs them and now and then merges a journal into its
// base file, so that no write or sync ever holds up the loop. A write that fails is kept,
// in order, and tried again every second until it succeeds; the log is told when writing
// a file fails and when it works again.

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "record_file.h"

namespace marovin::server {

class DataFolder {
public:
    enum class Table { Accounts, Messages, Games };

    explicit DataFolder(std::string directory);
    // Waits for the writer, which makes one last attempt at what is still unwritten.
    ~DataFolder();
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    // Creates the folder if need be, reads every table and starts the writer. Returns ""
    // or what went wrong (what could be read is still there).
    std::string open();
    // The records read by open(), handed over once.
    std::vector<std::string> takeRecords(Table table);

    // Hands one batch of changes to the writer.
    void write(Table table, const RecordChanges& changes);
    // Waits, at most timeout, until everything handed over is on disk; retries come
    // quickly meanwhile. False when something is still unwritten.
    bool waitUntilWritten(std::chrono::milliseconds timeout);
    // Lines for the log, oldest first.
    std::vector<std::string> takeReports();

private:
    static constexpr std::size_t kTables = 3;
    struct Slot {
        explicit Slot(std::string path) : file(std::move(path)) {}
        RecordFile file;
        std::vector<std::string> loaded;
        std::string unwritten;  // batches handed over and not yet taken by the writer, in order
        bool writing = false;   // the writer is writing batches it took
        std::string lastError;  // the failure last reported ("" while all is well)
        std::string lastMergeError;
        int failures = 0;
    };

    void run();
    // One attempt at a table's unwritten batches (and a merge when due). Called by the
    // writer with the lock held; releases it while it touches the disk.
    void flush(Slot& slot, std::unique_lock<std::mutex>& lock);
    bool allWritten() const;

    std::string m_directory;
    std::array<Slot, kTables> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_wake;    // new batches, a waiter, or the end
    std::condition_variable m_written; // an attempt is over
    std::vector<std::string> m_reports;
    int m_waiters = 0;
    bool m_kicked = false;
    bool m_stopping = false;
    std::thread m_writer;
};

} // namespace marovin::server
