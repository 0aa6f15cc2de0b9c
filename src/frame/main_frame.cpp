#include "frame/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>

#include "terminal/fast_key_dialog.h"
#include "terminal/input_bar.h"
#include "terminal/output_view.h"
#include "terminal/output_windows_dialog.h"
#include "terminal/tell_window.h"
#include "terminal/terminal_frame.h"
#include "support/version.h"
#include "frame/board_clearance.h"
#include "frame/recent_files.h"
#include "frame/tool_icons.h"
#include "widgets/window_placement.h"
#include "windows/who_window.h"

namespace marovin::windows {
namespace {

const QString kDockStateKey = QStringLiteral("MainFrame/dockState");

bool placementSet(const WindowPlacement& placement)
{
    return placement.normalRect.right > 10;
}

QRect normalRectOf(const WindowPlacement& placement)
{
    const Rect32& r = placement.normalRect;
    return QRect(QPoint(r.left, r.top), QSize(r.right - r.left, r.bottom - r.top));
}

void applyPlacement(QWidget& widget, const WindowPlacement& placement)
{
    widget.setGeometry(normalRectOf(placement));
    if (placement.showCommand == 3)
        widget.showMaximized();
    else if (placement.showCommand == 2)
        widget.showMinimized();
    else
        widget.showNormal();
}

} // namespace

CMainFrame::CMainFrame(Options& options, const SettingsFile& settings, DesktopPort& desktop,
                       RecentFileList& recentFiles, QWidget* parent)
    : QMainWindow(parent), m_options(options), m_settings(settings), m_desktop(desktop), m_recentFiles(recentFiles),
      m_mdi(new QMdiArea), m_inputBar(new shell::CInputBar(options))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Marovin"));
    setWindowIcon(applicationIcon());
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(windowIcon());
    // The frame starts at the top left of the work area, covering all of it.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdi);
    buildMenus();
    buildToolBar();
    buildStatusBar();
    addToolBar(Qt::BottomToolBarArea, m_inputBar);
    // The bar's "Next" button is the Next Window command.
    connect(m_inputBar->gameButton(shell::kNextWindowButtonId), &QAction::triggered, this, [this] {
        if (QAction* next = action(QStringLiteral("actionNextWindow")); next && next->isEnabled())
            next->trigger();
    });
    m_mdi->viewport()->installEventFilter(this);
    // Only X11 key events carry the modifier state that tells the locks.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        qApp->installEventFilter(this);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        // One key event reaches the filter once for each widget it passes through.
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (watched->isWidgetType() && static_cast<QWidget*>(watched) == QApplication::focusWidget())
            showLockKeys(lockKeysAfter(m_lockKeys, key->key(),
                                       event->type() == QEvent::KeyPress && !key->isAutoRepeat(),
                                       key->nativeModifiers()));
        return QMainWindow::eventFilter(watched, event);
    }
    const bool windowsChanged = event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved;
    if (watched == m_mdi->viewport() && windowsChanged && !m_gameButtonsDue) {
        // The area's list of windows is up to date once the change has been handled.
        m_gameButtonsDue = true;
        QTimer::singleShot(0, this, &CMainFrame::updateGameButtons);
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::showLockKeys(const LockKeyState& state)
{
    m_lockKeys = state;
    m_statusPanes[3]->setEnabled(state.known && state.capsLock);
    m_statusPanes[4]->setEnabled(state.known && state.numLock);
}

void CMainFrame::updateGameButtons()
{
    m_gameButtonsDue = false;
    bool gameWindows = false;
    for (const QMdiSubWindow* window : m_mdi->subWindowList())
        gameWindows = gameWindows || window != m_terminal;
    m_inputBar->showGameButtons(gameWindows);
}

CMainFrame::~CMainFrame()
{
    // The widgets below go away after this part of the frame: they must not call back.
    disconnect(qApp, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
    m_mdi->viewport()->removeEventFilter(this);
    m_inputBar->inputLine()->disconnect(this);
}

void CMainFrame::openTerminal()
{
    m_terminal = new shell::CTerminalFrame(m_options);
    m_mdi->addSubWindow(m_terminal);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect start = shell::terminalStartRect(m_options.terminalPlacement,
                                                 screen ? screen->geometry().size() : size(), pos());
    if (start.isEmpty()) {
        // The frame does not stay maximised: it fills the area, restored.
        m_terminal->showMaximized();
    } else {
        m_terminal->setGeometry(start);
        m_terminal->showNormal();
    }
}

void CMainFrame::createModelessWindows(session::WhoRecord* whoRecords, session::ClientContext& context)
{
    m_tellWindow = new shell::CTellWindow(context, this);
    connect(m_tellWindow, &QDialog::finished, this, &CMainFrame::requestInputFocus);
    m_whoRecords = whoRecords;
    m_context = &context;
}

CWhoDlg* CMainFrame::ensureWhoWindow()
{
    if (!m_whoWindow && m_context) {
        m_whoWindow = new CWhoDlg(m_whoRecords, *m_context, this);
        connect(m_whoWindow, &QDialog::finished, this, &CMainFrame::requestInputFocus);
        if (m_listFontSet)
            m_whoWindow->setListFont(m_listFont);
        emit whoWindowMade(m_whoWindow);
    }
    return m_whoWindow;
}

void CMainFrame::applyListFont(const QFont& font)
{
    m_listFont = font;
    m_listFontSet = true;
    statusBar()->setFont(font);
    if (m_whoWindow)
        m_whoWindow->setListFont(font);
}

void CMainFrame::onConnect()
{
    emit connectRequested();
}

void CMainFrame::focusInputLine()
{
    if (m_inputBar->isVisible() && !m_inputBar->inputLine()->hasFocus())
        m_inputBar->inputLine()->setFocus();
}

void CMainFrame::requestInputFocus()
{
    QTimer::singleShot(0, this, &CMainFrame::focusInputLine);
}

void CMainFrame::showFastKeyDialog()
{
    shell::CFastKeyDlg dialog(m_options, m_settings, m_desktop, this);
    dialog.exec();
}

void CMainFrame::showWhoWindow()
{
    if (!ensureWhoWindow())
        return;
    m_whoWindow->show();
    m_whoWindow->raise();
    m_whoWindow->activateWindow();
}

void CMainFrame::showTellWindow()
{
    if (!m_tellWindow)
        return;
    if (m_tellWindow->isHidden()) {
        if (placementSet(m_options.tellWindowPlacement)) {
            m_tellWindow->setGeometry(normalRectOf(m_options.tellWindowPlacement));
        } else {
            QRect place = m_tellWindow->frameGeometry();
            place.moveCenter(geometry().center());
            m_tellWindow->move(place.topLeft());
        }
        // Asked for from the terminal, it opens beside a board in play, or where it was
        // when there is no room beside it.
        if (m_playedBoards)
            placeClearOfBoards(*m_tellWindow, *this, m_playedBoards(), true);
    }
    m_tellWindow->show();
    m_tellWindow->raise();
    m_tellWindow->activateWindow();
    m_options.tellWindowPlacement = widgets::placementOf(*m_tellWindow);
}

void CMainFrame::showOutputWindowsDialog()
{
    shell::COutputWindowsDlg dialog(m_options, m_settings, this);
    dialog.exec();
}

void CMainFrame::saveSettings()
{
    // A failure has its own box; a success is said where the user looks anyway.
    if (m_settings.save(m_options) && m_terminal)
        m_terminal->view()->writeClientText("The settings were saved in " + m_settings.path() + ".", true);
}

void CMainFrame::showAbout()
{
    QMessageBox::about(this, QStringLiteral("About Marovin"),
                       QStringLiteral("Marovin %1\nA client for the OMRA Chinese-chess server and a game-record editor.")
                           .arg(QString::fromLatin1(versionText())));
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    QSettings settings(QStringLiteral("Dozavave"), QStringLiteral("Marovin"));
    restoreState(settings.value(kDockStateKey).toByteArray());
    if (placementSet(m_options.mainPlacement))
        applyPlacement(*this, m_options.mainPlacement);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_closing = true;
    if (m_closeGameWindows && !m_closeGameWindows()) {
        m_closing = false;
        event->ignore();
        return;
    }
    QSettings settings(QStringLiteral("Dozavave"), QStringLiteral("Marovin"));
    settings.setValue(kDockStateKey, saveState());
    m_options.mainPlacement = widgets::placementOf(*this);
    if (m_terminal)
        m_options.terminalPlacement = m_terminal->placement();
    m_settings.save(m_options);
    event->accept();
}

} // namespace marovin::windows
