#include "testkit/game_fakes.h"

#include <cstring>

#include "session/server_scanner.h"

namespace marovin::testkit {

bool FakeGameWindows::openWindow(model::CGame&, bool looking)
{
    log.emplace_back(looking ? "open:looking" : "open:playing");
    if (refuse)
        return false;
    ++opened;
    return true;
}

void FakeGameWindows::closeWindow(model::CGame& game)
{
    log.push_back("close:" + std::to_string(game.gameNumber));
    if (!keepOpen && list)
        list->remove(&game);
}

void FakeGameWindows::redraw(model::CGame& game) { log.push_back("redraw:" + std::to_string(game.gameNumber)); }

void FakeGameWindows::refreshStatus(model::CGame& game)
{
    log.push_back("status:" + std::to_string(game.gameNumber));
}

void FakeGameWindows::refreshClocks(model::CGame& game)
{
    log.push_back("clocks:" + std::to_string(game.gameNumber));
}

bool FakeGameWindows::askQuitGame(model::CGame& game, std::string_view reason)
{
    quitReasons.emplace_back(reason);
    log.push_back("quit?:" + std::to_string(game.gameNumber));
    if (onQuitQuestion)
        onQuitQuestion(game);
    if (quitAnswers.empty())
        return false;
    const bool answer = quitAnswers.front();
    quitAnswers.pop_front();
    return answer;
}

int FakeGameWindows::count(std::string_view prefix) const
{
    int n = 0;
    for (const std::string& entry : log)
        n += entry.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

GameRig::GameRig(session::SocketDriver* driver) : options(std::make_unique<Options>())
{
    std::memset(options.get(), 0, sizeof(Options));
    const session::ClientPorts ports{terminal, desktop, clock, client, games};
    context = std::make_unique<session::ClientContext>(*options, ports, driver ? *driver : socket);
    games.attach(*context);
    context->gameList.setWindows(&windows);
    windows.list = &context->gameList;
    if (driver)
        return;
    context->connection.connectToServer("localhost", 5555);
    socket.sink->OnConnect(0);
    feed("Login as tester\r\n");
    feed("OMRA% ");
    clearRecords();
}

void GameRig::feed(std::string_view bytes)
{
    session::scanServerOutput(*context, bytes.data(), static_cast<int>(bytes.size()));
}

void GameRig::block(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    feed(text + "OMRA% ");
}

model::CGame* GameRig::live(int number) const { return context->gameList.findLive(number); }

void GameRig::clearRecords()
{
    terminal.clear();
    desktop = FakeDesktop();
    windows.log.clear();
    socket.sent.clear();
    clock.pauses.clear();
}

} // namespace marovin::testkit
