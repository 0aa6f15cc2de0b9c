#include "testkit/session_fakes.h"

#include <algorithm>
#include <cstring>

#include "session/server_scanner.h"
#include "support/fixed_text.h"

namespace marovin::testkit {

void FakeClientDesktop::setStatusLabel(std::optional<std::uint32_t> colour,
                                       std::optional<std::string_view> text)
{
    labels.push_back({colour, text ? std::optional<std::string>(std::string(*text)) : std::nullopt});
    if (colour)
        labelColour = *colour;
    if (text)
        labelText = std::string(*text);
    log.push_back("label:" + (text ? std::string(*text) : std::string()));
}

void FakeClientDesktop::note(std::vector<std::string>& list, std::string_view name, std::string_view text)
{
    list.emplace_back(text);
    log.emplace_back(name);
}

void FakeClientDesktop::raiseTerminal()
{
    ++raises;
    log.emplace_back("raise");
}

void FakeClientDesktop::setTerminalTitle(std::string_view title)
{
    titles.emplace_back(title);
    log.push_back("title:" + std::string(title));
}

void FakeClientDesktop::showPartialLine(std::string_view text)
{
    partialLines.emplace_back(text);
    log.push_back("partial:" + std::string(text));
}

void FakeClientDesktop::handleOnePendingEvent()
{
    ++pendingEventsHandled;
    log.emplace_back("event");
    if (onPendingEvent)
        onPendingEvent();
}

void FakeClientDesktop::appendTellLine(TextFormatId format, std::string_view line)
{
    tellLines.push_back({format, std::string(line)});
    log.push_back("tell:" + std::string(line));
}

void FakeClientDesktop::setPlayerName(std::string_view name)
{
    playerNames.emplace_back(name);
    log.push_back("player:" + std::string(name));
}

void FakeClientDesktop::updateWhoList(std::string_view output, int kind)
{
    whoLists.push_back({std::string(output), kind});
    log.push_back("who:" + std::to_string(kind));
}

void FakeClientDesktop::showWhoWindow()
{
    ++whoWindowShown;
    log.emplace_back("showWho");
}

void FakeClientDesktop::updateGamesList(std::string_view output)
{
    note(gamesLists, "games", output);
}

void FakeClientDesktop::createStoredGamesWindow(std::string_view output)
{
    note(storedWindows, "stored", output);
}

void FakeClientDesktop::createFingerWindow(std::string_view output)
{
    note(fingerWindows, "finger", output);
}

void FakeClientDesktop::openMessageDialog(std::string_view output)
{
    note(messageDialogs, "message", output);
}

void FakeClientDesktop::openAliasResult(std::string_view output)
{
    note(aliasResults, "alias", output);
}

void FakeClientDesktop::openMatchDialog(std::string_view line)
{
    matchDialogs.emplace_back(line);
    log.push_back("match:" + std::string(line));
}

void FakeClientDesktop::openLoginWindow()
{
    ++loginWindowOpened;
    log.emplace_back("loginWindow");
}

void FakeGames::parseGameNotice(std::string_view line)
{
    notices.emplace_back(line);
    log.push_back("notice:" + std::string(line));
}

void FakeGames::collectGameLine(session::Collector collector, std::string_view line, bool keywordLine)
{
    collected.push_back({collector, std::string(line), keywordLine});
    log.push_back("collect:" + std::string(line));
    if (onCollect)
        onCollect(line);
}

bool FakeGames::offerHandicapLine(std::string_view line)
{
    handicapLines.emplace_back(line);
    log.push_back("handicap:" + std::string(line));
    return takeHandicapLines;
}

void FakeGames::finishUpdates()
{
    ++updatesFinished;
    log.emplace_back("finishUpdates");
}

void FakeGames::endSessionGames()
{
    ++sessionsEnded;
    log.emplace_back("endSession");
}

void FakeGames::sendNextGameLine()
{
    ++nextLinesSent;
    log.emplace_back("sendNext");
}

void FakeGames::onTransferTell(std::string_view text, std::string_view sender)
{
    transferTells.emplace_back(std::string(text), std::string(sender));
    log.push_back("transfer:" + std::string(sender));
}

void FakeGames::askGameOverQuestions()
{
    ++gameOverAsks;
    log.emplace_back("gameOver");
}

bool FakeSocketDriver::create()
{
    ++creates;
    error = createFails ? 10024 : 0;
    open = !createFails;
    return open;
}

bool FakeSocketDriver::connect(std::string_view host, int port)
{
    connects.emplace_back(std::string(host), port);
    error = connectAtOnce ? 0 : connectError;
    return connectAtOnce;
}

int FakeSocketDriver::send(const char* bytes, int count)
{
    if (sendError != 0) {
        error = sendError;
        return -1;
    }
    const int taken = sendLimit < 0 ? count : std::min(count, sendLimit);
    sent.append(bytes, static_cast<std::size_t>(taken));
    error = 0;
    return taken;
}

int FakeSocketDriver::receive(char* buffer, int capacity)
{
    ++receives;
    if (incoming.empty()) {
        error = peerClosed ? 0 : session::kWouldBlock;
        return peerClosed ? 0 : -1;
    }
    std::string& front = incoming.front();
    const std::size_t n = std::min(front.size(), static_cast<std::size_t>(capacity));
    std::memcpy(buffer, front.data(), n);
    front.erase(0, n);
    if (front.empty())
        incoming.pop_front();
    error = 0;
    return static_cast<int>(n);
}

void FakeSocketDriver::close()
{
    ++closes;
    open = false;
    error = 0;
}

void FakeSocketDriver::deliver(std::string_view bytes)
{
    incoming.emplace_back(bytes);
    while (!incoming.empty() && sink && open) {
        const int before = receives;
        sink->OnReceive(0);
        if (receives == before)
            break;
    }
}

SessionRig::SessionRig(session::SocketDriver* driver) : options(std::make_unique<Options>())
{
    std::memset(options.get(), 0, sizeof(Options));
    copyBounded(options->startupCommands, "who -2\r\n");
    copyBounded(options->autoCommands, "/ hi all\r\n# who -2\r\n");
    const session::ClientPorts ports{terminal, desktop, clock, client, games};
    context = std::make_unique<session::ClientContext>(*options, ports, driver ? *driver : socket);
}

void SessionRig::connectNow(std::string_view host, int port)
{
    context->connection.connectToServer(host, port);
    socket.sink->OnConnect(0);
    socket.sent.clear();
}

void SessionRig::feed(std::string_view bytes)
{
    session::scanServerOutput(*context, bytes.data(), static_cast<int>(bytes.size()));
}

void SessionRig::logIn(std::string_view name)
{
    connectNow();
    feed("Login as " + std::string(name) + "\r\n");
}

void SessionRig::clearRecords()
{
    terminal.clear();
    desktop = FakeDesktop();
    client = FakeClientDesktop();
    games = FakeGames();
    socket.sent.clear();
    clock.pauses.clear();
}

} // namespace marovin::testkit
