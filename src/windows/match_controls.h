#pragma once
// Controls that the who window and the match dialog share: the colour disc and the time
// combos.

#include <QComboBox>
#include <QWidget>

#include <string>

namespace marovin::windows {

// The colour disc: a filled ellipse over the whole control, red for colour 0 and black
// for colour 1. A left click inside it toggles the colour.
class ColourDisc : public QWidget {
    Q_OBJECT
public:
    explicit ColourDisc(QWidget* parent = nullptr);

    int colour() const { return m_colour; }
    void setColour(int colour);

signals:
    // The user toggled the colour.
    void toggled(int colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_colour = 0;
};

// An editable combo of total minutes (1 ... 30) or of increment seconds (0 ... 30) showing
// text; at most three characters may be typed.
enum class TimeCombo { Minutes, Seconds };
QComboBox* makeTimeCombo(TimeCombo kind, const std::string& text, QWidget* parent);

// The text of a combo's edit field, in Big5.
std::string comboText(const QComboBox* combo);

} // namespace marovin::windows
