#pragma once
// CGameFrame: one game window, a child window of the main frame's area split into the
// board pane (CGameView) and a column beside it: the engine's strip, the move list
// (CMoveListView) and the note pane (CNoteEdit). It observes its game (through the
// windows object, which may show the game in several frames): the record's notices become
// drawing, the status, the caption, the move list, the note and the scroll bar.
// It holds the window's document (the game file it was read from or saved to) and acts
// on the game window commands of the main frame.
//
// Closing a window while another shows the same game closes only this view, silently.
// Closing the game's last window: an observed game sends "observe N", a played one
// "adjourn N" (the window stays until the server ends the game, unless the whole program
// is closing); a local game with unsaved changes asks the quit-game question. A close
// asked for while one of the window's dialogs is open waits for it: the dialog is closed
// first, the window after it.
//
// Editing a position: the frame keeps its placement, widens itself so that the palette
// fits beside the board (centred in the area) and shows the edit buttons; finishing puts
// the placement back.

#include <QMdiSubWindow>
#include <QPointer>
#include <QSplitter>

#include <optional>
#include <vector>

#include "game_window/analysis_pane.h"
#include "game_window/analysis_strip.h"
#include "game_window/explorer_pane.h"
#include "game_window/game_command_rules.h"
#include "game_window/game_engine.h"
#include "game_window/game_view.h"
#include "game_window/move_list_view.h"
#include "game_window/note_edit.h"
#include "game_window/window_sizes.h"
#include "model/game.h"
#include "model/position_editor.h"
#include "model/pgn.h"

class QDialog;

namespace marovin::board {

class QtGameWindows;

class CGameFrame : public QMdiSubWindow, public model::GameObserver, private model::EditWindowPort {
    Q_OBJECT
public:
    CGameFrame(model::CGame& game, QtGameWindows& host, const WindowSizeRecord& size, QWidget* parent = nullptr);
    ~CGameFrame() override;

    // The game shown; null once the window has let it go.
    model::CGame* game() const { return m_game; }
    CGameView* view() const { return m_view; }
    CNoteEdit* notePane() const { return m_note; }
    CMoveListView* moveList() const { return m_moveList; }
    // The window's engine (analysis, play) and the strip that shows it above the note.
    GameEngine* engine() const { return m_engine; }
    AnalysisStrip* analysisStrip() const { return m_strip; }
    // The whole-game analysis under the board (hidden until one runs).
    AnalysisPane* analysisPane() const { return m_analysisPane; }
    // The opening explorer, beside the board above the note (shown while asked for).
    ExplorerPane* explorer() const { return m_explorer; }
    QSplitter* splitter() const { return m_splitter; }

    // ---- the document ----
    // The game file of the window (empty: none yet).
    const QString& filePath() const { return m_filePath; }
    void setFilePath(const QString& path);
    // Reads the file into the window's game, painting meanwhile. False when nothing could
    // be read (the window is then of no use). A file read only in part keeps what was read,
    // says so in the caption and is not taken as the window's file, so that nothing is
    // saved over it unasked.
    bool readFile(const QString& path);
    // Plays game number (from 1) of the PGN file at path into the window's game. The window
    // takes no file (saving over the PGN file would lose its other games), so Save asks for
    // a name. A game that stops at a bad move shows the moves before it and says why.
    void readPgnGame(const model::PgnGameText& text, const QString& path, int number);
    // Reads game id of a game database into the window's game (a new window's). The window
    // takes no file. False, with a message, when the game cannot be read.
    bool readDatabaseGame(database::GameDatabase& database, std::int64_t id);
    bool readIncomplete() const { return m_readIncomplete; }
    // A window whose game is not a record of its own (the board settings' preview, a pasted
    // position) is captioned by what it shows until it is saved to a file; empty: by its game.
    void setDocumentName(const QString& name);
    // A new window on this game takes its document (file and reading state) from source.
    void takeDocumentOf(const CGameFrame& source);
    // Whether another window may be opened on this game now (not while it is read or its
    // position edited).
    bool canOpenView() const;

    // ---- what the window shows ----
    // Caption, names, ratings, clocks and turn.
    void refreshStatus();
    void refreshClocks();
    QString captionText() const;
    // The title of the quit-game question: the file's name for a local game, else the caption.
    QString quitTitle() const;

