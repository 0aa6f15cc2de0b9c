#include "frame/client_session.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include "frame/board_clearance.h"
#include "game_window/board_settings_dialog.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "model/game.h"
#include "platform/big5_text.h"
#include "session/command_list.h"
#include "session/command_script.h"
#include "session/login.h"
#include "session/reconnect.h"
#include "session/server_scanner.h"
#include "terminal/input_bar.h"
#include "terminal/output_view.h"
#include "terminal/terminal_settings_dialog.h"
#include "terminal/tell_window.h"
#include "terminal/terminal_frame.h"
#include "support/paths.h"
#include "frame/alert_commands.h"
#include "frame/command_windows.h"
#include "frame/frame_tools.h"
#include "frame/main_frame.h"
#include "frame/server_commands.h"
#include "terminal/session_input_host.h"

namespace marovin::shell {

namespace {

// A scrolling step asked for by the input line or its up/down control.
void scrollTerminal(COutputView& view, TerminalScroll step)
{
    switch (step) {
    case TerminalScroll::LineUp:
        view.scrollLines(-1);
        break;
    case TerminalScroll::LineDown:
        view.scrollLines(1);
        break;
    case TerminalScroll::PageUp:
        view.scrollPages(-1);
        break;
    case TerminalScroll::PageDown:
        view.scrollPages(1);
        break;
    case TerminalScroll::Top:
        view.scrollToOldest();
        break;
    case TerminalScroll::Bottom:
    case TerminalScroll::Newest:
        view.showNewest();
        break;
    }
}

} // namespace

// The terminal as the session sees it: the output view once it exists; before that (and
// after it is gone) every write is dropped.
class ClientSession::TerminalLink : public TerminalPort {
public:
    void attach(COutputView* view) { m_view = view; }
    void writeOutputLine(TextFormatId format, std::string_view text) override
    {
        if (m_view)
            m_view->writeOutputLine(format, text);
    }
    void writeServerLine(std::string_view text) override
    {
        if (m_view)
            m_view->writeServerLine(text);
    }
    void writeClientText(std::string_view text, bool normal) override
    {
        if (m_view)
            m_view->writeClientText(text, normal);
    }

private:
    QPointer<COutputView> m_view;
};

// The socket's events go to the connection; afterwards the Connect button follows the
// connection's state.
class ClientSession::EventRelay : public session::SocketEventSink {
public:
    EventRelay(session::SocketEventSink& target, std::function<void()> after)
        : m_target(target), m_after(std::move(after))
    {
    }
    void OnConnect(int errorCode) override { relay(&SocketEventSink::OnConnect, errorCode); }
    void OnReceive(int errorCode) override { relay(&SocketEventSink::OnReceive, errorCode); }
    void OnSend(int errorCode) override { relay(&SocketEventSink::OnSend, errorCode); }
    void OnClose(int errorCode) override { relay(&SocketEventSink::OnClose, errorCode); }

private:
    void relay(void (SocketEventSink::*event)(int), int errorCode)
    {
        (m_target.*event)(errorCode);
        m_after();
    }

