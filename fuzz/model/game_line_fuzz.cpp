// Any bytes as lines handed one by one to the game line parser, as the server and the
// transfer code do; the first byte chooses merge mode.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "model/game_file.h"
#include "testkit/fakes.h"

namespace {

using namespace marovin::model;

// Opens at most a few windows, as the desktop would until memory runs short.
class FewWindows : public GameWindowPort {
public:
    explicit FewWindows(const GamePorts*& ports) : m_ports(ports) {}
    std::optional<int> chooseBranch(CGame&, const std::vector<BranchRow>& rows) override
    {
        return static_cast<int>(rows.size()) - 1;
    }
    CGame* openGameWindow() override
    {
        if (games.size() >= 4)
            return nullptr;
        games.push_back(std::make_unique<CGame>(*m_ports));
        return games.back().get();
    }
    std::vector<std::unique_ptr<CGame>> games;

private:
    const GamePorts*& m_ports;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    marovin::testkit::FakeTerminal terminal;
    marovin::testkit::FakeDesktop desktop;
    marovin::testkit::FakeClock clock;
    const GamePorts* portsPointer = nullptr;
    FewWindows windows(portsPointer);
    GameSettings settings;
    settings.mergeAppendNotes = true;
    const GamePorts ports{terminal, desktop, clock, windows, settings};
    portsPointer = &ports;

    const bool merge = size > 0 && (data[0] & 1);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CGame* game = nullptr;
    int counter = 0;
    ReadBranches branches;
    std::size_t start = size > 0 ? 1 : 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        ReadGameLine(game, text.substr(start, end - start), counter, merge, branches, ports);
        counter = counter < 0 ? 0 : counter + 1;
        start = end + 1;
        if (game && game->pathLength() > 0 && (data[start % size] & 3) == 0)
            game->Navigate(data[start % size] >> 2 & 7, data[(start + 1) % size]);
        if (game) {
            // The path length kept along the way must match a count from the root.
            const int kept = game->pathLength();
            game->RecomputePathLength(false);
            if (kept != game->pathLength())
                std::abort();
        }
    }
    if (game) {
        game->Rewind();
        GameFileText(*game, GameFileForm::Send);
    }
    terminal.clear();
    return 0;
}
