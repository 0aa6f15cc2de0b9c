#pragma once
// A recording fake of the desktop's game windows, and GameRig: a whole client context on
// fakes whose game side is the real one (GameUpdates), logged in and at the prompt.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/game.h"
#include "session/game_list.h"
#include "session/game_updates.h"
#include "testkit/session_fakes.h"

namespace marovin::testkit {

class FakeGameWindows : public session::GameWindowsPort {
public:
    bool openWindow(model::CGame& game, bool looking) override;
    // Closes at once (the game is removed from the list) unless keepOpen is set.
    void closeWindow(model::CGame& game) override;
    void redraw(model::CGame& game) override;
    void refreshStatus(model::CGame& game) override;
    void refreshClocks(model::CGame& game) override;
    // Answers from quitAnswers in order; "Do not quit" when it is empty.
    bool askQuitGame(model::CGame& game, std::string_view reason) override;
    std::optional<int> chooseBranch(model::CGame&, const std::vector<model::BranchRow>&) override { return 0; }

    session::GameList* list = nullptr;
    bool refuse = false;   // no window can be opened
    bool keepOpen = false; // closing requests are recorded only
    std::deque<bool> quitAnswers;
    std::vector<std::string> quitReasons;
    std::function<void(model::CGame&)> onQuitQuestion; // runs while the question is open
    std::vector<std::string> log; // "open:looking", "close:12", "redraw:12", "status:12", "clocks:12"
    int opened = 0;

    // Number of log entries that begin with prefix.
    int count(std::string_view prefix) const;
};

struct GameRig {
    // On the recording fake socket the rig is connected and logged in as "tester", at the
    // prompt. Given another driver (a real loopback socket) it is neither: the test
    // connects it.
    explicit GameRig(session::SocketDriver* driver = nullptr);

    void feed(std::string_view bytes);
    // Feeds the lines (each ended with CR LF) and then the prompt.
    void block(const std::vector<std::string>& lines);
    // The live game with this number (null when there is none).
    model::CGame* live(int number) const;
    session::GameList& list() const { return context->gameList; }
    void clearRecords();

    std::unique_ptr<Options> options;
    FakeTerminal terminal;
    FakeDesktop desktop;
    FakeClock clock;
    FakeClientDesktop client;
    session::GameUpdates games;
    FakeSocketDriver socket;
    FakeGameWindows windows;
    std::unique_ptr<session::ClientContext> context;
};

} // namespace marovin::testkit
