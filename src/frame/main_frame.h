#pragma once
// The main window: menu bar, tool bar, status bar, the input-line bar and the area that
// holds the terminal and the game windows. One QAction per command, created disabled; the
// handler groups (ServerCommands, FrameTools, CommandWindows, the session) enable the ones
// they carry out, so a command whose work comes later stays greyed.

#include <QAction>
#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPointer>

#include <array>
#include <functional>
#include <vector>

#include "terminal/input_bar.h"
#include "options/options.h"
#include "terminal/tell_window.h"
#include "terminal/terminal_frame.h"
#include "session/client_context.h"
#include "support/ports.h"
#include "frame/lock_keys.h"
#include "windows/who_window.h"

namespace marovin::windows {

class RecentFileList;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(Options& options, const SettingsFile& settings, DesktopPort& desktop, RecentFileList& recentFiles,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The command with this object name ("actionWhoWindow", …), or null.
    QAction* action(const QString& name) const { return m_actions.value(name); }
    // The command with this numeric id, or null.
    QAction* commandById(int id) const { return m_actionsById.value(id); }
    QMdiArea* mdiArea() const { return m_mdi; }
    shell::CInputBar* inputBar() const { return m_inputBar; }
    shell::CTerminalFrame* terminal() const { return m_terminal; }
    shell::CTellWindow* tellWindow() const { return m_tellWindow; }
    // The who window, or null until it is first needed (shown or given a list).
    CWhoDlg* whoWindow() const { return m_whoWindow; }
    // The who window, made now when it is not yet (whoWindowMade tells); null before
    // createModelessWindows.
    CWhoDlg* ensureWhoWindow();
    QToolBar* toolBar() const { return m_toolBar; }
    // The menu of the menu bar with this title ("&Option"), or null.
    QMenu* menuTitled(const QString& title) const;
    const std::array<QLabel*, 5>& statusPanes() const { return m_statusPanes; }
    bool closing() const { return m_closing; }
    // The CAP and NUM panes light up while their lock is on; they stay grey while unknown.
    void showLockKeys(const LockKeyState& state);

    // Start-up: the terminal window (maximised when its stored placement is unset), then
    // the tell window, hidden; the who window is made when first needed, so that a start
    // does not pay for a window most sessions open late or never.
    void openTerminal();
    // The who window works on whoRecords and sends through context.
    void createModelessWindows(session::WhoRecord* whoRecords, session::ClientContext& context);
    // The list font on the status bar and the who window's list; windows opened later
    // take it too.
    void applyListFont(const QFont& font);
    const QFont& listFont() const { return m_listFont; }
    // Called when the frame closes, before the settings are written; false keeps it open
    // (a game window refused to close).
    void setCloseGameWindows(std::function<bool()> closeAll) { m_closeGameWindows = std::move(closeAll); }
    // What a chosen entry of the recent file list does (unset: the entries are shown only).
    void setRecentFileOpener(std::function<void(const QString&)> open);
    // The recent file list changed: the menu shows it anew.
    void refreshRecentFiles() { rebuildRecentFiles(); }
    // The boards (screen coordinates) of the games the user plays, which the tell window
    // does not cover when it opens.
    void setPlayedBoards(std::function<std::vector<QRect>()> boards) { m_playedBoards = std::move(boards); }

public slots:
    // "Connect to OMRA": opens the login window once it exists (connectRequested).
    void onConnect();
    // Command 104: the input line gets the focus when its bar is visible.
    void focusInputLine();
    // Posts command 104: the input line gets the focus once the current event is handled.
    void requestInputFocus();
    void showFastKeyDialog();
    void showWhoWindow();
    void showTellWindow();
    void showOutputWindowsDialog();
    void saveSettings();
    void showAbout();

signals:
    void connectRequested();
    void whoWindowMade(marovin::windows::CWhoDlg* who);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The bar's game-window buttons show while a window other than the terminal is open.
    void updateGameButtons();
    void buildMenus();
    void buildFileMenu();
    void buildEditMenu();
    void buildOptionMenu();
    void buildWindowMenu();
    void buildGameMenu();
    void buildCommandMenu();
    void buildHelpMenu();
    void buildToolBar();
    void buildStatusBar();
    void rebuildRecentFiles();
    void updateEditCommands();
    // The note field of a game window when it has the keyboard, else null.
    QPlainTextEdit* focusedNoteField() const;
    // Adds a command to menu (null: to no menu). Text is Big5 with an optional "\t" part.
    QAction* addCommand(QMenu* menu, const QString& name, std::string_view text, int id = 0,
                        const QList<QKeySequence>& keys = {});

    Options& m_options;
    const SettingsFile& m_settings;
    DesktopPort& m_desktop;
    RecentFileList& m_recentFiles;
    QMdiArea* m_mdi;
    shell::CInputBar* m_inputBar;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_recentMenu = nullptr;
    std::array<QLabel*, 5> m_statusPanes{};
    QPointer<shell::CTerminalFrame> m_terminal;
    QPointer<shell::CTellWindow> m_tellWindow;
    QPointer<CWhoDlg> m_whoWindow;
    session::WhoRecord* m_whoRecords = nullptr;
    session::ClientContext* m_context = nullptr;
    QFont m_listFont;
    bool m_listFontSet = false;
    QHash<QString, QAction*> m_actions;
    QHash<int, QAction*> m_actionsById;
    std::function<bool()> m_closeGameWindows;
    std::function<void(const QString&)> m_openRecentFile;
    std::function<std::vector<QRect>()> m_playedBoards;
    bool m_firstShow = true;
    bool m_gameButtonsDue = false;
    bool m_closing = false;
    LockKeyState m_lockKeys;
};

} // namespace marovin::windows
