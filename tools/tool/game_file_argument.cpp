#include "game_file_argument.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "model/game_file.h"

namespace marovin::tool {

namespace {

class ErrorTerminal : public TerminalPort {
public:
    explicit ErrorTerminal(std::ostream& err) : m_err(err) {}
    void writeOutputLine(TextFormatId, std::string_view) override {}
    void writeServerLine(std::string_view) override {}
    // Warnings (a bad move in a file) are worth seeing; the echo of header lines is not.
    void writeClientText(std::string_view text, bool normal) override
    {
        if (!normal)
            m_err << "marovin-tool: warning: " << text << "\n";
    }

private:
    std::ostream& m_err;
};

class ErrorDesktop : public DesktopPort {
public:
    explicit ErrorDesktop(std::ostream& err) : m_err(err) {}
    void beep() override {}
    void messageBox(std::string_view text) override { m_err << "marovin-tool: " << text << "\n"; }
    bool askYesNo(std::string_view, bool) override { return false; }
    FatalBoxAnswer fatalBox(std::string_view text, std::string_view caption) override
    {
        m_err << "marovin-tool: " << caption << ": " << text << "\n";
        return FatalBoxAnswer::Abort;
    }
    [[noreturn]] void exitProgram(int status) override { std::exit(status == 0 ? kExitFailure : status); }

private:
    std::ostream& m_err;
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
    explicit Parts(std::ostream& err) : terminal(err), desktop(err) {}
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
                            m_parts->settings};
}

model::GameSettings& ToolPorts::settings()
{
    return m_parts->settings;
}

bool ReadGameArgument(model::CGame& game, const std::string& path)
{
    return model::ReadGameFile(game, path, false) != 0;
}

int RunOnOneGame(std::string_view command, Arguments arguments, Streams& streams,
                 const std::function<int(model::CGame&)>& use)
{
    if (arguments.size() != 1) {
        streams.err << "marovin-tool: " << command << " needs exactly one FILE\n";
        return kExitBadInput;
    }
    ToolPorts ports(streams.err);
    model::CGame game(ports.ports());
    if (!ReadGameArgument(game, std::string(arguments[0])))
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
