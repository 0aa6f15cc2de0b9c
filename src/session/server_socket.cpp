#include "session/server_socket.h"

#include <cstring>

#include "session/session_texts.h"

namespace marovin::session {

std::string socketErrorText(int code)
{
    switch (code) {
    case 10014:
        return "The lpSockAddrLen(nSockAddrLen) argument is incorrect.";
    case 10022:
        return "The socket is already bound to an address.";
    case 10024:
        return "No more file descriptors are available.";
    case 10035:
        return "WSAEWOULDBLOCK:The socket is marked as nonblocking and the connection cannot be completed "
               "immediately.";
    case 10036:
        return "A blocking Windows Sockets call is in progress.";
    case 10038:
        return "The descriptor is a file, not a socket.";
    case 10039:
        return "A destination address is required.";
    case 10047:
        return "Addresses in the specified family cannot be used with this socket.";
    case 10048:
        return "The specified address is already in use.";
    case 10049:
        return "The specified address is not available from the local machine.";
    case 10051:
        return "The network cannot be reached from this host at this time.";
    case 10055:
        return "No buffer space is available. The socket cannot be connected.";
    case 10056:
        return "The socket is already connected.";
    case 10057:
        return "The socket is not connected.";
    case 10060:
        return "Time out";
    case 10061:
        return "The attempt to connect was forcefully rejected.";
    default:
        return "Unknown error code " + std::to_string(code);
    }
}

std::string connectFailureAdvice(std::string_view host, int port)
{
    const bool thisMachine = host == "127.0.0.1" || host == "localhost" || host == "::1";
    std::string line = "No server could be reached at " + std::string(host) + " port " + std::to_string(port) + ": ";
    if (thisMachine)
        line += "start the practice server (scripts/run.sh starts it, or run marovin-server --port " +
                std::to_string(port) + ") and connect again.";
    else
        line += "check the host and port in the login window, or try again later.";
    return line;
}

CServerSocket::CServerSocket(SocketDriver& driver, ConnectionListener& listener, TerminalPort& terminal,
                             DesktopPort& desktop)
    : m_driver(driver), m_listener(listener), m_terminal(terminal), m_desktop(desktop)
{
    m_driver.setEventSink(this);
    resetConnection();
}

CServerSocket::~CServerSocket()
{
    closeSocket();
    m_driver.setEventSink(nullptr);
}

void CServerSocket::closeSocket()
{
    if (m_socketOpen) {
        m_socketOpen = false;
        m_driver.close();
    }
}

void CServerSocket::resetConnection()
{
    closeSocket();
    m_connected = 0;
    m_port = kDefaultPort;
    m_sending = 0;
    m_sendOffset = 0;
    m_sendPending = 0;
    m_lastError = 0;
    m_receiveWaiting = false; // the socket that had bytes waiting is gone
}

void CServerSocket::releaseInput()
{
    if (--m_inputHolds == 0)
        resumeReceiving();
}

int CServerSocket::openInput()
{
    const int holds = m_inputHolds;
    m_inputHolds = 0;
    resumeReceiving();
    return holds;
}

void CServerSocket::restoreInputHolds(int holds)
{
    m_inputHolds += holds;
}

void CServerSocket::resumeReceiving()
{
    if (!m_receiveWaiting)
        return;
    m_receiveWaiting = false;
    if (m_socketOpen)
        m_driver.requestReceiveEvent();
}

void CServerSocket::reportSocketError(std::string_view label, std::string_view detail)
{
    report(label, detail, !m_listener.quietErrors());
}

void CServerSocket::report(std::string_view label, std::string_view detail, bool box, std::optional<int> errorCode,
                           std::string_view advice)
{
    const int code = errorCode.value_or(m_driver.lastError());
    std::string text = "CAsyncSocket error: ";
    text += label;
    text += '\n';
    text += socketErrorText(code);
    text += ", ";
    text += detail.empty() ? std::string_view(texts::kProgramError) : detail;
    if (!advice.empty()) {
        text += '\n';
        text += advice;
    }
    m_terminal.writeClientText(text, false);
    const bool wasConnected = m_connected != 0;
    resetConnection();
    m_lastError = code;
    // A connection lost to an error ends the session as a close does, before the box
    // waits for the user: no game stays live with its clocks running.
    if (wasConnected) {
        m_listener.onSessionEnd();
        m_listener.afterClose();
    }
    if (box)
        m_desktop.messageBox(text);
}

int CServerSocket::checkSocketError(std::string_view label, std::string_view detail)
{
    const int code = m_driver.lastError();
    if (code == 0)
        return 0;
    if (code != kWouldBlock)
        reportSocketError(label, detail);
    return 1;
}

int CServerSocket::connectToServer(std::string_view host, int port)
{
    if (host.empty()) {
        reportSocketError("Program error: No IP address", {});
        return 0;
    }
    m_listener.onSessionReset();
    resetConnection();
    m_port = port;
    m_hostName = host;

    if (!m_driver.create()) {
        reportSocketError("Can not create Pop3", texts::kCannotConnect);
        return 0;
    }
    m_socketOpen = true;
    const std::string connecting = "Connecting " + m_hostName + "  " + std::to_string(m_port);
    m_terminal.writeClientText(connecting + "\nPlease wait ...", true);

    if (m_driver.connect(m_hostName, m_port)) {
        m_connected = 1;
        m_listener.onConnected();
        return 1;
    }
    checkSocketError(connecting, texts::kCannotConnect);
    return m_driver.lastError() == kWouldBlock ? 0 : -1;
}

void CServerSocket::OnConnect(int errorCode)
{
    if (errorCode != 0) {
        // The event's own code is named once (the driver's may be another or none), and a
        // plain line says what to try.
        const std::string label = "OnConnect to " + m_hostName + " " + std::to_string(m_port) + ": ";
        report(label, texts::kCannotConnect, !m_listener.quietErrors(), errorCode,
               connectFailureAdvice(m_hostName, m_port));
        return;
    }
    m_connected = 1;
    m_listener.onConnected();
    m_listener.sendCommand({kNegotiationBlock, kNegotiationBlockSize}, false, true);
}

void CServerSocket::OnReceive(int errorCode)
{
    if (errorCode != 0) {
        reportSocketError("OnReceive nErrorcode", texts::kCannotReadNetwork);
        return;
    }
    if (!m_socketOpen)
        return;
    if (m_inputHolds > 0) {
        m_receiveWaiting = true;
        return;
    }
    const int n = m_driver.receive(m_receiveBuffer.data(), kBufferSize);
    if (n == 0) {
        // The peer closed: end the session as a close event would, so that no game
        // stays live and the user learns that the connection is gone.
        closeSocket();
        m_connected = 0;
        endAfterClose();
    } else if (n < 0) {
        checkSocketError("Receive", texts::kCannotRead);
    } else {
        m_lastError = 0;
        const InputHold hold(*this); // nothing more is read while this read is handled
        m_listener.onServerOutput(m_receiveBuffer.data(), n);
    }
}

void CServerSocket::OnClose(int errorCode)
{
    if (errorCode != 0) {
        reportSocketError("OnClose", texts::kCannotClose);
    } else {
        closeSocket();
        if (checkSocketError("Close", texts::kCannotClose) == 0)
            m_connected = 0;
    }
    endAfterClose();
}

void CServerSocket::endAfterClose()
{
    m_listener.onSessionEnd();
    m_terminal.writeClientText("<Connection was closed>", false);
    m_listener.afterClose();
}

int CServerSocket::Send(const char* bytes, int length)
{
    if (m_sending) {
        m_desktop.messageBox("Sending previous data now, please wait");
        return 0;
    }
    if (length <= 0) {
        m_desktop.messageBox("Send length is ZERO");
        return 0;
    }
    constexpr int kCapacity = kBufferSize - 1;
    if (m_sendOffset + m_sendPending + length > kCapacity) {
        if (m_sendPending + length > kCapacity) {
            // The user's own text did not fit: said in a box even while errors are quiet.
            report(m_sendPending == 0 ? "Send length too large" : "Send buffer has data not sent", {}, true);
            return -1;
        }
        std::memmove(m_sendBuffer.data(), m_sendBuffer.data() + m_sendOffset,
                     static_cast<size_t>(m_sendPending));
        m_sendOffset = 0;
    }
    std::memcpy(m_sendBuffer.data() + m_sendOffset + m_sendPending, bytes, static_cast<size_t>(length));
    m_sendPending += length;
    OnSend(0);
    return m_lastError != 0 ? -1 : length;
}

void CServerSocket::OnSend(int errorCode)
{
    if (errorCode != 0) {
        reportSocketError("OnSend nErrorcode", texts::kCannotSend);
        return;
    }
    if (m_sendPending == 0 || !m_socketOpen)
        return;
    m_sending = 1;
    const int sent = m_driver.send(m_sendBuffer.data() + m_sendOffset, m_sendPending);
    if (sent < 0) {
        // "Would block" keeps the bytes pending for the next writable event.
        checkSocketError("OnSend: Send", texts::kCannotSend);
    } else {
        m_lastError = 0;
        m_sendPending -= sent;
        m_sendOffset = m_sendPending > 0 ? m_sendOffset + sent : 0;
    }
    m_sending = 0;
}

} // namespace marovin::session
