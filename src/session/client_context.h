#pragma once
// The process-wide records of the client, passed by reference to everything that acts on
// the session: the options record, the session state, the game side, the connection, and
// the ports through which the core reaches the desktop.

#include <string_view>

#include "model/game_ports.h"
#include "options/alert_settings.h"
#include "session/alert_ports.h"
#include "session/client_ports.h"
#include "session/game_list.h"
#include "session/reconnect.h"
#include "session/server_socket.h"
#include "session/session_state.h"
#include "options/options.h"
#include "support/ports.h"

namespace marovin::session {

struct ClientPorts {
    TerminalPort& terminal;
    DesktopPort& desktop;
    ClockPort& clock;
    ClientDesktopPort& client;
    GamePort& games;
};

class ClientContext : private ConnectionListener {
public:
    // The options record is the live one (owned by the application); the driver is the
    // platform's socket. Both must outlive the context.
    ClientContext(Options& options, const ClientPorts& ports, SocketDriver& driver);
    ClientContext(const ClientContext&) = delete;
    ClientContext& operator=(const ClientContext&) = delete;

    Options& options;
    TerminalPort& terminal;
    DesktopPort& desktop;
    ClockPort& clock;
    ClientDesktopPort& client;
    GamePort& games;
    SessionState session;
    CServerSocket connection;
    // What the games read of the session and the options (kept up to date by the game side).
    model::GameSettings gameSettings;
    // Every game window's game, newest first.
    GameList gameList;
    // Which sounds, notifications and reconnects the user wants (kept by the desktop).
    AlertSettings alerts;
    // The account and games to take up again when the connection is lost.
    ReconnectState reconnect;

    // The desktop's sounds and notifications; until set (and in tests that set none) they
    // do nothing. Not owned; they must outlive the context.
    void setAlertPorts(SoundPort* sounds, NotificationPort* notifications);
    SoundPort& sounds() const { return *m_sounds; }
    NotificationPort& notifications() const { return *m_notifications; }

private:
    SoundPort* m_sounds;
    NotificationPort* m_notifications;

    void onSessionReset() override;
    void onConnected() override;
    void onSessionEnd() override;
    void afterClose() override;
    void onServerOutput(const char* bytes, int count) override;
    void sendCommand(std::string_view text, bool echo, bool appendNewline) override;
    bool quietErrors() override;
};

// Written after the echo of a command that could not be sent (one terminal row).
inline constexpr char kNotConnectedText[] =
    "Not connected, nothing was sent: press Connect (the first button) or Ctrl+L.";

// The only way to send to the server. Sends text (and "\r\n" after it when asked and it
// does not end in a line feed) when connected, queues the kind of a who request, turns the
// ready indicator to "command sent" and echoes the text when asked, one row per line
// (always when not connected, otherwise only with the option echoTypedText). When not
// connected, an echoed command is followed by the warning kNotConnectedText. Returns 0 for
// an empty text or when not connected, otherwise what the connection's Send returned for
// the text.
int sendCommand(ClientContext& context, std::string_view text, bool echo, bool appendNewline);

// Ctrl+Break in the input line: the bytes 03, CR, LF, without echo.
void sendBreak(ClientContext& context);

} // namespace marovin::session
