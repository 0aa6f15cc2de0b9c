// Figures of the practice server under hostile load, measured over loopback against the
// real program (build/bin/marovin-server, or the one given with --server PATH):
//
//   flood    other clients' round trips (who) while one client pipelines
//            "match -u BotJiang 1 0" / "adjourn" pairs as fast as the server takes them,
//            over an archive of 60,000 adjourned games; also during floods of "who" and of
//            shouts. Reported: p50, p99 and the worst round trip.
//   readers  the server's resident memory while 100 clients that never read are shouted
//            at (1 KB lines); reported: the peak, and what is left once they are gone.
//   saves    the round trips of a client that asks without a pause, with 50,000 accounts,
//            logins and settings changing all the time and the accounts journal due for
//            merging; the longest bounds the longest stall of the loop, saves included.
//
// After each, the longest turn of the server's loop as the server logs it when it stops:
// by the clock (which on a busy machine includes time other programs took) and in the
// loop thread's processor time (the work of the turn itself).
//
// Usage: bench_server_load [flood|readers|saves]... [--seconds N] [--server PATH]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "server_harness.h"

namespace {

using marovin::testing::LineClient;
using marovin::testing::ServerProcess;
using marovin::testing::ServerProcessOptions;
using Clock = std::chrono::steady_clock;

struct Settings {
    int seconds = 10;
    std::string program;
};

double millisSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Percentiles {
    std::size_t count = 0;
    double p50 = 0, p99 = 0, p999 = 0, worst = 0;
};

Percentiles percentiles(std::vector<double> samples)
{
    Percentiles p;
    if (samples.empty())
        return p;
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[std::min(samples.size() - 1, static_cast<std::size_t>(q * static_cast<double>(samples.size())))];
    };
    p.count = samples.size();
    p.p50 = at(0.50);
    p.p99 = at(0.99);
    p.p999 = at(0.999);
    p.worst = samples.back();
    return p;
}

void print(const char* what, const Percentiles& p)
{
    std::printf("  %-34s %7zu round trips  p50 %7.2f ms  p99 %7.2f ms  p99.9 %7.2f ms  worst %7.2f ms\n", what, p.count,
                p.p50, p.p99, p.p999, p.worst);
}

