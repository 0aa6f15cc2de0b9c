#include "frame/database_commands.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "frame/main_frame.h"
#include "game_window/game_frame.h"
#include "support/big5.h"
#include "windows/database_import_dialog.h"
#include "windows/database_search_window.h"
#include "frame/board_clearance.h"

namespace marovin::windows {

namespace {

const QString kSettingsKey = QStringLiteral("database/path");

QSettings programSettings()
{
    return QSettings(QStringLiteral("Dozavave"), QStringLiteral("Marovin"));
}

} // namespace

DatabaseCommands::DatabaseCommands(CMainFrame& frame, board::QtGameWindows& windows)
    : m_frame(frame), m_windows(windows), m_explorer(makeAction("actionExplorer", tr("Opening &Explorer")))
{
    m_chooser = [this](const QString& title, bool folder, bool save) -> QStringList {
        const QString filter = tr("Game databases (*.mdb.sqlite *.sqlite);;All files (*)");
        if (folder) {
            const QString chosen = QFileDialog::getExistingDirectory(&m_frame, title);
            return chosen.isEmpty() ? QStringList{} : QStringList{chosen};
        }
        if (save) {
            const QString chosen = QFileDialog::getSaveFileName(&m_frame, title, m_path, filter, nullptr,
                                                                QFileDialog::DontConfirmOverwrite);
            return chosen.isEmpty() ? QStringList{} : QStringList{chosen};
        }
        return QFileDialog::getOpenFileNames(&m_frame, title, QString(),
                                             tr("Games (*.pgn *.gam *.txt);;All files (*)"));
    };
    // The explorer joins the window's game commands, before the engine's group.
    if (QMenu* game = frame.menuTitled(QStringLiteral("&Game"))) {
        const QList<QAction*> items = game->actions();
        QAction* before = nullptr;
        for (int i = 1; i < items.size(); ++i)
            if (items[i]->objectName() == QStringLiteral("actionAnalysis") && items[i - 1]->isSeparator())
                before = items[i - 1];
        game->insertSeparator(before);
        game->insertAction(before, m_explorer);
    }
    auto* menu = new QMenu(tr("&Database"), frame.menuBar());
    menu->setObjectName(QStringLiteral("databaseMenu"));
    QAction* help = nullptr;
    if (QMenu* helpMenu = frame.menuTitled(QStringLiteral("&Help")))
        help = helpMenu->menuAction();
    frame.menuBar()->insertMenu(help, menu);
    QAction* choose = makeAction("actionChooseDatabase", tr("&Choose Database..."));
    QAction* importFiles = makeAction("actionImportFiles", tr("&Import Files..."));
    QAction* importFolder = makeAction("actionImportFolder", tr("Import &Folder..."));
    QAction* search = makeAction("actionSearchGames", tr("&Search Games..."));
    menu->addActions({choose, importFiles, importFolder, search});
    for (QAction* action : {choose, importFiles, importFolder, search})
        action->setEnabled(true);
    m_explorer->setCheckable(true);

    connect(choose, &QAction::triggered, this, [this] {
        const QStringList chosen = m_chooser(tr("Choose Game Database"), false, true);
        if (!chosen.isEmpty())
            chooseDatabase(chosen.front());
        m_frame.requestInputFocus();
    });
    for (QAction* action : {importFiles, importFolder})
        connect(action, &QAction::triggered, this, [this, folder = action == importFolder] {
            const QStringList chosen = m_chooser(folder ? tr("Import Folder") : tr("Import Files"), folder, false);
            if (!chosen.isEmpty())
                importPaths(chosen);
            m_frame.requestInputFocus();
        });
    connect(search, &QAction::triggered, this, [this] { showSearch(); });
    connect(m_explorer, &QAction::triggered, this, [this](bool on) {
        if (board::CGameFrame* game = m_windows.activeFrame())
            game->explorer()->setWanted(on);
        m_frame.requestInputFocus();
    });
    connect(&windows, &board::QtGameWindows::windowsChanged, this, &DatabaseCommands::scheduleUpdate);
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &DatabaseCommands::scheduleUpdate);

