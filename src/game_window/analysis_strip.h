#pragma once
// AnalysisStrip: the engine's view of the shown position, above the note in the note
// pane's column: the score from Red's side, the depth, and the principal variation in the
// Chinese notation; below it the engine's next best lines (with several lines asked for),
// each with its score. Its first move is a link: one click plays it onto the board (so does
// the Play button, for the keyboard). Without an analysis it shows a message instead
// (starting, the engine's failure, the end of a game).

#include <QFrame>
#include <QLabel>
#include <QStringList>
#include <QToolButton>

namespace marovin::board {

class AnalysisStrip : public QFrame {
    Q_OBJECT
public:
    explicit AnalysisStrip(QWidget* parent = nullptr);

    // firstMove and rest: the variation's first move and the moves after it (Unicode).
    void showAnalysis(const QString& score, int depth, const QString& firstMove, const QString& rest);
    void showMessage(const QString& message);
    // Line number line (2..) of the engine's choices; clearOtherLines forgets them all.
    void showOtherLine(int line, const QString& score, const QString& moves);
    void clearOtherLines();
    // What the strip shows, for tests and the accessibility tools.
    QString scoreText() const { return m_score->text(); }
    QString depthText() const { return m_depth->text(); }
    QString lineText() const { return m_line->text(); }
    // The other lines as shown, one a row ("-0.15  馬8進7 ...").
    QStringList otherLines() const { return m_otherLines; }
    QToolButton* playButton() const { return m_play; }
    QLabel* lineLabel() const { return m_line; }

signals:
    void playRequested();

private:
    QLabel* m_score;
    QLabel* m_depth;
    QLabel* m_line;
    QLabel* m_others;
    QStringList m_otherLines;
    QToolButton* m_play;
};

} // namespace marovin::board
