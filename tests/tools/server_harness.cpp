#include "server_harness.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace marovin::testing {

namespace {
using Clock = std::chrono::steady_clock;

int millisLeft(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}
} // namespace

std::string ServerProcess::executable()
{
    return std::string(MAROVIN_BINARY_DIR) + "/bin/marovin-server";
}

ServerProcess::ServerProcess(ServerProcessOptions options)
{
    if (options.dataDirectory.empty()) {
        char pattern[] = "/tmp/marovin-server-test-XXXXXX";
        if (!mkdtemp(pattern)) {
            m_error = "cannot make a temporary folder";
            return;
        }
        m_dataDirectory = pattern;
        m_ownsData = true;
    } else {
        m_dataDirectory = options.dataDirectory;
    }
    m_logPath = m_dataDirectory + ".log";
    const std::string program = options.program.empty() ? executable() : options.program;
    std::vector<std::string> args = {program, "--port", "0", "--data", m_dataDirectory,
                                     "--seed", std::to_string(options.seed), "--clock-speed",
                                     std::to_string(options.clockSpeed)};
    if (!options.bots)
        args.emplace_back("--no-bots");
    args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());

    int out[2];
    if (pipe(out) != 0) {
        m_error = "pipe failed";
        return;
    }
    m_pid = fork();
    if (m_pid == 0) {
        if (options.descriptorLimit > 0) {
            const auto descriptors = static_cast<rlim_t>(options.descriptorLimit);
            const rlimit limit{descriptors, descriptors};
            setrlimit(RLIMIT_NOFILE, &limit);
        }
        dup2(out[1], STDOUT_FILENO);
        const int log = open(m_logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0)
            dup2(log, STDERR_FILENO);
        ::close(out[0]);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(out[1]);
    // The first line on standard output is "listening on ADDRESS:PORT".
    std::string line;
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (line.find('\n') == std::string::npos && millisLeft(end) > 0) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, millisLeft(end)) <= 0)
            break;
        char buffer[256];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    const std::size_t colon = line.rfind(':');
    if (line.rfind("listening on ", 0) != 0 || colon == std::string::npos) {
        m_error = "the server did not start: " + line + log();
        return;
    }
    m_port = std::atoi(line.c_str() + colon + 1);
}

ServerProcess::~ServerProcess()
{
    stop();
    std::error_code ec;
    std::filesystem::remove(m_logPath, ec);
    if (m_ownsData)
        std::filesystem::remove_all(m_dataDirectory, ec);
}

std::string ServerProcess::log() const
{
    std::ifstream in(m_logPath);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int ServerProcess::stop(int signal)
{
    if (m_pid <= 0)
        return -1;
    kill(m_pid, signal);
    int status = 0;
    for (int i = 0; i < 1000; ++i) {
        const pid_t done = waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return -1;
}

LineClient::LineClient(int port, const std::string& host)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    m_fd = fd;
}

LineClient::~LineClient() { close(); }

void LineClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void LineClient::send(std::string_view bytes)
{
    while (m_fd >= 0 && !bytes.empty()) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool LineClient::fill(int timeoutMs)
{
    if (m_fd < 0 || m_closed)
        return false;
    pollfd p{m_fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0)
        return false;
    char buffer[65536];
    const ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
    if (n <= 0) {
        m_closed = true;
        return false;
    }
    m_unread.append(buffer, static_cast<std::size_t>(n));
    return true;
}

ReadResult LineClient::readUntil(std::string_view needle, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const std::size_t at = m_unread.find(needle); at != std::string::npos) {
            ReadResult r{true, m_unread.substr(0, at + needle.size())};
            m_unread.erase(0, at + needle.size());
            return r;
        }
        if (millisLeft(end) == 0 || (!fill(millisLeft(end)) && (m_closed || millisLeft(end) == 0)))
            return {false, std::exchange(m_unread, {})};
    }
}

std::string LineClient::command(std::string_view line, int timeoutMs)
{
    sendLine(line);
    return readUntilText("OMRA% ", timeoutMs);
}

std::string LineClient::drain(int waitMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(waitMs);
    while (millisLeft(end) > 0)
        if (!fill(millisLeft(end)) && m_closed)
            break;
    return std::exchange(m_unread, {});
}

bool LineClient::waitClosed(int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!m_closed && millisLeft(end) > 0)
        fill(millisLeft(end));
    return m_closed;
}

bool LineClient::login(std::string_view name, std::string_view password, bool clientMode)
{
    if (!readUntil("Login: ").ok)
        return false;
    sendLine(name);
    const ReadResult prompt = readUntil(": ");
    if (!prompt.ok)
        return false;
    sendLine(password);
    if (prompt.text.find("New player") != std::string::npos) {
        if (!readUntil("Enter your password again to verify: ").ok)
            return false;
        sendLine(password);
    }
    if (!readUntil("OMRA% ").ok)
        return false;
    return !clientMode || command("set client on").find("set: ") != std::string::npos;
}

} // namespace marovin::testing
