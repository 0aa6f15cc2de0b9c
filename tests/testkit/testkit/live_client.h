#pragma once
// A whole client of the practice server for protocol tests and figures: the real scanner,
// login and game side on a loopback socket, with recording fakes for the desktop.

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "session/client_context.h"
#include "session/game_updates.h"
#include "support/fixed_text.h"
#include "testkit/game_fakes.h"
#include "testkit/loopback_socket.h"

namespace marovin::testkit {

// A whole client (scanner, login, game side) on a loopback socket, with fake windows that
// keep every game open so that the test can read it after its window was asked to close.
struct LiveClient {
    // clockPort: the clock the client uses (the fake one when null).
    LiveClient(int port, const std::string& name, const std::string& password, ClockPort* clockPort = nullptr)
        : options(std::make_unique<Options>())
    {
        using namespace session;
        std::memset(options.get(), 0, sizeof(Options));
        const ClientPorts ports{terminal, desktop, clockPort ? *clockPort : clock, client, games};
        context = std::make_unique<ClientContext>(*options, ports, socket);
        games.attach(*context);
        context->gameList.setWindows(&windows);
        windows.list = &context->gameList;
        windows.keepOpen = true;
        copyBounded(context->session.storedLoginName, name);
        copyBounded(context->session.storedPassword, password);
        context->connection.connectToServer("127.0.0.1", port);
    }

    // Sends a command as the input line does and waits for the state that answers it.
    bool command(const std::string& text, const std::function<bool()>& answered)
    {
        session::sendCommand(*context, text + "\r\n", true, false);
        return socket.runUntil(answered);
    }
    int prompts() const
    {
        int n = 0;
        for (const auto& line : terminal.lines)
            n += line.text == "OMRA% " ? 1 : 0;
        return n;
    }
    bool loggedIn()
    {
        // Logged in, and the answer to "set client on" arrived (its prompt is the second).
        return socket.runUntil([&] { return context->session.loggedInName.size() > 0 && prompts() >= 2; });
    }
    // The last move report of game number shown in the terminal: its event number, move
    // and the two clocks.
    struct Report {
        int number = 0;
        std::string move;
        long red = 0, black = 0;
    };
    std::optional<Report> lastReport(int number) const
    {
        const std::string pattern = "Game " + std::to_string(number) + " %*s vs %*s %d %15s %ld %ld";
        for (auto it = terminal.lines.rbegin(); it != terminal.lines.rend(); ++it) {
            Report report;
            char move[16];
            if (std::sscanf(it->text.c_str(), pattern.c_str(), &report.number, move, &report.red, &report.black) == 4) {
                report.move = move;
                return report;
            }
        }
        return std::nullopt;
    }
    model::CGame* localGame() const
    {
        for (model::CGame* game : context->gameList.games())
            if (game->participation == model::kLocalGame && game->mode == model::kModeNormal)
                return game;
        return nullptr;
    }

    std::unique_ptr<Options> options;
    FakeTerminal terminal;
    FakeDesktop desktop;
    FakeClock clock;
    FakeClientDesktop client;
    session::GameUpdates games;
    LoopbackSocket socket;
    FakeGameWindows windows;
    std::unique_ptr<session::ClientContext> context;
};

} // namespace marovin::testkit
