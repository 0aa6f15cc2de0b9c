#include "event_loop.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <malloc.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <vector>

#include "output_queue.h"

namespace marovin::server {

struct EventLoop::Connection {
    ConnectionId id = 0;
    int fd = -1;
    LineReader reader;
    std::string inbox;          // received bytes not yet cut into lines, from inboxOffset on
    std::size_t inboxOffset = 0;
    OutputQueue queue;          // bytes not yet sent
    Millis behindSince = -1;    // when the queue last stopped being empty (-1: it is empty)
    bool peerClosed = false;    // the peer has sent its last byte
    bool closing = false;       // close once the queue is empty
    bool dead = false;          // drop at the end of this turn of the loop

    std::size_t queued() const { return queue.size(); }
    bool hasInput() const { return inboxOffset < inbox.size(); }
};

Millis monotonicMillis()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<Millis>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

namespace {

constexpr std::size_t kReadSize = 16384;
constexpr int kAcceptsPerTurn = 64;
constexpr Millis kAcceptPauseMs = 1000;
constexpr std::string_view kServerFull = "The server is full: try again later.\r\n";
// Once this much output has left the queues, the allocator is asked to give its free
// memory back: blocks freed by many queues at once would otherwise stay with the process.
constexpr std::size_t kTrimAfterBytes = 16 * 1024 * 1024;

// The processor time the calling thread has used.
std::chrono::microseconds threadTime()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::microseconds(ts.tv_nsec / 1000);
}

// Replaces a string with an empty one, handing its buffer back.
void release(std::string& text) { std::string().swap(text); }

std::size_t connectionsTheDescriptorsAllow(std::size_t wanted)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return wanted;
    const auto descriptors = static_cast<std::size_t>(limit.rlim_cur);
    return std::min(wanted, descriptors > kDescriptorsKept ? descriptors - kDescriptorsKept : 1);
}

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

EventLoop::EventLoop(EventLoopLimits limits)
    : m_limits(limits), m_connectionLimit(connectionsTheDescriptorsAllow(limits.maxConnections))
{
}

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

void EventLoop::log(const std::string& text)
{
    if (m_log)
        m_log(text);
}

void EventLoop::send(ConnectionId id, std::string_view bytes)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end() || it->second->dead || it->second->closing || bytes.empty())
        return;
    Connection& c = *it->second;
    if (c.queued() + bytes.size() > m_limits.maxQueuedBytes) {
        abandon(c, "more than " + std::to_string(m_limits.maxQueuedBytes) + " bytes unread");
        return;
    }
    if (c.queued() == 0)
        c.behindSince = m_now;
    c.queue.append(bytes);
    m_totalQueued += bytes.size();
    if (m_totalQueued > m_limits.maxTotalQueuedBytes)
        shedSlowestReaders();
}

void EventLoop::closeAfterFlush(ConnectionId id)
{
    if (const auto it = m_connections.find(id); it != m_connections.end())
        it->second->closing = true;
}

void EventLoop::abandon(Connection& c, const std::string& why)
{
    log("connection " + std::to_string(c.id) + " dropped: " + why);
    m_totalQueued -= c.queued();
    m_leftQueues += c.queued();
    c.queue.clear();
    c.behindSince = -1;
    c.dead = true;
}

void EventLoop::shedSlowestReaders()
{
    std::vector<Connection*> behind;
    for (auto& [id, c] : m_connections)
        if (!c->dead && c->queued() > 0)
            behind.push_back(c.get());
    // Behind the longest first; of those behind as long, the one holding most.
    std::sort(behind.begin(), behind.end(), [](const Connection* a, const Connection* b) {
        return a->behindSince != b->behindSince ? a->behindSince < b->behindSince : a->queued() > b->queued();
    });
    for (Connection* c : behind) {
        if (m_totalQueued <= m_limits.maxTotalQueuedBytes)
            return;
        abandon(*c, "the slowest reader while the output of all connections passed " +
                        std::to_string(m_limits.maxTotalQueuedBytes) + " bytes");
    }
}

