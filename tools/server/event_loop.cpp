#include "event_loop.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace marovin::server {

struct EventLoop::Connection {
    ConnectionId id = 0;
    int fd = -1;
    LineReader reader;
    std::string queue;          // bytes not yet sent, from queueOffset on
    std::size_t queueOffset = 0;
    bool closing = false;       // close once the queue is empty
    bool dead = false;          // drop at the next turn of the loop

    std::size_t queued() const { return queue.size() - queueOffset; }
};

Millis monotonicMillis()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<Millis>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

namespace {

void setNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

std::string peerName(const sockaddr_storage& address)
{
    char host[INET6_ADDRSTRLEN] = "?";
    int port = 0;
    if (address.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &in->sin_addr, host, sizeof host);
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* in = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &in->sin6_addr, host, sizeof host);
        port = ntohs(in->sin6_port);
    }
    return std::string(host) + ":" + std::to_string(port);
}

} // namespace

EventLoop::EventLoop(EventLoopLimits limits) : m_limits(limits) {}

EventLoop::~EventLoop()
{
    for (auto& [id, c] : m_connections)
        close(c->fd);
    if (m_listenFd >= 0)
        close(m_listenFd);
}

std::string EventLoop::listen(const ListenAddress& address)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address.port);
    if (const int rc = getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found); rc != 0)
        return "cannot resolve " + address.host + ": " + gai_strerror(rc);
    std::string error = "no usable address for " + address.host;
    for (addrinfo* ai = found; ai; ai = ai->ai_next) {
        const int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) {
            error = std::strerror(errno);
            continue;
        }
        const int one = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (bind(fd, ai->ai_addr, ai->ai_addrlen) != 0 || ::listen(fd, 128) != 0) {
            error = "cannot listen on " + address.host + ":" + service + ": " + std::strerror(errno);
            close(fd);
            continue;
        }
        setNonBlocking(fd);
        sockaddr_storage bound{};
        socklen_t length = sizeof bound;
        getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
        const std::string name = peerName(bound);
        m_boundHost = name.substr(0, name.rfind(':'));
        m_boundPort = std::stoi(name.substr(name.rfind(':') + 1));
        m_listenFd = fd;
        freeaddrinfo(found);
        return {};
    }
    freeaddrinfo(found);
    return error;
}

void EventLoop::send(ConnectionId id, std::string_view bytes)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end() || it->second->dead || it->second->closing)
        return;
    Connection& c = *it->second;
    if (c.queued() + bytes.size() > m_limits.maxQueuedBytes) {
        // A reader this far behind is dropped rather than allowed to eat memory.
        c.dead = true;
        c.queue.clear();
        c.queueOffset = 0;
        return;
    }
    if (c.queueOffset > 0 && c.queueOffset >= c.queue.size() / 2) {
        c.queue.erase(0, c.queueOffset);
        c.queueOffset = 0;
    }
    c.queue.append(bytes);
}

void EventLoop::closeAfterFlush(ConnectionId id)
{
    if (const auto it = m_connections.find(id); it != m_connections.end())
        it->second->closing = true;
}

void EventLoop::acceptPending(ConnectionHandler& handler)
{
    for (;;) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = accept4(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length,
                               SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return; // EAGAIN, or a transient error such as EMFILE: try again next turn
        if (m_connections.size() >= m_limits.maxConnections) {
            close(fd);
            continue;
        }
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto c = std::make_unique<Connection>();
        c->id = m_nextId++;
        c->fd = fd;
        c->reader = LineReader(m_limits.maxLineLength);
        const ConnectionId id = c->id;
        m_connections.emplace(id, std::move(c));
        handler.onConnected(id, peerName(address));
    }
}

