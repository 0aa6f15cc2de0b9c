#include "game_window/analysis_run.h"

#include <QSignalBlocker>

#include <algorithm>

namespace marovin::board {

AnalysisRun::AnalysisRun(model::CGame& game, platform::EnginePool& pool, QObject* parent)
    : QObject(parent), m_game(&game), m_pool(pool)
{
    connect(&pool, &platform::EnginePool::takenAway, this, &AnalysisRun::onTakenAway);
}

AnalysisRun::~AnalysisRun()
{
    detach();
}

bool AnalysisRun::start(const engine::AnalysisSettings& settings, QString& error)
{
    cancel();
    if (!m_game) {
        error = tr("The game is gone.");
        return false;
    }
    auto nodes = engine::CollectAnalysisNodes(*m_game, settings.wholeTree, settings.fromPly);
    if (nodes.size() < 2) {
        error = tr("There is no move to analyse.");
        return false;
    }
    platform::EngineSession* engine = m_pool.borrow(this, true);
    if (!engine) {
        error = tr("Every engine is busy analysing a game; the engine settings may allow more engines.");
        return false;
    }
    connect(engine, &platform::EngineSession::analysisArrived, this,
            [this](const engine::EngineAnalysis& analysis) { m_analysis.engineInfo(analysis); });
    connect(engine, &platform::EngineSession::bestMoveArrived, this,
            [this](int id, std::optional<model::SquarePair> move) { m_analysis.engineBestMove(id, move); });
    connect(engine, &platform::EngineSession::failed, this,
            [this](const QString& message) { m_analysis.engineFailed(message.toStdString()); });
    m_results.clear();
    int mainLinePlies = 0;
    for (const engine::AnalysisNode& node : nodes)
        if (node.mainLine)
            mainLinePlies = std::max(mainLinePlies, static_cast<int>(node.moves.size()));
    m_values.assign(static_cast<std::size_t>(mainLinePlies) + 1, std::nullopt);
    m_marks.assign(static_cast<std::size_t>(mainLinePlies) + 1, model::MoveMark::None);
    emit graphChanged();
    m_analysis.start(m_game->startBoard(), m_game->firstMover == 0, std::move(nodes), settings,
                     m_game->startCounts);
    return true;
}

void AnalysisRun::cancel()
{
    m_analysis.cancel();
}

void AnalysisRun::detach()
{
    if (!m_game)
        return; // let go once already; the engine pool may have gone since
    const QSignalBlocker quiet(this); // the window is going away: nobody listens any more
    m_game = nullptr;
    m_analysis.cancel();
    m_pool.giveBack(this);
}

int AnalysisRun::search(const engine::EnginePosition& position, engine::SearchLimits limits)
{
    platform::EngineSession* engine = m_pool.lentTo(this);
    return engine ? engine->search(position, limits) : 0;
}

void AnalysisRun::stop()
{
    if (platform::EngineSession* engine = m_pool.lentTo(this))
        engine->stop();
}

void AnalysisRun::analysisProgress(int done, int total)
{
    emit progressed(done, total);
}

void AnalysisRun::moveAnalysed(const engine::AnalysedMove& move)
{
    m_results.push_back(move);
    const auto ply = static_cast<std::size_t>(move.ply());
    if (!move.mainLine || ply >= m_values.size())
        return;
    m_values[ply - 1] = move.valueBefore;
    m_values[ply] = move.valueAfter;
    m_marks[ply] = move.mark;
    emit graphChanged();
}

void AnalysisRun::analysisEnded(engine::AnalysisEnd end, std::string_view message)
{
    m_pool.giveBack(this);
    if (end == engine::AnalysisEnd::Finished && m_game)
        engine::ApplyAnalysisNotes(*m_game, m_results);
    if (end != engine::AnalysisEnd::Finished) {
        // Nothing of a run that did not end is kept, on the graph either.
        std::fill(m_values.begin(), m_values.end(), std::nullopt);
        std::fill(m_marks.begin(), m_marks.end(), model::MoveMark::None);
        emit graphChanged();
    }
    m_results.clear();
    emit finished(end, QString::fromStdString(std::string(message)));
}

void AnalysisRun::onTakenAway(QObject* borrower)
{
    // Only a shrinking pool takes a kept engine away.
    if (borrower == this && running())
        m_analysis.engineFailed("The engine was let go (the engine settings allow fewer engines now).");
}

} // namespace marovin::board
