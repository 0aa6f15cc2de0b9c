#pragma once
// The program's start-up: the application object's initialisation, step by step, and
// the process-wide records it owns for the whole run.

#include <QPointer>
#include <QSettings>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "options/options.h"
#include "platform/system_metrics.h"
#include "support/ports.h"
#include "session/who_list.h"

namespace marovin::windows {
class CAutoLoginDlg;
class CMainFrame;
class GameCommands;
class EngineCommands;
class PrintCommands;
class DatabaseCommands;
class GameDocuments;
class PositionClipboard;
class KeyboardCommands;
class WindowList;
class RecentFileList;
} // namespace marovin::windows

namespace marovin::shell {

// What the session layer plugs into the start-up. Unset hooks do nothing (and the
// socket layer counts as ready).
struct StartupHooks {
    std::function<void()> resetSession;
    std::function<bool()> initialiseSockets;
    std::function<void()> createConnection;
};

class ClientSession;

class CMarovinApp {
public:
    CMarovinApp(DesktopPort& desktop, PlatformDefaults platform, SystemMetrics metrics, std::string settingsPath,
                StartupHooks hooks = {});
    ~CMarovinApp();
    CMarovinApp(const CMarovinApp&) = delete;
    CMarovinApp& operator=(const CMarovinApp&) = delete;

    // Runs the start-up. False when the program must end (a screen narrower than 700
    // pixels, or no socket layer); the user has been told why.
    bool initInstance();

    Options& options() { return m_options; }
    const SettingsFile& settingsFile() const { return m_settings; }
    const SystemMetrics& metrics() const { return m_metrics; }
    const PlatformDefaults& platform() const { return m_platform; }
    session::WhoRecord* whoRecords() const { return m_whoRecords.get(); }
    windows::CMainFrame* mainFrame() const { return m_mainFrame.get(); }
    windows::RecentFileList* recentFiles() const { return m_recentFiles.get(); }
    windows::GameDocuments* gameDocuments() const { return m_gameDocuments.get(); }
    windows::PositionClipboard* positionClipboard() const { return m_positionClipboard.get(); }
    // The session with the server (created at start-up).
    ClientSession* clientSession() const { return m_session.get(); }
    windows::DatabaseCommands* databaseCommands() const { return m_databaseCommands.get(); }
    windows::PrintCommands* printCommands() const { return m_printCommands.get(); }

    // Opens each game file in a game window (the files named on the command line).
    void openFiles(const std::vector<std::string>& paths);

    // Makes the list font from outputTextFormat; when applying, sets it on its users.
    // An empty face name leaves the list font as it was.
    void buildListFont(bool apply);
    // The login window, modal. When it is open already (a failed registration while it
    // shows), it turns to asking for the password again instead.
    void openLoginWindow();
    const QFont* listFont() const { return m_listFont.get(); }

private:
    DesktopPort& m_desktop;
    PlatformDefaults m_platform;
    SystemMetrics m_metrics;
    SettingsFile m_settings;
    StartupHooks m_hooks;
    Options m_options{};
    session::WhoRecords m_whoRecords;
    std::unique_ptr<QSettings> m_qtSettings;
    std::unique_ptr<windows::RecentFileList> m_recentFiles;
    std::unique_ptr<QFont> m_listFont;
    std::unique_ptr<ClientSession> m_session;
    std::unique_ptr<windows::CMainFrame> m_mainFrame;
    std::unique_ptr<windows::GameCommands> m_gameCommands;
    std::unique_ptr<windows::EngineCommands> m_engineCommands;
    std::unique_ptr<windows::PrintCommands> m_printCommands;
    std::unique_ptr<windows::DatabaseCommands> m_databaseCommands;
    std::unique_ptr<windows::GameDocuments> m_gameDocuments;
    std::unique_ptr<windows::PositionClipboard> m_positionClipboard;
    std::unique_ptr<windows::KeyboardCommands> m_keyboardCommands;
    std::unique_ptr<windows::WindowList> m_windowList;
    QPointer<windows::CAutoLoginDlg> m_loginWindow;
};

} // namespace marovin::shell
