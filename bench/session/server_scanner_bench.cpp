// The server output scanner alone over a recorded session (who and games lists, tells,
// shouts, game notices, observe and move blocks) repeated to 10 MB, fed in reads of 3000
// bytes as the connection delivers them. Every port does nothing, so what is measured is
// framing, classification and dispatch.

#include <fstream>
#include <iterator>
#include <string>

#include <benchmark/benchmark.h>

#include "session/server_scanner.h"
#include "testkit/null_ports.h"

namespace {

using namespace marovin;
using namespace marovin::session;

struct NullTerminal : TerminalPort {
    void writeOutputLine(TextFormatId, std::string_view) override {}
    void writeServerLine(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
    void writeClientText(std::string_view, bool) override {}
};

struct NullDesktop : DesktopPort {
    void beep() override {}
    void messageBox(std::string_view) override {}
    bool askYesNo(std::string_view, bool) override { return false; }
    FatalBoxAnswer fatalBox(std::string_view, std::string_view) override { return FatalBoxAnswer::Abort; }
    [[noreturn]] void exitProgram(int status) override { std::exit(status); }
};

struct NullClock : ClockPort {
    std::int64_t nowSeconds() override { return 0; }
    std::int64_t nowMilliseconds() override { return 0; }
    void pause(int) override {}
    void waitUntil(const std::function<bool()>&) override {}
};

struct NullClient : testkit::NullClientDesktop {
    void updateWhoList(std::string_view output, int) override { benchmark::DoNotOptimize(output.data()); }
};

struct NullGames : testkit::NullGames {
    void parseGameNotice(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
    void collectGameLine(Collector, std::string_view line, bool) override { benchmark::DoNotOptimize(line.data()); }
};

struct NullSocket : SocketDriver {
    void setEventSink(SocketEventSink*) override {}
    bool create() override { return true; }
    bool connect(std::string_view, int) override { return false; }
    int send(const char*, int count) override { return count; }
    int receive(char*, int) override { return -1; }
    void close() override {}
    int lastError() const override { return 0; }
};

std::string recordedSession(std::size_t size)
{
    std::ifstream in(MAROVIN_TEST_DATA "/session/transcript.txt", std::ios::binary);
    const std::string transcript{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string session;
    while (!transcript.empty() && session.size() < size)
        session += transcript;
    return session;
}

void ScanRecordedSession(benchmark::State& state)
{
    const std::string session = recordedSession(10 * 1024 * 1024);
    if (session.empty()) {
        state.SkipWithError("the recorded session is missing");
        return;
    }
    Options options{};
    options.showWhoWindow = 1;
    options.showGamesWindow = 1;
    NullTerminal terminal;
    NullDesktop desktop;
    NullClock clock;
    NullClient client;
    NullGames games;
    NullSocket socket;
    ClientContext context(options, ClientPorts{terminal, desktop, clock, client, games}, socket);
    const std::string login = "Login as bench\r\nOMRA% ";
    scanServerOutput(context, login.data(), static_cast<int>(login.size()));
    for (auto _ : state) {
        for (std::size_t at = 0; at < session.size(); at += kBufferSize) {
            const std::size_t n = std::min<std::size_t>(kBufferSize, session.size() - at);
            scanServerOutput(context, session.data() + at, static_cast<int>(n));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * session.size()));
}
BENCHMARK(ScanRecordedSession)->Unit(benchmark::kMillisecond);

} // namespace