    session::SocketEventSink& m_target;
    std::function<void()> m_after;
};

ClientSession::ClientSession(Options& options, const SettingsFile& settings, DesktopPort& desktop)
    : m_options(options), m_settings(settings), m_terminal(std::make_unique<TerminalLink>()),
      m_sounds(QString::fromStdString(assetFolder() + "sounds/"))
{
    const session::ClientPorts ports{*m_terminal, desktop, m_clock, m_client, m_games};
    m_context = std::make_unique<session::ClientContext>(options, ports, m_driver);
    m_context->alerts = LoadAlertSettings(dataFolder());
    m_sounds.setVolume(m_context->alerts.volume);
    m_context->setAlertPorts(&m_sounds, &m_notifier);
    m_games.attach(*m_context);
    m_relay = std::make_unique<EventRelay>(m_context->connection, [this] { refreshConnectionState(); });
    m_driver.setEventSink(m_relay.get());
    session::resetSession(*m_context);
}

ClientSession::~ClientSession()
{
    shutdown();
    m_driver.setEventSink(nullptr);
}

void ClientSession::attach(windows::CMainFrame& frame, const SystemMetrics& metrics)
{
    m_frame = &frame;
    CTerminalFrame* terminal = frame.terminal();
    COutputView* view = terminal->view();
    m_terminal->attach(view);
    m_client.attach(&frame);
    // The session asks for the login window again after "Passwords do not match".
    m_client.setLoginWindowOpener([this] { openLoginWindow(); });
    view->setLoggedInQuery([this] { return session::isLoggedIn(m_context->session); });
    CInputBar* bar = frame.inputBar();
    CInputLine* input = bar->inputLine();
    m_inputHost = std::make_unique<windows::SessionInputHost>(
        *m_context, [view](TerminalScroll step) { scrollTerminal(*view, step); });
    bar->setHost(m_inputHost.get());
    InputLineLink link;
    link.insertText = [input](const QString& text) { input->insert(text); };
    link.canPaste = [input] { return !input->isReadOnly() && !QApplication::clipboard()->text().isEmpty(); };
    link.pasteClipboard = [input] {
        input->setFocus();
        input->pasteClipboardIntoInput();
    };
    link.requestFocus = [this] {
        if (m_frame)
            m_frame->requestInputFocus();
    };
    link.markReady = [this] { m_client.setStatusLabel(session::kLabelReady, std::nullopt); };
    view->setInputLink(std::move(link));
    // Games open as child windows of the frame; closing the program closes them first.
    // They never keep the keyboard: it goes back to the input line, with any key typed.
    m_gameWindows = std::make_unique<board::QtGameWindows>(frame.mdiArea(), *m_context, metrics);
    board::InputLineLink gameInput;
    gameInput.requestFocus = [this] {
        if (m_frame)
            m_frame->requestInputFocus();
    };
    gameInput.typeKey = [input](QKeyEvent& key) {
        input->setFocus(Qt::OtherFocusReason);
        QKeyEvent copy(key.type(), key.key(), key.modifiers(), key.text(), key.isAutoRepeat(),
                       static_cast<quint16>(key.count()));
        QCoreApplication::sendEvent(input, &copy);
    };
    m_gameWindows->setInputLineLink(std::move(gameInput));
    frame.setCloseGameWindows([this] { return m_gameWindows->closeAll(); });
    // The board of a game the user plays is never hidden by a window floating above it.
    frame.setPlayedBoards([this] { return windows::boardRects(*m_gameWindows, true); });
    connect(m_gameWindows.get(), &board::QtGameWindows::playedGameOpened, this, [this](board::CGameFrame* game) {
        // Once laid out, when the board has its final place and the game has said whether
        // the user plays it (a window of the playing size may also be a preview).
        QTimer::singleShot(0, game, [this, game] {
            if (m_frame && game->isVisible() && game->game() && game->game()->participation == model::kPlaying)
                windows::clearBoardOfWindows(*m_frame, QRect(game->view()->mapToGlobal(QPoint(0, 0)),
                                                              game->view()->size()));
        });
    });
    m_commandWindows = std::make_unique<windows::CommandWindows>(frame, *m_context);
    m_client.setCommandWindows(m_commandWindows.get());
    m_serverCommands = new windows::ServerCommands(frame, *m_context, m_settings);
    m_frameTools =
        new windows::FrameTools(frame, *m_context, m_settings, dataFolder() + std::string(session::kCommandFileName));
    m_alertCommands = new windows::AlertCommands(frame, *m_context, m_sounds, m_gameWindows.get());
    connect(&m_notifier, &platform::QtNotifier::activated, m_alertCommands.data(),
            &windows::AlertCommands::showNoticeTarget);
    terminal->setTickHandler([this] {
        session::terminalTimerTick(*m_context);
        refreshConnectionState();
    });

    QAction* connectAction = frame.action(QStringLiteral("actionConnect"));
    connectAction->setEnabled(true);
    connectAction->setCheckable(true);
    connect(connectAction, &QAction::triggered, &frame, &windows::CMainFrame::onConnect);
    connect(&frame, &windows::CMainFrame::connectRequested, this, &ClientSession::connectCommand);
    QAction* disconnectAction = frame.action(QStringLiteral("actionDisconnect"));
    disconnectAction->setEnabled(true);
    connect(disconnectAction, &QAction::triggered, this, &ClientSession::disconnectCommand);
    QAction* settingsAction = frame.action(QStringLiteral("actionTerminalSettings"));
    settingsAction->setEnabled(true);
    connect(settingsAction, &QAction::triggered, this, &ClientSession::terminalSettingsCommand);
    QAction* boardAction = frame.action(QStringLiteral("actionBoardSettings"));
    boardAction->setEnabled(true);
    connect(boardAction, &QAction::triggered, this, &ClientSession::boardSettingsCommand);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ClientSession::shutdown);
    refreshConnectionState();
}

