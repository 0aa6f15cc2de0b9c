#include "session/client_context.h"

#include <algorithm>

#include "session/login.h"
#include "session/server_scanner.h"

namespace marovin::session {

namespace {

class Silence final : public SoundPort, public NotificationPort {
public:
    void playSound(SoundEvent) override {}
    void notify(const Notice&) override {}
};

Silence& silence()
{
    static Silence none;
    return none;
}

} // namespace

ClientContext::ClientContext(Options& options, const ClientPorts& ports, SocketDriver& driver)
    : options(options), terminal(ports.terminal), desktop(ports.desktop), clock(ports.clock),
      client(ports.client), games(ports.games), connection(driver, *this, ports.terminal, ports.desktop),
      gameList(ports.terminal, ports.desktop, ports.clock, gameSettings), m_sounds(&silence()),
      m_notifications(&silence())
{
}

void ClientContext::setAlertPorts(SoundPort* sounds, NotificationPort* notifications)
{
    m_sounds = sounds ? sounds : &silence();
    m_notifications = notifications ? notifications : &silence();
}

void ClientContext::onSessionReset()
{
    resetSession(*this);
    // Bytes of the previous connection that were not scanned yet belong to no one now.
    session.input.clear();
    session.inputPosition = 0;
}

void ClientContext::onConnected()
{
    session.loginPromptDeadline = clock.nowMilliseconds() + kLoginPromptTimeoutMs;
}

void ClientContext::onSessionEnd()
{
    // Before the games are marked not live: the reconnect remembers which were.
    reconnectOnSessionEnd(*this);
    endSession(*this);
}

bool ClientContext::quietErrors()
{
    return reconnectKeepsErrorsQuiet(*this);
}

void ClientContext::afterClose()
{
    reconnectAfterClose(*this);
}

void ClientContext::onServerOutput(const char* bytes, int count)
{
    scanServerOutput(*this, bytes, count);
}

void ClientContext::sendCommand(std::string_view text, bool echo, bool appendNewline)
{
    session::sendCommand(*this, text, echo, appendNewline);
}

namespace {

// "who", "who -f", "whois x" ...: the text begins "wh", is short and its third character is
// "o". The kind is 0 when the second word begins "-f".
void queueWhoRequest(SessionState& state, std::string_view text)
{
    if (text.size() >= 30 || text.size() < 3 || text.substr(0, 2) != "wh" || text[2] != 'o')
        return;
    std::size_t at = text.find_first_of(" \t\r\n");
    if (at != std::string_view::npos)
        at = text.find_first_not_of(" \t", at);
    const bool full = at != std::string_view::npos && text.substr(at, 2) == "-f";
    state.whoKinds[static_cast<std::size_t>(state.whoCount)] = full ? kWhoFull : kWhoPlain;
    if (state.whoCount < kWhoQueueSlots - 1)
        ++state.whoCount;
}

// "quit", alone on its line or before blanks, wherever a line of the text begins (the
// Disconnect button sends byte 04 and a line end first).
bool isQuitCommand(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        const std::size_t start = line.find_first_not_of(" \t");
        if (start != std::string_view::npos && line.substr(start) == "quit")
            return true;
        at = end + 1;
    }
    return false;
}

// The echo of a sent text: one row per line (a text of several lines is never one row
// holding line ends).
void echoLines(TerminalPort& terminal, std::string_view text)
{
    while (!text.empty()) {
        const std::size_t lineFeed = text.find('\n');
        std::string_view line = text.substr(0, lineFeed);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        terminal.writeOutputLine(TextFormatId::Typed, line);
        text.remove_prefix(lineFeed == std::string_view::npos ? text.size() : lineFeed + 1);
    }
}

} // namespace

int sendCommand(ClientContext& context, std::string_view text, bool echo, bool appendNewline)
{
    if (text.empty())
        return 0;
    const bool connected = context.connection.isConnected();
    if (connected && isQuitCommand(text))
        noteUserDisconnect(context);
    int result = 0;
    if (connected) {
        result = context.connection.Send(text.data(), static_cast<int>(text.size()));
        if (appendNewline && text.back() != '\n')
            context.connection.Send("\r\n", 2);
        if (context.connection.isConnected())
            queueWhoRequest(context.session, text);
    }
    context.client.setStatusLabel(kLabelCommandSent, std::nullopt);
    if (echo && (!connected || context.options.echoTypedText != 0))
        echoLines(context.terminal, text);
    if (echo && !connected)
        context.terminal.writeClientText(kNotConnectedText, false);
    return result;
}

void sendBreak(ClientContext& context)
{
    sendCommand(context, "\x03\r\n", false, false);
}

} // namespace marovin::session
