#pragma once
// A real non-blocking TCP socket for protocol tests on loopback, driven by hand: pump()
// waits for the socket's next event and delivers it to the sink, as the desktop's event
// loop would.
//
//   LoopbackSocket socket;
//   ClientContext context(options, ports, socket);
//   context.connection.connectToServer("127.0.0.1", port);
//   socket.runUntil([&] { return context.session.loginState == 5; });

#include <functional>
#include <string_view>

#include "session/socket_driver.h"

namespace marovin::testkit {

class LoopbackSocket : public session::SocketDriver {
public:
    LoopbackSocket() = default;
    ~LoopbackSocket() override;
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    void setEventSink(session::SocketEventSink* sink) override { m_sink = sink; }
    bool create() override;
    bool connect(std::string_view host, int port) override;
    int send(const char* bytes, int count) override;
    int receive(char* buffer, int capacity) override;
    void close() override;
    int lastError() const override { return m_error; }

    // Waits at most timeoutMs for an event of the socket and delivers it. False when none
    // came (or there is no socket).
    bool pump(int timeoutMs);
    // Pumps until done() holds; false when timeoutMs of real time passed first.
    bool runUntil(const std::function<bool()>& done, int timeoutMs = 10000);

private:
    int fail(int code);

    session::SocketEventSink* m_sink = nullptr;
    int m_fd = -1;
    int m_error = 0;
    bool m_connecting = false;
    bool m_wantWrite = false;
};

} // namespace marovin::testkit
