#include "game_window/game_command_dialog.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "game_window/game_frame.h"
#include "platform/big5_text.h"
#include "widgets/big5_validator.h"

namespace marovin::board {

namespace {

constexpr const char* kMinuteItems[] = {"1", "2", "3", "4", "5", "10", "15", "20", "30", "40", "50", "100"};
constexpr int kDefaultMinutes = 4; // the fifth item, "5"

} // namespace

CGameCommandDlg::CGameCommandDlg(CGameFrame& frame, bool focusKibitz, QWidget* parent)
    : QDialog(parent ? parent : &frame), m_frame(&frame), m_kibitz(new QLineEdit(this)),
      m_minutes(new QComboBox(this))
{
    setObjectName(QStringLiteral("gameCommandDialog"));
    setWindowTitle(QStringLiteral("OMRA Game Command"));
    m_kibitz->setObjectName(QStringLiteral("kibitzField"));
    m_kibitz->setValidator(new platform::Big5LengthValidator(kKibitzLimit, m_kibitz));
    m_kibitz->setMinimumWidth(260);
    for (const char* item : kMinuteItems)
        m_minutes->addItem(QString::fromLatin1(item));
    m_minutes->setCurrentIndex(kDefaultMinutes);

    auto* layout = new QGridLayout(this);
    // A command of the game window: run after this window's event, which may close it.
    const auto command = [this, &layout](const char* text, GameCommand which, bool stays, int row, int column) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setAutoDefault(false);
        layout->addWidget(button, row, column);
        connect(button, &QPushButton::clicked, this, [this, which, stays] {
            if (m_frame)
                QTimer::singleShot(0, m_frame, [frame = m_frame, which] {
                    if (frame)
                        frame->runCommand(which);
                });
            if (!stays)
                reject();
        });
    };
    command("Pass", GameCommand::Pass, false, 0, 0);
    command("Adjourn", GameCommand::Adjourn, false, 0, 1);
    command("Resign", GameCommand::Resign, false, 0, 2);
    command("Undo", GameCommand::Undo, false, 0, 3);
    command("Time Left", GameCommand::TimeLeft, true, 1, 0);
    command("All Observers", GameCommand::AllObservers, false, 1, 1);

    auto* kibitz = new QPushButton(QStringLiteral("Kibitz"), this);
    kibitz->setAutoDefault(false);
    layout->addWidget(kibitz, 2, 0);
    layout->addWidget(m_kibitz, 2, 1, 1, 3);
    connect(kibitz, &QPushButton::clicked, this, &CGameCommandDlg::sendKibitz);
    connect(m_kibitz, &QLineEdit::returnPressed, this, &CGameCommandDlg::sendKibitz);

    auto* addTime = new QPushButton(QStringLiteral("Addtime"), this);
    addTime->setAutoDefault(false);
    layout->addWidget(addTime, 3, 0);
    layout->addWidget(m_minutes, 3, 1);
    layout->addWidget(new QLabel(QStringLiteral("Minutes"), this), 3, 2);
    connect(addTime, &QPushButton::clicked, this, &CGameCommandDlg::sendAddTime);

    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setAutoDefault(false);
    layout->addWidget(exit, 3, 3);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    if (focusKibitz)
        m_kibitz->setFocus();
    else
        exit->setFocus();
}

QPushButton* CGameCommandDlg::button(const QString& text) const
{
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

void CGameCommandDlg::sendKibitz()
{
    if (!m_frame || !m_frame->game() || m_kibitz->text().isEmpty())
        return;
    const std::string text = platform::toBig5(m_kibitz->text());
    m_kibitz->clear();
    m_frame->sendLine("kibitz " + std::to_string(m_frame->game()->gameNumber) + " " + text + "\r\n");
}

void CGameCommandDlg::sendAddTime()
{
    if (m_frame && m_frame->game() && m_minutes->currentIndex() >= 0)
        m_frame->sendLine("addtime " + platform::toBig5(m_minutes->currentText()) + " " +
                          std::to_string(m_frame->game()->gameNumber) + "\r\n");
    reject();
}

void CGameCommandDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter never closes the window (in the kibitz field it has sent the kibitz).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

} // namespace marovin::board
