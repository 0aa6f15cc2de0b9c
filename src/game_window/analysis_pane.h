#pragma once
// AnalysisPane: under the board of a game window, the whole-game analysis: while it runs,
// a progress bar with Cancel; from its first result on, the score graph of the main line
// (Red's advantage above the middle, Black's below, ? and ?? marked, the shown ply as a
// line). A click on the graph shows that position of the main line. The pane is hidden
// until an analysis starts and can be hidden again with its Close button; none of it
// takes the keyboard from the input line.

#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <QWidget>

#include "board/score_graph.h"
#include "game_window/analysis_run.h"

namespace marovin::board {

class ScoreGraphView : public QWidget {
    Q_OBJECT
public:
    explicit ScoreGraphView(QWidget* parent = nullptr);
    void setData(ScoreGraphData data);
    const ScoreGraphData& data() const { return m_data; }
    QSize sizeHint() const override { return {200, 72}; }

signals:
    void plyClicked(int ply);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ScoreGraphData m_data;
};

class AnalysisPane : public QWidget {
    Q_OBJECT
public:
    AnalysisPane(model::CGame& game, platform::EnginePool& pool, QWidget* parent = nullptr);

    // Starts an analysis of the game; false, with error, when it cannot start.
    bool start(const engine::AnalysisSettings& settings, QString& error);
    void cancel() { m_run.cancel(); }
    bool running() const { return m_run.running(); }
    // The shown position may have changed: the graph's ply line follows it.
    void positionChanged();
    void detach();

    ScoreGraphView* graph() const { return m_graph; }
    QProgressBar* progressBar() const { return m_progress; }
    QToolButton* cancelButton() const { return m_cancel; }
    QLabel* statusLabel() const { return m_status; }

signals:
    // The analysis ended (the window's commands may change).
    void ended();

private:
    void showGraph();
    void onFinished(engine::AnalysisEnd end, const QString& message);
    int shownMainLinePly() const;

    model::CGame* m_game;
    AnalysisRun m_run;
    QProgressBar* m_progress;
    QToolButton* m_cancel;
    QToolButton* m_close;
    QLabel* m_status;
    ScoreGraphView* m_graph;
};

} // namespace marovin::board
