#include "data_folder.h"

#include <csignal>
#include <filesystem>
#include <pthread.h>
#include <utility>

namespace marovin::server {

namespace {
using namespace std::chrono_literals;
constexpr auto kRetryPause = 1000ms;
constexpr auto kRetryPauseWhileWaited = 200ms;

std::string fileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }
} // namespace

DataFolder::DataFolder(std::string directory)
    : m_directory(std::move(directory)),
      m_slots{Slot(m_directory + "/accounts.txt"), Slot(m_directory + "/messages.txt"),
              Slot(m_directory + "/games.txt")}
{
}

DataFolder::~DataFolder()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_writer.joinable())
        m_writer.join();
}

std::string DataFolder::open()
{
    std::string error;
    std::error_code ec;
    std::filesystem::create_directories(m_directory, ec);
    if (ec)
        error = "cannot create " + m_directory + ": " + ec.message();
    for (Slot& slot : m_slots) {
        std::string readError;
        slot.loaded = slot.file.load(readError);
        if (error.empty())
            error = readError;
    }
    m_writer = std::thread([this] { run(); });
    return error;
}

std::vector<std::string> DataFolder::takeRecords(Table table)
{
    return std::move(m_slots[static_cast<std::size_t>(table)].loaded);
}

void DataFolder::write(Table table, const RecordChanges& changes)
{
    if (changes.empty())
        return;
    std::string text = RecordFile::batch(changes);
    {
        std::lock_guard lock(m_mutex);
        m_slots[static_cast<std::size_t>(table)].unwritten += text;
        m_kicked = true;
    }
    m_wake.notify_all();
}

bool DataFolder::allWritten() const
{
    for (const Slot& slot : m_slots)
        if (!slot.unwritten.empty() || slot.writing)
            return false;
    return true;
}

bool DataFolder::waitUntilWritten(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    ++m_waiters;
    m_kicked = true;
    m_wake.notify_all();
    const bool written = m_written.wait_for(lock, timeout, [this] { return allWritten(); });
    --m_waiters;
    return written;
}

std::vector<std::string> DataFolder::takeReports()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_reports, {});
}

void DataFolder::run()
{
    // Signals are for the event loop's thread, which waits for them.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);

    std::unique_lock lock(m_mutex);
    for (;;) {
        bool failing = false;
        for (Slot& slot : m_slots) {
            if (!slot.unwritten.empty())
                flush(slot, lock);
            failing = failing || !slot.unwritten.empty();
        }
        m_written.notify_all();
        if (m_stopping)
            return;
        const auto pause = failing && m_waiters > 0 ? kRetryPauseWhileWaited : kRetryPause;
        m_wake.wait_for(lock, pause, [this] { return m_kicked || m_stopping; });
        m_kicked = false;
    }
}

void DataFolder::flush(Slot& slot, std::unique_lock<std::mutex>& lock)
{
    // The loop may add batches while these are written: they wait for the next round.
    std::string text = std::exchange(slot.unwritten, {});
    slot.writing = true;
    lock.unlock();
    const std::string error = slot.file.append(text);
    const std::string mergeError = error.empty() && slot.file.wantsCompaction() ? slot.file.compact() : "";
    lock.lock();
    slot.writing = false;
    const std::string name = fileName(slot.file.path());
    if (!error.empty()) {
        slot.unwritten.insert(0, text); // before what came meanwhile: the order stays
        ++slot.failures;
        if (error != slot.lastError)
            m_reports.push_back("cannot save " + name + ": " + error + " (trying again every second)");
        slot.lastError = error;
        return;
    }
    if (slot.failures > 0)
        m_reports.push_back("saved " + name + " again after " + std::to_string(slot.failures) + " failed " +
                            (slot.failures == 1 ? "attempt" : "attempts"));
    slot.failures = 0;
    slot.lastError.clear();
    if (!mergeError.empty() && mergeError != slot.lastMergeError)
        m_reports.push_back("cannot merge the journal of " + name + " (it keeps growing): " + mergeError);
    slot.lastMergeError = mergeError;
}

} // namespace marovin::server
