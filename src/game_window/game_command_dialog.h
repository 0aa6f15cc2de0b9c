#pragma once
// The "OMRA Game Command" window of one game window: buttons that run that window's
// commands (Pass, Adjourn, Resign, Undo, Time Left, All Observers), a kibitz field whose
// text "Kibitz" sends ("kibitz %d %s"), and "Addtime" with a minutes list ("addtime %s %d",
// minutes first). Enter in the kibitz field sends it and the window stays open, so that
// several kibitz lines go in a row; elsewhere Enter does nothing. A button acts only while
// its game window exists.

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace marovin::board {

class CGameFrame;

class CGameCommandDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kKibitzFieldId = 1241;
    static constexpr int kKibitzLimit = 900; // bytes of Big5

    CGameCommandDlg(CGameFrame& frame, bool focusKibitz, QWidget* parent = nullptr);

    QPushButton* button(const QString& text) const;
    QLineEdit* kibitzField() const { return m_kibitz; }
    QComboBox* minutes() const { return m_minutes; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void sendKibitz();
    void sendAddTime();

    QPointer<CGameFrame> m_frame;
    QLineEdit* m_kibitz;
    QComboBox* m_minutes;
};

} // namespace marovin::board
