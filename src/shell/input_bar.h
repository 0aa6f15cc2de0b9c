#pragma once
// The input-line bar across the main window: the state label, the input line, the
// window buttons of the game windows. Sending, the prefixes, recall and the fast keys come
// with the input line's own work; for now the line takes text and the bar docks.

#include <QLabel>
#include <QLineEdit>
#include <QToolBar>

#include "shell/options.h"

namespace marovin::shell {

// Control ids of the bar, kept for the commands that name them.
constexpr int kInputBarId = 103;
constexpr int kInputLineId = 1177;
constexpr int kStateLabelId = 1178;
constexpr int kHistorySpinId = 1196;
constexpr int kWindowLeftId = 32900;
constexpr int kWindowCentreId = 32901;
constexpr int kWindowRightId = 32902;
constexpr int kNextWindowButtonId = 32903;
constexpr int kInputLineLimit = 1400;

class CInputBar : public QToolBar {
    Q_OBJECT
public:
    explicit CInputBar(const Options& options, QWidget* parent = nullptr);

    QLineEdit* inputLine() const { return m_input; }
    QLabel* stateLabel() const { return m_label; }
    // Background colour and font of the input line from the options record.
    void applyInputFormat(const Options& options);

private:
    QLabel* m_label;
    QLineEdit* m_input;
};

} // namespace marovin::shell
