#include "session/server_scanner.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "session/line_framer.h"
#include "session/alerts.h"
#include "session/login.h"
#include "session/reconnect.h"
#include "session/server_lines.h"

namespace marovin::session {

namespace {

// A stable copy of the line being dispatched: a port call may run a nested event loop in
// which the scanner assembles further lines in the session record.
class LineCopy {
public:
    explicit LineCopy(const SessionState& state)
        : m_length(static_cast<std::size_t>(std::max(state.lineLength, 0)))
    {
        std::memcpy(m_text, state.lineBuffer, m_length);
    }
    std::string_view text() const { return {m_text, m_length}; }

private:
    char m_text[kLineBufferSize];
    std::size_t m_length;
};

void generic(ClientContext& context, std::string_view line, bool keywordLine)
{
    SessionState& state = context.session;
    const bool kibitz = state.pendingOutput == pending_output::kKibitz;
    // The kibitz line itself was shown before the collection began; a keyword with nothing
    // after it ("who: ") leaves nothing to show.
    if (!(keywordLine && (kibitz || line.empty())))
        context.terminal.writeServerLine(line);
    if (kibitz) {
        context.client.appendTellLine(specialFormat(1), line);
        return;
    }
    if (keywordLine)
        state.collectedOutput.clear();
    if (state.collectedOutput.size() + line.size() + 2 <= kCollectedOutputLimit) {
        state.collectedOutput += line;
        state.collectedOutput += "\r\n";
    }
}

void collect(ClientContext& context, std::string_view line, bool keywordLine)
{
    const Collector collector = context.session.collector;
    if (collector == Collector::Generic)
        generic(context, line, keywordLine);
    else if (collector != Collector::None)
        context.games.collectGameLine(collector, line, keywordLine);
}

void startCollection(ClientContext& context, Collector collector, int pendingOutput,
                     std::string_view firstLine)
{
    SessionState& state = context.session;
    state.collector = collector;
    state.collectedLines = 0;
    if (collector == Collector::Generic)
        state.pendingOutput = pendingOutput;
    collect(context, firstLine, true);
}

// At the ready prompt that closes a generic collection: hand the lines to their window.
void actOnCollectedOutput(ClientContext& context)
{
    SessionState& state = context.session;
    const Options& options = context.options;
    ClientDesktopPort& client = context.client;
    const std::string output = state.collectedOutput;
    switch (state.pendingOutput) {
    case pending_output::kFinger:
        if (options.showFingerWindow)
            client.createFingerWindow(output);
        break;
    case pending_output::kStored:
        if (!takeStoredAnswer(context, output))
            client.createStoredGamesWindow(output);
        break;
    case pending_output::kGames:
        if (options.showGamesWindow)
            client.updateGamesList(output);
        break;
    case pending_output::kMessage:
        if (output.size() >= 6)
            client.openMessageDialog(output);
        break;
    case pending_output::kAlias:
        if (options.showAliasWindow)
            client.openAliasResult(output);
        break;
    case pending_output::kWho: {
        const int kind = state.whoKinds[0];
        std::copy(state.whoKinds.begin() + 1, state.whoKinds.end(), state.whoKinds.begin());
        state.whoCount = std::max(state.whoCount - 1, 0);
        client.updateWhoList(output, kind);
        if (options.showWhoWindow)
            client.showWhoWindow();
        break;
    }
    default: // kibitz and nothing: the lines went elsewhere
        break;
    }
}

void onReadyPrompt(ClientContext& context)
{
    SessionState& state = context.session;
    state.loginState = login_state::kLoggedIn;
    context.games.clearCurrentGame();
    state.lineLength = -1;
    state.collectedLines = -1;
    state.promptJustSeen = -1;
    state.linesSincePrompt = 0;
    state.colonChecked = 0;
    context.client.setStatusLabel(kLabelReady, std::nullopt);
    if (state.collector == Collector::Generic)
        actOnCollectedOutput(context);
    state.pendingOutput = pending_output::kNone;
    state.collector = Collector::None;
    context.terminal.writeServerLine("OMRA% ");
    context.games.finishUpdates();
    if (state.scriptMayContinue == 0) {
        state.scriptMayContinue = 1;
        context.client.handleOnePendingEvent();
    }
}

void onKeywordLine(ClientContext& context, std::string_view line)
{
    const std::size_t length = static_cast<std::size_t>(context.session.keywordLength);
    const std::string_view keyword = line.substr(0, length - 1);
    const std::string_view rest = line.substr(length);
    struct Row {
        std::string_view keyword;
        Collector collector;
        int pendingOutput;
    };
    static constexpr Row kTable[] = {
        {"look:", Collector::BoardDisplay, pending_output::kNone},
        {"sendfile:", Collector::GameFile, pending_output::kNone},
        {"observe:", Collector::Observe, pending_output::kNone},
        {"moves:", Collector::MoveHistory, pending_output::kNone},
        {"refresh:", Collector::MoveHistory, pending_output::kNone},
        {"who:", Collector::Generic, pending_output::kWho},
        {"finger:", Collector::Generic, pending_output::kFinger},
        {"stored:", Collector::Generic, pending_output::kStored},
        {"games:", Collector::Generic, pending_output::kGames},
        {"message:", Collector::Generic, pending_output::kMessage},
        {"alias:", Collector::Generic, pending_output::kAlias},
    };
    for (const Row& row : kTable) {
        if (keyword == row.keyword) {
            startCollection(context, row.collector, row.pendingOutput, rest);
            return;
        }
    }
    if (keyword == "quit:") {
        // The server says goodbye to a quit the user sent: the connection ends for good.
        noteUserDisconnect(context);
        endSession(context);
        return;
    }
    constexpr std::string_view kSetYour = "Set your .";
    if (beginsWith(rest, kSetYour))
        context.client.setStatusLabel(kLabelReady, rest.substr(std::min<std::size_t>(14, rest.size())));
    if (!rest.empty())
        context.terminal.writeServerLine(rest);
}

void onTell(ClientContext& context, std::string_view line)
{
    const std::string_view sender = tellSender(line);
    const std::string_view text = tellText(line);
    if (isTransferTell(text)) {
        context.games.onTransferTell(text, sender);
        return;
    }
    if (context.options.raiseTerminalOnTell)
        context.client.raiseTerminal();
    context.terminal.writeServerLine(line);
    context.client.appendTellLine(specialFormat(1), line);
    context.client.setPlayerName(sender);
    alertTell(context, sender, line);
}

void onSpecialLine(ClientContext& context, std::string_view line)
{
    if (!isLoggedIn(context.session) || line.empty()) {
        context.terminal.writeServerLine(line);
        return;
    }
    switch (line[0]) {
    case '#':
        onTell(context, line);
        break;
    case '!':
        context.terminal.writeServerLine(line);
        if (context.options.tellCollectShout)
            context.client.appendTellLine(specialFormat(0), line);
        break;
    default:
        context.terminal.writeServerLine(line);
        break;
    }
}

void onOrdinaryLine(ClientContext& context, std::string_view line)
{
    SessionState& state = context.session;
    context.terminal.writeServerLine(line);
    if (state.linesSincePrompt <= 4 && beginsWith(line, "Game ")) {
        context.games.parseGameNotice(line);
    } else if (beginsWith(line, "Login as ")) {
        onLoginConfirmed(context, line);
    } else if (isLoggedIn(state) && beginsWith(line, "Player ")) {
        context.client.appendTellLine(TextFormatId::Warning, line);
    } else if (isLoggedIn(state) && beginsWith(line, "Channel ")) {
        context.client.appendTellLine(specialFormat(1), line);
    } else if (beginsWith(line, "O") && context.games.offerHandicapLine(line)) {
        // the handicap handling took it
    } else if (beginsWith(line, "Unrated ") || beginsWith(line, "Rated ")) {
        alertChallenge(context, line);
        if (context.options.showMatchWindow)
            context.client.openMatchDialog(line);
    } else if (beginsWith(line, "You have messages.")) {
        sendCommand(context, "message\r\n", true, true);
    } else if (beginsWith(line, "Kibitz ")) {
        startCollection(context, Collector::Generic, pending_output::kKibitz, line);
    }
}

void dispatch(ClientContext& context, const ServerToken& token)
{
    SessionState& state = context.session;
    if (token.kind == TokenKind::CompleteLine && state.lineLength == 0 &&
        state.pendingOutput == pending_output::kNone) {
        if (state.promptJustSeen == 0)
            context.terminal.writeClientText(" ", true);
        return;
    }
    state.promptJustSeen = 0;
    const LineCopy line(state);
    switch (token.kind) {
    case TokenKind::ReadyPrompt:
        onReadyPrompt(context);
        return;
    case TokenKind::LoginPrompt:
        onLoginPrompt(context, line.text());
        return;
    case TokenKind::PasswordPrompt:
        onPasswordPrompt(context, line.text());
        return;
    case TokenKind::CompleteLine:
    case TokenKind::Incomplete:
        break;
    }
    if (state.lineKind == LineKind::PasswordMismatch) {
        onPasswordMismatch(context, line.text());
    } else if (state.collectedLines >= 0) {
        ++state.collectedLines;
        collect(context, line.text(), false);
    } else if (state.lineKind == LineKind::Keyword) {
        onKeywordLine(context, line.text());
    } else if (state.lineKind == LineKind::Special) {
        onSpecialLine(context, line.text());
    } else {
        onOrdinaryLine(context, line.text());
    }
}

void afterChunk(ClientContext& context)
{
    SessionState& state = context.session;
    // Only a line still being received: one that has ended was shown already.
    if (!isLoggedIn(state) && state.lineLength > 0 && !state.lineComplete)
        context.client.showPartialLine(
            std::string_view(state.lineBuffer, static_cast<std::size_t>(std::min(state.lineLength, 80))));
    if (state.promptJustSeen == -1) {
        if (context.games.sendingGame())
            context.games.sendNextGameLine();
        if (!context.client.leftButtonDown())
            context.games.askGameOverQuestions();
    }
}

} // namespace

void scanServerOutput(ClientContext& context, const char* bytes, int count)
{
    SessionState& state = context.session;
    if (state.outputSuspended || count < 1)
        return;
    if (state.inputPosition >= state.input.size()) {
        state.input.clear();
        state.inputPosition = 0;
    }
    state.input.append(bytes, static_cast<std::size_t>(count));
    while (state.inputPosition < state.input.size() && !state.outputSuspended) {
        std::size_t position = state.inputPosition;
        const ServerToken token = nextServerLine(state, state.input, position);
        state.inputPosition = position;
        state.afterChunkDue = true;
        for (int i = 0; i < token.beeps; ++i)
            context.desktop.beep();
        if (token.kind == TokenKind::Incomplete) {
            if (state.inputPosition < state.input.size()) { // a safeguard: framing always consumes
                context.terminal.writeClientText("Length bug", false);
                state.inputPosition = state.input.size();
            }
            break;
        }
        if (token.cutForLength)
            context.terminal.writeClientText("VEDAZUR error: The following line is too long.", false);
        dispatch(context, token);
        if (state.loginState != login_state::kNone)
            state.loginPromptDeadline = -1; // the server answers
    }
    if (state.afterChunkDue && !state.outputSuspended) {
        state.afterChunkDue = false;
        afterChunk(context);
    }
}

void resetSession(ClientContext& context)
{
    SessionState& state = context.session;
    state.collector = Collector::None;
    context.games.clearCurrentGame();
    state.collectedLines = -1;
    state.loginState = login_state::kNone;
    state.linesSincePrompt = 0;
    state.promptJustSeen = 0;
    state.pendingOutput = pending_output::kNone;
    state.lineLength = -1;
    state.colonChecked = 0;
    context.games.resetTransfers();
    context.client.setStatusLabel(kLabelIdle, "Input Line");
}

void endSession(ClientContext& context)
{
    resetSession(context);
    context.games.endSessionGames();
}

} // namespace marovin::session