windows::ServerCommands* ClientSession::serverCommands() const
{
    return m_serverCommands;
}

windows::AlertCommands* ClientSession::alertCommands() const
{
    return m_alertCommands;
}

windows::FrameTools* ClientSession::frameTools() const
{
    return m_frameTools;
}

void ClientSession::setLoginWindowOpener(std::function<void()> open)
{
    m_openLogin = std::move(open);
    // The session posts it too, when a registration's passwords do not match.
    m_client.setLoginWindowOpener(m_openLogin);
}

void ClientSession::connectCommand()
{
    if (m_context->connection.isConnected()) {
        session::noteUserDisconnect(*m_context);
        m_context->connection.OnClose(0);
    } else {
        openLoginWindow();
    }
    refreshConnectionState();
}

void ClientSession::openLoginWindow()
{
    if (m_openLogin)
        m_openLogin();
}

int ClientSession::connectTo(const ConnectRequest& request)
{
    session::stopReconnecting(*m_context); // the user's own connection replaces the retries
    session::rememberAccount(m_context->session, request.loginName, request.password);
    const int result = m_context->connection.connectToServer(request.host, request.port);
    refreshConnectionState();
    return result;
}

void ClientSession::terminalSettingsCommand()
{
    if (!m_frame)
        return;
    CTerminalSettingsDlg dialog(m_options, m_settings, m_fontColourMemory, m_frame);
    if (dialog.exec() == QDialog::Accepted && dialog.changed()) {
        if (m_formatsChanged)
            m_formatsChanged();
        m_frame->terminal()->view()->reformat();
        m_frame->inputBar()->applyInputFormat(m_options);
        if (m_frame->tellWindow())
            m_frame->tellWindow()->refreshTellColours();
    }
    m_frame->focusInputLine();
}

void ClientSession::boardSettingsCommand()
{
    if (!m_frame || !m_gameWindows)
        return;
    board::CBoardSettingsDlg dialog(*m_gameWindows, m_settings, m_fontColourMemory, m_frame);
    // The preview opens at the area's right edge: the dialog keeps to its left.
    dialog.move(m_frame->mdiArea()->mapToGlobal(QPoint(0, 0)));
    dialog.exec();
    m_frame->focusInputLine();
}

void ClientSession::disconnectCommand()
{
    session::noteUserDisconnect(*m_context);
    session::sendCommand(*m_context, "\x04\r\nquit\r\n", true, true);
    refreshConnectionState();
}

void ClientSession::shutdown()
{
    session::noteUserDisconnect(*m_context);
    m_context->session.outputSuspended = 1;
    if (m_frame && m_frame->terminal())
        m_frame->terminal()->view()->setOutputSuspended(true);
    m_context->connection.resetConnection();
    if (m_frame)
        m_frame->inputBar()->setHost(nullptr);
}

void ClientSession::refreshConnectionState()
{
    const bool connected = m_context->connection.isConnected();
    // A click toggles the button by itself: it is set back to the state it stands for.
    if (m_frame)
        m_frame->action(QStringLiteral("actionConnect"))->setChecked(connected);
    if (m_serverCommands)
        m_serverCommands->refreshEnabled();
    if (m_alertCommands)
        m_alertCommands->refresh();
    if (connected == m_connected)
        return;
    m_connected = connected;
    emit connectionChanged(connected);
}

} // namespace marovin::shell
