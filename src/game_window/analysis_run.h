#pragma once
// AnalysisRun: a whole-game analysis of one game window's game, in the background. It
// borrows an engine from the program's pool (one that nobody takes away until the run
// ends), drives the Qt-free analysis with it and keeps what comes back:
//
//   progressed(done, total)   after each position
//   graphChanged()            a score of the main line arrived
//   finished(end, message)    Finished: every judged move's note line is written into the
//                             record (the rest of each note is kept); Cancelled or Failed:
//                             the record is left as it was
//
// Nothing waits: the engine's answers arrive as signals of the borrowed engine.

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

#include "engine/game_analysis.h"
#include "model/game.h"
#include "platform/engine_pool.h"

namespace marovin::board {

class AnalysisRun : public QObject, private engine::SearchPort, private engine::AnalysisPort {
    Q_OBJECT
public:
    // The game and the pool must outlive this object, or the game be let go first (detach).
    AnalysisRun(model::CGame& game, platform::EnginePool& pool, QObject* parent = nullptr);
    ~AnalysisRun() override;

    // Starts analysing; false, with error saying why, when there is nothing to analyse or
    // no engine can be had. A run in progress is cancelled first.
    bool start(const engine::AnalysisSettings& settings, QString& error);
    void cancel();
    bool running() const { return m_analysis.running(); }
    // The game is going away: the run stops and writes nothing.
    void detach();

    // The main line's scores by ply (from Red's side) and marks, as far as known.
    const std::vector<std::optional<int>>& values() const { return m_values; }
    const std::vector<model::MoveMark>& marks() const { return m_marks; }

signals:
    void progressed(int done, int total);
    void graphChanged();
    void finished(engine::AnalysisEnd end, const QString& message);

private:
    int search(const engine::EnginePosition& position, engine::SearchLimits limits) override;
    void stop() override;
    void analysisProgress(int done, int total) override;
    void moveAnalysed(const engine::AnalysedMove& move) override;
    void analysisEnded(engine::AnalysisEnd end, std::string_view message) override;
    void onTakenAway(QObject* borrower);

    model::CGame* m_game;
    platform::EnginePool& m_pool;
    engine::GameAnalysis m_analysis{*this, *this};
    std::vector<engine::AnalysedMove> m_results;
    std::vector<std::optional<int>> m_values;
    std::vector<model::MoveMark> m_marks;
};

} // namespace marovin::board