void EventLoop::acceptPending(ConnectionHandler& handler)
{
    for (int accepted = 0; accepted < kAcceptsPerTurn; ++accepted) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = accept4(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length,
                               SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // The connection stays in the backlog and the listener stays readable:
                // watching it again at once would spin.
                m_listenPausedUntil = m_now + kAcceptPauseMs;
                if (!m_acceptFailing)
                    log(std::string("cannot accept connections for now: ") + std::strerror(errno));
                m_acceptFailing = true;
            }
            return; // EAGAIN, or a connection that failed before it was accepted
        }
        if (m_acceptFailing)
            log("accepting connections again");
        m_acceptFailing = false;
        if (m_connections.size() >= m_connectionLimit) {
            [[maybe_unused]] const ssize_t sent =
                ::send(fd, kServerFull.data(), kServerFull.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
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

bool EventLoop::wantsInput(const Connection& c) const
{
    return !c.dead && !c.closing && !c.peerClosed && !c.hasInput() && c.queued() <= m_limits.pauseInputAbove;
}

bool EventLoop::hasLinesToHandle(const Connection& c) const
{
    return !c.dead && !c.closing && c.hasInput() && c.queued() <= m_limits.pauseInputAbove;
}

void EventLoop::receive(Connection& c)
{
    char buffer[kReadSize];
    const ssize_t n = recv(c.fd, buffer, sizeof buffer, 0);
    if (n == 0) {
        c.peerClosed = true;
    } else if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            c.dead = true;
    } else {
        c.inbox.assign(buffer, static_cast<std::size_t>(n));
        c.inboxOffset = 0;
    }
}

void EventLoop::handleLines(Connection& c, ConnectionHandler& handler)
{
    const auto start = std::chrono::steady_clock::now();
    std::vector<ReceivedLine> lines;
    for (std::size_t handled = 0; handled < m_limits.maxLinesPerTurn && hasLinesToHandle(c) &&
                                  std::chrono::steady_clock::now() - start < m_limits.maxWorkPerTurn;) {
        lines.clear();
        c.inboxOffset += c.reader.feed(std::string_view(c.inbox).substr(c.inboxOffset), lines, 1);
        for (const ReceivedLine& line : lines) {
            handler.onLine(c.id, line);
            ++handled;
        }
    }
    if (!c.hasInput()) {
        release(c.inbox);
        c.inboxOffset = 0;
    }
}

void EventLoop::writeTo(Connection& c)
{
    while (!c.queue.empty()) {
        const std::string_view next = c.queue.front();
        const ssize_t n = ::send(c.fd, next.data(), next.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                abandon(c, std::strerror(errno));
            return;
        }
        c.queue.consume(static_cast<std::size_t>(n));
        m_totalQueued -= static_cast<std::size_t>(n);
        m_leftQueues += static_cast<std::size_t>(n);
    }
    c.behindSince = -1;
}

void EventLoop::drop(ConnectionId id, ConnectionHandler& handler)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    m_totalQueued -= it->second->queued();
    m_leftQueues += it->second->queued();
    close(it->second->fd);
    m_connections.erase(it);
    m_listenPausedUntil = 0; // a descriptor is free again
    handler.onDisconnected(id);
}

std::size_t EventLoop::bufferCapacity() const
{
    std::size_t total = 0;
    for (const auto& [id, c] : m_connections)
        total += c->queue.capacity() + c->inbox.capacity();
    return total;
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
        m_now = monotonicMillis();
        fds.clear();
        ids.clear();
        const bool listening = m_now >= m_listenPausedUntil;
        if (listening)
            fds.push_back({m_listenFd, POLLIN, 0});
        Millis timeout = listening ? 1000 : std::min<Millis>(1000, m_listenPausedUntil - m_now);
        for (auto& [id, c] : m_connections) {
            short events = wantsInput(*c) ? POLLIN : 0;
            if (c->queued() > 0)
                events |= POLLOUT;
            fds.push_back({c->fd, events, 0});
            ids.push_back(id);
            if (hasLinesToHandle(*c))
                timeout = 0; // lines wait from the last turn
        }
        if (const Millis deadline = handler.nextDeadline(); deadline >= 0)
            timeout = std::max<Millis>(0, std::min(timeout, deadline - m_now));
        timespec ts{static_cast<time_t>(timeout / 1000), static_cast<long>(timeout % 1000) * 1000000};
        const int ready = ppoll(fds.data(), fds.size(), &ts, &waitMask);
        if (ready < 0 && errno != EINTR)
            break;
        const auto turnStart = std::chrono::steady_clock::now();
        const std::chrono::microseconds workStart = threadTime();
        m_now = monotonicMillis();
        const std::size_t first = listening ? 1 : 0;
        if (ready > 0 && listening && (fds[0].revents & POLLIN))
            acceptPending(handler);
        for (std::size_t i = first; ready > 0 && i < fds.size(); ++i) {
            const auto it = m_connections.find(ids[i - first]);
            if (it != m_connections.end() && (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) &&
                wantsInput(*it->second))
                receive(*it->second);
        }
        // Every connection with lines gets its turn, a few lines each.
        for (auto& [id, c] : m_connections)
            if (hasLinesToHandle(*c))
                handleLines(*c, handler);
        handler.onTimer(monotonicMillis());
        // Output produced this turn goes out at once where the socket takes it; then
        // finished and failed connections are removed.
        std::vector<ConnectionId> gone;
        for (auto& [id, c] : m_connections) {
            if (!c->dead && c->queued() > 0)
                writeTo(*c);
            if (c->peerClosed && !c->hasInput())
                c->closing = true; // everything it sent is handled: answer, then close
            if (c->dead || (c->closing && c->queued() == 0))
                gone.push_back(id);
        }
        for (const ConnectionId id : gone)
            drop(id, handler);
        if (m_leftQueues >= kTrimAfterBytes) {
            m_leftQueues = 0;
#ifdef __GLIBC__
            malloc_trim(0);
#endif
        }
        m_longestTurn = std::max(m_longestTurn, std::chrono::duration_cast<std::chrono::microseconds>(
                                                    std::chrono::steady_clock::now() - turnStart));
        m_longestTurnWork = std::max(m_longestTurnWork, threadTime() - workStart);
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
