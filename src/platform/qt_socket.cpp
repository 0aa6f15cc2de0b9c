#include "platform/qt_socket.h"

#include <algorithm>

#include <QTcpSocket>

namespace marovin::platform {

int socketErrorCode(QAbstractSocket::SocketError error)
{
    using E = QAbstractSocket::SocketError;
    switch (error) {
    case E::ConnectionRefusedError:
    case E::ProxyConnectionRefusedError:
        return session::kConnectionRefused;
    case E::SocketTimeoutError:
    case E::ProxyConnectionTimeoutError:
        return session::kTimedOut;
    case E::NetworkError:
        return session::kNetworkUnreachable;
    case E::HostNotFoundError:
    case E::ProxyNotFoundError:
        return 11001;
    case E::RemoteHostClosedError:
    case E::ProxyConnectionClosedError:
        return 10054;
    case E::SocketAccessError:
        return 10013;
    case E::SocketResourceError:
        return 10024;
    case E::DatagramTooLargeError:
        return 10040;
    case E::AddressInUseError:
        return 10048;
    case E::SocketAddressNotAvailableError:
        return 10049;
    case E::UnsupportedSocketOperationError:
        return 10047;
    case E::UnfinishedSocketOperationError:
        return 10036;
    case E::OperationError:
        return session::kNotConnected;
    case E::TemporaryError:
        return session::kWouldBlock;
    default:
        return -1;
    }
}

QtSocketDriver::QtSocketDriver(QObject* parent) : QObject(parent)
{
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(kDefaultConnectTimeoutMs);
    QObject::connect(&m_connectTimer, &QTimer::timeout, this, &QtSocketDriver::onConnectTimeout);
}

QtSocketDriver::~QtSocketDriver()
{
    close();
}

void QtSocketDriver::post(std::function<void()> event)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation = m_generation, event = std::move(event)] {
            if (generation == m_generation && m_socket && m_sink)
                event();
        },
        Qt::QueuedConnection);
}

bool QtSocketDriver::create()
{
    close();
    ++m_generation;
    m_socket = new QTcpSocket(this);
    m_socket->setReadBufferSize(kReadWindow);
    QObject::connect(m_socket, &QTcpSocket::connected, this, &QtSocketDriver::onConnected);
    QObject::connect(m_socket, &QTcpSocket::errorOccurred, this, &QtSocketDriver::onError);
    QObject::connect(m_socket, &QTcpSocket::readyRead, this, &QtSocketDriver::onReadyRead);
    QObject::connect(m_socket, &QTcpSocket::bytesWritten, this,
                     [this] { post([this] { m_sink->OnSend(0); }); });
    QObject::connect(m_socket, &QTcpSocket::disconnected, this, &QtSocketDriver::onDisconnected);
    m_lastError = 0;
    return true;
}

bool QtSocketDriver::connect(std::string_view host, int port)
{
    if (!m_socket) {
        m_lastError = session::kNotASocket;
        return false;
    }
    m_connecting = true;
    m_lastError = session::kWouldBlock;
    m_connectTimer.start();
    m_socket->connectToHost(QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())),
                            static_cast<quint16>(std::clamp(port, 0, 65535)));
    return false;
}

int QtSocketDriver::send(const char* bytes, int count)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        m_lastError = session::kNotConnected;
        return -1;
    }
    const qint64 room = kSendWindow - m_socket->bytesToWrite();
    if (room <= 0) {
        m_lastError = session::kWouldBlock;
        return -1;
    }
    const qint64 written = m_socket->write(bytes, std::min<qint64>(count, room));
    if (written < 0) {
        m_lastError = socketErrorCode(m_socket->error());
        return -1;
    }
    m_lastError = 0;
    return static_cast<int>(written);
}

int QtSocketDriver::receive(char* buffer, int capacity)
{
    if (!m_socket) {
        m_lastError = session::kNotASocket;
        return -1;
    }
    ++m_receives;
    const qint64 n = m_socket->read(buffer, capacity);
    if (n < 0) {
        m_lastError = socketErrorCode(m_socket->error());
        return -1;
    }
    if (n == 0 && m_socket->state() == QAbstractSocket::ConnectedState) {
        m_lastError = session::kWouldBlock;
        return -1;
    }
    m_lastError = 0;
    return static_cast<int>(n);
}

void QtSocketDriver::close()
{
    m_connectTimer.stop();
    m_connecting = false;
    m_readPosted = false;
    m_closePending = false;
    m_lastError = 0;
    if (!m_socket)
        return;
    ++m_generation; // events already posted for this socket are dropped
    QObject::disconnect(m_socket, nullptr, this, nullptr);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
}

void QtSocketDriver::onConnected()
{
    m_connectTimer.stop();
    m_connecting = false;
    post([this] { m_sink->OnConnect(0); });
}

void QtSocketDriver::onError(QAbstractSocket::SocketError error)
{
    const int code = socketErrorCode(error);
    if (m_connecting) {
        m_connectTimer.stop();
        m_connecting = false;
        m_lastError = code;
        post([this, code] {
            m_lastError = code;
            m_sink->OnConnect(code);
        });
    } else if (error != QAbstractSocket::RemoteHostClosedError) {
        // A closing peer is reported by the disconnected signal; anything else on an
        // established connection ends it with its code.
        m_lastError = code;
        post([this, code] {
            m_lastError = code;
            m_sink->OnClose(code);
        });
    }
}

bool QtSocketDriver::bytesWaiting() const
{
    return m_socket && m_socket->bytesAvailable() > 0;
}

void QtSocketDriver::onReadyRead()
{
    requestReceiveEvent();
}

void QtSocketDriver::requestReceiveEvent()
{
    if (m_readPosted || !m_socket)
        return;
    m_readPosted = true;
    post([this] { deliverReadable(); });
}

// One readable event per read of at most a buffer's size, as a system socket would raise
// it again while bytes are left; posting the next one keeps the event loop turning. An
// event that the connection leaves unanswered (it holds its input) is not raised again
// until more bytes arrive or it asks, so that waiting costs nothing. After the peer
// closed, the close is reported once every byte that came before it was read.
void QtSocketDriver::deliverReadable()
{
    m_readPosted = false;
    const std::uint64_t generation = m_generation;
    const std::uint64_t receives = m_receives;
    if (bytesWaiting()) {
        m_sink->OnReceive(0);
        if (generation != m_generation)
            return;
    }
    if (bytesWaiting()) {
        if (m_receives != receives)
            requestReceiveEvent();
    } else if (m_closePending) {
        m_closePending = false;
        m_sink->OnClose(0);
    }
}

void QtSocketDriver::onDisconnected()
{
    m_closePending = true;
    requestReceiveEvent();
}

void QtSocketDriver::onConnectTimeout()
{
    if (!m_connecting || !m_socket)
        return;
    m_connecting = false;
    QObject::disconnect(m_socket, nullptr, this, nullptr);
    m_socket->abort();
    m_lastError = session::kTimedOut;
    post([this] {
        m_lastError = session::kTimedOut;
        m_sink->OnConnect(session::kTimedOut);
    });
}

} // namespace marovin::platform
