#include "windows/stored_games_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "session/match_request.h"
#include "session/stored_list.h"
#include "widgets/dialog_buttons.h"
#include "windows/text_width.h"

namespace marovin::windows {

CStoredGamesDlg::CStoredGamesDlg(session::ClientContext& context, std::string_view answer, const QFont& listFont,
                                 QWidget* parent)
    : QDialog(parent), m_context(context), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("storedGamesWindow"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    m_list->setObjectName(QStringLiteral("storedList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFont(listFont);
    showAnswer(answer);

    QPushButton* restart = makeButton(QStringLiteral("Restart"), this);
    QPushButton* look = makeButton(QStringLiteral("Look"), this);
    QPushButton* close = makeButton(QStringLiteral("Close"), this);
    auto* side = new QVBoxLayout;
    for (const char* legend : {"A: Adjourned Game", "F: Finished Game", "P: Playing Game"})
        side->addWidget(new QLabel(QString::fromLatin1(legend), this));
    side->addSpacing(12);
    side->addWidget(restart);
    side->addWidget(look);
    side->addWidget(close);
    side->addStretch(1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Double click to choose game"), this), 0, 0);
    layout->addWidget(m_list, 1, 0);
    layout->addLayout(side, 1, 1);

    connect(restart, &QPushButton::clicked, this, [this] { chooseStoredGame("restart", true); });
    connect(look, &QPushButton::clicked, this, [this] { chooseStoredGame("sendfile"); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { chooseStoredGame(std::nullopt); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(460, 320);
}

void CStoredGamesDlg::showAnswer(std::string_view answer)
{
    m_entries = session::parseStoredList(answer);
    QStringList lines;
    for (const std::string& entry : m_entries)
        lines << platform::fromBig5(entry);
    m_list->clear();
    m_list->addItems(lines);
    m_list->setMinimumWidth(std::min(widestLine(lines, m_list->font(), 2 * m_list->frameWidth() + 32), 900));
    if (!m_entries.empty())
        m_list->setCurrentRow(0);
    setWindowTitle(QStringLiteral("%1 Stored Game(s)").arg(m_entries.size()));
}

void CStoredGamesDlg::chooseStoredGame(std::optional<std::string_view> command, bool setOpenFirst)
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_entries.size()) || !m_list->item(row)->isSelected()) {
        m_context.desktop.messageBox("Please choose a game first");
        return;
    }
    const session::StoredChoice choice =
        session::chooseStoredGame(m_entries[static_cast<std::size_t>(row)], command, m_context.session.loggedInName);
    if (setOpenFirst || choice.setOpenFirst)
        session::sendCommand(m_context, session::kSetOpenOn, true, true);
    session::sendCommand(m_context, choice.line, true, true);
    if (choice.closeWindow)
        reject();
}

} // namespace marovin::windows
