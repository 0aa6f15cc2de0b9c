#include "game_window/quit_game_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/big5_text.h"

namespace marovin::board {

CQuitGameDlg::CQuitGameDlg(const QString& title, std::string_view reason, QWidget* parent)
    : QDialog(parent), m_reason(new QLabel(platform::fromBig5(reason), this)),
      m_quit(new QPushButton(QStringLiteral("Quit"), this)),
      m_stay(new QPushButton(QStringLiteral("Do not quit"), this))
{
    setObjectName(QStringLiteral("quitGameDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Game is not saved. Do you want to quit it?"), this));
    m_reason->setObjectName(QStringLiteral("reasonLine")); // control 1092
    layout->addWidget(m_reason);
    layout->addWidget(new QLabel(QStringLiteral("(Use keyboard if something error)"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_quit);
    buttons->addWidget(m_stay);
    layout->addLayout(buttons);
    connect(m_quit, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_stay, &QPushButton::clicked, this, &QDialog::reject);
    m_stay->setDefault(true);
    m_stay->setFocus();
}

} // namespace marovin::board
