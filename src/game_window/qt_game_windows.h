#pragma once
// The game windows on Qt: every game of the context's game list (server games and the
// user's own) shown in a CGameFrame in the main frame's area. The session reaches a window
// through its game, which this object resolves; a closing window unregisters first, so
// that a late server line finds no window instead of a dead one.
//
// A game may be shown in several windows (New Chess Window): they are views of one record,
// so the browsed position, the orientation, the note and the document are the game's and
// every view follows them; each view keeps its own piece carry. The game's observer is this
// object, which passes every notice to each window of the game. Closing a window that is
// not its game's last only closes that view; the last one closes the game as a single
// window does.
//
// It also holds what all board views draw with (the process's board bitmap and glyphs,
// the system font's metrics), the header dialog's memory, and the program's closing flag.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board_bitmap.h"
#include "board/clock_alarm.h"
#include "game_window/game_view.h"
#include "game_window/board_growth_setting.h"
#include "game_window/move_list_settings.h"
#include "game_window/window_sizes.h"
#include "model/game_header_form.h"
#include "platform/engine_pool.h"
#include "session/client_context.h"
#include "session/game_list.h"

namespace marovin::board {

class CGameFrame;

class QtGameWindows : public QObject, public session::GameWindowsPort {
    Q_OBJECT
public:
    // area holds the windows; the context (its game list, options and connection) must
    // outlive this object. Installs itself as the list's windows and loads the board
    // bitmap when the options ask for one.
    QtGameWindows(QMdiArea* area, session::ClientContext& context, const SystemMetrics& metrics,
                  QObject* parent = nullptr);
    // Windows still open are closed without asking; their games stay in the list.
    ~QtGameWindows() override;

    // ---- the session's port ----
    bool openWindow(model::CGame& game, bool looking) override;
    void closeWindow(model::CGame& game) override;
    void redraw(model::CGame& game) override;
    void refreshStatus(model::CGame& game) override;
    void refreshClocks(model::CGame& game) override;
    bool askQuitGame(model::CGame& game, std::string_view reason) override;
    std::optional<int> chooseBranch(model::CGame& game, const std::vector<model::BranchRow>& rows) override;

    // ---- for the main frame ----
    // File New: a local game in a new window (looking size), however many windows the
    // server opened; null after "Cannot create GAME!".
    CGameFrame* newGame();
    // Another window on the game of source (same record, its own carry and size), opened
    // and activated like a new one; null when source shows no game or the game is being
    // edited or read.
    CGameFrame* openView(CGameFrame& source);
    // The window of game (the active one when it shows the game, else the first opened),
    // or null.
    CGameFrame* frameOf(const model::CGame* game) const;
    // Every window of game, in the order they were opened.
    std::vector<CGameFrame*> framesOf(const model::CGame* game) const;
    // Every window, newest game first (a game's windows in the order they were opened).
    std::vector<CGameFrame*> frames() const;
    // The active window of the area (while the program is inactive: the one that becomes
    // active with it) when it is a game window, else null.
    CGameFrame* activeFrame() const;
    // Activates the game window after the active one (in the order they were opened,
    // wrapping) and brings it to the front; the input line keeps the keyboard.
    void activateNext();
    // Activates frame and raises it once the event at hand has been handled (a closing
    // window makes the area activate another); the input line keeps the keyboard.
    void bringToFront(CGameFrame* frame);
    // Program exit: every game window is activated and asked to close (live games send
    // their leave command and close). False, and the program stays, when one refuses.
    bool closeAll();
    bool programClosing() const { return m_closing; }
    // What asks for the player a game is sent to (its window is given); unset or cancelled:
    // nothing.
    using PlayerNameAsker = std::function<std::optional<std::string>(CGameFrame&)>;
    void setPlayerNameAsker(PlayerNameAsker ask) { m_askPlayerName = std::move(ask); }
    std::optional<std::string> askPlayerName(CGameFrame& frame) const
    {
        return m_askPlayerName ? m_askPlayerName(frame) : std::nullopt;
    }
    // How the windows hand the keyboard back to the input line.
    void setInputLineLink(InputLineLink link) { m_input = std::move(link); }
    const InputLineLink& inputLineLink() const { return m_input; }
    void requestInputFocus() const;

