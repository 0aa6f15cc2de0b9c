#pragma once
// The one connection to the game server: connecting, the receive buffer handed to the
// scanner, the send buffer that absorbs partial sends, and the report of socket errors
// (a red line in the terminal and a message box, then the connection is reset).
//
// Losing the connection in any way (the server closes it, or an error resets it) ends the
// session: the live games become not live and their clocks stop.
//
// Server input is read one read at a time: while what was read is being handled (a box
// or question it raised may be open, a pause it asked for may run), further input is
// held in the socket and read, in order, once the handling is over. So no box raised by
// server input ever opens beneath another one, and the network, not memory, absorbs a
// server that sends faster than the user answers.
//
// The socket itself is a SocketDriver; its events arrive through the SocketEventSink
// methods On*. What the connection needs of the session (reset and end it, scan what
// arrived, send the negotiation block) it asks of its ConnectionListener.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "session/socket_driver.h"
#include "support/ports.h"

namespace marovin::session {

constexpr int kBufferSize = 3000;
constexpr int kDefaultPort = 5555;

// IAC DO ECHO, IAC DO SUPPRESS-GO-AHEAD, then IAC WONT for terminal type, window size,
// X display location, new and old environment, terminal speed, remote flow control and
// status: sent once after connecting, followed by "\r\n".
inline constexpr char kNegotiationBlock[] = "\xFF\xFD\x01\xFF\xFD\x03\xFF\xFC\x18\xFF\xFC\x1F\xFF\xFC\x23"
                                            "\xFF\xFC\x27\xFF\xFC\x24\xFF\xFC\x20\xFF\xFC\x21\xFF\xFC\x05";
constexpr int kNegotiationBlockSize = 30;

// The fixed text of a Windows Sockets error code ("Unknown error code N" for the rest).
std::string socketErrorText(int code);

// One plain line after a failed connect: which server and port, and what to try (for this
// machine: starting the practice server).
std::string connectFailureAdvice(std::string_view host, int port);

class ConnectionListener {
public:
    virtual ~ConnectionListener() = default;
    virtual void onSessionReset() = 0;                             // a new connection starts
    virtual void onConnected() = 0;                                // the connection is up
    virtual void onSessionEnd() = 0;                               // the connection closed
    virtual void afterClose() {}                                   // ... and the terminal said so
    virtual void onServerOutput(const char* bytes, int count) = 0; // one read
    virtual void sendCommand(std::string_view text, bool echo, bool appendNewline) = 0;
    // True while a failure of the connection needs no box: the red terminal line tells it
    // and the client reconnects by itself.
    virtual bool quietErrors() { return false; }
};

class CServerSocket : public SocketEventSink {
public:
    CServerSocket(SocketDriver& driver, ConnectionListener& listener, TerminalPort& terminal,
                  DesktopPort& desktop);
    ~CServerSocket() override;
    CServerSocket(const CServerSocket&) = delete;
    CServerSocket& operator=(const CServerSocket&) = delete;

    // 1 connected at once, 0 pending (or failed before connecting, reported), -1 failed.
    int connectToServer(std::string_view host, int port);

    // Appends to the send buffer and pushes it out. Returns length, 0 when refused (a send
    // in progress, or nothing to send; a message box says so) or -1 (the bytes cannot fit,
    // or the socket failed; reported, the connection is reset).
    int Send(const char* bytes, int length);

    bool isConnected() const { return m_connected != 0; }
    // A connect was started and has not ended yet.
    bool isConnecting() const { return m_socketOpen && m_connected == 0; }
    // Closes the socket and forgets everything pending; the port goes back to 5555.
    void resetConnection();

    // A red terminal line, the connection reset (and, when it was up, the session ended
    // as a close ends it), then a message box (none while the listener keeps errors quiet).
    void reportSocketError(std::string_view label, std::string_view detail);
    // 0 when the driver saw no error, 1 otherwise (reported unless it is "would block").
    int checkSocketError(std::string_view label, std::string_view detail);

    // ---- holding server input (see InputHold and InputOpening) ----
    // While input is held, a readable event is left unanswered: the bytes wait in the
    // socket and are read once the last hold is released.
    void holdInput() { ++m_inputHolds; }
    void releaseInput();
    bool inputHeld() const { return m_inputHolds > 0; }
    // Lifts every hold until restoreInputHolds is given the number returned.
    int openInput();
    void restoreInputHolds(int holds);

    void OnConnect(int errorCode) override;
    void OnReceive(int errorCode) override;
    void OnSend(int errorCode) override;
    void OnClose(int errorCode) override;

    int port() const { return m_port; }
    const std::string& hostName() const { return m_hostName; }
    int sendOffset() const { return m_sendOffset; }
    int sendPending() const { return m_sendPending; }
    int lastError() const { return m_lastError; }

private:
    void closeSocket();
    // code: the error to name (the driver's last one when none is given); advice: a line
    // added after the text.
    void report(std::string_view label, std::string_view detail, bool box, std::optional<int> code = std::nullopt,
                std::string_view advice = {});
    void endAfterClose();
    void resumeReceiving();

    SocketDriver& m_driver;
    ConnectionListener& m_listener;
    TerminalPort& m_terminal;
    DesktopPort& m_desktop;

    std::array<char, kBufferSize> m_receiveBuffer{};
    std::array<char, kBufferSize> m_sendBuffer{};
    bool m_socketOpen = false;
    int m_connected = 0;
    int m_sendOffset = 0;
    int m_sendPending = 0;
    int m_sending = 0;
    int m_lastError = 0;
    std::string m_hostName;
    int m_port = kDefaultPort;
    int m_inputHolds = 0;
    bool m_receiveWaiting = false; // a readable event came while input was held
};

// Holds the connection's input for its lifetime. Reading takes one while the scanner
// handles what was read.
class InputHold {
public:
    explicit InputHold(CServerSocket& connection) : m_connection(connection) { connection.holdInput(); }
    ~InputHold() { m_connection.releaseInput(); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

private:
    CServerSocket& m_connection;
};

// Lets the connection's input through for its lifetime, whatever holds it: for a wait whose
// end the server's next bytes bring (a command script waiting for the ready prompt). Input
// read meanwhile is handled there, beneath the waiting code.
class InputOpening {
public:
    explicit InputOpening(CServerSocket& connection)
        : m_connection(connection), m_holds(connection.openInput())
    {
    }
    ~InputOpening() { m_connection.restoreInputHolds(m_holds); }
    InputOpening(const InputOpening&) = delete;
    InputOpening& operator=(const InputOpening&) = delete;

private:
    CServerSocket& m_connection;
    int m_holds;
};

} // namespace marovin::session