    const QString kept = programSettings().value(kSettingsKey).toString();
    if (!kept.isEmpty() && QFileInfo::exists(kept)) {
        std::string error;
        m_database = database::GameDatabase::open(QFile::encodeName(kept).toStdString(), error);
        if (m_database)
            m_path = kept;
    }
    update();
}

DatabaseCommands::~DatabaseCommands()
{
    // The windows may outlive this object: they must not ask a closed database.
    for (board::CGameFrame* game : m_windows.frames())
        game->explorer()->setDatabase(nullptr, QString());
    delete m_search;
}

QAction* DatabaseCommands::makeAction(const char* name, const QString& text)
{
    auto* action = new QAction(text, &m_frame);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(false);
    m_frame.addAction(action);
    return action;
}

bool DatabaseCommands::chooseDatabase(const QString& path)
{
    std::string error;
    auto opened = database::GameDatabase::open(QFile::encodeName(path).toStdString(), error);
    if (!opened) {
        m_windows.context().desktop.messageBox(utf8ToBig5("The game database cannot be opened: " + error));
        return false;
    }
    m_database = std::move(opened);
    m_path = path;
    programSettings().setValue(kSettingsKey, path);
    applyDatabase();
    return true;
}

void DatabaseCommands::applyDatabase()
{
    const QString name = QFileInfo(m_path).fileName();
    for (board::CGameFrame* game : m_windows.frames())
        game->explorer()->setDatabase(m_database.get(), name);
    if (m_search)
        m_search->setDatabase(m_database.get(), name);
}

ImportDialog* DatabaseCommands::importPaths(const QStringList& paths)
{
    if (!m_database) {
        const QStringList chosen = m_chooser(tr("Choose Game Database"), false, true);
        if (chosen.isEmpty() || !chooseDatabase(chosen.front()))
            return nullptr;
    }
    auto* dialog = new ImportDialog(m_path, paths, &m_frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    placeBesideBoards(*dialog);
    // What was added shows in every explorer at once.
    connect(dialog, &ImportDialog::importEnded, this, [this] {
        for (board::CGameFrame* game : m_windows.frames())
            game->explorer()->positionChanged();
    });
    dialog->show();
    m_frame.requestInputFocus();
    return dialog;
}

SearchWindow* DatabaseCommands::showSearch()
{
    if (!m_search) {
        m_search = new SearchWindow([this]() -> std::optional<std::pair<model::Board, bool>> {
            board::CGameFrame* game = m_windows.activeFrame();
            if (!game || !game->game())
                return std::nullopt;
            return std::pair(game->game()->browsedBoard, game->game()->isRedToMoveBrowsed());
        }, &m_frame);
        connect(m_search, &SearchWindow::openGame, this, &DatabaseCommands::openGame);
        m_search->setDatabase(m_database.get(), QFileInfo(m_path).fileName());
        placeBesideBoards(*m_search);
    }
    m_search->show();
    m_search->raise();
    m_frame.requestInputFocus();
    return m_search;
}

board::CGameFrame* DatabaseCommands::openGame(qint64 id)
{
    if (!m_database)
        return nullptr;
    board::CGameFrame* window = m_windows.newGame();
    if (window)
        window->readDatabaseGame(*m_database, id);
    m_frame.requestInputFocus();
    return window;
}

void DatabaseCommands::placeBesideBoards(QWidget& window)
{
    placeClearOfBoards(window, m_frame, boardRects(m_windows, false), false);
}

void DatabaseCommands::scheduleUpdate()
{
    if (m_updateDue)
        return;
    m_updateDue = true;
    QTimer::singleShot(0, this, &DatabaseCommands::update);
}

void DatabaseCommands::update()
{
    m_updateDue = false;
    applyDatabase();
    board::CGameFrame* game = m_windows.activeFrame();
    m_explorer->setEnabled(game && game->game());
    m_explorer->setChecked(game && game->explorer()->wanted());
}

} // namespace marovin::windows
