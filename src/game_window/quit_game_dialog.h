#pragma once
// The quit-game window: asked when a game that was not saved would close, and when a
// server game has ended (its result as the reason line). "Quit" accepts, "Do not quit"
// (which has the focus) rejects.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <string_view>

namespace marovin::board {

class CQuitGameDlg : public QDialog {
    Q_OBJECT
public:
    // reason is Big5; an empty reason leaves the reason line empty.
    CQuitGameDlg(const QString& title, std::string_view reason, QWidget* parent = nullptr);

    QLabel* reasonLine() const { return m_reason; }
    QPushButton* quitButton() const { return m_quit; }
    QPushButton* stayButton() const { return m_stay; }

private:
    QLabel* m_reason;
    QPushButton* m_quit;
    QPushButton* m_stay;
};

} // namespace marovin::board
