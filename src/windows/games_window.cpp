#include "windows/games_window.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "session/games_listing.h"
#include "widgets/dialog_buttons.h"
#include "windows/text_width.h"

namespace marovin::windows {

namespace {
constexpr std::string_view kNoGame = "Please choose a game first";
}

CGamesDlg::CGamesDlg(session::ClientContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("gamesWindow"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    m_list->setObjectName(QStringLiteral("gamesList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    QPushButton* observe = makeButton(QStringLiteral("Observe"), this);
    QPushButton* observeExit = makeButton(QStringLiteral("Observe-Exit"), this);
    QPushButton* exit = makeButton(QStringLiteral("Exit"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(observe);
    buttons->addWidget(observeExit);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    const auto observeAndClose = [this] {
        if (observeSelected())
            reject();
    };
    connect(observe, &QPushButton::clicked, this, &CGamesDlg::observeSelected);
    connect(observeExit, &QPushButton::clicked, this, observeAndClose);
    connect(m_list, &QListWidget::itemDoubleClicked, this, observeAndClose);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    resize(820, 360);
}

void CGamesDlg::updateGamesList(std::string_view answer, const QFont& listFont)
{
    session::GamesListing listing = session::parseGamesList(answer);
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(listing.lines.size()));
    for (const std::string& line : listing.lines)
        lines << platform::fromBig5(line);
    m_lines = std::move(listing.lines);
    m_list->clear();
    m_list->setFont(listFont);
    m_list->addItems(lines);
    widenFor(*this, *m_list, widestLine(lines, listFont, 2 * m_list->frameWidth() + 24));
    if (listing.chosen < m_list->count()) {
        m_list->setCurrentRow(listing.chosen);
        m_list->scrollToItem(m_list->currentItem(), QAbstractItemView::PositionAtCenter);
    }
    setWindowTitle(QStringLiteral("%1 Game(s): Double click to observe a game").arg(m_list->count() - 1));
}

bool CGamesDlg::observeSelected()
{
    const int row = m_list->currentRow();
    const bool selected = row > 0 && row < static_cast<int>(m_lines.size()) && m_list->item(row)->isSelected();
    const std::optional<int> number =
        selected ? session::gameNumberOfLine(m_lines[static_cast<std::size_t>(row)]) : std::nullopt;
    if (!number) {
        // Neither the heading nor a line without a game number stands for a game.
        m_context.desktop.messageBox(kNoGame);
        return false;
    }
    session::sendCommand(m_context, session::observeGameLine(*number), true, true);
    return true;
}

} // namespace marovin::windows