    // ---- sizes and places ----
    void applySize(const WindowSizeRecord& record);
    // The record of the window's current size (at left 0, top 0).
    WindowSizeRecord currentSize() const;
    void moveWindow(WindowMove move);
    // The move list's notation, and whether it shows.
    void applyMoveListSettings(const MoveListSettings& settings);
    // While the board grows with the window: the board pane takes the width that the
    // window's height gives the board, the note column the rest (a hidden one stays so).
    void fitGrownBoard();
    // Makes room for the move list when the window has none beside the board: the window
    // widens (as far as the area allows) by the note pane of the looking size.
    void revealMoveList();

    // ---- the keyboard ----
    // Gives the keyboard to the next shown pane after the one that has it (board, move
    // list, note), or to none: false after the last one, or when none has it and none is
    // shown, so that the caller hands it back to the input line.
    bool focusNextPane();

    // ---- commands ----
    // Whether a command of the table may act now: the game's rules, and setting up a
    // position only while this is the game's one window.
    bool commandEnabled(GameCommand command) const;
    // A command of the table; does nothing when it may not act now.
    void runCommand(GameCommand command);
    void flipBoard();
    // The game command dialog, with its kibitz field focused or not.
    void openGameCommands(bool kibitz);
    // Sends a line of this game to the server, with echo.
    void sendLine(std::string_view line);
    // An edit button's command (500..503) while the position is edited.
    void runEditCommand(int id);

    // ---- the palette ----
    // Keeps the placement and the panes' widths, then (unless maximised) makes the window
    // wide enough for the board and its palette, the board pane taking all of it, centred.
    void showEditPalette();
    // Puts back what showEditPalette kept.
    void hideEditPalette();

    // ---- closing ----
    // Closes the window from the event loop (the server's request): at once, or, while one
    // of its dialogs is open, after that dialog has been closed.
    void requestClose();
    // Runs a modal dialog of this window: a close asked for meanwhile closes the dialog
    // and waits until it has returned. The dialog may be gone afterwards; so may the window.
    int execDialog(QDialog& dialog);
    // Counts a modal question of this window (one that does not go through execDialog).
    class ModalScope {
    public:
        explicit ModalScope(CGameFrame& frame);
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        QPointer<CGameFrame> m_frame;
    };
    // Lets the game go without telling anyone (the windows are being torn down).
    void detach();

    // ---- GameObserver ----
    void redraw(model::CGame&) override;
    void moveMade(model::CGame&, const model::PackedMove& move) override;
    void moveTakenBack(model::CGame&, const model::PackedMove& move) override;
    void showNote(model::CGame&) override;
    void moveScroll(model::CGame&, int maximum, int position) override;
    void nameChanged(model::CGame&) override;

signals:
    // What the game window's commands depend on may have changed.
    void stateChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // ---- EditWindowPort ----
    bool askQuitGame(model::CGame& game, std::string_view text) override;
    void beginEditLayout(model::CGame& game) override;
    void endEditLayout(model::CGame& game) override;
    void markPiece(model::CGame& game, int screenSquare) override;

    void enterEditing();
    void applyPanes(const WindowSizeRecord& record);
    void updateCaption();
    void resign();
    void sendGame();
    void openHeader();
    void refreshGameCommand();
    void sendGameLine(GameCommand command);
    void postClose();

    model::CGame* m_game;
    QtGameWindows& m_host;
    QSplitter* m_splitter;
    CGameView* m_view;
    CNoteEdit* m_note;
    CMoveListView* m_moveList;
    QSplitter* m_listAndNote;
    AnalysisStrip* m_strip;
    ExplorerPane* m_explorer;
    GameEngine* m_engine;
    AnalysisPane* m_analysisPane;
    WindowSizeRecord m_size;
    QString m_filePath;
    bool m_readIncomplete = false;
    QString m_documentName;
    bool m_reading = false;
    bool m_closing = false; // a close is being decided (its question is open)
    bool m_panesApplied = false;
    int m_modalDepth = 0;
    bool m_closePending = false;
    std::vector<QPointer<QDialog>> m_dialogs;
    struct Placement {
        QRect rect;
        bool maximized = false;
        QList<int> panes;
    };
    std::optional<Placement> m_beforeEditing;
};

} // namespace marovin::board
