#include "session/command_script.h"

#include <string>

#include "session/login.h"
#include "session/reconnect.h"
#include "support/fixed_text.h"

namespace marovin::session {

namespace {

class ScriptSender {
public:
    explicit ScriptSender(ClientContext& context) : m_context(context), m_state(context.session)
    {
        ++m_state.scriptDepth;
    }
    ~ScriptSender() { --m_state.scriptDepth; }
    ScriptSender(const ScriptSender&) = delete;
    ScriptSender& operator=(const ScriptSender&) = delete;

    // False when the script must stop (the connection is gone).
    bool addLine(std::string_view line)
    {
        if (line[0] == 'w' && !m_batch.empty() && !flush())
            return false;
        if (line[0] == '#')
            return true;
        const std::size_t body = line.back() == '\n' ? line.size() - 1 : line.size();
        if (body < 2)
            return true;
        if (!m_batch.empty() && m_batch.size() + line.size() > kScriptBatchLimit && !flush())
            return false;
        m_batch += line;
        return true;
    }

    void finish()
    {
        if (!m_batch.empty() && m_context.connection.isConnected())
            sendCommand(m_context, m_batch, true, true);
    }

private:
    bool flush()
    {
        if (m_state.scriptMayContinue == 0 && m_state.scriptDepth > 1) {
            // Only the outermost script waits for the server: one started while another
            // waits (a second "Login as" read during that wait) would otherwise wait inside
            // it, and so on, as deep as the server likes.
            m_context.terminal.writeClientText("Commands not sent: other commands are still being sent", false);
            return false;
        }
        {
            // The prompt comes with the server's next bytes, which must be read even when
            // this script runs while earlier server input is being handled (the start-up
            // commands after "Login as ").
            const InputOpening opening(m_context.connection);
            m_context.clock.waitUntil(
                [this] { return m_state.scriptMayContinue != 0 || !m_context.connection.isConnected(); });
        }
        if (m_state.scriptMayContinue == 0 || !m_context.connection.isConnected())
            return false;
        sendCommand(m_context, m_batch, true, false);
        m_state.scriptMayContinue = 0;
        // The window keeps painting and answering the user during the pause.
        m_context.clock.pauseHandlingEvents(kScriptPauseMs);
        m_batch.clear();
        return true;
    }

    ClientContext& m_context;
    SessionState& m_state;
    std::string m_batch;
};

} // namespace

void sendScript(ClientContext& context, std::string_view script)
{
    context.session.scriptMayContinue = 1;
    ScriptSender sender(context);
    while (!script.empty()) {
        const std::size_t lineFeed = script.find('\n');
        const std::size_t length = lineFeed == std::string_view::npos ? script.size() : lineFeed + 1;
        const std::string_view line = script.substr(0, length);
        script.remove_prefix(length);
        if (!sender.addLine(line))
            return;
    }
    sender.finish();
}

void terminalTimerTick(ClientContext& context)
{
    SessionState& state = context.session;
    const std::int64_t now = context.clock.nowSeconds();
    context.games.tickClocks(now);
    checkLoginPromptDeadline(context);
    reconnectTick(context);
    if (!isLoggedIn(state)) {
        state.lastAutoSend = -1;
        return;
    }
    if (state.lastAutoSend < 0) {
        state.lastAutoSend = now;
        return;
    }
    const int interval = context.options.autoCommandInterval;
    // A script still waiting for its prompt, or server input being handled (a box it
    // raised may be open), keeps the automatic commands for a later tick.
    if (interval > 0 && now - state.lastAutoSend >= interval && state.scriptDepth == 0 &&
        !context.connection.inputHeld()) {
        state.lastAutoSend = now;
        sendScript(context, fieldText(context.options.autoCommands));
    }
}

} // namespace marovin::session