    // ---- for the frames ----
    session::ClientContext& context() const { return m_context; }
    const BoardResources& resources() const { return m_resources; }
    // The process's board bitmap, which the board settings load and restore.
    BoardBitmap& boardBitmap() { return m_bitmap; }
    // Every board drawn again after a board setting changed (colours, texts, font, bitmap).
    void redrawBoards();
    // The move lists' notation and whether they show (read from the program's settings
    // when this object is made); a change reaches every window at once, and with store it
    // is kept for the next start.
    const MoveListSettings& moveListSettings() const { return m_moveListSettings; }
    void setMoveListSettings(const MoveListSettings& settings, bool store);
    // Whether the boards grow with their windows (read from the program's settings when
    // this object is made); a change reaches every window at once, and with store it is
    // kept for the next start.
    bool boardGrows() const { return m_boardGrows; }
    void setBoardGrows(bool grows, bool store);
    model::GameHeaderMemory& headerMemory() { return m_headerMemory; }
    // The program's engines, lent to the windows' analyses and play.
    platform::EnginePool& enginePool() { return m_engines; }
    QMdiArea* area() const { return m_area; }
    // "observe %d\n" for an observed game, "adjourn %d\n" for a played one, with echo.
    void sendLeave(const model::CGame& game);
    // A line of a game command, with echo.
    void send(std::string_view line);
    // The frame is closing for good: it leaves the registry first, then, when it was the
    // game's last window, its game leaves the list.
    void frameClosed(CGameFrame* frame, model::CGame* game);

signals:
    // A window opened or closed, or what the commands of a window depend on changed.
    void windowsChanged();
    // The window of a game the user plays opened, at the front.
    void playedGameOpened(CGameFrame* frame);

private:
    struct Entry {
        model::CGame* game;
        QPointer<CGameFrame> frame;
    };
    // The observer of every shown game: each notice goes to every window of the game.
    class ViewsObserver : public model::GameObserver {
    public:
        explicit ViewsObserver(const QtGameWindows& windows) : m_windows(windows) {}
        void redraw(model::CGame& game) override;
        void moveMade(model::CGame& game, const model::PackedMove& move) override;
        void moveTakenBack(model::CGame& game, const model::PackedMove& move) override;
        void showNote(model::CGame& game) override;
        void moveScroll(model::CGame& game, int maximum, int position) override;
        void nameChanged(model::CGame& game) override;

    private:
        const QtGameWindows& m_windows;
    };
    QRect placeNewWindow(const WindowSizeRecord& record) const;
    // The low-time alarm of game, brought up to date (sounding when it falls under a
    // threshold): the status line whose clock is low (1 or 2), or 0.
    int checkAlarm(const model::CGame& game);
    CGameFrame* addFrame(model::CGame& game, const WindowSizeRecord& record);

    QPointer<QMdiArea> m_area;
    session::ClientContext& m_context;
    BoardBitmap m_bitmap;
    BoardResources m_resources;
    model::GameHeaderMemory m_headerMemory;
    platform::EnginePool m_engines;
    std::vector<Entry> m_entries; // in the order the windows were opened
    std::map<const model::CGame*, ClockAlarm> m_alarms; // one per game, whatever its windows
    ViewsObserver m_observer{*this};
    InputLineLink m_input;
    MoveListSettings m_moveListSettings = loadMoveListSettings();
    bool m_boardGrows = loadBoardGrows();
    PlayerNameAsker m_askPlayerName;
    bool m_closing = false;
};

} // namespace marovin::board
