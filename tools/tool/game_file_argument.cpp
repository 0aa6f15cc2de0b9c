#include "game_file_argument.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "model/game_file.h"

namespace marovin::tool {

namespace {

// Where the reader's messages go: the error stream, with the place of the reading that
// runs. The reader's boxes name the file themselves; the place says it already.
class ReadingReporter {
public:
    explicit ReadingReporter(std::ostream& err) : m_err(err) {}

    void error(std::string_view text)
    {
        ++m_errors;
        report(text);
    }
    void warning(std::string_view text) { report("warning: " + std::string(text)); }

    static Place placeOf(const model::ReadLocation& where)
    {
        return Place{where.file, where.line, where.byte};
    }

    int errors() const { return m_errors; }
    std::ostream& err() { return m_err; }

    model::ReadLocation location;

private:
    void report(std::string_view text)
    {
        if (!location.reading) {
            Report(m_err, text);
            return;
        }
        const std::string tail = ": " + location.file;
        if (text.size() > tail.size() && text.ends_with(tail))
            text.remove_suffix(tail.size());
        Report(m_err, text, placeOf(location));
    }

    std::ostream& m_err;
    int m_errors = 0;
};

class ErrorTerminal : public TerminalPort {
public:
    explicit ErrorTerminal(ReadingReporter& reporter) : m_reporter(reporter) {}
    void writeOutputLine(TextFormatId, std::string_view) override {}
    void writeServerLine(std::string_view) override {}
    // Warnings (a bad move in a file) are worth seeing; the echo of header lines is not.
    void writeClientText(std::string_view text, bool normal) override
    {
        if (!normal)
            m_reporter.warning(text);
    }

private:
    ReadingReporter& m_reporter;
};

class ErrorDesktop : public DesktopPort {
public:
    explicit ErrorDesktop(ReadingReporter& reporter) : m_reporter(reporter) {}
    void beep() override {}
    void messageBox(std::string_view text) override { m_reporter.error(text); }
    bool askYesNo(std::string_view, bool) override { return false; }
    FatalBoxAnswer fatalBox(std::string_view text, std::string_view caption) override
    {
        m_reporter.error(std::string(caption) + ": " + std::string(text));
        return FatalBoxAnswer::Abort;
    }
    [[noreturn]] void exitProgram(int status) override { std::exit(status == 0 ? kExitFailure : status); }

private:
    ReadingReporter& m_reporter;
};

// Real time; a command-line program has no events to handle while it waits.
class SystemClock : public ClockPort {
public:
    std::int64_t nowSeconds() override
    {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    std::int64_t nowMilliseconds() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void pause(int milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void waitUntil(const std::function<bool()>& done) override { done(); }
};

} // namespace

struct ToolPorts::Parts {
    explicit Parts(std::ostream& err) : reporter(err), terminal(reporter), desktop(reporter) {}
    ReadingReporter reporter;
    ErrorTerminal terminal;
    ErrorDesktop desktop;
    SystemClock clock;
    model::NoGameWindows windows;
    model::GameSettings settings;
};

ToolPorts::ToolPorts(std::ostream& err) : m_parts(std::make_unique<Parts>(err)) {}
ToolPorts::~ToolPorts() = default;

model::GamePorts ToolPorts::ports()
{
    return model::GamePorts{m_parts->terminal, m_parts->desktop, m_parts->clock, m_parts->windows,
                            m_parts->settings, &m_parts->reporter.location};
}

model::GameSettings& ToolPorts::settings()
{
    return m_parts->settings;
}

bool ToolPorts::readExplained(const std::function<bool()>& read)
{
    ReadingReporter& reporter = m_parts->reporter;
    const int before = reporter.errors();
    if (read())
        return true;
    // The one failure that the reader leaves unsaid: a "}" line ending an old-form body.
    if (reporter.errors() == before)
        Report(reporter.err(), "reading stopped at a line beginning with \"}\"; the game is not read whole",
               ReadingReporter::placeOf(reporter.location));
    return false;
}

bool ReadGameArgument(ToolPorts& ports, model::CGame& game, const std::string& path, bool* leftUnread)
{
    return ports.readExplained([&] { return model::ReadGameFile(game, path, false, leftUnread) != 0; });
}

int RunOnOneGame(std::string_view command, Arguments arguments, Streams& streams,
                 const std::function<int(model::CGame&)>& use)
{
    if (arguments.size() != 1)
        return Fail(streams, kExitBadInput, std::string(command) + " needs exactly one FILE");
    ToolPorts ports(streams.err);
    model::CGame game(ports.ports());
    if (!ReadGameArgument(ports, game, std::string(arguments[0])))
        return kExitBadInput;
    return use(game);
}

std::vector<const model::MoveEntry*> MainLine(const model::CGame& game)
{
    std::vector<const model::MoveEntry*> entries;
    const model::BranchPoint* point = &game.root();
    while (point && !point->alternatives.empty()) {
        const model::MoveLine& line = point->alternatives[0];
        for (const model::MoveEntry& entry : line.entries)
            if (entry.isMove() || entry.move.piece == model::kStartMarker)
                entries.push_back(&entry);
        point = line.continuation.get();
    }
    return entries;
}

} // namespace marovin::tool
