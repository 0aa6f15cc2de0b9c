#include "database/game_import.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "model/byte_stream.h"
#include "model/game_file.h"
#include "model/legality.h"
#include "model/pgn.h"

namespace marovin::database {

namespace fs = std::filesystem;

namespace {

// A PGN error begins "line N: " when it knows its line: the line goes where lines go.
BadGame pgnBadGame(const std::string& file, int number, int line, std::string error)
{
    if (error.starts_with("line ")) {
        const std::size_t colon = error.find(": ");
        int found = 0;
        const auto [end, failed] = std::from_chars(error.data() + 5, error.data() + error.size(), found);
        if (failed == std::errc() && colon != std::string::npos && end == error.data() + colon) {
            line = found;
            error.erase(0, colon + 2);
        }
    }
    return {file, number, line, error};
}

constexpr std::size_t kReportEvery = 1000; // games between progress reports
constexpr std::size_t kJobBlock = 512;     // games read at once (about 20 ms of work)
constexpr std::size_t kParallelJobs = 64;  // fewer are not worth a second thread

bool isPgnName(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".pgn";
}

bool beginsWithGame(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    char head[4] = {};
    return file.read(head, 4) && std::string_view(head, 4) == "GAME";
}

// The first problem a reading reports, and where.
struct Problem {
    std::string text;
    int line = 0;
};

class CapturingTerminal : public TerminalPort {
public:
    CapturingTerminal(Problem& problem, model::ReadLocation& location) : m_problem(problem), m_location(location) {}
    void writeOutputLine(TextFormatId, std::string_view) override {}
    void writeServerLine(std::string_view) override {}
    void writeClientText(std::string_view text, bool normal) override
    {
        if (!normal && m_problem.text.empty())
            m_problem = {std::string(text), m_location.line};
    }

private:
    Problem& m_problem;
    model::ReadLocation& m_location;
};

class CapturingDesktop : public DesktopPort {
public:
    CapturingDesktop(Problem& problem, model::ReadLocation& location) : m_problem(problem), m_location(location) {}
    void beep() override {}
    void messageBox(std::string_view text) override
    {
        if (m_problem.text.empty())
            m_problem = {std::string(text), m_location.line};
    }
    bool askYesNo(std::string_view, bool) override { return false; }
    FatalBoxAnswer fatalBox(std::string_view text, std::string_view) override
    {
        messageBox(text);
        return FatalBoxAnswer::Ignore;
    }
    [[noreturn]] void exitProgram(int status) override { std::exit(status); }

private:
    Problem& m_problem;
    model::ReadLocation& m_location;
};

class WallClock : public ClockPort {
public:
    std::int64_t nowSeconds() override
    {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    std::int64_t nowMilliseconds() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void pause(int) override {}
    void waitUntil(const std::function<bool()>& done) override { done(); }
};

} // namespace

// The ports the games of an import read through: quiet, but the first problem is kept.
struct GameImporter::Reader {
    Reader() : terminal(problem, location), desktop(problem, location) {}
    model::GamePorts ports() { return {terminal, desktop, clock, windows, settings, &location}; }

    Problem problem;
    model::ReadLocation location;
    CapturingTerminal terminal;
    CapturingDesktop desktop;
    WallClock clock;
    model::NoGameWindows windows;
    model::GameSettings settings;
};

std::vector<std::string> ImportFileList(const std::vector<std::string>& paths, std::vector<std::string>& missing)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            std::vector<std::string> found;
            for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, error), end;
                 it != end && !error; it.increment(error))
                if (it->is_regular_file(error) && (isPgnName(it->path()) || beginsWithGame(it->path())))
                    found.push_back(it->path().string());
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else if (fs::is_regular_file(path, error)) {
            files.push_back(path);
        } else {
            missing.push_back(path);
        }
    }
    return files;
}

// One game to read: the text of a game file, or a game of a PGN file.
struct GameImporter::Job {
    std::string file;
    int number = 1;
    std::string text;
    std::optional<model::PgnGameText> pgn;
    std::optional<BadGame> bad; // known bad before reading (it is reported in its turn)
};

// A game read and encoded, or why it could not be.
struct GameImporter::ReadResult {
    std::optional<EncodedGame> game;
    BadGame bad;
};

