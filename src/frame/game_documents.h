#pragma once
// Game windows as documents: File New (a local game in the looking size), Open, Save,
// Save As, Close, the recent file list, game files given on the command line and game
// files dropped on the main window. Files are read and written by the game file reader
// and writer, in the form "Save Game as New Format" chooses; the last game file used is
// remembered in the options record.

#include <QObject>
#include <QStringList>

#include <functional>

#include "game_window/qt_game_windows.h"
#include "model/pgn.h"

namespace marovin::windows {

class CMainFrame;
class RecentFileList;

class GameDocuments : public QObject {
    Q_OBJECT
public:
    // What asks the user for files: the title, the path to start at, and whether a file is
    // to be written (one name) or read (several). An empty answer means cancelled.
    using FileChooser = std::function<QStringList(const QString& title, const QString& start, bool forSaving)>;

    // All must outlive this object.
    GameDocuments(CMainFrame& frame, board::QtGameWindows& windows, RecentFileList& recentFiles);

    // Replaces the file dialogs (tests).
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

    board::CGameFrame* newGame();
    // Asks for files and opens each.
    void open();
    // Opens path in a new window, or activates the window that already shows it. Null when
    // it could not be read at all (the reader has said why). A PGN file (named *.pgn, or
    // beginning with a tag) shows its first game and offers the others in a chooser.
    board::CGameFrame* openFile(const QString& path);
    void openFiles(const QStringList& paths);
    // Writes the window's game to its file (Save As without one). True when written; on a
    // failure the box has said so and the game stays modified. Both are refused, with a
    // message, while the window's position is being set up.
    bool save(board::CGameFrame& window);
    bool saveAs(board::CGameFrame& window);
    bool saveTo(board::CGameFrame& window, const QString& path);
    // While the window's position is being set up: says to finish first, and true.
    bool refusedWhileEditing(board::CGameFrame& window);
    // Closes the active game window (its close rules apply).
    void closeActive();
    // "Merge Game": asks for files and a direction, then merges them into the window's
    // game, or the window's game into each of them (rewritten in the stored form).
    void merge(board::CGameFrame& window);

    // What the merge asks: the files and the direction (-1 into the game, +1 into the
    // files, 0 cancelled), starting at a path.
    struct MergeChoice {
        int direction = 0;
        QStringList files;
    };
    using MergeChooser = std::function<MergeChoice(board::CGameFrame& window, const QString& start)>;
    // Replaces the merge window (tests).
    void setMergeChooser(MergeChooser chooser) { m_mergeChooser = std::move(chooser); }

    // What asks which other games of a PGN file to open: the file's name and a title per
    // game (the first is open already); answers indexes into the titles.
    using PgnChooser = std::function<QList<int>(const QString& fileName, const QStringList& titles)>;
    // Replaces the PGN game chooser (tests).
    void setPgnChooser(PgnChooser chooser) { m_pgnChooser = std::move(chooser); }
    // Games of one PGN file opened at once, at most.
    static constexpr int kPgnWindowLimit = 50;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    board::CGameFrame* openPgn(const QString& path);
    board::CGameFrame* openPgnGame(const model::PgnGameText& game, const QString& path, int number);
    void remember(const QString& path);
    // The last game file used, where the file windows start.
    void rememberLastPath(const QString& path);
    // The folder Open and Save As open in.
    QString startFolder() const;
    QString startPath() const;
    void updateCommands();

    CMainFrame& m_frame;
    board::QtGameWindows& m_windows;
    RecentFileList& m_recentFiles;
    FileChooser m_chooser;
    MergeChooser m_mergeChooser;
    PgnChooser m_pgnChooser;
};

} // namespace marovin::windows
