// The terminal under server output, offscreen:
//  - ScanIntoTerminal: the scanner writing a recorded session into the real output view,
//    one 3000-byte read per event as the connection delivers them, painting included;
//    reported in lines per second.
//  - ReceiveFiveMegabytes: 5 MB of server text sent over loopback as fast as the peer can
//    write it, read by the Qt socket into the session and the terminal; reported are the
//    longest gap between two turns of the event loop and the throughput.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "platform/qt_socket.h"
#include "session/server_scanner.h"
#include "terminal/output_view.h"
#include "testkit/null_ports.h"
#include "testkit/session_fakes.h"

namespace {

using namespace marovin;
using namespace marovin::session;

// The list windows note their lists in the terminal as the program does until they exist.
struct TerminalClient : testkit::NullClientDesktop {
    explicit TerminalClient(shell::COutputView& view) : view(view) {}
    void showPartialLine(std::string_view text) override { view.showPartialLine(text); }
    void updateWhoList(std::string_view, int) override { view.writeClientText("<Who list>", true); }
    void updateGamesList(std::string_view) override { view.writeClientText("<Games list>", true); }
    shell::COutputView& view;
};

// Game blocks are shown in the terminal line by line, as the program does without game
// windows.
struct TerminalGames : testkit::NullGames {
    explicit TerminalGames(shell::COutputView& view) : view(view) {}
    void collectGameLine(Collector, std::string_view line, bool) override { view.writeServerLine(line); }
    shell::COutputView& view;
};

QApplication& application()
{
    static QApplication* app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "bench_shell";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

std::string recordedSession(std::size_t size)
{
    std::ifstream in(MAROVIN_TEST_DATA "/session/transcript.txt", std::ios::binary);
    const std::string transcript{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string session = "Login as bench\r\nOMRA% ";
    while (!transcript.empty() && session.size() < size)
        session += transcript;
    return session;
}

// The view, the ports around it and a context on the given socket.
struct TerminalRig {
    explicit TerminalRig(SocketDriver& socket)
        : client(view), games(view), context(options, ClientPorts{view, desktop, clock, client, games}, socket)
    {
        PlatformDefaults platform;
        platform.fixedFontFace = "DejaVu Sans Mono";
        setDefaultOptions(options, platform);
        view.reformat();
        view.setLoggedInQuery([this] { return isLoggedIn(context.session); });
        view.resize(900, 600);
        view.show();
    }

    Options options{};
    shell::COutputView view{options};
    testkit::FakeDesktop desktop;
    testkit::FakeClock clock;
    TerminalClient client;
    TerminalGames games;
    ClientContext context;
};

void ScanIntoTerminal(benchmark::State& state)
{
    application();
    const std::string session = recordedSession(2 * 1024 * 1024);
    const auto lines = std::count(session.begin(), session.end(), '\n');
    testkit::FakeSocketDriver socket;
    TerminalRig rig(socket);
    for (auto _ : state) {
        for (std::size_t at = 0; at < session.size(); at += kBufferSize) {
            const std::size_t n = std::min<std::size_t>(kBufferSize, session.size() - at);
            scanServerOutput(rig.context, session.data() + at, static_cast<int>(n));
            QCoreApplication::processEvents(); // the view paints between reads
        }
    }
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(lines * state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * session.size()));
}
BENCHMARK(ScanIntoTerminal)->Unit(benchmark::kMillisecond)->UseRealTime();

// A peer on loopback that accepts one connection, writes everything and closes.
class Peer {
public:
    explicit Peer(std::string text) : m_text(std::move(text))
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener, 1) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~Peer()
    {
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listener);
    }
    int port() const { return m_port; }
    bool accepted() const { return m_accepted; }

private:
    void serve()
    {
        const int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0)
            return;
        m_accepted = true;
        std::size_t at = 0;
        while (at < m_text.size()) {
            const ssize_t sent = ::send(connection, m_text.data() + at, m_text.size() - at, MSG_NOSIGNAL);
            if (sent <= 0)
                break;
            at += static_cast<std::size_t>(sent);
        }
        ::close(connection);
    }

    std::string m_text;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_accepted{false};
};

bool closedShown(const shell::COutputView& view)
{
    const shell::TerminalSlot& newest = view.slotAt((view.currentRow() + shell::kTerminalRows - 1) % shell::kTerminalRows);
    return std::string_view(newest.text) == "<Connection was closed>";
}

void ReceiveFiveMegabytes(benchmark::State& state)
{
    application();
    const std::string text = recordedSession(5 * 1024 * 1024);
    double longestGapMs = 0;
    for (auto _ : state) {
        Peer peer(text);
        platform::QtSocketDriver socket;
        TerminalRig rig(socket);
        QElapsedTimer sinceTurn;
        sinceTurn.start();
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            longestGapMs = std::max(longestGapMs, static_cast<double>(sinceTurn.nsecsElapsed()) / 1e6);
            sinceTurn.restart();
        });
        turn.start(0);
        rig.context.connection.connectToServer("127.0.0.1", peer.port());
        QElapsedTimer limit;
        limit.start();
        while (limit.elapsed() < 60'000 && !(peer.accepted() && closedShown(rig.view)))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        turn.stop();
        if (!closedShown(rig.view))
            state.SkipWithError("the session did not end");
    }
    state.counters["longest_gap_ms"] = longestGapMs;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReceiveFiveMegabytes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
