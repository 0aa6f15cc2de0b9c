#include "game_window/analysis_strip.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace marovin::board {

AnalysisStrip::AnalysisStrip(QWidget* parent)
    : QFrame(parent), m_score(new QLabel), m_depth(new QLabel), m_line(new QLabel), m_others(new QLabel),
      m_play(new QToolButton)
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
    m_others->setObjectName(QStringLiteral("analysisOtherLines"));
    m_others->setTextFormat(Qt::PlainText);
    // Long lines are cut at the pane's edge rather than widen the pane (and shrink the board).
    m_others->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_others->setFocusPolicy(Qt::NoFocus);
    m_others->hide();
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
    column->addWidget(m_others);

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

void AnalysisStrip::showOtherLine(int line, const QString& score, const QString& moves)
{
    if (line < 2)
        return;
    const auto index = static_cast<qsizetype>(line - 2);
    while (m_otherLines.size() <= index)
        m_otherLines.append(QString());
    m_otherLines[index] = score + QStringLiteral("  ") + moves;
    m_others->setText(m_otherLines.join(QLatin1Char('\n')));
    m_others->show();
}

void AnalysisStrip::clearOtherLines()
{
    m_otherLines.clear();
    m_others->clear();
    m_others->hide();
}

void AnalysisStrip::showMessage(const QString& message)
{
    clearOtherLines();
    m_score->clear();
    m_depth->clear();
    m_line->setText(message.toHtmlEscaped());
    m_play->setEnabled(false);
}

} // namespace marovin::board