// Games gathered to be read on both cores: each thread takes the next job until none is left.
struct GameImporter::Block {
    std::vector<Job> jobs;
    std::vector<ReadResult> results;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
};

GameImporter::GameImporter(GameDatabase& database, ImportPort& port)
    : m_database(database), m_port(port), m_readers{std::make_unique<Reader>(), std::make_unique<Reader>()}
{
}

GameImporter::~GameImporter()
{
    if (m_database.inBatch())
        m_database.rollbackBatch();
}

bool GameImporter::begin(std::string& error)
{
    return m_database.beginBatch(error);
}

bool GameImporter::keepGoing()
{
    if (!m_result.error.empty() || m_result.cancelled)
        return false;
    if (m_port.cancelled()) {
        m_result.cancelled = true;
        return false;
    }
    if (++m_sinceReport >= kReportEvery) {
        m_sinceReport = 0;
        m_port.progress(m_progress);
    }
    return true;
}

namespace {

// Watches a reading for the first move the rules do not allow, and where it stands.
class MoveChecker : public model::GameObserver {
public:
    explicit MoveChecker(const model::ReadLocation& location) : m_location(location) {}
    void moveRead(model::CGame& game, model::Square from, model::Square to) override
    {
        if (!found && !model::IsMoveLegal(game.browsedBoard, game.isRedToMoveBrowsed(), from, to)) {
            found = true;
            line = m_location.line;
            byte = m_location.byte;
        }
    }
    bool found = false;
    int line = 0;
    std::size_t byte = 0;

private:
    const model::ReadLocation& m_location;
};

// Where in a game file's text its first illegal move stands: reads it again, watching.
void locateIllegalMove(std::string_view text, const std::string& name, GameImporter::Reader& reader, BadGame& bad)
{
    model::CGame game(reader.ports());
    MoveChecker checker(reader.location);
    game.setObserver(&checker);
    model::StringSource source{std::string(text)};
    model::ReadGame(game, source, name, false);
    game.setObserver(nullptr);
    if (checker.found && checker.byte == 0)
        bad.line = checker.line;
    else if (checker.found)
        bad.reason += " (at byte " + std::to_string(checker.byte) + ")";
}

} // namespace

GameImporter::ReadResult GameImporter::encode(Job& job, Reader& reader)
{
    ReadResult out;
    if (job.bad) {
        out.bad = *job.bad;
        return out;
    }
    out.bad = {job.file, job.number, 0, {}};
    reader.problem = {};
    model::CGame game(reader.ports());
    if (job.pgn) {
        std::string warning;
        if (!model::BuildPgnGame(*job.pgn, game, out.bad.reason, warning)) {
            out.bad = pgnBadGame(job.file, job.number, job.pgn->line, out.bad.reason);
            return out;
        }
    } else {
        model::StringSource source{job.text};
        const bool read = model::ReadGame(game, source, job.file, false) != 0;
        if (!read || !reader.problem.text.empty()) {
            out.bad.reason = reader.problem.text.empty() ? "the game is not read whole" : reader.problem.text;
            out.bad.line = reader.problem.text.empty() ? reader.location.line : reader.problem.line;
            return out;
        }
    }
    out.game = EncodeGame(game, out.bad.reason);
    if (!out.game && !job.pgn)
        locateIllegalMove(job.text, job.file, reader, out.bad);
    return out;
}

bool GameImporter::store(ReadResult& outcome)
{
    if (!outcome.game) {
        ++m_progress.bad;
        m_port.badGame(outcome.bad);
        return keepGoing();
    }
    std::string error;
    switch (m_database.addGame(*outcome.game, error)) {
    case GameDatabase::AddResult::Added: ++m_progress.added; break;
    case GameDatabase::AddResult::Duplicate: ++m_progress.duplicates; break;
    case GameDatabase::AddResult::Failed: m_result.error = error; break;
    }
    return keepGoing();
}

void GameImporter::encodeBlock(Block& block, Reader& reader)
{
    while (!block.stop) {
        const std::size_t i = block.next++;
        if (i >= block.jobs.size())
            return;
        block.results[i] = encode(block.jobs[i], reader);
    }
}

