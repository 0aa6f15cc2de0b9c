#include "session/reconnect.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "model/game.h"
#include "session/client_context.h"
#include "session/login.h"
#include "session/stored_list.h"
#include "support/fixed_text.h"

namespace marovin::session {

namespace {

using model::CGame;

std::string serverText(const ReconnectState& state)
{
    return state.host + " " + std::to_string(state.port);
}

// A record the user has not worked on: one line of moves without notes. Only such a
// record is cleared when its window takes the game again.
bool untouchedRecord(const CGame& game)
{
    if (game.root().count() > 1)
        return false;
    bool untouched = true;
    model::ForEachLine(game.root(), [&](const model::MoveLine& line) {
        if (line.hasNotes != 0 || (line.continuation && line.continuation->count() > 1))
            untouched = false;
    });
    return untouched;
}

bool windowStillThere(const ClientContext& context, const RejoinGame& game)
{
    return game.window && context.gameList.contains(game.window) &&
           game.window->participation == model::kServerNotLive;
}

// The games to take up again after the next login: the live ones, and those of an earlier
// loss still waiting in their windows.
void rememberLiveGames(ClientContext& context)
{
    ReconnectState& state = context.reconnect;
    std::erase_if(state.rejoin, [&](const RejoinGame& game) { return !windowStillThere(context, game); });
    for (CGame* game : context.gameList.games()) {
        if (game->participation > model::kPlaying || game->gameNumber < 0)
            continue;
        RejoinGame lost;
        lost.number = game->gameNumber;
        lost.red = fieldText(game->redName);
        lost.black = fieldText(game->blackName);
        lost.playing = game->participation == model::kPlaying;
        lost.window = game;
        state.rejoin.push_back(std::move(lost));
    }
}

void stopTrying(ClientContext& context)
{
    ReconnectState& state = context.reconnect;
    state.phase = ReconnectPhase::Idle;
    state.nextTryMs = -1;
    state.tries = 0;
}

// Says what happens next: at once, or (when the connection is closing) after the line
// that says it closed.
void tell(ClientContext& context, const std::string& text, bool closing)
{
    if (closing)
        context.reconnect.pendingLines.push_back(text);
    else
        context.terminal.writeClientText(text, false);
}

// Schedules the next try, or gives up after the last.
void scheduleNextTry(ClientContext& context, bool closing)
{
    ReconnectState& state = context.reconnect;
    if (state.tries >= kReconnectTries) {
        stopTrying(context);
        state.rejoin.clear();
        tell(context, "Reconnecting failed " + std::to_string(kReconnectTries) + " times: press Connect to try again.",
             closing);
        return;
    }
    const int delay = kReconnectDelaysSeconds[state.tries];
    state.phase = ReconnectPhase::Waiting;
    state.nextTryMs = context.clock.nowMilliseconds() + delay * 1000;
    tell(context,
         "Reconnecting to " + serverText(state) + " in " + std::to_string(delay) + " s (try " +
             std::to_string(state.tries + 1) + " of " + std::to_string(kReconnectTries) +
             "; Cancel on the status bar stops it).",
         closing);
}

void tryNow(ClientContext& context)
{
    ReconnectState& state = context.reconnect;
    ++state.tries;
    state.phase = ReconnectPhase::Connecting;
    state.nextTryMs = -1;
    rememberAccount(context.session, state.loginName, state.password);
    context.connection.connectToServer(state.host, state.port);
    if (!context.connection.isConnected() && !context.connection.isConnecting())
        scheduleNextTry(context, false); // refused at once (reported in the terminal)
}

void rejoinGames(ClientContext& context)
{
    ReconnectState& state = context.reconnect;
    std::erase_if(state.rejoin, [&](const RejoinGame& game) { return !windowStillThere(context, game); });
    int observed = 0;
    bool played = false;
    for (const RejoinGame& game : state.rejoin) {
        if (game.playing) {
            played = true;
        } else {
            sendCommand(context, "observe " + std::to_string(game.number) + "\r\n", true, false);
            ++observed;
        }
    }
    if (played) {
        state.awaitingStored = true;
        sendCommand(context, "stored\r\n", true, false);
    }
    context.terminal.writeClientText("Reconnected to " + serverText(state) + (observed > 0 ? ": observing " +
                                         std::to_string(observed) + (observed == 1 ? " game" : " games") + " again." : "."),
                                     true);
}

int storedNumber(std::string_view entry)
{
    const std::size_t dot = entry.rfind('.');
    int number = -1;
    if (dot != std::string_view::npos)
        std::from_chars(entry.data() + dot + 1, entry.data() + entry.size(), number);
    return number;
}

// The newest adjourned game between the two players in the stored list, or nothing.
const std::string* adjournedEntry(const std::vector<std::string>& entries, const RejoinGame& game)
{
    const std::string* newest = nullptr;
    for (const std::string& entry : entries) {
        const StoredPlayers players = storedPlayers(entry);
        if (entry.front() != 'A' || players.first != game.red || players.second != game.black)
            continue;
        if (!newest || storedNumber(entry) > storedNumber(*newest))
            newest = &entry;
    }
    return newest;
}

void offerResume(ClientContext& context, RejoinGame& game, const std::string& entry)
{
    const std::string& user = context.session.loggedInName;
    const std::string opponent = user == game.red ? game.black : game.red;
    const std::string question = "Your game " + std::to_string(game.number) + " with " + opponent +
                                 " was adjourned when the connection was lost.\n\nResume it now?";
    if (!context.desktop.askYesNo(question, false)) {
        context.terminal.writeClientText("The game stays adjourned: Game > My Stored Games resumes it later.", true);
        return;
    }
    // What the stored games window's Restart button sends.
    const StoredChoice choice = chooseStoredGame(entry, "restart", user);
    sendCommand(context, "set open on\r\n", true, true);
    sendCommand(context, choice.line, true, true);
    game.resumeOffered = true;
}

} // namespace

void noteUserDisconnect(ClientContext& context)
{
    context.reconnect.userEnded = true;
    if (context.reconnect.phase != ReconnectPhase::Idle)
        cancelReconnect(context);
    context.reconnect.rejoin.clear();
}

void stopReconnecting(ClientContext& context)
{
    stopTrying(context);
}

void cancelReconnect(ClientContext& context)
{
    ReconnectState& state = context.reconnect;
    if (state.phase == ReconnectPhase::Idle)
        return;
    const bool trying = state.phase == ReconnectPhase::Connecting;
    stopTrying(context);
    state.rejoin.clear();
    if (trying && !isLoggedIn(context.session))
        context.connection.resetConnection();
    context.terminal.writeClientText("Reconnecting was cancelled.", false);
}

void reconnectAfterLogin(ClientContext& context)
{
    ReconnectState& state = context.reconnect;
    // A try logged in, or the user did by hand on the same server while games waited.
    const bool sameServer = state.host == context.connection.hostName() && state.port == context.connection.port();
    const bool reconnected = state.phase == ReconnectPhase::Connecting || (sameServer && !state.rejoin.empty());
    state.host = context.connection.hostName();
    state.port = context.connection.port();
    const std::string_view stored = fieldText(context.session.storedLoginName);
    state.loginName = stored.empty() ? context.session.loggedInName : std::string(stored);
    state.password = fieldText(context.session.currentPassword);
    state.userEnded = false;
    state.phase = ReconnectPhase::Idle;
    state.nextTryMs = -1;
    state.loggedInAtMs = context.clock.nowMilliseconds();
    state.lastLoginReconnected = reconnected;
    if (reconnected)
        rejoinGames(context);
}

void reconnectOnSessionEnd(ClientContext& context)
{
    ReconnectState& state = context.reconnect;
    if (state.phase == ReconnectPhase::Connecting) {
        scheduleNextTry(context, true); // the try connected but did not get logged in
        return;
    }
    if (state.phase != ReconnectPhase::Idle)
        return;
    const bool loggedIn = isLoggedIn(context.session);
    if (state.userEnded || !loggedIn || !context.alerts.reconnect || state.host.empty())
        return;
    const bool soon = state.lastLoginReconnected &&
                      context.clock.nowMilliseconds() - state.loggedInAtMs < kStableConnectionMs;
    if (!soon)
        state.tries = 0;
    state.awaitingStored = false;
    rememberLiveGames(context);
    scheduleNextTry(context, true);
}

void reconnectAfterClose(ClientContext& context)
{
    for (const std::string& line : std::exchange(context.reconnect.pendingLines, {}))
        context.terminal.writeClientText(line, false);
}

void reconnectTick(ClientContext& context)
{
    ReconnectState& state = context.reconnect;
    if (state.phase == ReconnectPhase::Waiting && context.clock.nowMilliseconds() >= state.nextTryMs) {
        tryNow(context);
    } else if (state.phase == ReconnectPhase::Connecting && !context.connection.isConnected() &&
               !context.connection.isConnecting()) {
        scheduleNextTry(context, false); // the connect itself failed (reported in the terminal)
    }
}

ReconnectStatus reconnectStatus(const ClientContext& context)
{
    const ReconnectState& state = context.reconnect;
    ReconnectStatus status;
    status.active = state.phase != ReconnectPhase::Idle;
    status.connecting = state.phase == ReconnectPhase::Connecting;
    status.tryNumber = status.connecting ? state.tries : state.tries + 1;
    if (state.phase == ReconnectPhase::Waiting) {
        const std::int64_t left = state.nextTryMs - context.clock.nowMilliseconds();
        status.secondsLeft = static_cast<int>(std::max<std::int64_t>(0, (left + 999) / 1000));
    }
    return status;
}

bool reconnectKeepsErrorsQuiet(const ClientContext& context)
{
    if (context.reconnect.phase == ReconnectPhase::Connecting)
        return true;
    return context.alerts.reconnect && !context.reconnect.userEnded && isLoggedIn(context.session);
}

bool takeStoredAnswer(ClientContext& context, std::string_view output)
{
    ReconnectState& state = context.reconnect;
    if (!state.awaitingStored)
        return false;
    state.awaitingStored = false;
    const std::vector<std::string> entries = parseStoredList(output);
    // A copy: answering a question handles events, and a new loss may change the list.
    std::vector<RejoinGame> played;
    for (const RejoinGame& game : state.rejoin)
        if (game.playing)
            played.push_back(game);
    std::erase_if(state.rejoin, [](const RejoinGame& game) { return game.playing; });
    for (RejoinGame& game : played) {
        if (const std::string* entry = adjournedEntry(entries, game)) {
            offerResume(context, game, *entry);
            if (game.resumeOffered)
                state.rejoin.push_back(game);
        } else {
            context.terminal.writeClientText("Game " + std::to_string(game.number) + " (" + game.red + " vs " +
                                                 game.black + ") is not among your adjourned games.",
                                             true);
        }
    }
    return true;
}

model::CGame* takeRejoinWindow(ClientContext& context, int number, std::string_view red, std::string_view black,
                               bool playing)
{
    ReconnectState& state = context.reconnect;
    red = red.substr(0, model::kNameLength);
    black = black.substr(0, model::kNameLength);
    const auto it = std::find_if(state.rejoin.begin(), state.rejoin.end(), [&](const RejoinGame& game) {
        // A resumed game comes back under a new number.
        return game.playing == playing && (playing || game.number == number) && game.red == red &&
               game.black == black;
    });
    if (it == state.rejoin.end())
        return nullptr;
    CGame* window = nullptr;
    if (windowStillThere(context, *it) && it->window->mode == model::kModeNormal)
        for (CGame* game : context.gameList.games())
            if (game == it->window)
                window = game;
    state.rejoin.erase(it);
    if (!window || !untouchedRecord(*window))
        return nullptr;
    window->ClearMoves();
    return window;
}

} // namespace marovin::session
