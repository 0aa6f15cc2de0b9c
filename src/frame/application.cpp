#include "frame/application.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QTimer>

#include "platform/platform_defaults.h"
#include "platform/qt_desktop.h"
#include "frame/client_session.h"
#include "terminal/input_bar.h"
#include "frame/startup_texts.h"
#include "support/guarded_file.h"
#include "windows/auto_login_dialog.h"
#include "frame/engine_commands.h"
#include "frame/database_commands.h"
#include "frame/game_commands.h"
#include "frame/game_documents.h"
#include "frame/position_clipboard.h"
#include "frame/keyboard_commands.h"
#include "frame/window_list.h"
#include "frame/print_commands.h"
#include "frame/main_frame.h"
#include "frame/recent_files.h"

namespace marovin::shell {

CMarovinApp::CMarovinApp(DesktopPort& desktop, PlatformDefaults platform, SystemMetrics metrics,
                         std::string settingsPath, StartupHooks hooks)
    : m_desktop(desktop), m_platform(std::move(platform)), m_metrics(metrics),
      m_settings(std::move(settingsPath), desktop), m_hooks(std::move(hooks))
{
}

// The session stops first (nothing more is scanned or drawn); then the main frame goes:
// its windows refer to the records below.
CMarovinApp::~CMarovinApp()
{
    if (m_session)
        m_session->shutdown();
    m_windowList.reset();
    m_keyboardCommands.reset();
    m_positionClipboard.reset();
    m_gameDocuments.reset();
    m_gameCommands.reset();
    m_printCommands.reset();
    m_databaseCommands.reset(); // it lets the game windows' explorers go
    m_mainFrame.reset();
    m_session.reset();
}

bool CMarovinApp::initInstance()
{
    if (m_platform.screenWidth < kMinimumScreenWidth) {
        // There is no display control panel to start here: the message is all we can do.
        m_desktop.messageBox(kScreenTooNarrowText);
        return false;
    }
    // The square-to-row and square-to-column tables are built at compile time
    // (model/position.h), and the system-font metrics were measured by the caller.
    m_whoRecords = session::allocateWhoRecords();
    // Without a settings file this is the first start: the login window opens once, with
    // the practice server (the first of the list) selected, so that a new user sees where
    // to begin.
    const bool firstStart = !fileExists(m_settings.path());
    m_settings.load(m_options, m_platform);
    if (m_hooks.resetSession)
        m_hooks.resetSession();
    if (m_hooks.initialiseSockets && !m_hooks.initialiseSockets()) {
        m_desktop.messageBox(kSocketsFailedText);
        return false;
    }
    if (m_hooks.createConnection)
        m_hooks.createConnection();
    m_session = std::make_unique<ClientSession>(m_options, m_settings, m_desktop);
    m_session->setFormatsChangedHook([this] { buildListFont(true); });

    m_qtSettings = std::make_unique<QSettings>(QStringLiteral("Dozavave"), QStringLiteral("Marovin"));
    m_recentFiles = std::make_unique<windows::RecentFileList>(*m_qtSettings);

    m_mainFrame = std::make_unique<windows::CMainFrame>(m_options, m_settings, m_desktop, *m_recentFiles);
    if (auto* qtDesktop = dynamic_cast<platform::QtDesktop*>(&m_desktop))
        qtDesktop->setParentWidget(m_mainFrame.get());
    m_mainFrame->show();
    m_mainFrame->openTerminal();
    m_mainFrame->focusInputLine();
    m_mainFrame->createModelessWindows(m_whoRecords.get(), m_session->context());
    m_session->attach(*m_mainFrame, m_metrics);
    m_gameCommands = std::make_unique<windows::GameCommands>(*m_mainFrame, *m_session->gameWindows());
    m_gameDocuments =
        std::make_unique<windows::GameDocuments>(*m_mainFrame, *m_session->gameWindows(), *m_recentFiles);
    m_engineCommands = std::make_unique<windows::EngineCommands>(*m_mainFrame, *m_session->gameWindows());
    m_printCommands = std::make_unique<windows::PrintCommands>(*m_mainFrame, *m_session->gameWindows());
    m_databaseCommands = std::make_unique<windows::DatabaseCommands>(*m_mainFrame, *m_session->gameWindows());
    m_positionClipboard = std::make_unique<windows::PositionClipboard>(*m_mainFrame, *m_session->gameWindows());
    m_keyboardCommands = std::make_unique<windows::KeyboardCommands>(*m_mainFrame, *m_session->gameWindows());
    m_windowList = std::make_unique<windows::WindowList>(*m_mainFrame);
    m_gameCommands->setMerger([documents = m_gameDocuments.get()](board::CGameFrame& window) { documents->merge(window); });
    m_session->context().terminal.writeClientText(kStartHintText, true);
    m_session->setLoginWindowOpener([this] { openLoginWindow(); });
    QAction* login = m_mainFrame->action(QStringLiteral("actionLoginDialog"));
    login->setEnabled(true);
    QObject::connect(login, &QAction::triggered, m_mainFrame.get(), [this] { openLoginWindow(); });
    // A script still waiting for the server's prompt must not keep an ended program alive.
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, m_session.get(), &ClientSession::shutdown);
    buildListFont(true);
    if (m_options.showLoginAtStart || firstStart)
        QTimer::singleShot(0, m_mainFrame.get(), &windows::CMainFrame::onConnect);
    return true;
}

void CMarovinApp::openLoginWindow()
{
    if (!m_mainFrame || !m_session)
        return;
    if (m_loginWindow) {
        m_loginWindow->showMode();
        m_loginWindow->raise();
        m_loginWindow->activateWindow();
        return;
    }
    windows::CAutoLoginDlg dialog(
        m_session->context(), [this] { m_settings.save(m_options); }, m_mainFrame.get());
    m_loginWindow = &dialog;
    dialog.exec();
    m_mainFrame->focusInputLine();
}

void CMarovinApp::openFiles(const std::vector<std::string>& paths)
{
    if (!m_gameDocuments)
        return;
    for (const std::string& path : paths)
        m_gameDocuments->openFile(QFile::decodeName(path.c_str()));
}

void CMarovinApp::buildListFont(bool apply)
{
    const auto font = platform::fontFromTextFormat(m_options.outputTextFormat);
    if (!font)
        return;
    m_listFont = std::make_unique<QFont>(*font);
    if (apply && m_mainFrame)
        m_mainFrame->applyListFont(*m_listFont);
}

} // namespace marovin::shell
