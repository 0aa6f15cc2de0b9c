#include "game_window/analysis_pane.h"

#include <QHBoxLayout>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "game_window/game_navigation.h"

namespace marovin::board {

ScoreGraphView::ScoreGraphView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("scoreGraph"));
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(48);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("The engine's score from Red's side over the moves; click to show that position"));
}

void ScoreGraphView::setData(ScoreGraphData data)
{
    m_data = std::move(data);
    update();
}

void ScoreGraphView::paintEvent(QPaintEvent*)
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return;
    paintScoreGraph(image, m_data);
    QPainter(this).drawImage(0, 0, image);
}

void ScoreGraphView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_data.values.empty())
        return;
    const ScoreGraphLayout layout{rect(), static_cast<int>(m_data.values.size()) - 1};
    emit plyClicked(layout.plyAt(event->position().toPoint().x()));
}

AnalysisPane::AnalysisPane(model::CGame& game, platform::EnginePool& pool, QWidget* parent)
    : QWidget(parent), m_game(&game), m_run(game, pool), m_progress(new QProgressBar), m_cancel(new QToolButton),
      m_close(new QToolButton), m_status(new QLabel), m_graph(new ScoreGraphView)
{
    setObjectName(QStringLiteral("analysisPane"));
    m_progress->setObjectName(QStringLiteral("analysisProgress"));
    m_progress->setFormat(tr("Analysing %v of %m positions"));
    m_cancel->setObjectName(QStringLiteral("analysisCancel"));
    m_cancel->setText(tr("Cancel"));
    m_cancel->setToolTip(tr("Stop the analysis; the notes stay as they were"));
    m_close->setObjectName(QStringLiteral("analysisClose"));
    m_close->setText(tr("Close"));
    m_close->setToolTip(tr("Hide the score graph"));
    m_status->setObjectName(QStringLiteral("analysisStatus"));
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // never wider than the board
    for (QWidget* widget : {static_cast<QWidget*>(m_progress), static_cast<QWidget*>(m_cancel),
                            static_cast<QWidget*>(m_close), static_cast<QWidget*>(m_status)})
        widget->setFocusPolicy(Qt::NoFocus);
    auto* row = new QHBoxLayout;
    row->addWidget(m_progress, 1);
    row->addWidget(m_status, 1);
    row->addWidget(m_cancel);
    row->addWidget(m_close);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    column->addLayout(row);
    column->addWidget(m_graph);
    hide();

    connect(m_cancel, &QToolButton::clicked, this, [this] { m_run.cancel(); });
    connect(m_close, &QToolButton::clicked, this, [this] {
        m_run.cancel();
        hide();
    });
    connect(&m_run, &AnalysisRun::progressed, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    connect(&m_run, &AnalysisRun::graphChanged, this, &AnalysisPane::showGraph);
    connect(&m_run, &AnalysisRun::finished, this, &AnalysisPane::onFinished);
    connect(m_graph, &ScoreGraphView::plyClicked, this, [this](int ply) {
        if (m_game)
            showMainLinePly(*m_game, ply);
    });
}

bool AnalysisPane::start(const engine::AnalysisSettings& settings, QString& error)
{
    if (!m_run.start(settings, error))
        return false;
    m_status->hide();
    m_progress->show();
    m_cancel->show();
    show();
    return true;
}

void AnalysisPane::detach()
{
    m_game = nullptr;
    m_run.detach();
}

void AnalysisPane::positionChanged()
{
    if (isVisible())
        showGraph();
}

void AnalysisPane::showGraph()
{
    m_graph->setData(ScoreGraphData{m_run.values(), m_run.marks(), shownMainLinePly()});
}

int AnalysisPane::shownMainLinePly() const
{
    if (!m_game)
        return -1;
    // The shown position is on the main line when every move to it is alternative 0's.
    const std::vector<model::SquarePair> moves = m_game->browsedMoves();
    const model::BranchPoint* point = &m_game->root();
    std::size_t next = 0;
    while (point && !point->alternatives.empty() && next < moves.size()) {
        const model::MoveLine& line = point->alternatives[0];
        for (const model::MoveEntry& entry : line.entries) {
            if (!entry.isMove())
                continue;
            if (next == moves.size())
                break;
            if (entry.move.from != moves[next].from || entry.move.to != moves[next].to)
                return -1;
            ++next;
        }
        point = line.continuation.get();
    }
    return next == moves.size() ? static_cast<int>(next) : -1;
}

void AnalysisPane::onFinished(engine::AnalysisEnd end, const QString& message)
{
    m_progress->hide();
    m_cancel->hide();
    switch (end) {
    case engine::AnalysisEnd::Finished:
        m_status->setText(tr("Analysed: the marks and scores are in the notes."));
        break;
    case engine::AnalysisEnd::Cancelled:
        m_status->setText(tr("Analysis cancelled; nothing was changed."));
        break;
    case engine::AnalysisEnd::Failed:
        m_status->setText(tr("Analysis stopped: %1").arg(message));
        break;
    }
    m_status->show();
    showGraph();
    emit ended();
}

} // namespace marovin::board
