#pragma once
// Pouring games into the database: game files (both stored forms and the brace form), PGN
// files in any of their move notations, and folders of them.
//
// Every move is checked against the rules. A game that cannot be read whole or holds a
// move the rules forbid is reported (file, game, line) and left out; a game already stored
// is skipped. The whole import is one batch: cancelling it, or any failure of the file,
// leaves the database as it was before.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/game_database.h"

namespace marovin::database {

struct ImportProgress {
    std::size_t filesDone = 0, filesTotal = 0;
    std::uint64_t bytesDone = 0, bytesTotal = 0; // of the files, for a progress bar
    std::int64_t added = 0, duplicates = 0, bad = 0;
    std::string file;                            // the file being read
};

struct BadGame {
    std::string file;
    int game = 0; // its number in the file, from 1
    int line = 0; // where the trouble is, 0 when not known
    std::string reason;
};

// What an import tells and asks while it runs (on the thread that runs it).
class ImportPort {
public:
    virtual ~ImportPort() = default;
    virtual void progress(const ImportProgress&) {}
    virtual void badGame(const BadGame&) {}
    // Asked between games: true ends the import, leaving the database as before.
    virtual bool cancelled() { return false; }
};

struct ImportResult {
    std::int64_t added = 0, duplicates = 0, bad = 0;
    bool cancelled = false;
    std::string error; // the database could not be written: nothing was added
    bool ok() const { return !cancelled && error.empty(); }
};

// Game and PGN files among paths, folders searched through (their game files are those
// whose name ends in .pgn or whose text begins with "GAME"), in name order.
std::vector<std::string> ImportFileList(const std::vector<std::string>& paths, std::vector<std::string>& missing);

// Reads games into one batch of a database, a file or a text at a time.
class GameImporter {
public:
    GameImporter(GameDatabase& database, ImportPort& port);
    ~GameImporter();

    // Opens the batch.
    bool begin(std::string& error);
    // A game or PGN file (told apart by the text: a game file begins with "GAME"). False
    // when the import is to stop (cancelled, or the database failed).
    bool importFile(const std::string& path);
    // The text of one game file, named name in messages.
    bool importGameText(std::string_view text, const std::string& name);
    // The text of a PGN file.
    bool importPgnText(std::string_view text, const std::string& name);
    // A game already in memory (its moves are checked all the same).
    bool importGame(const model::CGame& game, const std::string& name);
    // Commits (when nothing went wrong and nothing was cancelled) or rolls back.
    ImportResult finish();

    ImportProgress& progress() { return m_progress; }

    struct Reader;

private:
    struct Job;
    struct ReadResult;
    struct Block;
    // Reading and checking games is most of the work and needs nothing shared: the games
    // gathered are read on both cores while those read before are stored, in their order.
    bool runJobs();
    void encodeBlock(Block& block, Reader& reader);
    bool storeWaiting();
    ReadResult encode(Job& job, Reader& reader);
    bool store(ReadResult& result);
    bool keepGoing();
    bool stopped() const;

    GameDatabase& m_database;
    ImportPort& m_port;
    std::unique_ptr<Reader> m_readers[2];
    std::vector<Job> m_jobs;
    std::unique_ptr<Block> m_waiting; // read, to be stored
    ImportProgress m_progress;
    ImportResult m_result;
    std::size_t m_sinceReport = 0;
};

// Imports every file of paths in one batch.
ImportResult ImportGames(GameDatabase& database, const std::vector<std::string>& paths, ImportPort& port);

} // namespace marovin::database
