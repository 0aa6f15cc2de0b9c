#include "session/paced_text.h"

#include "support/big5.h"

namespace marovin::session {

namespace {

bool beginsYouHave(std::string_view text)
{
    constexpr std::string_view kYouHave = "you have";
    if (text.size() < kYouHave.size())
        return false;
    for (std::size_t i = 0; i < kYouHave.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kYouHave[i])
            return false;
    }
    return true;
}

// Counts as a command script while it runs: the automatic commands wait for a later tick
// rather than taking the ready prompts this sending waits for.
class ScriptCount {
public:
    explicit ScriptCount(SessionState& state) : m_state(state) { ++m_state.scriptDepth; }
    ~ScriptCount() { --m_state.scriptDepth; }
    ScriptCount(const ScriptCount&) = delete;
    ScriptCount& operator=(const ScriptCount&) = delete;

private:
    SessionState& m_state;
};

} // namespace

std::vector<std::string> editLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (true) {
        const std::size_t lineFeed = text.find('\n');
        std::string_view line = text.substr(0, lineFeed);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line.substr(0, big5PrefixLength(line, kPacedLineLimit)));
        if (lineFeed == std::string_view::npos)
            break;
        text.remove_prefix(lineFeed + 1);
        if (text.empty())
            break;
    }
    return lines;
}

std::string pacedPrefix(PacedKind kind, std::string_view recipient, std::size_t index)
{
    if (kind == PacedKind::Message)
        return "message " + std::string(recipient) + " ";
    return index == 0 ? "plan " : "plan -n";
}

PacedOutcome sendPacedText(ClientContext& context, PacedKind kind, std::string_view recipient,
                           const std::vector<std::string>& lines, const std::function<bool()>& sending)
{
    SessionState& state = context.session;
    CServerSocket& connection = context.connection;
    if (!connection.isConnected())
        return PacedOutcome::ConnectionLost;
    const ScriptCount counted(state);
    state.scriptMayContinue = 1; // the first chunk goes without waiting
    std::string chunk;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!sending())
            return PacedOutcome::Stopped;
        const std::string& line = lines[i];
        // An empty chunk is never sent: no prompt would answer it.
        if (!chunk.empty() && chunk.size() + line.size() > kPacedChunkLimit) {
            {
                // The prompt comes with the server's next bytes, which must be read even
                // when this runs while earlier server input is being handled.
                const InputOpening opening(connection);
                context.clock.waitUntil(
                    [&] { return state.scriptMayContinue != 0 || !connection.isConnected() || !sending(); });
            }
            if (!sending())
                return PacedOutcome::Stopped;
            if (!connection.isConnected())
                return PacedOutcome::ConnectionLost;
            sendCommand(context, chunk, true, false);
            state.scriptMayContinue = 0;
            context.clock.pauseHandlingEvents(i < 3 ? kPacedFirstPauseMs : kPacedLaterPauseMs);
            chunk.clear();
        }
        const std::string prefix = pacedPrefix(kind, recipient, i);
        chunk += kind == PacedKind::Message ? prefix + " " + line : prefix + line;
        chunk += "\r\n";
    }
    if (!sending())
        return PacedOutcome::Stopped;
    if (!connection.isConnected())
        return PacedOutcome::ConnectionLost;
    sendCommand(context, chunk, true, true);
    return PacedOutcome::Completed;
}

std::string_view replyRecipient(std::string_view received)
{
    if (received.size() <= 10 || beginsYouHave(received))
        return {};
    const std::size_t start = received.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return {};
    received.remove_prefix(start);
    return received.substr(0, received.find_first_of(" \t\r\n"));
}

} // namespace marovin::session
