#pragma once
// The session's games: every game window's CGame lives here, newest first, for the whole
// life of its window. The list opens games on request of the server code and of the game
// file reader, finds live games by number, and is told when a window has closed.
//
// The windows themselves belong to the desktop, reached through GameWindowsPort: the list
// asks it to show a new game, to redraw or refresh one, to close one (the close runs later,
// by the window's own rules, and ends with GameList::remove), and for the quit-game
// question.

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "model/game.h"
#include "model/game_ports.h"
#include "support/ports.h"

namespace marovin::session {

// What the desktop does for the session's game windows. Implemented by the Qt game
// windows; tests use a recording fake.
class GameWindowsPort {
public:
    virtual ~GameWindowsPort() = default;

    // Shows a new window for game, sized for looking on (observing, a game shown on request)
    // or for playing. False when no window could be made; the game is then dropped.
    virtual bool openWindow(model::CGame& game, bool looking) = 0;
    // Asks the window of game to close. The close runs later by the window's rules (a live
    // game's window sends its leave command and stays) and calls GameList::remove when the
    // window is gone. May do nothing for a game without a window.
    virtual void closeWindow(model::CGame& game) = 0;
    // The whole window: board, status and caption.
    virtual void redraw(model::CGame& game) = 0;
    // Caption, names, ratings, clocks and turn.
    virtual void refreshStatus(model::CGame& game) = 0;
    // The two clock texts only.
    virtual void refreshClocks(model::CGame& game) = 0;
    // The quit-game window with reason as its reason line; true when the user chose
    // "Quit". Modal: other events, server output included, may be handled meanwhile.
    virtual bool askQuitGame(model::CGame& game, std::string_view reason) = 0;
    // The "Choose Branch" list (see model::GameWindowPort::chooseBranch).
    virtual std::optional<int> chooseBranch(model::CGame& game, const std::vector<model::BranchRow>& rows) = 0;
};

// Most game windows the list keeps open at once. Every game of the list was opened on the
// server's request (a notice, a block, a transfer), so without a bound a server could open
// windows, and use memory, as long as it liked.
constexpr std::size_t kGameWindowLimit = 50;

class GameList final : public model::GameWindowPort {
public:
    // The ports and settings every game of the list reaches; all must outlive the list.
    GameList(TerminalPort& terminal, DesktopPort& desktop, ClockPort& clock, const model::GameSettings& settings);
    GameList(const GameList&) = delete;
    GameList& operator=(const GameList&) = delete;

    // The desktop's game windows (null: no window can be opened). Not owned.
    void setWindows(GameWindowsPort* windows) { m_windows = windows; }
    GameWindowsPort* windows() const { return m_windows; }

    // Opens a new game window and returns its game, or, when that fails, writes "Cannot
    // create GAME!" to the terminal and a message box and returns nullptr. With
    // kGameWindowLimit windows open, no window is opened: a warning line says so each time,
    // and "Cannot create GAME!" is reported only the first time until a window closes.
    model::CGame* open(bool looking);
    // A window the user asked for (a new game, a file, a preview): the looking size unless
    // looking is false, whatever the number of windows the server opened; "Cannot create
    // GAME!" when it fails.
    model::CGame* openForUser(bool looking = true);
    // The model's request for a new window (the game file reader, which reports a failure
    // itself): a looking window; only the warning of a full list is written.
    model::CGame* openGameWindow() override;
    std::optional<int> chooseBranch(model::CGame& game, const std::vector<model::BranchRow>& rows) override;

    // Asks the desktop to close the window of game; without a desktop the game is removed
    // at once.
    void close(model::CGame& game);
    // The window of game has closed: the game leaves the list, loses its observer and is
    // destroyed by the next releaseClosed (code that still holds it meanwhile stays safe).
    // Unknown games are ignored.
    void remove(const model::CGame* game);
    // Destroys the games removed since the last call. Called when no game code is running.
    void releaseClosed() { m_closed.clear(); }

    bool contains(const model::CGame* game) const;
    // The first game (newest first) with participation 0 or 1 and this number, or null.
    model::CGame* findLive(int number) const;
    // The first game in mode 1 (waiting for an update), or null.
    model::CGame* firstWaiting() const;
    // The first game in mode 5 (game over, the quit question pending), or null.
    model::CGame* firstGameOver() const;
    // All games, newest first.
    std::vector<model::CGame*> games() const;
    // The newest game, or null.
    model::CGame* newest() const { return m_games.empty() ? nullptr : m_games.front().get(); }
    std::size_t size() const { return m_games.size(); }

    // The game that handicap lines refer to: the one whose position the server code reset
    // last; null at every prompt. Cleared when that game goes.
    model::CGame* currentGame = nullptr;

private:
    model::CGame* create(bool looking);
    // False, after the warning, when kGameWindowLimit windows are open.
    bool roomForWindow();
    void reportCannotCreate();

    TerminalPort& m_terminal;
    DesktopPort& m_desktop;
    ClockPort& m_clock;
    const model::GameSettings& m_settings;
    GameWindowsPort* m_windows = nullptr;
    std::vector<std::unique_ptr<model::CGame>> m_games;  // newest first
    std::vector<std::unique_ptr<model::CGame>> m_closed; // removed, not yet destroyed
    bool m_fullReported = false; // "Cannot create GAME!" was said since the list filled up
};

} // namespace marovin::session
