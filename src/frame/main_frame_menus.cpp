// The main frame's menu bar, tool bar and status bar. Commands are created disabled, with
// their texts and keys; the handler groups that do their work enable them.

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "platform/big5_text.h"
#include "terminal/input_bar.h"
#include "support/fixed_text.h"
#include "frame/command_ids.h"
#include "frame/main_frame.h"
#include "frame/menu_texts.h"
#include "frame/recent_files.h"
#include "frame/tool_icons.h"

namespace marovin::windows {

QAction* CMainFrame::addCommand(QMenu* menu, const QString& name, std::string_view text, int id,
                                const QList<QKeySequence>& keys)
{
    auto* command = new QAction(platform::fromBig5(text), this);
    command->setObjectName(name);
    command->setShortcuts(keys);
    command->setEnabled(false);
    if (id != 0)
        command->setData(id);
    addAction(command); // keys work whether or not a menu shows the command
    if (menu)
        menu->addAction(command);
    m_actions.insert(name, command);
    if (id != 0)
        m_actionsById.insert(id, command);
    return command;
}

QMenu* CMainFrame::menuTitled(const QString& title) const
{
    for (QAction* entry : menuBar()->actions())
        if (entry->text() == title)
            return entry->menu();
    return nullptr;
}

void CMainFrame::buildMenus()
{
    buildFileMenu();
    buildEditMenu();
    buildOptionMenu();
    buildWindowMenu();
    buildGameMenu();
    buildCommandMenu();
    buildHelpMenu();

    // Commands reached from the tool bar and the keyboard only.
    addCommand(nullptr, "actionConnect", "Connect");
    addCommand(nullptr, "actionDisconnect", "Disconnect");
    addCommand(nullptr, "actionMergeGame", "Merge Game", kMergeGameCommand);
    addCommand(nullptr, "actionFlipBoard", "Flip chess board", kFlipBoardCommand);
    addCommand(nullptr, "actionWho", "Who");
    addCommand(nullptr, "actionWhoFast", "Who -f");
    addCommand(nullptr, "actionGames", "Games");
    addCommand(nullptr, "actionShoutSeek", "Shout seek text");
    addCommand(nullptr, "actionShoutThanks", "Shout thanks text");
    addCommand(nullptr, "actionCommandWindow", "Command window");
    QAction* who = addCommand(nullptr, "actionWhoWindow", "Who window", 0, {QKeySequence(Qt::CTRL | Qt::Key_W)});
    who->setEnabled(true);
    connect(who, &QAction::triggered, this, &CMainFrame::showWhoWindow);
    QAction* tell = addCommand(nullptr, "actionTellWindow", "Tell window");
    tell->setEnabled(true);
    connect(tell, &QAction::triggered, this, &CMainFrame::showTellWindow);
    QAction* focus = addCommand(nullptr, "actionFocusInputLine", "Focus input line", kFocusInputLineCommand);
    focus->setEnabled(true);
    connect(focus, &QAction::triggered, this, &CMainFrame::focusInputLine);
    for (int i = 0; i < kFastKeyCount; ++i) {
        const QKeySequence key = i == 0 ? QKeySequence(Qt::CTRL | Qt::Key_F1) : QKeySequence(Qt::Key_F1 + i);
        QAction* fastKey = addCommand(nullptr, QStringLiteral("actionFastKey%1").arg(i + 1),
                                      "Fast key " + std::to_string(i + 1), kFastKeyCommandFirst + i, {key});
        fastKey->setEnabled(true);
        connect(fastKey, &QAction::triggered, this, [this, i] {
            const std::string_view text = fieldText(m_options.fastKeyText[i]);
            // F6 without a text of its own gives the keyboard to the move list, as Ctrl+F6
            // always does; a text the user put on it is still sent.
            if (text.empty() && i == kMoveListFastKey) {
                if (QAction* keyboard = action(QStringLiteral("actionMoveListKeyboard")); keyboard && keyboard->isEnabled())
                    keyboard->trigger();
                return;
            }
            m_inputBar->sendFastKey(text);
        });
    }
}

void CMainFrame::buildFileMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&File"));
    addCommand(menu, "actionFileNew", "&New\tCtrl+N", 0, {QKeySequence(Qt::CTRL | Qt::Key_N)});
    addCommand(menu, "actionFileOpen", "&Open...\tCtrl+O", 0, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    addCommand(menu, "actionFileClose", "&Close");
    addCommand(menu, "actionFileSave", "&Save\tCtrl+S", 0, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    addCommand(menu, "actionFileSaveAs", "Save &As...");
    menu->addSeparator();
    QAction* save = addCommand(menu, "actionSaveSettings", "Save Settings");
    save->setEnabled(true);
    connect(save, &QAction::triggered, this, &CMainFrame::saveSettings);
    addCommand(menu, "actionConvertToOld", "Convert to Old Format");
    addCommand(menu, "actionConvertToNew", "Convert to New Format");
    menu->addSeparator();
    m_recentMenu = menu->addMenu(QStringLiteral("Recent File"));
    m_recentMenu->setObjectName(QStringLiteral("recentFileMenu"));
    rebuildRecentFiles();
    menu->addSeparator();
    QAction* exit = addCommand(menu, "actionExit", "E&xit");
    exit->setEnabled(true);
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::rebuildRecentFiles()
{
    m_recentMenu->clear();
    const QStringList& entries = m_recentFiles.entries();
    if (entries.isEmpty())
        m_recentMenu->addAction(QStringLiteral("Recent File"))->setEnabled(false);
    for (int i = 0; i < entries.size(); ++i) {
        QAction* entry = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(entries[i]));
        entry->setEnabled(static_cast<bool>(m_openRecentFile));
        connect(entry, &QAction::triggered, this, [this, path = entries[i]] {
            if (m_openRecentFile)
                m_openRecentFile(path);
        });
    }
}

void CMainFrame::setRecentFileOpener(std::function<void(const QString&)> open)
{
    m_openRecentFile = std::move(open);
    rebuildRecentFiles();
}

// The Edit commands act on a game window's note field while it has the keyboard, and on
// the input line otherwise.
void CMainFrame::buildEditMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Edit"));
    QLineEdit* input = m_inputBar->inputLine();
    const auto onTarget = [this, input](auto onNote, auto onInput) {
        return [this, input, onNote, onInput] {
            if (QPlainTextEdit* note = focusedNoteField()) {
                (note->*onNote)();
                note->ensureCursorVisible();
            } else if (input->hasFocus()) {
                (input->*onInput)();
            }
            updateEditCommands();
        };
    };
    connect(addCommand(menu, "actionEditUndo", "&Undo\tCtrl+Z", 0,
                       {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}),
            &QAction::triggered, this, onTarget(&QPlainTextEdit::undo, &QLineEdit::undo));
    menu->addSeparator();
    connect(addCommand(menu, "actionEditCut", "Cu&t\tCtrl+X", 0,
                       {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}),
            &QAction::triggered, this, onTarget(&QPlainTextEdit::cut, &QLineEdit::cut));
    connect(addCommand(menu, "actionEditCopy", "&Copy\tCtrl+C", 0,
                       {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}),
            &QAction::triggered, this, onTarget(&QPlainTextEdit::copy, &QLineEdit::copy));
    connect(addCommand(menu, "actionEditPaste", "&Paste\tCtrl+V", 0,
                       {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}),
            &QAction::triggered, this, onTarget(&QPlainTextEdit::paste, &QLineEdit::paste));
    connect(addCommand(menu, "actionEditSelectAll", "Select All\tCtrl+A", 0, {QKeySequence(Qt::CTRL | Qt::Key_A)}),
            &QAction::triggered, this, onTarget(&QPlainTextEdit::selectAll, &QLineEdit::selectAll));
    // Positions go to and come from other programs as FEN; these act on game windows,
    // whatever has the keyboard.
    menu->addSeparator();
    addCommand(menu, "actionEditCopyPosition", "Copy P&osition\tCtrl+Shift+C", 0,
               {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)});
    addCommand(menu, "actionEditPastePosition", "Paste Po&sition\tCtrl+Shift+V", 0,
               {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)});
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateEditCommands);
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::updateEditCommands);
    connect(input, &QLineEdit::selectionChanged, this, &CMainFrame::updateEditCommands);
    connect(input, &QLineEdit::textChanged, this, &CMainFrame::updateEditCommands);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::updateEditCommands);
}