bool GameImporter::runJobs()
{
    // The gathered games are read on both cores; meanwhile this thread first stores the
    // games read before, then joins in the reading.
    auto block = std::make_unique<Block>();
    block->jobs = std::move(m_jobs);
    m_jobs.clear();
    block->results.resize(block->jobs.size());
    std::thread helper;
    if (block->jobs.size() >= kParallelJobs)
        helper = std::thread([this, &block] { encodeBlock(*block, *m_readers[1]); });
    const bool go = storeWaiting();
    if (go)
        encodeBlock(*block, *m_readers[0]);
    else
        block->stop = true;
    if (helper.joinable())
        helper.join();
    if (go)
        m_waiting = std::move(block);
    return go;
}

bool GameImporter::storeWaiting()
{
    const std::unique_ptr<Block> block = std::move(m_waiting);
    if (block)
        for (ReadResult& result : block->results)
            if (!store(result))
                return false;
    return true;
}

bool GameImporter::stopped() const
{
    return !m_result.error.empty() || m_result.cancelled;
}

bool GameImporter::importGame(const model::CGame& game, const std::string& name)
{
    if (!runJobs() || !storeWaiting())
        return false;
    ReadResult outcome;
    outcome.bad = {name, 1, 0, {}};
    outcome.game = EncodeGame(game, outcome.bad.reason);
    return store(outcome);
}

bool GameImporter::importGameText(std::string_view text, const std::string& name)
{
    m_jobs.push_back({name, 1, std::string(text), std::nullopt, std::nullopt});
    return m_jobs.size() < kJobBlock ? !stopped() : runJobs();
}

bool GameImporter::importPgnText(std::string_view text, const std::string& name)
{
    model::PgnReader pgn(text);
    model::PgnGameText item;
    int number = 0;
    while (pgn.next(item)) {
        ++number;
        if (!item.error.empty())
            m_jobs.push_back({name, number, {}, std::nullopt, BadGame{name, number, item.errorLine, item.error}});
        else
            m_jobs.push_back({name, number, {}, std::move(item), std::nullopt});
        item = {};
        if (m_jobs.size() >= kJobBlock && !runJobs())
            return false;
    }
    if (number == 0)
        m_jobs.push_back({name, 0, {}, std::nullopt, BadGame{name, 0, 0, "holds no game"}});
    return !stopped();
}

bool GameImporter::importFile(const std::string& path)
{
    m_progress.file = path;
    m_port.progress(m_progress);
    std::string text, error;
    bool go = true;
    if (!model::ReadPgnFile(path, text, error)) {
        ++m_progress.bad;
        m_port.badGame({path, 0, 0, error});
        go = keepGoing();
    } else if (text.starts_with("GAME")) {
        go = importGameText(text, path);
    } else {
        go = importPgnText(text, path);
    }
    ++m_progress.filesDone;
    std::error_code size;
    m_progress.bytesDone += fs::file_size(path, size);
    return go;
}

ImportResult GameImporter::finish()
{
    if (m_result.ok() && runJobs())
        storeWaiting();
    m_jobs.clear();
    m_waiting.reset();
    m_result.added = m_progress.added;
    m_result.duplicates = m_progress.duplicates;
    m_result.bad = m_progress.bad;
    if (!m_result.ok()) {
        m_database.rollbackBatch();
        m_result.added = 0;
    } else if (std::string error; !m_database.commitBatch(error)) {
        m_result.error = error;
        m_result.added = 0;
    }
    m_port.progress(m_progress);
    return m_result;
}

ImportResult ImportGames(GameDatabase& database, const std::vector<std::string>& paths, ImportPort& port)
{
    std::vector<std::string> missing;
    const std::vector<std::string> files = ImportFileList(paths, missing);
    GameImporter importer(database, port);
    for (const std::string& path : missing) {
        ++importer.progress().bad;
        port.badGame({path, 0, 0, "cannot be found"});
    }
    ImportResult result;
    if (!importer.begin(result.error))
        return result;
    importer.progress().filesTotal = files.size();
    for (const std::string& path : files) {
        std::error_code error;
        importer.progress().bytesTotal += fs::file_size(path, error);
    }
    for (const std::string& path : files)
        if (!importer.importFile(path))
            break;
    return importer.finish();
}

} // namespace marovin::database
