#pragma once
// Loopback helpers for protocol tests against the practice server.
//
//   marovin::testing::ServerProcess server;          // starts build/bin/marovin-server on a
//                                                    // free port with a fresh data folder
//   marovin::testing::LineClient alice(server.port());
//   alice.login("alice", "secret");                  // registers the name when it is new
//   alice.sendLine("set client on");
//   std::string answer = alice.readUntil("OMRA% ");  // the text up to and including it
//
// Every read has a timeout (5 s unless given) and returns what arrived so far with
// ok == false instead of hanging, so that a broken server fails a test, never blocks it.

#include <csignal>
#include <string>
#include <string_view>
#include <vector>

namespace marovin::testing {

struct ServerProcessOptions {
    bool bots = false;
    double clockSpeed = 1.0;
    unsigned seed = 1;
    std::string dataDirectory;           // empty: a new temporary folder, removed at the end
    std::vector<std::string> extraArgs;
    int descriptorLimit = 0;             // RLIMIT_NOFILE of the server (0: inherited)
    std::string program;                 // empty: the server of this build
};

class ServerProcess {
public:
    explicit ServerProcess(ServerProcessOptions options = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // The port it listens on (0 when it did not start; see startError).
    int port() const { return m_port; }
    int pid() const { return m_pid; }
    const std::string& startError() const { return m_error; }
    const std::string& dataDirectory() const { return m_dataDirectory; }
    // What the server wrote to standard error so far.
    std::string log() const;
    // Sends the signal (SIGTERM unless given) and waits (at most 10 s); returns the exit
    // status, or -1 when it did not exit by itself.
    int stop(int signal = SIGTERM);
    // The same folder can be given to a new ServerProcess to test a restart.
    void keepDataDirectory() { m_ownsData = false; }

    // The path of the built server.
    static std::string executable();

private:
    int m_pid = -1;
    int m_port = 0;
    std::string m_error;
    std::string m_dataDirectory;
    std::string m_logPath;
    bool m_ownsData = false;
};

struct ReadResult {
    bool ok = false;
    std::string text;
};

class LineClient {
public:
    explicit LineClient(int port, const std::string& host = "127.0.0.1");
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    bool connected() const { return m_fd >= 0; }
    void send(std::string_view bytes);
    void sendLine(std::string_view line) { send(std::string(line) + "\r\n"); }
    // Reads until the unread text holds needle; consumes and returns the text up to and
    // including it.
    ReadResult readUntil(std::string_view needle, int timeoutMs = 5000);
    std::string readUntilText(std::string_view needle, int timeoutMs = 5000) { return readUntil(needle, timeoutMs).text; }
    // Sends a command and returns its answer up to the next prompt.
    std::string command(std::string_view line, int timeoutMs = 5000);
    // Waits for the given time and returns (and consumes) everything that arrived.
    std::string drain(int waitMs = 100);
    // True when the server closes the connection within the time.
    bool waitClosed(int timeoutMs = 5000);
    // Answers the login prompts (registering a new name: the password twice) and reads up
    // to the first "OMRA% ". Returns false when that did not happen.
    bool login(std::string_view name, std::string_view password, bool clientMode = true);
    void close();

private:
    bool fill(int timeoutMs);

    int m_fd = -1;
    std::string m_unread;
    bool m_closed = false;
};

} // namespace marovin::testing
