#include "windows/who_window.h"

namespace marovin::windows {

CWhoDlg::CWhoDlg(WhoRecord* records, QWidget* parent) : QDialog(parent), m_records(records)
{
    setObjectName(QStringLiteral("whoWindow"));
    setWindowTitle(QStringLiteral("Who Window"));
    setModal(false);
    resize(560, 420);
}

void CWhoDlg::setListFont(const QFont& font)
{
    m_listFont = font;
}

} // namespace marovin::windows
