#include "engine/game_analysis.h"

#include <algorithm>
#include <cstdio>

#include "engine/engine_position.h"
#include "model/game.h"
#include "model/legality.h"

namespace marovin::engine {

namespace {

// Mate distances longer than this are not mates but an engine's nonsense.
constexpr int kMateRange = 100'000;

bool isMate(int value) { return value > kMateValue - kMateRange || value < -kMateValue + kMateRange; }

int movesToMate(int value) { return kMateValue - (value < 0 ? -value : value); }

} // namespace

std::optional<int> RedValue(const EngineScore& redScore, bool redToMove)
{
    switch (redScore.kind) {
    case ScoreKind::None:
        return std::nullopt;
    case ScoreKind::Centipawns:
        return redScore.value;
    case ScoreKind::Mate:
        if (redScore.value == 0) // the side to move is mated
            return redToMove ? -kMateValue : kMateValue;
        return redScore.value > 0 ? kMateValue - redScore.value : -kMateValue - redScore.value;
    }
    return std::nullopt;
}

std::string CentipawnText(std::optional<int> value)
{
    if (!value)
        return "?";
    if (isMate(*value))
        return (*value < 0 ? "#-" : "#") + std::to_string(movesToMate(*value));
    return std::to_string(*value);
}

std::string PawnText(std::optional<int> value)
{
    if (!value)
        return "?";
    if (isMate(*value))
        return (*value < 0 ? "-M" : "M") + std::to_string(movesToMate(*value));
    return FormatScore(EngineScore{ScoreKind::Centipawns, *value, false});
}

std::vector<AnalysisNode> CollectAnalysisNodes(const model::CGame& game, bool wholeTree, int fromPly)
{
    // A line still to walk: its entries are played from the position of node parent.
    struct Pending {
        const model::MoveLine* line;
        int parent;          // the last node kept on the way (-1: none yet)
        bool mainLine;
        AnalysisNode reached; // the position before the line's first entry
    };
    std::vector<AnalysisNode> nodes;
    AnalysisNode start;
    start.board = game.startBoard();
    start.redToMove = game.firstMover == 0;
    const int firstKept = std::max(0, fromPly - 1);
    if (game.root().alternatives.empty())
        return nodes;
    std::vector<Pending> pending{{&game.root().alternatives[0], -1, true, start}};
    if (firstKept == 0)
        nodes.push_back(start);
    pending.back().parent = firstKept == 0 ? 0 : -1;
    while (!pending.empty()) {
        Pending item = std::move(pending.back());
        pending.pop_back();
        AnalysisNode position = std::move(item.reached);
        int parent = item.parent;
        bool legal = true;
        for (const model::MoveEntry& entry : item.line->entries) {
            if (!entry.isMove())
                continue;
            const model::SquarePair move{entry.move.from, entry.move.to};
            if (!IsLegalEngineMove(position.board, position.redToMove, move)) {
                legal = false;
                break;
            }
            model::ApplyMove(position.board, move.from, move.to);
            position.redToMove = !position.redToMove;
            position.moves.push_back(move);
            position.mainLine = item.mainLine;
            if (static_cast<int>(position.moves.size()) >= firstKept) {
                position.parent = parent;
                nodes.push_back(position);
                parent = static_cast<int>(nodes.size()) - 1;
            }
        }
        const model::BranchPoint* next = item.line->continuation.get();
        if (!legal || !next)
            continue;
        const int alternatives = wholeTree ? next->count() : std::min(next->count(), 1);
        for (int a = alternatives - 1; a >= 0; --a)
            pending.push_back({&next->alternatives[static_cast<std::size_t>(a)], parent, item.mainLine && a == 0, position});
    }
    return nodes;
}

void JudgeMove(AnalysedMove& move, const AnalysisSettings& settings)
{
    move.loss = 0;
    move.mark = model::MoveMark::None;
    if (!move.valueBefore || !move.valueAfter || (move.best && *move.best == move.move()))
        return;
    const int before = std::clamp(*move.valueBefore, -kLossCap, kLossCap);
    const int after = std::clamp(*move.valueAfter, -kLossCap, kLossCap);
    move.loss = std::max(0, move.redMoved ? before - after : after - before);
    if (move.loss >= settings.blunderCentipawns)
        move.mark = model::MoveMark::Blunder;
    else if (move.loss >= settings.mistakeCentipawns)
        move.mark = model::MoveMark::Mistake;
}

std::string AnalysisNoteLineFor(const AnalysedMove& move)
{
    const std::string best = move.best ? ChineseVariation(move.boardBefore, {*move.best}, 1) : std::string();
    return model::AnalysisNoteLine(move.mark, PawnText(move.valueAfter), best);
}

int ApplyAnalysisNotes(model::CGame& game, const std::vector<AnalysedMove>& moves)
{
    int written = 0;
    for (const AnalysedMove& move : moves) {
        const std::string line = AnalysisNoteLineFor(move);
        if (game.editNoteAt(move.moves, [&](std::string_view note) { return model::WithAnalysisLine(note, line); }))
            ++written;
    }
    return written;
}

GameAnalysis::GameAnalysis(SearchPort& search, AnalysisPort& port) : m_search(search), m_port(port) {}

bool GameAnalysis::start(const model::Board& start, bool redFirst, std::vector<AnalysisNode> nodes,
                         const AnalysisSettings& settings, model::MoveCounts startCounts)
{
    if (m_running)
        return false;
    m_start = start;
    m_redFirst = redFirst;
    m_startCounts = startCounts;
    m_nodes = std::move(nodes);
    m_verdicts.assign(m_nodes.size(), Verdict{});
    m_settings = settings;
    m_settings.movetimeMs = std::clamp(settings.movetimeMs, kShortestAnalysisMs, kLongestAnalysisMs);
    m_done = 0;
    m_running = true;
    m_port.analysisProgress(0, total());
    askNext();
    return true;
}

void GameAnalysis::cancel()
{
    if (!m_running)
        return;
    m_search.stop();
    end(AnalysisEnd::Cancelled, {});
}

void GameAnalysis::askNext()
{
    // Positions without a move are judged here, one after the other, without the engine.
    while (m_running && m_done < total()) {
        const AnalysisNode& node = m_nodes[static_cast<std::size_t>(m_done)];
        if (model::EvaluatePosition(node.board, node.redToMove) == model::GameStatus::Playing) {
            m_lastValue.reset();
            EnginePosition position{m_start, m_redFirst, m_startCounts, node.moves};
            m_searchId = 0;
            const int id = m_search.search(position, SearchLimits{m_settings.movetimeMs, 0, 1});
            if (m_running && id != 0)
                m_searchId = id;
            return; // a refusal has ended the analysis through engineFailed
        }
        finishNode(Verdict{node.redToMove ? -kMateValue : kMateValue, std::nullopt});
    }
    if (m_running)
        end(AnalysisEnd::Finished, {});
}

void GameAnalysis::engineInfo(const EngineAnalysis& analysis)
{
    if (!m_running || analysis.searchId != m_searchId || analysis.multipv != 1)
        return;
    if (const auto value = RedValue(analysis.score, analysis.redToMove))
        m_lastValue = value;
}

void GameAnalysis::engineBestMove(int searchId, std::optional<model::SquarePair> move)
{
    if (!m_running || searchId != m_searchId)
        return;
    m_searchId = 0;
    finishNode(Verdict{m_lastValue, move});
    askNext();
}

void GameAnalysis::engineFailed(std::string_view message)
{
    if (m_running)
        end(AnalysisEnd::Failed, message);
}

void GameAnalysis::finishNode(Verdict verdict)
{
    const std::size_t index = static_cast<std::size_t>(m_done);
    m_verdicts[index] = verdict;
    ++m_done;
    const AnalysisNode& node = m_nodes[index];
    if (node.parent >= 0) {
        const AnalysisNode& before = m_nodes[static_cast<std::size_t>(node.parent)];
        const Verdict& judged = m_verdicts[static_cast<std::size_t>(node.parent)];
        AnalysedMove move;
        move.moves = node.moves;
        move.mainLine = node.mainLine;
        move.boardBefore = before.board;
        move.redMoved = before.redToMove;
        move.valueBefore = judged.value;
        move.valueAfter = verdict.value;
        move.best = judged.best;
        JudgeMove(move, m_settings);
        m_port.moveAnalysed(move);
    }
    if (m_running)
        m_port.analysisProgress(m_done, total());
}

void GameAnalysis::end(AnalysisEnd how, std::string_view message)
{
    m_running = false;
    m_searchId = 0;
    m_port.analysisEnded(how, message);
}

} // namespace marovin::engine