QPlainTextEdit* CMainFrame::focusedNoteField() const
{
    auto* field = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
    return field && field->objectName() == QLatin1String("noteField") ? field : nullptr;
}

void CMainFrame::updateEditCommands()
{
    if (QPlainTextEdit* note = focusedNoteField()) {
        const bool selection = note->textCursor().hasSelection();
        action("actionEditUndo")->setEnabled(note->document()->isUndoAvailable());
        action("actionEditCut")->setEnabled(selection);
        action("actionEditCopy")->setEnabled(selection);
        action("actionEditPaste")->setEnabled(note->canPaste());
        action("actionEditSelectAll")->setEnabled(true);
        return;
    }
    QLineEdit* input = m_inputBar->inputLine();
    const bool focused = input->hasFocus();
    action("actionEditUndo")->setEnabled(focused && input->isUndoAvailable());
    action("actionEditCut")->setEnabled(focused && input->hasSelectedText());
    action("actionEditCopy")->setEnabled(focused && input->hasSelectedText());
    action("actionEditPaste")->setEnabled(focused && !input->isReadOnly() &&
                                          !QGuiApplication::clipboard()->text().isEmpty());
    action("actionEditSelectAll")->setEnabled(focused);
}

void CMainFrame::buildOptionMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Option"));
    QMenu* sizes = menu->addMenu(QStringLiteral("Set Current Chess Window Size"));
    addCommand(sizes, "actionPlayingSize", "The Size in &Playing Mode\tAtl+1", kPlayingSizeCommand,
               {QKeySequence(Qt::ALT | Qt::Key_1)});
    addCommand(sizes, "actionLookingSize", "The Size in &Looking Mode\tAtl+2", kLookingSizeCommand,
               {QKeySequence(Qt::ALT | Qt::Key_2)});
    addCommand(sizes, "actionSmallSize", "&Small\tAtl+3", kSmallSizeCommand, {QKeySequence(Qt::ALT | Qt::Key_3)});
    addCommand(sizes, "actionMediumSize", "&Medium\tAtl+4", kMediumSizeCommand, {QKeySequence(Qt::ALT | Qt::Key_4)});
    addCommand(sizes, "actionLargeSize", "L&arge\tAtl+5", kLargeSizeCommand, {QKeySequence(Qt::ALT | Qt::Key_5)});
    QMenu* store = menu->addMenu(QStringLiteral("Save Current Chess Window Size as"));
    addCommand(store, "actionStorePlayingSize", "Default Size in Playing Mode", kStorePlayingSizeCommand);
    addCommand(store, "actionStoreLookingSize", "Default Size in Looking Mode", kStoreLookingSizeCommand);
    menu->addSeparator();
    addCommand(menu, "actionTerminalSettings", "&Terminal Window Settings");
    addCommand(menu, "actionBoardSettings", "&Chess Board Settings");
    QAction* outputs = addCommand(menu, "actionOutputWindows", "OMRA Command Output Windows");
    outputs->setEnabled(true);
    connect(outputs, &QAction::triggered, this, &CMainFrame::showOutputWindowsDialog);
    QAction* fastKeys = addCommand(menu, "actionFastKeys", "Fast Key");
    fastKeys->setEnabled(true);
    connect(fastKeys, &QAction::triggered, this, &CMainFrame::showFastKeyDialog);
    addCommand(menu, "actionOtherOptions", "Others");
    menu->addSeparator();
    QAction* newFormat = addCommand(menu, "actionSaveNewFormat", "Save Game as New Format");
    newFormat->setEnabled(true);
    newFormat->setCheckable(true);
    newFormat->setChecked(m_options.saveNewFormat == 1);
    connect(newFormat, &QAction::toggled, this, [this](bool on) { m_options.saveNewFormat = on ? 1 : 0; });
    menu->addSeparator();
    QAction* toolBarShown = addCommand(menu, "actionToolBar", "Tool&Bar");
    toolBarShown->setEnabled(true);
    toolBarShown->setCheckable(true);
    QAction* inputShown = addCommand(menu, "actionInputLine", "Input line");
    inputShown->setEnabled(true);
    inputShown->setCheckable(true);
    connect(menu, &QMenu::aboutToShow, this, [this, toolBarShown, inputShown, newFormat] {
        toolBarShown->setChecked(m_toolBar && m_toolBar->isVisible());
        inputShown->setChecked(m_inputBar->isVisible());
        newFormat->setChecked(m_options.saveNewFormat == 1);
    });
    connect(toolBarShown, &QAction::triggered, this, [this](bool on) { m_toolBar->setVisible(on); });
    connect(inputShown, &QAction::triggered, this, [this](bool on) { m_inputBar->setVisible(on); });
}

