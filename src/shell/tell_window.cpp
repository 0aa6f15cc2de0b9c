#include "shell/tell_window.h"

namespace marovin::shell {

CTellWindow::CTellWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("tellWindow"));
    setWindowTitle(QStringLiteral("Tell Window"));
    setModal(false);
    resize(420, 300);
}

} // namespace marovin::shell
