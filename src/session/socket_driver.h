#pragma once
// A socket-neutral, non-blocking stream socket: what the connection logic needs of the
// platform. Every operation sets lastError(): 0 after success, otherwise one of the
// Windows Sockets codes the connection reports (10035 "would block", 10061 refused,
// 10060 time out, 10051 unreachable, ...). Events come back through SocketEventSink, always
// from the event loop, never from inside one of these calls.

#include <string_view>

namespace marovin::session {

constexpr int kWouldBlock = 10035;
constexpr int kNotASocket = 10038;
constexpr int kNotConnected = 10057;
constexpr int kTimedOut = 10060;
constexpr int kConnectionRefused = 10061;
constexpr int kNetworkUnreachable = 10051;

// The four events of an asynchronous socket (errorCode 0 on success).
class SocketEventSink {
public:
    virtual ~SocketEventSink() = default;
    virtual void OnConnect(int errorCode) = 0;
    virtual void OnReceive(int errorCode) = 0; // bytes can be read (or the peer closed)
    virtual void OnSend(int errorCode) = 0;    // the socket can take more bytes
    virtual void OnClose(int errorCode) = 0;   // the peer closed the connection
};

class SocketDriver {
public:
    virtual ~SocketDriver() = default;

    virtual void setEventSink(SocketEventSink* sink) = 0;
    // A new stream socket on any local port; false on failure.
    virtual bool create() = 0;
    // Starts connecting. True: connected at once. False: pending (lastError 10035) or failed.
    virtual bool connect(std::string_view host, int port) = 0;
    // Bytes taken (possibly fewer than count), or -1 (lastError 10035: try at the next
    // OnSend).
    virtual int send(const char* bytes, int count) = 0;
    // Bytes read, 0 when the peer closed and nothing is left, -1 on error (10035: nothing
    // to read now).
    virtual int receive(char* buffer, int capacity) = 0;
    // Closes the socket; no event of it arrives afterwards.
    virtual void close() = 0;
    // Raises OnReceive again, from the event loop, if bytes are waiting: the connection
    // left an earlier readable event unanswered (it read nothing) and can read now. A
    // readable event that is not answered by a receive is not raised again until new bytes
    // arrive or this is called. A socket that raises the event for as long as bytes wait
    // needs nothing here.
    virtual void requestReceiveEvent() {}
    virtual int lastError() const = 0;
};

} // namespace marovin::session
