#include "game_window/analysis_strip.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace marovin::board {

AnalysisStrip::AnalysisStrip(QWidget* parent)
    : QFrame(parent), m_score(new QLabel), m_depth(new QLabel), m_line(new QLabel), m_play(new QToolButton)
{
    setObjectName(QStringLiteral("analysisStrip"));
    setFrameShape(QFrame::StyledPanel);
    m_score->setObjectName(QStringLiteral("analysisScore"));
    QFont bold = m_score->font();
    bold.setBold(true);
    m_score->setFont(bold);
    m_depth->setObjectName(QStringLiteral("analysisDepth"));
    m_line->setObjectName(QStringLiteral("analysisLine"));
    m_line->setWordWrap(true);
    m_line->setTextFormat(Qt::RichText);
    m_line->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    // The strip never takes the keyboard from the input line.
    m_line->setFocusPolicy(Qt::NoFocus);
    m_play->setObjectName(QStringLiteral("analysisPlay"));
    m_play->setText(tr("Play"));
    m_play->setToolTip(tr("Play the engine's first move onto the board"));
    m_play->setFocusPolicy(Qt::NoFocus);
    m_play->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(m_score);
    top->addWidget(m_depth);
    top->addStretch(1);
    top->addWidget(m_play);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 2, 4, 2);
    column->setSpacing(2);
    column->addLayout(top);
    column->addWidget(m_line);

    connect(m_line, &QLabel::linkActivated, this, &AnalysisStrip::playRequested);
    connect(m_play, &QToolButton::clicked, this, &AnalysisStrip::playRequested);
}

void AnalysisStrip::showAnalysis(const QString& score, int depth, const QString& firstMove, const QString& rest)
{
    m_score->setText(score);
    m_depth->setText(depth > 0 ? tr("depth %1").arg(depth) : QString());
    QString line;
    if (!firstMove.isEmpty())
        line = QStringLiteral("<a href=\"play\">%1</a>").arg(firstMove.toHtmlEscaped());
    if (!rest.isEmpty())
        line += QLatin1Char(' ') + rest.toHtmlEscaped();
    m_line->setText(line);
    m_play->setEnabled(!firstMove.isEmpty());
}

void AnalysisStrip::showMessage(const QString& message)
{
    m_score->clear();
    m_depth->clear();
    m_line->setText(message.toHtmlEscaped());
    m_play->setEnabled(false);
}

} // namespace marovin::board
