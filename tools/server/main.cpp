// marovin-server: a practice server for the Marovin client. See PROTOCOL.md.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "event_loop.h"
#include "server.h"
#include "server_options.h"

namespace {

volatile sig_atomic_t g_stop = 0;

void onStopSignal(int) { g_stop = 1; }

// Passes the server's log lines to standard error as they come.
class LoggingLoop : public marovin::server::ConnectionHandler {
public:
    explicit LoggingLoop(marovin::server::Server& server) : m_server(server) {}
    void onConnected(marovin::server::ConnectionId id, const std::string& peer) override
    {
        m_server.onConnected(id, peer);
        flush();
    }
    void onLine(marovin::server::ConnectionId id, const marovin::server::ReceivedLine& line) override
    {
        m_server.onLine(id, line);
        flush();
    }
    void onDisconnected(marovin::server::ConnectionId id) override
    {
        m_server.onDisconnected(id);
        flush();
    }
    void onTimer(marovin::server::Millis now) override
    {
        m_server.onTimer(now);
        flush();
    }
    marovin::server::Millis nextDeadline() const override { return m_server.nextDeadline(); }
    void flush()
    {
        for (const std::string& line : m_server.takeLog())
            std::fprintf(stderr, "marovin-server: %s\n", line.c_str());
    }

private:
    marovin::server::Server& m_server;
};

} // namespace

int main(int argc, char** argv)
{
    using namespace marovin::server;
    std::string error;
    const auto options = parseServerOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "marovin-server: %s\n%s", error.c_str(), serverUsage().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(serverUsage().c_str(), stdout);
        return 0;
    }

    // The stop signals are blocked except while the loop waits, so a stop request is seen
    // at once and never lost between a check and the wait.
    sigset_t stopping;
    sigemptyset(&stopping);
    for (const int signal : kStopSignals)
        sigaddset(&stopping, signal);
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    action.sa_mask = stopping;
    for (const int signal : kStopSignals)
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    sigprocmask(SIG_BLOCK, &stopping, nullptr);

    EventLoop loop;
    loop.setLog([](const std::string& text) { std::fprintf(stderr, "marovin-server: %s\n", text.c_str()); });
    if (const std::string listenError = loop.listen(options->listen); !listenError.empty()) {
        std::fprintf(stderr, "marovin-server: %s\n", listenError.c_str());
        return 1;
    }
    Server server(loop, options->config);
    if (const std::string startError = server.start(monotonicMillis()); !startError.empty())
        std::fprintf(stderr, "marovin-server: %s\n", startError.c_str());
    LoggingLoop handler(server);
    handler.flush();
    std::fprintf(stderr, "marovin-server: data in %s\n", options->config.dataDirectory.c_str());
    std::printf("listening on %s:%d\n", loop.boundHost().c_str(), loop.boundPort());
    std::fflush(stdout);

    loop.run(handler, &g_stop);

    std::fprintf(stderr, "marovin-server: stopping; the longest turn of the loop took %.1f ms (%.1f ms of work)\n",
                 static_cast<double>(loop.longestTurn().count()) / 1000.0,
                 static_cast<double>(loop.longestTurnWork().count()) / 1000.0);
    const bool saved = server.shutdown(monotonicMillis());
    handler.flush();
    loop.flushAndCloseAll(500);
    if (!saved) {
        // The data folder's writer may be stuck on the disk: do not wait for it again.
        std::fflush(stderr);
        std::_Exit(1);
    }
    return 0;
}
