#include "engine/posix_engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <cstring>

namespace marovin::engine {

PosixEngineProcess::~PosixEngineProcess()
{
    reap(true);
}

bool PosixEngineProcess::start(const std::string& program, std::string& error)
{
    reap(true);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        error = std::strerror(errno);
        return false;
    }
    // The child reports a failed exec through this pipe; a successful exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        ::close(ends[0]);
        ::close(ends[1]);
        return false;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(ends[1], STDIN_FILENO);
        ::dup2(ends[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, STDERR_FILENO);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        const int code = errno;
        [[maybe_unused]] const auto written = ::write(report[1], &code, sizeof code);
        ::_exit(127);
    }
    ::close(ends[1]);
    ::close(report[1]);
    if (pid < 0) {
        error = std::strerror(errno);
        ::close(ends[0]);
        ::close(report[0]);
        return false;
    }
    int code = 0;
    const auto got = ::read(report[0], &code, sizeof code);
    ::close(report[0]);
    m_pid = pid;
    m_socket = ends[0];
    if (got == static_cast<ssize_t>(sizeof code)) {
        reap(false);
        error = std::strerror(code);
        return false;
    }
    return true;
}

void PosixEngineProcess::writeLine(std::string_view line)
{
    if (m_socket < 0)
        return;
    std::string text(line);
    text += '\n';
    std::size_t done = 0;
    while (done < text.size()) {
        const auto sent = ::send(m_socket, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) {
            if (sent < 0 && errno == EINTR)
                continue;
            return; // the engine is gone: its end is reported by pump()
        }
        done += static_cast<std::size_t>(sent);
    }
}

void PosixEngineProcess::release()
{
    if (m_pid <= 0)
        return;
    ::shutdown(m_socket, SHUT_WR);
    // A well-behaved engine leaves at "quit" at once; give it a moment before killing.
    for (int i = 0; i < 20; ++i) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            break;
        }
        ::usleep(10000);
    }
    reap(true);
}

void PosixEngineProcess::reap(bool kill)
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
    if (m_pid > 0) {
        if (kill)
            ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
}

bool PosixEngineProcess::pump(EngineClient& client, int timeoutMs)
{
    if (m_socket < 0)
        return false;
    pollfd poller{m_socket, POLLIN, 0};
    const int ready = ::poll(&poller, 1, timeoutMs);
    if (ready <= 0)
        return true;
    char buffer[4096];
    const auto got = ::recv(m_socket, buffer, sizeof buffer, 0);
    if (got > 0) {
        client.receive(std::string_view(buffer, static_cast<std::size_t>(got)));
        return true;
    }
    if (got < 0 && errno == EINTR)
        return true;
    // End of output: the engine has gone.
    int status = 0;
    ::close(m_socket);
    m_socket = -1;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    std::string description = "it ended";
    if (WIFSIGNALED(status))
        description = "it crashed with signal " + std::to_string(WTERMSIG(status));
    else if (WIFEXITED(status))
        description = "exit status " + std::to_string(WEXITSTATUS(status));
    client.processEnded(description);
    return false;
}

std::int64_t SteadyClock::nowSeconds()
{
    return nowMilliseconds() / 1000;
}

std::int64_t SteadyClock::nowMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SteadyClock::pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SteadyClock::waitUntil(const std::function<bool()>& done)
{
    while (!done())
        pause(10);
}

namespace {

class ResultListener : public EngineListener {
public:
    explicit ResultListener(BestMoveResult& result) : m_result(result) {}
    void engineInfo(const EngineAnalysis&) override {}
    void engineBestMove(int, std::optional<model::SquarePair> move) override
    {
        m_result.move = move;
        if (!move)
            m_result.error = "the engine named no legal move";
        done = true;
    }
    void engineFailed(std::string_view message) override
    {
        m_result.error = std::string(message);
        done = true;
    }
    bool done = false;

private:
    BestMoveResult& m_result;
};

} // namespace

BestMoveResult SearchBestMove(const EngineOptions& options, const EnginePosition& position, SearchLimits limits)
{
    BestMoveResult result;
    PosixEngineProcess process;
    SteadyClock clock;
    ResultListener listener(result);
    EngineClient client(process, clock, listener);
    client.setOptions(options);
    if (client.search(position, limits) == 0)
        return result; // the listener holds the reason
    while (!listener.done) {
        if (!process.pump(client, 50) && !listener.done) {
            result.error = "the engine ended without an answer";
            break;
        }
        client.checkDeadline();
    }
    result.engineName = client.engineName();
    client.quit();
    return result;
}

} // namespace marovin::engine
