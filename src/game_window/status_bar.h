#pragma once
// The game status bar across the top of a board view, painted from its record (see
// session::StatusRecord and status_layout.h): the move number on the line of the side to
// move (on green while an earlier position is shown, on yellow where the line branches,
// the percent of a transfer instead), the names with their ratings, the clocks, and the
// "Game" button. A left click on the move number asks for the live end, a right click for
// the start; a left click on the names asks for the header. The user's clock under the
// low-time alarm is drawn red and blinks.

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "game_window/status_layout.h"
#include "session/game_status_text.h"

namespace marovin::board {

class CGameStatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGameButtonId = 500;
    static constexpr int kWidth = 1000;

    explicit CGameStatusBar(const SystemMetrics& metrics, QWidget* parent = nullptr);

    const session::StatusRecord& record() const { return m_record; }
    const StatusLayout& layout() const { return m_layout; }
    QPushButton* gameButton() const { return m_gameButton; }

    // A new record; only the parts whose values changed are repainted.
    void setRecord(const session::StatusRecord& record);

signals:
    void moveNumberClicked(Qt::MouseButton button);
    void namesClicked();
    void gameButtonClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void paintTurn(QPainter& painter);
    void paintNames(QPainter& painter);
    void paintClocks(QPainter& painter);
    QRect partRect(int part) const;

    SystemMetrics m_metrics;
    StatusLayout m_layout;
    session::StatusRecord m_record;
    QPushButton* m_gameButton;
    QTimer m_blink;          // runs while a clock is low
    QElapsedTimer m_blinkClock;
    bool m_blinkShown = true;
};

} // namespace marovin::board
