#pragma once
// The connection's socket on Qt: a QTcpSocket driven as a non-blocking socket whose four
// events (connected, readable, writable, closed) reach the connection from the event loop
// of the user-interface thread, never from inside one of the driver's calls. Errors are
// reported with the Windows Sockets codes whose texts the connection knows.

#include <cstdint>
#include <functional>

#include <QAbstractSocket>
#include <QObject>
#include <QTimer>

#include "session/socket_driver.h"

class QTcpSocket;

namespace marovin::platform {

// The Windows Sockets code for a Qt socket error (10061 refused, 10060 time out, 10051
// unreachable, 11001 host not found, ...); -1 for errors without one.
int socketErrorCode(QAbstractSocket::SocketError error);

class QtSocketDriver : public QObject, public session::SocketDriver {
    Q_OBJECT

public:
    // Bytes the socket takes before a send answers "would block" (as a system's send
    // buffer would); the rest waits in the connection's send buffer for the next writable
    // event.
    static constexpr qint64 kSendWindow = 64 * 1024;
    static constexpr int kDefaultConnectTimeoutMs = 30'000;
    // Bytes the socket reads ahead of the connection (as a system's receive buffer
    // would); the rest waits in the network until they are taken.
    static constexpr qint64 kReadWindow = 64 * 1024;

    explicit QtSocketDriver(QObject* parent = nullptr);
    ~QtSocketDriver() override;

    void setEventSink(session::SocketEventSink* sink) override { m_sink = sink; }
    bool create() override;
    bool connect(std::string_view host, int port) override;
    int send(const char* bytes, int count) override;
    int receive(char* buffer, int capacity) override;
    void close() override;
    int lastError() const override { return m_lastError; }
    void requestReceiveEvent() override;

    // A connect that has not completed after this long fails with "Time out".
    void setConnectTimeout(int milliseconds) { m_connectTimer.setInterval(milliseconds); }

private:
    // Runs event from the event loop, unless the socket was closed or replaced meanwhile.
    void post(std::function<void()> event);
    void onConnected();
    void onError(QAbstractSocket::SocketError error);
    void onReadyRead();
    void onDisconnected();
    void onConnectTimeout();
    void deliverReadable();
    bool bytesWaiting() const;

    session::SocketEventSink* m_sink = nullptr;
    QTcpSocket* m_socket = nullptr; // owned; deleted later because it may be inside a signal
    QTimer m_connectTimer;
    std::uint64_t m_generation = 0;
    int m_lastError = 0;
    bool m_connecting = false;
    bool m_readPosted = false;
    std::uint64_t m_receives = 0; // receive calls, to see whether a readable event was answered
    bool m_closePending = false; // the peer closed; reported once every byte was read
};

} // namespace marovin::platform
