#pragma once
// The "Choose Branch" window: one row per alternative that continues from the shown
// position, each with the small picture of the moving piece (white shows through) and the
// move in numeric notation, with the start of its note. Row 0 is selected; OK (or a double
// click) takes the selected row. While it is open the mouse pointer rests on OK; it goes
// back where it was afterwards.

#include <QDialog>
#include <QListWidget>
#include <QPoint>
#include <QPushButton>

#include <optional>
#include <vector>

#include "model/game_ports.h"

namespace marovin::board {

class CChooseBranchDlg : public QDialog {
    Q_OBJECT
public:
    CChooseBranchDlg(const std::vector<model::BranchRow>& rows, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QPushButton* okButton() const { return m_ok; }
    // After the dialog: the row chosen (row 0 when none is selected), or nothing when it
    // was closed otherwise.
    std::optional<int> chosenRow() const;

    // The 20 x 20 picture of a piece type with pure white made transparent (null when the
    // picture cannot be read).
    static QImage piecePicture(int type);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QListWidget* m_list;
    QPushButton* m_ok;
    std::optional<QPoint> m_pointerBefore;
};

} // namespace marovin::board