// The server's resident memory in KiB: VmRSS (now) or VmHWM (the peak).
long memoryKiB(int pid, const char* field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

// Stops the server and prints the longest turn of its loop, which it logs at the end.
void stopAndReportLongestTurn(ServerProcess& server)
{
    server.stop();
    const std::string log = server.log();
    constexpr std::string_view kLine = "the longest turn of the loop took ";
    const std::size_t at = log.find(kLine);
    std::fputs(log.c_str(), stderr);
    std::printf("  longest turn of the server's loop: %s\n",
                at == std::string::npos ? "(not logged)"
                                        : log.substr(at + kLine.size(), log.find('\n', at) - at - kLine.size()).c_str());
}

std::string freshFolder()
{
    char pattern[] = "/tmp/marovin-server-load-XXXXXX";
    return mkdtemp(pattern) ? pattern : "";
}

ServerProcessOptions options(const Settings& settings, const std::string& folder, bool bots)
{
    ServerProcessOptions o;
    o.bots = bots;
    o.dataDirectory = folder;
    o.program = settings.program;
    return o;
}

// Clients that each send a command, wait for its answer and go again after a pause,
// recording every round trip. They do not hear shouts, so that every prompt they read
// ends an answer.
class Pingers {
public:
    Pingers(int port, int count, const std::string& command, int pauseMs) : m_samples(static_cast<std::size_t>(count))
    {
        for (int i = 0; i < count; ++i) {
            m_clients.push_back(std::make_unique<LineClient>(port));
            m_clients.back()->login("ping" + std::to_string(i), "pw");
            m_clients.back()->command("set shout off");
        }
        for (std::size_t i = 0; i < m_clients.size(); ++i)
            m_threads.emplace_back([this, i, command, pauseMs] {
                while (!m_stop) {
                    const auto start = Clock::now();
                    m_clients[i]->sendLine(command);
                    if (!m_clients[i]->readUntil("OMRA% ", 60000).ok)
                        break;
                    m_samples[i].push_back(millisSince(start));
                    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
                }
            });
    }
    Percentiles stop()
    {
        m_stop = true;
        for (auto& t : m_threads)
            t.join();
        std::vector<double> all;
        for (auto& list : m_samples)
            all.insert(all.end(), list.begin(), list.end());
        return percentiles(all);
    }

private:
    std::vector<std::unique_ptr<LineClient>> m_clients;
    std::vector<std::vector<double>> m_samples;
    std::vector<std::thread> m_threads;
    std::atomic<bool> m_stop{false};
};

// One client sending a block of commands over and over while a second thread reads
// (and throws away) everything the server answers. The reading goes on until the writing
// has stopped: the server stops reading from a client whose answers pile up.
class Flooder {
public:
    Flooder(int port, const std::string& name, const std::string& block) : m_client(port)
    {
        m_client.login(name, "pw");
        m_writer = std::thread([this, block] {
            while (!m_stopWriting)
                m_client.send(block);
        });
        m_reader = std::thread([this] {
            while (!m_stopReading)
                m_received += m_client.drain(20).size();
        });
    }
    std::size_t stop()
    {
        m_stopWriting = true;
        m_writer.join();
        m_stopReading = true;
        m_reader.join();
        return m_received;
    }

private:
    LineClient m_client;
    std::atomic<bool> m_stopWriting{false};
    std::atomic<bool> m_stopReading{false};
    std::atomic<std::size_t> m_received{0};
    std::thread m_writer;
    std::thread m_reader;
};

std::string repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

void measureFlood(const Settings& settings)
{
    std::printf("flood: 20 clients send \"who\" every 10 ms while one client floods\n");
    const std::string folder = freshFolder();
    {
        // 60,000 adjourned games of 1,200 players against BotJiang, as a long flood left them.
        std::ofstream games(folder + "/games.txt");
        for (int id = 1; id <= 60000; ++id)
            games << id << "\tA\tp" << id % 1200
                  << "\tBotJiang\t0\t0\t1\t0\t60000\t60000\t1500\t1500\t\t*\tadjourned\t0\n";
    }
    ServerProcess server(options(settings, folder, true));
    if (server.port() == 0) {
        std::printf("  the server did not start: %s\n", server.startError().c_str());
        return;
    }
    struct Flood {
        const char* name;
        std::string block;
    } floods[] = {
        {"none", ""},
        {"match/adjourn pairs", repeat("match -u BotJiang 1 0\r\nadjourn\r\n", 50)},
        {"who", repeat("who\r\n", 50)},
        {"shouts", repeat("shout " + std::string(200, 's') + "\r\n", 50)},
    };
    for (const Flood& flood : floods) {
        Pingers pingers(server.port(), 20, "who", 10);
        std::unique_ptr<Flooder> flooder;
        if (!flood.block.empty())
            flooder = std::make_unique<Flooder>(server.port(), "flood" + std::to_string(&flood - floods), flood.block);
        std::this_thread::sleep_for(std::chrono::seconds(settings.seconds));
        const Percentiles p = pingers.stop();
        const std::size_t flooded = flooder ? flooder->stop() : 0;
        print(flood.name, p);
        if (flooder)
            std::printf("  %-34s %zu bytes of answers to the flooder\n", "", flooded);
    }
    stopAndReportLongestTurn(server);
    std::filesystem::remove_all(folder);
}

// A client that logs in blind and never reads, with a small receive buffer so that the
// server, not the kernel, has to hold what it does not read.
int slowReader(int port, const std::string& name)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int small = 4096;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    const std::string login = name + "\r\npw\r\npw\r\n";
    [[maybe_unused]] const ssize_t sent = send(fd, login.data(), login.size(), MSG_NOSIGNAL);
    return fd;
}