void EventLoop::readFrom(Connection& c, ConnectionHandler& handler)
{
    char buffer[16384];
    // A bounded number of reads per turn keeps one flooding peer from starving the rest.
    for (int round = 0; round < 4 && !c.dead && !c.closing; ++round) {
        const ssize_t n = recv(c.fd, buffer, sizeof buffer, 0);
        if (n == 0) {
            c.dead = true;
            return;
        }
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                c.dead = true;
            return;
        }
        std::vector<ReceivedLine> lines;
        c.reader.feed(std::string_view(buffer, static_cast<std::size_t>(n)), lines);
        const ConnectionId id = c.id;
        for (const ReceivedLine& line : lines) {
            handler.onLine(id, line);
            if (c.dead || c.closing)
                return;
        }
        if (static_cast<std::size_t>(n) < sizeof buffer)
            return;
    }
}

void EventLoop::writeTo(Connection& c)
{
    while (c.queued() > 0) {
        const ssize_t n = ::send(c.fd, c.queue.data() + c.queueOffset, c.queued(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                c.dead = true;
            return;
        }
        c.queueOffset += static_cast<std::size_t>(n);
    }
    c.queue.clear();
    c.queueOffset = 0;
}

void EventLoop::drop(ConnectionId id, ConnectionHandler& handler)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    close(it->second->fd);
    m_connections.erase(it);
    handler.onDisconnected(id);
}

void EventLoop::run(ConnectionHandler& handler, volatile const int* stop)
{
    sigset_t waitMask;
    sigprocmask(SIG_SETMASK, nullptr, &waitMask);
    for (const int signal : kStopSignals)
        sigdelset(&waitMask, signal);

    std::vector<pollfd> fds;
    std::vector<ConnectionId> ids;
    while (!*stop) {
        fds.clear();
        ids.clear();
        fds.push_back({m_listenFd, POLLIN, 0});
        for (auto& [id, c] : m_connections) {
            short events = c->closing ? 0 : POLLIN;
            if (c->queued() > 0)
                events |= POLLOUT;
            fds.push_back({c->fd, events, 0});
            ids.push_back(id);
        }
        Millis timeout = 1000;
        const Millis now = monotonicMillis();
        if (const Millis deadline = handler.nextDeadline(); deadline >= 0)
            timeout = std::max<Millis>(0, std::min(timeout, deadline - now));
        timespec ts{static_cast<time_t>(timeout / 1000), static_cast<long>(timeout % 1000) * 1000000};
        const int ready = ppoll(fds.data(), fds.size(), &ts, &waitMask);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0) {
            if (fds[0].revents & POLLIN)
                acceptPending(handler);
            for (std::size_t i = 1; i < fds.size(); ++i) {
                const auto it = m_connections.find(ids[i - 1]);
                if (it == m_connections.end())
                    continue;
                Connection& c = *it->second;
                if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
                    readFrom(c, handler);
                if (!c.dead && c.queued() > 0)
                    writeTo(c);
            }
        }
        handler.onTimer(monotonicMillis());
        // Output produced this turn goes out at once where the socket takes it; then
        // finished and failed connections are removed.
        std::vector<ConnectionId> gone;
        for (auto& [id, c] : m_connections) {
            if (!c->dead && c->queued() > 0)
                writeTo(*c);
            if (c->dead || (c->closing && c->queued() == 0))
                gone.push_back(id);
        }
        for (const ConnectionId id : gone)
            drop(id, handler);
    }
}

void EventLoop::flushAndCloseAll(Millis timeoutMs)
{
    const Millis end = monotonicMillis() + timeoutMs;
    for (;;) {
        std::vector<pollfd> fds;
        for (auto& [id, c] : m_connections)
            if (!c->dead && c->queued() > 0)
                fds.push_back({c->fd, POLLOUT, 0});
        const Millis left = end - monotonicMillis();
        if (fds.empty() || left <= 0)
            break;
        poll(fds.data(), fds.size(), static_cast<int>(std::min<Millis>(left, 100)));
        for (auto& [id, c] : m_connections)
            if (!c->dead && c->queued() > 0)
                writeTo(*c);
    }
    for (auto& [id, c] : m_connections)
        close(c->fd);
    m_connections.clear();
}

} // namespace marovin::server
