#pragma once
// A pair of arrow buttons that report steps and keep no value: vertical (up: -1, down:
// +1) or horizontal (left: -1, right: +1). Holding a button repeats its step. It never
// takes the keyboard.

#include <QToolButton>
#include <QWidget>

namespace marovin::board {

class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The button that steps back (-1) and the one that steps forward (+1).
    QToolButton* backButton() const { return m_back; }
    QToolButton* forwardButton() const { return m_forward; }

signals:
    void stepped(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Qt::Orientation m_orientation;
    QToolButton* m_back;
    QToolButton* m_forward;
};

} // namespace marovin::board