void CMainFrame::buildWindowMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Window"));
    addCommand(menu, "actionMatchDialog", "Macth Dialog");
    addCommand(menu, "actionMessageDialog", "Message Dialog");
    addCommand(menu, "actionPlanDialog", "&Plan Dialog");
    addCommand(menu, "actionLoginDialog", "&Login Dialog\tCtrl+L", 0, {QKeySequence(Qt::CTRL | Qt::Key_L)});
    menu->addSeparator();
    addCommand(menu, "actionNextWindow", "Next Window\tCtrl+Tab", 0, {QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    addCommand(menu, "actionNewChessWindow", "&New Chess Window");
    addCommand(menu, "actionArrangeIcons", "&Arrange Icons");
    menu->addSeparator();
    addCommand(menu, "actionMoveList", "&Move List");
    addCommand(menu, "actionMoveListKeyboard", "&Keyboard to Move List\tCtrl+F6", 0,
               {QKeySequence(Qt::CTRL | Qt::Key_F6)});
}

void CMainFrame::buildGameMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Game"));
    addCommand(menu, "actionStoredGames", kStoredGamesItem);
    menu->addSeparator();
    addCommand(menu, "actionAdjourn", kAdjournItem, kAdjournGameCommand);
    addCommand(menu, "actionPass", kPassItem, kPassCommand);
    addCommand(menu, "actionResign", "Resign", kResignCommand);
    addCommand(menu, "actionUndoMove", kUndoMoveItem, kUndoMoveCommand);
    addCommand(menu, "actionAddTime", kAddTimeItem, kAddTimeCommand);
    addCommand(menu, "actionAllObservers", kAllObserversItem, kAllObserversCommand);
    addCommand(menu, "actionTimeLeft", kTimeLeftItem, kTimeLeftCommand);
    addCommand(menu, "actionKibitz", kKibitzItem, kKibitzCommand);
    menu->addSeparator();
    addCommand(menu, "actionRefreshGame", "&Refresh Game\tCtrl+R", kRefreshGameCommand,
               {QKeySequence(Qt::CTRL | Qt::Key_R)});
    addCommand(menu, "actionHeader", "&Header\tCtrl +H", kHeaderCommand, {QKeySequence(Qt::CTRL | Qt::Key_H)});
    addCommand(menu, "actionSetupPosition", kSetupItem, kSetupPositionCommand);
    addCommand(menu, "actionTextRecord", kTextRecordItem, kTextRecordCommand, {QKeySequence(Qt::Key_F12)});
    addCommand(menu, "actionSendGame", "&Send Game", kSendGameCommand);
    addCommand(menu, "actionStopSendGame", "Stop Send Game", kStopSendGameCommand);
    addCommand(menu, "actionStopReceiveGame", "Stop Receive Game", kStopReceiveGameCommand);
    addCommand(menu, "actionDeleteMoves", "Delete Moves", kDeleteMovesCommand);
}

