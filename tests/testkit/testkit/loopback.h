#pragma once
// Helpers for Qt tests over loopback sockets (header-only; for GUI tests, which link Qt).
//
//   testkit::waitFor([&] { return done; });   // turns the event loop until done or time out
//   testkit::RecordingRelay relay(serverPort); // connect to relay.port(); relay.received holds
//                                              // every byte the server was sent

#include <functional>
#include <string>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

namespace marovin::testkit {

// Handles events until done() answers true or the time is up; returns done().
inline bool waitFor(const std::function<bool()>& done, int milliseconds = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Passes one connection through to the server at serverPort, keeping what the client sent.
class RecordingRelay {
public:
    explicit RecordingRelay(int serverPort)
    {
        m_listening = m_listener.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_listener, &QTcpServer::newConnection, [this, serverPort] {
            m_client = m_listener.nextPendingConnection();
            m_upstream.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(serverPort));
            m_upstream.waitForConnected(5000);
            QObject::connect(m_client, &QTcpSocket::readyRead, [this] {
                const QByteArray bytes = m_client->readAll();
                received += bytes.toStdString();
                m_upstream.write(bytes);
            });
            QObject::connect(&m_upstream, &QTcpSocket::readyRead,
                             [this] { m_client->write(m_upstream.readAll()); });
        });
    }
    bool listening() const { return m_listening; }
    int port() const { return m_listener.serverPort(); }

    std::string received; // every byte the server was sent

private:
    QTcpServer m_listener;
    QTcpSocket* m_client = nullptr;
    QTcpSocket m_upstream;
    bool m_listening = false;
};

} // namespace marovin::testkit
