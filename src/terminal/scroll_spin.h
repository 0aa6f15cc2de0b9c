#pragma once
// The input bar's up/down control, which scrolls the terminal window. It keeps no value
// of its own: each step of an arrow scrolls, by the button that holds it down: the left
// button one line, the right button one page, the middle button all the way (to the top,
// or to the bottom and one line further, which also marks the terminal ready).
// Holding a button repeats the step, as an up/down control does.

#include <functional>

#include <QTimer>
#include <QWidget>

#include "terminal/input_line.h"

namespace marovin::shell {

class CScrollSpin : public QWidget {
    Q_OBJECT
public:
    // Which button holds the control down (0 none, 1 left, 2 right, 4 middle).
    enum SpinMode : int { kNone = 0, kLeft = 1, kRight = 2, kMiddle = 4 };

    static constexpr int kFirstRepeatMs = 400;
    static constexpr int kRepeatMs = 80;

    explicit CScrollSpin(QWidget* parent = nullptr);

    // Where the steps go; unset: nowhere.
    void setScroller(std::function<void(TerminalScroll)> scroller) { m_scroller = std::move(scroller); }
    int spinMode() const { return m_spinMode; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void step();
    void stop();

    std::function<void(TerminalScroll)> m_scroller;
    QTimer m_repeat;
    int m_spinMode = kNone;
    bool m_upwards = true;
    bool m_held = false;
};

} // namespace marovin::shell