void CMainFrame::buildCommandMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Command"));
    addCommand(menu, "actionStoredGame", "Stored game");
    addCommand(menu, "actionFinger", "&Finger");
    addCommand(menu, "actionHistory", "&History");
    menu->addSeparator();
    addCommand(menu, "actionFastRanking", "Fast Game Ranking");
    addCommand(menu, "actionSlowRanking", "Slow Game Ranking");
    menu->addSeparator();
    addCommand(menu, "actionWaiting", "Waiting for a Player");
    menu->addSeparator();
    struct Toggle {
        const char* title;
        const char* name;
        const char* on;
        const char* off;
    };
    const Toggle toggles[] = {{"Set Open", "Open", "ON", "OFF"},
                              {"Set Shout", "Shout", "ON", "OFF"},
                              {"Set Quiet", "Quiet", "ON", "OFF"},
                              {"Set Bell", "Bell", "ON", "OFF"},
                              {"Set Email Address", "Address", "Show", "Hide"},
                              {"Set Rating (Score)", "Rating", "Show", "Hide"}};
    for (const Toggle& toggle : toggles) {
        QMenu* sub = menu->addMenu(QString::fromLatin1(toggle.title));
        addCommand(sub, QStringLiteral("actionSet%1%2").arg(toggle.name, toggle.on), toggle.on);
        addCommand(sub, QStringLiteral("actionSet%1%2").arg(toggle.name, toggle.off), toggle.off);
    }
    menu->addSeparator();
    addCommand(menu, "actionRegister", kRegisterItem);
    addCommand(menu, "actionChangePassword", "Change Password");
}

