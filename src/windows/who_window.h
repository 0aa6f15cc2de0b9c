#pragma once
// The who window: the server's player list as a sortable table. Created hidden at
// start-up and shown on request; for now an empty frame that keeps the list font. The
// list, its parsing, sorting and commands come with the who window's own work.

#include <QDialog>
#include <QFont>

#include "windows/who_record.h"

namespace marovin::windows {

class CWhoDlg : public QDialog {
    Q_OBJECT
public:
    CWhoDlg(WhoRecord* records, QWidget* parent = nullptr);

    // The shared fixed list font, for the list and its heading.
    void setListFont(const QFont& font);
    const QFont& listFont() const { return m_listFont; }

private:
    WhoRecord* m_records;
    QFont m_listFont;
};

} // namespace marovin::windows
