// The practice server's event loop under peers that flood, do not read, close half-way or
// arrive when no descriptor is left: none of them costs the others their turn, and the
// memory the loop holds stays within its limits.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "event_loop.h"

namespace marovin::server {
namespace {

using namespace std::chrono_literals;

// Records every line in the order the loop hands them over and answers each one.
class Recorder : public ConnectionHandler {
public:
    explicit Recorder(Transport& transport) : m_transport(transport) {}

    void onConnected(ConnectionId id, const std::string&) override
    {
        std::lock_guard lock(m_mutex);
        m_ids.push_back(id);
    }
    void onLine(ConnectionId id, const ReceivedLine& line) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_lines.emplace_back(id, line.text);
        }
        if (line.text == "hold")
            while (holding)
                std::this_thread::sleep_for(1ms);
        else if (lineCost > 0ms)
            std::this_thread::sleep_for(lineCost);
        if (broadcastBytes > 0) {
            std::lock_guard lock(m_mutex);
            for (const ConnectionId other : m_ids)
                m_transport.send(other, std::string(broadcastBytes, 'x') + "\n");
        } else {
            m_transport.send(id, std::string(answerBytes, '.') + "got " + line.text + "\n");
        }
    }
    void onDisconnected(ConnectionId id) override
    {
        std::lock_guard lock(m_mutex);
        m_gone.push_back(id);
    }
    void onTimer(Millis) override { ++turns; }
    Millis nextDeadline() const override { return -1; }

    std::vector<std::pair<ConnectionId, std::string>> lines()
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    std::vector<ConnectionId> ids()
    {
        std::lock_guard lock(m_mutex);
        return m_ids;
    }
    std::vector<ConnectionId> gone()
    {
        std::lock_guard lock(m_mutex);
        return m_gone;
    }
    // Waits (at most 5 s) until the condition on the recorder holds.
    template <typename Condition>
    bool waitFor(Condition condition)
    {
        for (int i = 0; i < 5000 && !condition(*this); ++i)
            std::this_thread::sleep_for(1ms);
        return condition(*this);
    }

    std::size_t answerBytes = 0;
    std::size_t broadcastBytes = 0;
    std::chrono::milliseconds lineCost{0}; // how long handling a line takes
    std::atomic<bool> holding{false};
    std::atomic<int> turns{0};

private:
    Transport& m_transport;
    std::mutex m_mutex;
    std::vector<ConnectionId> m_ids;
    std::vector<std::pair<ConnectionId, std::string>> m_lines;
    std::vector<ConnectionId> m_gone;
};

// A loop on its own thread, listening on a free loopback port.
class RunningLoop {
public:
    explicit RunningLoop(EventLoopLimits limits) : loop(limits), recorder(loop)
    {
        EXPECT_EQ(loop.listen({"127.0.0.1", 0}), "");
        loop.setLog([this](const std::string& text) {
            std::lock_guard lock(m_logMutex);
            m_log += text + "\n";
        });
        m_thread = std::thread([this] { loop.run(recorder, &m_stop); });
    }
    ~RunningLoop()
    {
        stop();
        for (const int fd : m_clients)
            close(fd);
    }
    RunningLoop(const RunningLoop&) = delete;
    RunningLoop& operator=(const RunningLoop&) = delete;
    void stop()
    {
        m_stop = 1;
        if (m_thread.joinable()) {
            close(connectClient()); // wakes the loop from its wait
            m_thread.join();
        }
    }
    std::string log()
    {
        std::lock_guard lock(m_logMutex);
        return m_log;
    }
    // A connected client socket with a small receive buffer (so that the server's queue,
    // not the kernel, holds what it does not read).
    int connectClient()
    {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int small = 4096;
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(loop.boundPort()));
        inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        m_clients.push_back(fd);
        return fd;
    }

    EventLoop loop;
    Recorder recorder;

private:
    volatile int m_stop = 0;
    std::thread m_thread;
    std::mutex m_logMutex;
    std::string m_log;
    std::vector<int> m_clients;
};

void sendAll(int fd, const std::string& bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        ASSERT_GT(n, 0);
        sent += static_cast<std::size_t>(n);
    }
}

// Reads what arrives within waitMs (or until the peer closes); returns the byte count.
std::size_t readFor(int fd, int waitMs, std::string* text = nullptr)
{
    std::size_t total = 0;
    char buffer[65536];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, waitMs) > 0) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        total += static_cast<std::size_t>(n);
        if (text)
            text->append(buffer, static_cast<std::size_t>(n));
    }
    return total;
}

TEST(ServerEventLoop, AFloodingPeerDelaysAnotherByAFewLinesOnly)
{
    // Bounded by the count of lines, or by the time they take (1 ms each, 2 ms a turn).
    struct Case {
        const char* bound;
        std::size_t maxLines;
        std::chrono::microseconds maxWork;
        std::chrono::milliseconds lineCost;
        int floodLines;
        std::size_t mostLinesBefore;
    } cases[] = {
        {"lines", 16, std::chrono::seconds(10), 0ms, 3000, 3 * 16},
        {"time", 100000, 2000us, 1ms, 300, 3 * 3},
    };
    for (const Case& c : cases) {
        EventLoopLimits limits;
        limits.maxLinesPerTurn = c.maxLines;
        limits.maxWorkPerTurn = c.maxWork;
        RunningLoop running(limits);
        Recorder& recorder = running.recorder;
        recorder.lineCost = c.lineCost;
        const int flooder = running.connectClient();
        const int other = running.connectClient();
        ASSERT_TRUE(recorder.waitFor([](Recorder& r) { return r.ids().size() == 2; }));
        const ConnectionId otherId = recorder.ids()[1];

        // The loop holds on the flood's first line until the other peer has sent its own.
        recorder.holding = true;
        std::string flood = "hold\n";
        for (int i = 0; i < c.floodLines; ++i)
            flood += "f\n";
        sendAll(flooder, flood);
        ASSERT_TRUE(recorder.waitFor([](Recorder& r) { return !r.lines().empty(); }));
        sendAll(other, "mine\n");
        recorder.holding = false;
        const std::size_t total = static_cast<std::size_t>(c.floodLines) + 2;
        ASSERT_TRUE(recorder.waitFor([total](Recorder& r) { return r.lines().size() == total; })) << c.bound;

        const auto lines = recorder.lines();
        std::size_t at = 0;
        while (at < lines.size() && lines[at].first != otherId)
            ++at;
        EXPECT_EQ(lines[at].second, "mine");
        EXPECT_LE(at, c.mostLinesBefore) << c.bound << ": the other line waited for " << at << " lines of the flood";
        running.stop();
        EXPECT_TRUE(recorder.gone().empty());
    }
}

