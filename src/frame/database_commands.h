#pragma once
// The game database's commands: the Database menu (Choose Database..., Import Files...,
// Import Folder..., Search Games...) and, in the Game menu, Opening Explorer, a toggle of the
// active game window's explorer pane. The chosen database is kept in the program's Qt
// settings; the explorers and the search window read it through one connection of the user
// interface's thread, while each import writes through a connection of its own thread.

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

#include "database/game_database.h"
#include "game_window/qt_game_windows.h"

class QAction;

namespace marovin::windows {

class CMainFrame;
class ImportDialog;
class SearchWindow;

class DatabaseCommands : public QObject {
    Q_OBJECT
public:
    // Both must outlive this object.
    DatabaseCommands(CMainFrame& frame, board::QtGameWindows& windows);
    ~DatabaseCommands() override;

    // Opens (or makes) the database at path and keeps it as the chosen one. False, after
    // telling the user, when it cannot be opened; the one chosen before stays.
    bool chooseDatabase(const QString& path);
    QString databasePath() const { return m_path; }
    database::GameDatabase* database() const { return m_database.get(); }
    // Starts importing paths (files and folders) into the chosen database.
    ImportDialog* importPaths(const QStringList& paths);
    // The search window, shown (made on first use).
    SearchWindow* showSearch();
    // Opens game id of the chosen database in a new game window.
    board::CGameFrame* openGame(qint64 id);

    // How files and folders are chosen: the file dialogs; tests answer instead.
    using FileChooser = std::function<QStringList(const QString& title, bool folder, bool save)>;
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

    void update();

private:
    QAction* makeAction(const char* name, const QString& text);
    void applyDatabase();
    void scheduleUpdate();
    // A new window goes where it hides the least of the boards (never over one if it can).
    void placeBesideBoards(QWidget& window);

    CMainFrame& m_frame;
    board::QtGameWindows& m_windows;
    QString m_path;
    std::unique_ptr<database::GameDatabase> m_database;
    QAction* m_explorer;
    QPointer<SearchWindow> m_search;
    FileChooser m_chooser;
    bool m_updateDue = false;
};

} // namespace marovin::windows