void measureReaders(const Settings& settings)
{
    std::printf("readers: 100 clients that never read, one client shouting 1 KB lines\n");
    const std::string folder = freshFolder();
    ServerProcess server(options(settings, folder, false));
    if (server.port() == 0)
        return;
    std::printf("  resident at the start: %ld KiB\n", memoryKiB(server.pid(), "VmRSS:"));
    std::vector<int> readers;
    for (int i = 0; i < 100; ++i)
        readers.push_back(slowReader(server.port(), "slow" + std::to_string(i)));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Flooder talker(server.port(), "talker", repeat("shout " + std::string(1000, 't') + "\r\n", 20));
    long peak = 0;
    const auto end = Clock::now() + std::chrono::seconds(settings.seconds);
    while (Clock::now() < end) {
        peak = std::max(peak, memoryKiB(server.pid(), "VmRSS:"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    talker.stop();
    std::printf("  resident while shouted at: peak %ld KiB (VmHWM %ld KiB)\n", peak, memoryKiB(server.pid(), "VmHWM:"));
    for (const int fd : readers)
        close(fd);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::printf("  resident after they left: %ld KiB\n", memoryKiB(server.pid(), "VmRSS:"));
    const std::string log = server.log();
    std::size_t dropped = 0;
    for (const char* why : {"bytes unread", "the slowest reader"})
        for (std::size_t at = 0; (at = log.find(why, at)) != std::string::npos; ++at)
            ++dropped;
    std::printf("  slow readers dropped for falling behind: %zu\n", dropped);
    stopAndReportLongestTurn(server);
    std::filesystem::remove_all(folder);
}

std::string accountRecord(int i)
{
    return "u" + std::to_string(i) + "\tpw\t\tos\t1500\t1500\t0\t0\t0\t0\t0\t1700000000\t1700000000\t\t";
}

void measureSaves(const Settings& settings)
{
    constexpr int kAccounts = 50000;
    std::printf("saves: %d accounts; 20 clients change a setting every 10 ms, one logs in and out\n"
                "       without a pause; one client asks \"plan\" without a pause\n",
                kAccounts);
    const std::string folder = freshFolder();
    {
        // A base file and a journal of the same size: the first save makes the journal the
        // larger, so a merge of both into a new base file falls within the measurement.
        std::ofstream base(folder + "/accounts.txt");
        std::ofstream journal(folder + "/accounts.txt.journal");
        journal << "\nB\n";
        for (int i = 0; i < kAccounts; ++i) {
            base << accountRecord(i) << "\n";
            journal << "K\tu" << i << "\nL\t" << accountRecord(i) << "\n";
        }
        journal << "C\n";
    }
    ServerProcess server(options(settings, folder, false));
    if (server.port() == 0)
        return;
    std::atomic<bool> stop{false};
    std::vector<std::thread> changers;
    for (int i = 0; i < 20; ++i)
        changers.emplace_back([&, i] {
            LineClient c(server.port());
            c.login("u" + std::to_string(i), "pw");
            for (int n = 0; !stop; ++n) {
                c.command(n % 2 ? "set open on" : "set open off");
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    std::atomic<int> logins{0};
    changers.emplace_back([&] {
        for (int n = 100; !stop; ++n) {
            LineClient c(server.port());
            c.login("u" + std::to_string(n % kAccounts), "pw", false);
            c.sendLine("quit");
            c.waitClosed(1000);
            ++logins;
        }
    });
    std::vector<double> samples;
    {
        LineClient probe(server.port());
        probe.login("probe", "pw");
        const auto end = Clock::now() + std::chrono::seconds(settings.seconds);
        while (Clock::now() < end) {
            const auto start = Clock::now();
            probe.command("plan", 60000);
            samples.push_back(millisSince(start));
        }
    }
    stop = true;
    for (auto& t : changers)
        t.join();
    print("the probe's round trips", percentiles(samples));
    std::printf("  %d logins and logouts; journal now %ju bytes, base file %ju bytes\n", logins.load(),
                static_cast<std::uintmax_t>(std::filesystem::file_size(folder + "/accounts.txt.journal")),
                static_cast<std::uintmax_t>(std::filesystem::file_size(folder + "/accounts.txt")));
    stopAndReportLongestTurn(server);
    std::filesystem::remove_all(folder);
}

} // namespace

int main(int argc, char** argv)
{
    Settings settings;
    std::vector<std::string> what;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc)
            settings.seconds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--server" && i + 1 < argc)
            settings.program = argv[++i];
        else if (a == "flood" || a == "readers" || a == "saves")
            what.push_back(a);
        else {
            std::fprintf(stderr, "usage: %s [flood|readers|saves]... [--seconds N] [--server PATH]\n", argv[0]);
            return 2;
        }
    }
    if (what.empty())
        what = {"flood", "readers", "saves"};
    for (const std::string& w : what) {
        if (w == "flood")
            measureFlood(settings);
        else if (w == "readers")
            measureReaders(settings);
        else
            measureSaves(settings);
    }
    return 0;
}
