#pragma once
// The session in the running program: the client context with the Qt socket, the Qt
// clock and the desktop's ports, tied to the main frame once it exists. It makes the
// main frame's Connect and Disconnect commands work, sends what is typed into the input
// line, runs the terminal's one-second tick and keeps the Connect button pressed while
// connected.

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/qt_clock.h"
#include "platform/qt_notifier.h"
#include "platform/qt_socket.h"
#include "platform/qt_sound.h"
#include "session/client_context.h"
#include "session/game_updates.h"
#include "widgets/font_colour_dialog.h"
#include "frame/qt_client_desktop.h"
#include "platform/system_metrics.h"

namespace marovin::board {
class QtGameWindows;
}

namespace marovin::windows {
class AlertCommands;
class CMainFrame;
class CommandWindows;
class FrameTools;
class ServerCommands;
class SessionInputHost;
} // namespace marovin::windows

namespace marovin::shell {

class COutputView;

// A server and the account that answers its login prompts (empty: the user types them).
struct ConnectRequest {
    std::string host; // Big5
    int port = kDefaultServerPort;
    std::string loginName;
    std::string password;
};

class ClientSession : public QObject {
    Q_OBJECT
public:
    // The options record is the live one; it, the settings file and desktop outlive the
    // session.
    ClientSession(Options& options, const SettingsFile& settings, DesktopPort& desktop);
    ~ClientSession() override;

    session::ClientContext& context() { return *m_context; }
    QtClientDesktop& clientDesktop() { return m_client; }
    platform::QtSocketDriver& socketDriver() { return m_driver; }
    platform::QtSoundPlayer& sounds() { return m_sounds; }
    platform::QtNotifier& notifier() { return m_notifier; }
    // Connection and alert commands, the reconnect indicator (null until attached).
    windows::AlertCommands* alertCommands() const;
    // The windows of command answers (null until attached).
    windows::CommandWindows* commandWindows() const { return m_commandWindows.get(); }
    // The main frame's handler groups (null until attached).
    windows::ServerCommands* serverCommands() const;
    windows::FrameTools* frameTools() const;

    // Ties the session to the main frame: its terminal, input line and commands, and the
    // game windows in its area (laid out by the system font's metrics).
    void attach(windows::CMainFrame& frame, const SystemMetrics& metrics);
    // The game windows (null until attached).
    board::QtGameWindows* gameWindows() const { return m_gameWindows.get(); }
    // What Connect opens when not connected, and what the session opens after a failed
    // registration: the login window.
    void setLoginWindowOpener(std::function<void()> open);
    // Runs after the terminal settings changed the text formats (the list font follows).
    void setFormatsChangedHook(std::function<void()> hook) { m_formatsChanged = std::move(hook); }

    // "Connect to OMRA": connected, the connection is closed (which ends the session);
    // otherwise the login window opens.
    void connectCommand();
    // "&Terminal Window Settings": the dialog; on a change every format is applied anew.
    void terminalSettingsCommand();
    // "&Chess Board Settings": the dialog, changing every board live.
    void boardSettingsCommand();
    // "<quit> Disconncet from OMRA": byte 04, then "\r\nquit\r\n". The connection ends for
    // good: the client does not reconnect, and retries under way stop.
    void disconnectCommand();
    // Connects with the account that answers the login prompts (empty: the user types it).
    int connectTo(const ConnectRequest& request);
    // The program is ending: nothing is scanned or written any more, the socket closes.
    void shutdown();

signals:
    void connectionChanged(bool connected);

private:
    class TerminalLink;
    class EventRelay;

    void openLoginWindow();
    void refreshConnectionState();

    Options& m_options;
    const SettingsFile& m_settings;
    FontColourMemory m_fontColourMemory;
    std::function<void()> m_formatsChanged;
    std::unique_ptr<TerminalLink> m_terminal;
    platform::QtSocketDriver m_driver;
    platform::QtClock m_clock;
    platform::QtSoundPlayer m_sounds;
    platform::QtNotifier m_notifier;
    QtClientDesktop m_client;
    session::GameUpdates m_games;
    std::unique_ptr<session::ClientContext> m_context;
    std::unique_ptr<EventRelay> m_relay;
    std::unique_ptr<windows::SessionInputHost> m_inputHost;
    std::unique_ptr<board::QtGameWindows> m_gameWindows; // goes before the context
    std::unique_ptr<windows::CommandWindows> m_commandWindows;
    QPointer<windows::ServerCommands> m_serverCommands; // owned by the frame
    QPointer<windows::FrameTools> m_frameTools;         // owned by the frame
    QPointer<windows::AlertCommands> m_alertCommands;   // owned by the frame
    QPointer<windows::CMainFrame> m_frame;
    std::function<void()> m_openLogin;
    bool m_connected = false;
};

} // namespace marovin::shell