void CMainFrame::buildHelpMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Help"));
    addCommand(menu, "actionHelpTopics", "&Help Topics", 0, {QKeySequence(Qt::Key_F1)});
    addCommand(nullptr, "actionContextHelp", "Context help", 0, {QKeySequence(Qt::SHIFT | Qt::Key_F1)});
    menu->addSeparator();
    QAction* about = addCommand(menu, "actionAbout", "&About Marovin...");
    about->setEnabled(true);
    connect(about, &QAction::triggered, this, &CMainFrame::showAbout);
}

void CMainFrame::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setIconSize(QSize(kToolIconSize, kToolIconSize));
    struct Button {
        const char* action; // null: a separator
        const char* tip;
        const char* icon;
    };
    static const Button kButtons[] = {
        {"actionConnect", "Connect to OMRA", "connect"},
        {"actionDisconnect", "<quit> Disconncet from OMRA", "disconnect"},
        {nullptr, nullptr, nullptr},
        {"actionFileNew", "New", "new"},
        {"actionFileOpen", "Open", "open"},
        {"actionFileSave", "Save", "save"},
        {"actionMergeGame", "Merge Game from/to File", "merge"},
        {"actionFlipBoard", "Flip chess board", "flip"},
        {nullptr, nullptr, nullptr},
        {"actionWho", "<who> Slow game rating", "who"},
        {"actionWhoFast", "<who -f> Fast game rating", "who-fast"},
        {"actionGames", "List games being played", "games"},
        {"actionShoutSeek", "shout game anyone?", "shout-seek"},
        {"actionShoutThanks", "shout Thanks!", "shout-thanks"},
        {"actionMatchDialog", "Match a player", "match"},
        {"actionWhoWindow", "Player(who) information[Ctrl W]", "who-window"},
        {nullptr, nullptr, nullptr},
        {"actionRefreshGame", "Refresh or Update game to the end [Ctrl+R]", "refresh"},
        {"actionNextWindow", "Next Window [Ctrl+Tab]", "next-window"},
        {"actionCommandWindow", "Shout", "command-window"},
        {"actionTellWindow", "Tell Window", "tell-window"},
    };
    for (const Button& button : kButtons) {
        if (!button.action) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* command = action(QString::fromLatin1(button.action));
        command->setToolTip(QString::fromLatin1(button.tip));
        command->setIcon(toolIcon(QString::fromLatin1(button.icon)));
        m_toolBar->addAction(command);
    }
}

void CMainFrame::buildStatusBar()
{
    // Three text panes for other parts of the program, then the lock indicators.
    for (int i = 0; i < 3; ++i) {
        m_statusPanes[i] = new QLabel;
        m_statusPanes[i]->setObjectName(QStringLiteral("statusPane%1").arg(i));
        statusBar()->addWidget(m_statusPanes[i], i == 0 ? 1 : 0);
    }
    m_statusPanes[3] = new QLabel(QStringLiteral("CAP"));
    m_statusPanes[4] = new QLabel(QStringLiteral("NUM"));
    for (int i = 3; i < 5; ++i) {
        m_statusPanes[i]->setObjectName(QStringLiteral("statusPane%1").arg(i));
        m_statusPanes[i]->setEnabled(false);
        statusBar()->addPermanentWidget(m_statusPanes[i]);
    }
}

} // namespace marovin::windows
