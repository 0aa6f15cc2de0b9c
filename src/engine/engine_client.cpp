#include "engine/engine_client.h"

#include <algorithm>
#include <cstdio>

namespace marovin::engine {

EngineClient::EngineClient(EngineProcessPort& process, ClockPort& clock, EngineListener& listener)
    : m_process(process), m_clock(clock), m_listener(listener)
{
}

EngineClient::~EngineClient()
{
    if (m_state != EngineState::Off) {
        if (m_state == EngineState::Searching)
            send("stop");
        send("quit");
        m_process.release();
    }
}

void EngineClient::setOptions(const EngineOptions& options)
{
    m_options = options;
    if (m_state != EngineState::Off && !(m_running == options))
        quit();
}

int EngineClient::search(const EnginePosition& position, SearchLimits limits)
{
    std::string error;
    auto resolved = ResolvePosition(position, m_options.rankBase, error);
    if (!resolved) {
        m_listener.engineFailed("The engine cannot be asked about this position: " + error);
        return 0;
    }
    const int id = ++m_lastId;
    m_pending = Request{id, std::move(*resolved), limits};
    switch (m_state) {
    case EngineState::Off:
        if (!startEngine())
            return 0;
        break;
    case EngineState::Idle:
        launchPending();
        break;
    case EngineState::Searching:
        send("stop");
        m_state = EngineState::Stopping;
        setDeadline(kAnswerLimitMs);
        break;
    case EngineState::AwaitingUciOk:
    case EngineState::AwaitingReadyOk:
    case EngineState::Stopping:
        break; // the pending request goes out when the engine is ready
    }
    return id;
}

void EngineClient::stop()
{
    m_pending.reset();
    if (m_state == EngineState::Searching) {
        send("stop");
        m_state = EngineState::Stopping;
        setDeadline(kAnswerLimitMs);
    }
}

void EngineClient::quit()
{
    if (m_state == EngineState::Off)
        return;
    if (m_state == EngineState::Searching)
        send("stop");
    send("quit");
    m_process.release();
    m_state = EngineState::Off;
    m_current.reset();
    m_pending.reset();
    m_deadline.reset();
}

bool EngineClient::startEngine()
{
    m_framer.reset();
    m_name.clear();
    std::string error;
    if (m_options.program.empty() || !m_process.start(m_options.program, error)) {
        m_pending.reset();
        m_listener.engineFailed(m_options.program.empty()
                                    ? EngineNotFoundMessage({})
                                    : "The engine " + m_options.program + " could not be started: " + error);
        return false;
    }
    m_running = m_options;
    m_multiPv = 1; // every engine starts with one line unless it says otherwise
    m_defaultThreads.reset();
    m_defaultHash.reset();
    m_state = EngineState::AwaitingUciOk;
    send("uci");
    setDeadline(kAnswerLimitMs);
    return true;
}

void EngineClient::launchPending()
{
    if (!m_pending)
        return;
    m_current = std::move(m_pending);
    m_pending.reset();
    SearchLimits& limits = m_current->limits;
    limits.multiPv = std::clamp(limits.multiPv, 1, kMostLines);
    if (limits.multiPv != m_multiPv) {
        send("setoption name MultiPV value " + std::to_string(limits.multiPv));
        m_multiPv = limits.multiPv;
    }
    send(m_current->position.command);
    if (limits.depth > 0) {
        const int movetime = limits.movetimeMs > 0 ? limits.movetimeMs : kLongestDepthSearchMs;
        send("go depth " + std::to_string(limits.depth) + " movetime " + std::to_string(movetime));
        setDeadline(movetime + kAnswerLimitMs);
    } else if (limits.movetimeMs > 0) {
        send("go movetime " + std::to_string(limits.movetimeMs));
        setDeadline(limits.movetimeMs + kAnswerLimitMs);
    } else {
        send("go infinite");
        m_deadline.reset();
    }
    m_state = EngineState::Searching;
}

void EngineClient::receive(std::string_view bytes)
{
    if (m_state == EngineState::Off)
        return;
    m_skipped += m_framer.push(bytes, [this](std::string_view line) {
        if (m_state != EngineState::Off) // a line may have ended the engine
            handleLine(line);
    });
}

void EngineClient::handleLine(std::string_view line)
{
    const EngineLine decoded = DecodeEngineLine(line);
    switch (decoded.kind) {
    case EngineLineKind::UciOk:
        if (m_state != EngineState::AwaitingUciOk)
            break;
        configure();
        return;
    case EngineLineKind::ReadyOk:
        if (m_state != EngineState::AwaitingReadyOk)
            break;
        m_state = EngineState::Idle;
        m_deadline.reset();
        launchPending();
        return;
    case EngineLineKind::Id:
        if (line.size() > 8 && line.substr(0, 8) == "id name ")
            m_name = std::string(line.substr(8, 200));
        return;
    case EngineLineKind::Info:
        if (m_state == EngineState::Searching) {
            handleInfo(decoded.info);
            return;
        }
        if (m_state == EngineState::Stopping)
            return; // the search being stopped: stale
        break;
    case EngineLineKind::BestMove:
        if (m_state == EngineState::Searching || m_state == EngineState::Stopping) {
            handleBestMove(decoded.bestMove);
            return;
        }
        break;
    case EngineLineKind::Option:
        if (m_state == EngineState::AwaitingUciOk)
            noteOption(decoded.option);
        return;
    case EngineLineKind::Empty:
        return;
    case EngineLineKind::Other:
        break;
    }
    ++m_skipped;
}

void EngineClient::noteOption(const OptionLine& option)
{
    if (option.name == "Threads")
        m_defaultThreads = option.numericDefault;
    else if (option.name == "Hash")
        m_defaultHash = option.numericDefault;
    else if (option.name == "MultiPV" && option.numericDefault)
        m_multiPv = *option.numericDefault;
}

void EngineClient::configure()
{
    send("setoption name UCI_Variant value xiangqi");
    if (m_defaultThreads != m_running.threads)
        send("setoption name Threads value " + std::to_string(m_running.threads));
    if (m_defaultHash != m_running.hashMegabytes)
        send("setoption name Hash value " + std::to_string(m_running.hashMegabytes));
    send("isready");
    m_state = EngineState::AwaitingReadyOk;
    setDeadline(kAnswerLimitMs);
}

void EngineClient::handleInfo(const InfoLine& info)
{
    const int line = info.multipv.value_or(1);
    if (info.hasText || line > m_current->limits.multiPv)
        return;
    if (info.pv.empty() && info.score.kind == ScoreKind::None)
        return; // progress figures only
    const ResolvedPosition& position = m_current->position;
    EngineAnalysis analysis;
    analysis.searchId = m_current->id;
    analysis.multipv = line;
    analysis.depth = info.depth.value_or(0);
    analysis.score = ScoreForRed(info.score, position.redToMove);
    analysis.pv = ReplayVariation(position.board, position.redToMove, info.pv, m_running.rankBase);
    analysis.board = position.board;
    analysis.redToMove = position.redToMove;
    m_listener.engineInfo(analysis);
}

void EngineClient::handleBestMove(const BestMoveLine& line)
{
    const bool stale = m_state == EngineState::Stopping;
    if (!m_current) { // cannot happen while searching or stopping; stay safe regardless
        m_state = EngineState::Idle;
        launchPending();
        return;
    }
    const Request finished = std::move(*m_current);
    m_current.reset();
    m_state = EngineState::Idle;
    m_deadline.reset();
    launchPending();
    if (stale)
        return;
    std::optional<model::SquarePair> move;
    if (line.move) {
        move = ParseUciMove(*line.move, m_running.rankBase);
        if (move && !IsLegalEngineMove(finished.position.board, finished.position.redToMove, *move))
            move.reset();
    }
    m_listener.engineBestMove(finished.id, move);
}

void EngineClient::processEnded(std::string_view description)
{
    if (m_state == EngineState::Off)
        return;
    fail("The engine stopped unexpectedly (" + std::string(description) + ").");
}

void EngineClient::checkDeadline()
{
    if (!m_deadline || m_clock.nowMilliseconds() < *m_deadline)
        return;
    switch (m_state) {
    case EngineState::AwaitingUciOk:
        fail("The engine did not answer \"uci\" within 5 seconds; it was stopped.");
        break;
    case EngineState::AwaitingReadyOk:
        fail("The engine did not answer \"isready\" within 5 seconds; it was stopped.");
        break;
    case EngineState::Searching:
        fail("The engine did not finish its search in time; it was stopped.");
        break;
    case EngineState::Stopping:
        fail("The engine did not stop its search within 5 seconds; it was stopped.");
        break;
    case EngineState::Off:
    case EngineState::Idle:
        m_deadline.reset();
        break;
    }
}

void EngineClient::fail(std::string message)
{
    m_process.release();
    m_state = EngineState::Off;
    m_current.reset();
    m_pending.reset();
    m_deadline.reset();
    m_listener.engineFailed(message);
}

void EngineClient::setDeadline(int milliseconds)
{
    m_deadline = m_clock.nowMilliseconds() + milliseconds;
}

std::string EngineNotFoundMessage(std::string_view configured)
{
    if (configured.empty())
        return "No engine found: install the package fairy-stockfish, or choose an engine in the engine "
               "settings.";
    return "No engine found at " + std::string(configured) + ": choose an engine in the engine settings.";
}

EngineScore ScoreForRed(const EngineScore& score, bool redToMove)
{
    EngineScore red = score;
    if (!redToMove)
        red.value = -red.value;
    return red;
}

std::string FormatScore(const EngineScore& score)
{
    char text[32];
    switch (score.kind) {
    case ScoreKind::None:
        return {};
    case ScoreKind::Centipawns: {
        const int magnitude = score.value < 0 ? -score.value : score.value;
        std::snprintf(text, sizeof text, "%c%d.%02d", score.value < 0 ? '-' : '+', magnitude / 100,
                      magnitude % 100);
        return text;
    }
    case ScoreKind::Mate:
        std::snprintf(text, sizeof text, "%sM%d", score.value < 0 ? "-" : "", score.value < 0 ? -score.value : score.value);
        return text;
    }
    return {};
}

} // namespace marovin::engine
