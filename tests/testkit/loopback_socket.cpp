#include "testkit/loopback_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace marovin::testkit {

namespace {

int windowsCode(int error)
{
    switch (error) {
    case 0: return 0;
    case EAGAIN:
    case EINPROGRESS: return session::kWouldBlock;
    case ECONNREFUSED: return session::kConnectionRefused;
    case ETIMEDOUT: return session::kTimedOut;
    case ENETUNREACH: return session::kNetworkUnreachable;
    case ENOTCONN: return session::kNotConnected;
    default: return 10000 + error;
    }
}

} // namespace

LoopbackSocket::~LoopbackSocket() { close(); }

int LoopbackSocket::fail(int code)
{
    m_error = windowsCode(code);
    return -1;
}

bool LoopbackSocket::create()
{
    close();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    m_error = m_fd < 0 ? windowsCode(errno) : 0;
    return m_fd >= 0;
}

bool LoopbackSocket::connect(std::string_view host, int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, std::string(host).c_str(), &address.sin_addr) != 1) {
        m_error = session::kNetworkUnreachable;
        return false;
    }
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        m_error = 0;
        return true;
    }
    m_error = windowsCode(errno);
    m_connecting = m_error == session::kWouldBlock;
    return false;
}

int LoopbackSocket::send(const char* bytes, int count)
{
    const ssize_t n = ::send(m_fd, bytes, static_cast<std::size_t>(count), MSG_NOSIGNAL);
    if (n < 0) {
        m_wantWrite = errno == EAGAIN;
        return fail(errno);
    }
    m_error = 0;
    return static_cast<int>(n);
}

int LoopbackSocket::receive(char* buffer, int capacity)
{
    const ssize_t n = ::recv(m_fd, buffer, static_cast<std::size_t>(capacity), 0);
    if (n < 0)
        return fail(errno);
    m_error = 0;
    return static_cast<int>(n);
}

void LoopbackSocket::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_connecting = false;
    m_wantWrite = false;
    m_error = 0;
}

bool LoopbackSocket::pump(int timeoutMs)
{
    if (m_fd < 0 || !m_sink)
        return false;
    pollfd entry{m_fd, static_cast<short>(POLLIN | (m_connecting || m_wantWrite ? POLLOUT : 0)), 0};
    if (::poll(&entry, 1, timeoutMs) <= 0)
        return false;
    if (m_connecting && (entry.revents & (POLLOUT | POLLERR | POLLHUP))) {
        m_connecting = false;
        int error = 0;
        socklen_t size = sizeof error;
        ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size);
        m_sink->OnConnect(windowsCode(error));
        return true;
    }
    if (m_wantWrite && (entry.revents & POLLOUT)) {
        m_wantWrite = false;
        m_sink->OnSend(0);
        return true;
    }
    if (entry.revents & (POLLIN | POLLHUP | POLLERR)) {
        m_sink->OnReceive(0);
        return true;
    }
    return false;
}

bool LoopbackSocket::runUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (!pump(static_cast<int>(std::min<long long>(left.count(), 50))) && m_fd < 0)
            return done();
    }
    return true;
}

} // namespace marovin::testkit
