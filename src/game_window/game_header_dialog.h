#pragma once
// The "Game Header" window: Red Name, BlackName, Subject, Result, Place and Date of a
// game, with a "*" beside them while any differs from the game. Enter moves to the next
// field (from Date back to Red Name); only a click on OK accepts. The rules are
// model::GameHeaderForm's; this is its face.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

#include "model/game_header_form.h"

namespace marovin::board {

class CGameHeaderDlg : public QDialog {
    Q_OBJECT
public:
    CGameHeaderDlg(const model::CGame& game, model::GameHeaderMemory& memory, QWidget* parent = nullptr);

    QLineEdit* field(model::GameHeaderForm::Field field) const { return m_fields[field]; }
    QLabel* marker() const { return m_marker; }
    QPushButton* okButton() const { return m_ok; }
    // After OK: the fields go into game (see GameHeaderForm::accept).
    void applyTo(model::CGame& game) { m_form.accept(game); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fieldEdited(model::GameHeaderForm::Field field);

    model::GameHeaderForm m_form;
    std::array<QLineEdit*, model::GameHeaderForm::FieldCount> m_fields{};
    QLabel* m_marker;
    QPushButton* m_ok;
};

} // namespace marovin::board
