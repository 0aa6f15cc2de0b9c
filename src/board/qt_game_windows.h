#pragma once
// The game windows on Qt: every game of the context's game list (server games and the
// user's own) shown in a CGameFrame in the main frame's area. The session reaches a window
// through its game, which this object resolves; a closing window unregisters first, so
// that a late server line finds no window instead of a dead one.
//
// It also holds what all board views draw with (the process's board bitmap and glyphs,
// the system font's metrics), the header dialog's memory, and the program's closing flag.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board_bitmap.h"
#include "board/game_view.h"
#include "board/window_sizes.h"
#include "model/game_header_form.h"
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
    // The window of game, or null.
    CGameFrame* frameOf(const model::CGame* game) const;
    // Every window, newest first.
    std::vector<CGameFrame*> frames() const;
    // The active window of the area (while the program is inactive: the one that becomes
    // active with it) when it is a game window, else null.
    CGameFrame* activeFrame() const;
    // Activates the game window after the active one (in the order they were opened,
    // wrapping) and brings it to the front; the input line keeps the keyboard.
    void activateNext();
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
    model::GameHeaderMemory& headerMemory() { return m_headerMemory; }
    QMdiArea* area() const { return m_area; }
    // "observe %d\n" for an observed game, "adjourn %d\n" for a played one, with echo.
    void sendLeave(const model::CGame& game);
    // A line of a game command, with echo.
    void send(std::string_view line);
    // The frame is closing for good: it leaves the registry first, then its game leaves
    // the list.
    void frameClosed(CGameFrame* frame, model::CGame* game);

signals:
    // A window opened or closed, or what the commands of a window depend on changed.
    void windowsChanged();

private:
    struct Entry {
        model::CGame* game;
        QPointer<CGameFrame> frame;
    };
    QRect placeNewWindow(const WindowSizeRecord& record) const;

    QPointer<QMdiArea> m_area;
    session::ClientContext& m_context;
    BoardBitmap m_bitmap;
    BoardResources m_resources;
    model::GameHeaderMemory m_headerMemory;
    std::vector<Entry> m_entries; // in the order the windows were opened
    InputLineLink m_input;
    PlayerNameAsker m_askPlayerName;
    bool m_closing = false;
};

} // namespace marovin::board