TEST(ServerEventLoop, APeerThatDoesNotReadItsAnswersIsPausedNotDroppedAndMemoryIsGivenBack)
{
    EventLoopLimits limits;
    limits.pauseInputAbove = 64 * 1024;
    limits.maxQueuedBytes = 256 * 1024;
    RunningLoop running(limits);
    Recorder& recorder = running.recorder;
    recorder.answerBytes = 8192;
    const int client = running.connectClient();
    constexpr int kLines = 500; // 4 MB of answers: far more than one queue may hold
    std::string commands;
    for (int i = 0; i < kLines; ++i)
        commands += "c\n";
    sendAll(client, commands);
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(recorder.lines().size(), static_cast<std::size_t>(kLines)) << "input is paused while answers pile up";

    // Reading the answers lets the rest of the commands in.
    std::size_t received = 0;
    const std::size_t expected = kLines * (recorder.answerBytes + 6);
    for (int i = 0; i < 100 && received < expected; ++i)
        received += readFor(client, 50);
    EXPECT_EQ(received, expected);
    EXPECT_EQ(recorder.lines().size(), static_cast<std::size_t>(kLines));

    // A peer that closes its side after sending still gets every answer.
    recorder.answerBytes = 0;
    const int closer = running.connectClient();
    std::string last;
    for (int i = 0; i < 100; ++i)
        last += "x" + std::to_string(i) + "\n";
    sendAll(closer, last);
    shutdown(closer, SHUT_WR);
    std::string text;
    readFor(closer, 2000, &text);
    EXPECT_EQ(text.substr(0, 7), "got x0\n");
    EXPECT_EQ(text.size() >= 8 ? text.substr(text.size() - 8) : text, "got x99\n");
    ASSERT_TRUE(recorder.waitFor([](Recorder& r) { return r.gone().size() == 1; }));
    running.stop();
    EXPECT_EQ(running.loop.queuedBytes(), 0u);
    EXPECT_LE(running.loop.bufferCapacity(), 4096u) << "after its 4 MB, the idle connection keeps no large buffer";
}

TEST(ServerEventLoop, TheReadersBehindTheLongestAreDroppedFirstToKeepTheTotal)
{
    EventLoopLimits limits;
    limits.maxQueuedBytes = 8 * 1024 * 1024;
    limits.maxTotalQueuedBytes = 1024 * 1024;
    RunningLoop running(limits);
    Recorder& recorder = running.recorder;
    recorder.broadcastBytes = 65536;
    const int sleeper = running.connectClient(); // never reads
    const int dozer = running.connectClient();   // reads for a while, then stops
    const int talker = running.connectClient();  // keeps reading
    ASSERT_TRUE(recorder.waitFor([](Recorder& r) { return r.ids().size() == 3; }));
    const std::vector<ConnectionId> ids = recorder.ids();

    for (int i = 0; i < 10; ++i) {
        sendAll(talker, "a\n");
        readFor(talker, 5);
        readFor(dozer, 5);
    }
    std::this_thread::sleep_for(20ms);
    for (int i = 0; i < 400 && recorder.gone().size() < 2; ++i) {
        sendAll(talker, "b\n");
        readFor(talker, 5);
    }
    running.stop();
    const std::vector<ConnectionId> gone = recorder.gone();
    ASSERT_EQ(gone.size(), 2u) << running.log();
    EXPECT_EQ(gone[0], ids[0]) << "the reader behind the longest goes first";
    EXPECT_EQ(gone[1], ids[1]);
    EXPECT_LE(running.loop.queuedBytes(), limits.maxTotalQueuedBytes);
    EXPECT_NE(running.log().find("the slowest reader"), std::string::npos) << running.log();
    (void)sleeper;
}

TEST(ServerEventLoop, OutOfDescriptorsTheLoopWaitsInsteadOfSpinning)
{
    RunningLoop running(EventLoopLimits{});
    Recorder& recorder = running.recorder;
    const int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(client, 0);
    // Every descriptor is taken, so the loop's accept() fails.
    std::vector<int> taken;
    for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        taken.push_back(fd);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(running.loop.boundPort()));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    const int connected = connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const int turnsBefore = recorder.turns;
    std::this_thread::sleep_for(500ms);
    const int turns = recorder.turns - turnsBefore;
    for (const int fd : taken)
        close(fd);
    ASSERT_EQ(connected, 0);
    EXPECT_LT(turns, 20) << "the loop woke " << turns << " times in half a second";
    EXPECT_TRUE(recorder.waitFor([](Recorder& r) { return r.ids().size() == 1; }))
        << "accepted once descriptors are free";
    running.stop();
    close(client);
    EXPECT_NE(running.log().find("cannot accept connections for now: Too many open files"), std::string::npos)
        << running.log();
}

} // namespace
} // namespace marovin::server
